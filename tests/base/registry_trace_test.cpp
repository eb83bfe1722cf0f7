// RegistryKey against Wine's real registry, and the trace file.
#include <gtest/gtest.h>

#include <string>

#include "base/registry/registry_paths.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"
#include "base/trace/debug_trace.h"
#include "test_support.h"

using krx::RegistryKey;
using krxtest::WriteBinary;
using krxtest::WriteDword;
using krxtest::WriteString;

namespace {
constexpr char kScratch[] = "software\\NORVA\\KRX3\\Scratch";

class RegistryKeyTest : public krxtest::CleanRegistryTest {};
class TraceTest : public krxtest::CleanRegistryTest {};
} // namespace

TEST_F(RegistryKeyTest, MissingKeyGivesDefaults) {
    RegistryKey key(HKEY_CURRENT_USER, kScratch);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(key.ReadText("Name", "fallback"), "fallback");
    EXPECT_EQ(key.ReadNumber("Number", -1), -1);
    EXPECT_EQ(key.ValueSize("Status"), 0u);
    EXPECT_TRUE(key.ReadBytes("Status").empty());
    EXPECT_FALSE(key.WriteNumber("Number", 1));
    EXPECT_EQ(key.EnumerateSubKey(0), "");
}

TEST_F(RegistryKeyTest, TextMustFitTheBuffer) {
    WriteString(HKEY_CURRENT_USER, kScratch, "Fits", std::string(255, 'a'));
    WriteString(HKEY_CURRENT_USER, kScratch, "TooLong", std::string(256, 'b'));
    // 256 bytes stored without a terminator do not fit 255 characters either.
    WriteBinary(HKEY_CURRENT_USER, kScratch, "Unterminated", std::string(256, 'c'));
    RegistryKey key(HKEY_CURRENT_USER, kScratch);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(key.ReadText("Fits", "d").size(), 255u);
    EXPECT_EQ(key.ReadText("TooLong", "d"), "d");
    EXPECT_EQ(key.ReadText("Unterminated", "d"), "d");
    EXPECT_EQ(key.ReadText("Missing", "d"), "d");
}

TEST_F(RegistryKeyTest, NumbersAnyTypeUpToFourBytes) {
    WriteDword(HKEY_CURRENT_USER, kScratch, "Dword", 7);
    WriteBinary(HKEY_CURRENT_USER, kScratch, "Eight", std::string(8, '\1'));
    WriteBinary(HKEY_CURRENT_USER, kScratch, "Two", std::string("\x05\x00", 2));
    RegistryKey key(HKEY_CURRENT_USER, kScratch);
    EXPECT_EQ(key.ReadNumber("Dword", -1), 7);
    EXPECT_EQ(key.ReadNumber("Eight", -1), -1);
    // Two bytes fill the low half of the default.
    EXPECT_EQ(key.ReadNumber("Two", 0x11110000), 0x11110005);
}

TEST_F(RegistryKeyTest, CreatingReportsANewKey) {
    RegistryKey first(HKEY_CURRENT_USER, kScratch, true, RegistryKey::kAllAccess);
    EXPECT_TRUE(first.IsOpen());
    EXPECT_TRUE(first.NewlyCreated());
    RegistryKey second(HKEY_CURRENT_USER, kScratch, true, RegistryKey::kAllAccess);
    EXPECT_TRUE(second.IsOpen());
    EXPECT_FALSE(second.NewlyCreated());
    EXPECT_TRUE(second.WriteNumber("Written", 3));
    EXPECT_EQ(RegistryKey(HKEY_CURRENT_USER, kScratch).ReadNumber("Written", 0), 3);
}

TEST_F(RegistryKeyTest, BytesAndSubKeys) {
    RegistryKey key(HKEY_CURRENT_USER, kScratch, true);
    const unsigned char data[] = {1, 2, 0, 4};
    ASSERT_TRUE(key.WriteBytes("Status", data, sizeof(data)));
    EXPECT_EQ(key.ValueSize("Status"), 4u);
    std::vector<unsigned char> back = key.ReadBytes("Status");
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[3], 4);
    RegistryKey child(HKEY_CURRENT_USER, (std::string(kScratch) + "\\Child").c_str(), true);
    EXPECT_EQ(key.EnumerateSubKey(0), "Child");
    EXPECT_EQ(key.EnumerateSubKey(1), "");
}

TEST_F(TraceTest, OffByDefaultNeverCreatesTheFile) {
    krx::InitializeModuleState();
    EXPECT_FALSE(krx::TraceOn());
    DebugTrace("text %d\n", 1);
    EXPECT_EQ(GetFileAttributesA(krxtest::kTraceFile), INVALID_FILE_ATTRIBUTES);

    WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 0);
    krx::InitializeModuleState();
    DebugTrace("text %d\n", 2);
    EXPECT_EQ(GetFileAttributesA(krxtest::kTraceFile), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TraceTest, AppendsFragmentsExactly) {
    FILE* f = fopen(krxtest::kTraceFile, "wb");
    ASSERT_NE(f, nullptr);
    fputs("earlier\r\n", f);
    fclose(f);
    WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    krx::InitializeModuleState();
    ASSERT_TRUE(krx::TraceOn());
    DebugTrace("first %d", 1);
    DebugTrace(" continued %s\n", "here");
    DebugTrace("%x%c", 0xAB, '!');
    EXPECT_EQ(kit::ReadTextFile(krxtest::kTraceFile), "earlier\r\nfirst 1 continued here\nab!");
}

TEST_F(TraceTest, SwitchIsReadOnceAtLoad) {
    WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    EXPECT_FALSE(krx::TraceOn()); // set-up read it before the value existed
    DebugTrace("dropped");
    EXPECT_EQ(GetFileAttributesA(krxtest::kTraceFile), INVALID_FILE_ATTRIBUTES);
}
