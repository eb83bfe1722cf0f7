// Model profile reader on real files, and the Profile key lookup.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/registry/registry_paths.h"
#include "base/profile/profile_locator.h"
#include "base/profile/profile_reader.h"
#include "test_support.h"

using krx::ReadProfileInt;
using krx::ReadProfileString;

namespace {

class ProfileTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        path_ = kit::ExecutableFolder() + "profile_test.ini";
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        CleanRegistryTest::TearDown();
    }
    void Write(const std::string& text) {
        FILE* f = fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    std::string path_;
};

} // namespace

TEST_F(ProfileTest, IntegersAndTheirEnd) {
    Write("[ModelA]\r\nMaxIC=5\r\nSpaced = 5\r\nMixed=12abc\r\nEmpty=\r\nNeg=-7 x\r\n"
          "High=3\xB0"
          "9\r\nHuge=99999999999\r\n");
    struct Case {
        const char* key;
        int result;
        int value;
    } cases[] = {{"MaxIC", 0, 5}, {"Spaced", -1, 99}, {"Mixed", 0, 12},        {"Empty", 0, 0},
                 {"Neg", 0, -7},  {"High", 0, 3},     {"Huge", 0, 0x7FFFFFFF}, {"Missing", -1, 99}};
    for (const Case& c : cases) {
        int value = 99;
        EXPECT_EQ(ReadProfileInt(path_.c_str(), "ModelA", c.key, &value), c.result) << c.key;
        EXPECT_EQ(value, c.value) << c.key;
    }
}

TEST_F(ProfileTest, SectionsMatchExactly) {
    Write("[ModelAB]\nKey=1\n[ModelA]\nOther=2\n[ModelA]\nKey=3\n[modela]\nKey=4\n");
    int value = 0;
    // The first [ModelA] lacks the key; later sections are never seen.
    EXPECT_EQ(ReadProfileInt(path_.c_str(), "ModelA", "Key", &value), -1);
    EXPECT_EQ(ReadProfileInt(path_.c_str(), "Model", "Key", &value), 1);
    EXPECT_EQ(ReadProfileInt(path_.c_str(), "ModelAB", "Key", &value), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(ReadProfileInt(path_.c_str(), "modela", "Key", &value), 0);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(ReadProfileInt((path_ + ".none").c_str(), "ModelA", "Key", &value), 1);
}

TEST_F(ProfileTest, QuotedTexts) {
    std::string longValue(300, 'x');
    Write("[M]\nDll=\"ink.dll\" trailing\nOpen=\"no end\nBare=plain\nLong=\"" + longValue +
          "\"\nEmpty=\"\"\n");
    std::string text = "unchanged";
    EXPECT_EQ(ReadProfileString(path_.c_str(), "M", "Dll", &text), 0);
    EXPECT_EQ(text, "ink.dll");
    EXPECT_EQ(ReadProfileString(path_.c_str(), "M", "Open", &text), -1);
    EXPECT_EQ(ReadProfileString(path_.c_str(), "M", "Bare", &text), -1);
    EXPECT_EQ(ReadProfileString(path_.c_str(), "M", "Empty", &text), 0);
    EXPECT_EQ(text, "");
    // Lines are read in pieces of 309 characters: the 300-character value
    // with its key and quotes still fits one piece.
    EXPECT_EQ(ReadProfileString(path_.c_str(), "M", "Long", &text), 0);
    EXPECT_EQ(text, std::string(259, 'x'));
}

TEST_F(ProfileTest, LongLinesAreReadInPieces) {
    // The second piece of an over-long line counts as a line of its own.
    std::string line = "Pad=" + std::string(305, 'p') + "Key=8\n";
    Write("[M]\n" + line);
    int value = 0;
    EXPECT_EQ(ReadProfileInt(path_.c_str(), "M", "Key", &value), 0);
    EXPECT_EQ(value, 8);
}

TEST_F(ProfileTest, FindProfileFileNeedsKeyFileAndSection) {
    Write("[KX1]\nA=1\n");
    std::string found;
    EXPECT_EQ(krx::FindProfileFile("KX1", &found), 1); // no Profile key yet
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, "KX1", path_);
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, "KX2", path_);
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, "KX3", path_ + ".none");
    EXPECT_EQ(krx::FindProfileFile("KX1", &found), 0);
    EXPECT_EQ(found, path_);
    EXPECT_EQ(krx::FindProfileFile("KX2", &found), 1); // no [KX2] section
    EXPECT_EQ(krx::FindProfileFile("KX3", &found), 1); // no such file
    EXPECT_EQ(krx::FindProfileFile(nullptr, &found), 1);
}
