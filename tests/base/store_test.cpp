// Per-printer store and notification settings against the real registry.
#include <gtest/gtest.h>

#include <string>

#include "base/registry/registry_paths.h"
#include "base/store/notify_settings.h"
#include "base/store/status_store.h"
#include "test_support.h"

using krxtest::WriteDword;
using krxtest::WriteString;

namespace {

constexpr const char* kByPrinter = krx::regkey::kByPrinterBase;
constexpr const char* kByPort = krx::regkey::kByPortBase;

class StoreTest : public krxtest::CleanRegistryTest {
  protected:
    static std::string Key(const char* base, const char* sub) {
        return std::string(base) + "\\" + sub;
    }
    static void AddPrinter(const char* base, const char* sub, const char* name) {
        WriteString(HKEY_CURRENT_USER, Key(base, sub), "Name", name);
    }
};

} // namespace

TEST_F(StoreTest, FindStoreKeyResults) {
    std::string path = "untouched";
    EXPECT_EQ(krx::FindStoreKey("P", 0, &path), 4);
    EXPECT_EQ(krx::FindStoreKey("P", 2, &path), 5);
    AddPrinter(kByPrinter, "A", "Other");
    AddPrinter(kByPrinter, "B", "");
    EXPECT_EQ(krx::FindStoreKey("P", 0, &path), 1);
    EXPECT_EQ(krx::FindStoreKey("", 0, &path), 1); // empty names never match
    EXPECT_EQ(path, "untouched");
    AddPrinter(kByPrinter, "C", "My Printer");
    EXPECT_EQ(krx::FindStoreKey("my PRINTER", 0, &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "C"));
}

TEST_F(StoreTest, LowestIndexWinsIgnoringCase) {
    AddPrinter(kByPrinter, "K1", "printer");
    AddPrinter(kByPrinter, "K2", "PRINTER");
    std::string path;
    ASSERT_EQ(krx::FindStoreKey("Printer", 0, &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "K1"));
}

TEST_F(StoreTest, LookupFollowsChangesMadeFromOutside) {
    // The lookup keeps what it has read until the registry changes: every
    // kind of change must show at the next lookup.
    AddPrinter(kByPrinter, "K5", "Other");
    AddPrinter(kByPrinter, "K7", "Printer");
    std::string path;
    ASSERT_EQ(krx::FindStoreKey("Printer", 0, &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "K7"));
    ASSERT_EQ(krx::FindStoreKey("Printer", 0, &path), 0); // answered from what was read

    AddPrinter(kByPrinter, "K5", "PRINTER"); // a lower key's name changes
    ASSERT_EQ(krx::FindStoreKey("Printer", 0, &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "K5"));

    AddPrinter(kByPrinter, "K1", "printer"); // a new, lower key
    ASSERT_EQ(krx::FindStoreKey("Printer", 0, &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "K1"));

    kit::DeleteTree(HKEY_CURRENT_USER, Key(kByPrinter, "K1").c_str()); // a key goes away
    kit::DeleteTree(HKEY_CURRENT_USER, Key(kByPrinter, "K5").c_str());
    ASSERT_EQ(krx::FindStoreKey("Printer", 0, &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "K7"));

    AddPrinter(kByPrinter, "K7", "Renamed");
    EXPECT_EQ(krx::FindStoreKey("Printer", 0, &path), 1);

    // Writes the plug-in itself makes into a store key change no answer.
    krx::StoreStatusReply("Renamed", "", "x", 1);
    EXPECT_EQ(krx::FindStoreKey("Renamed", 0, &path), 0);

    kit::DeleteTree(HKEY_CURRENT_USER, kByPrinter); // the base goes away
    EXPECT_EQ(krx::FindStoreKey("Renamed", 0, &path), 4);
    AddPrinter(kByPrinter, "K9", "Renamed");
    EXPECT_EQ(krx::FindStoreKey("Renamed", 0, &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "K9"));
}

TEST_F(StoreTest, ReadersNeitherCreateNorNeedWriteAccess) {
    const std::string key = Key(kByPrinter, "K1");
    AddPrinter(kByPrinter, "K1", "Printer");
    WriteDword(HKEY_CURRENT_USER, key, "ComStatus", 1);
    krxtest::WriteBinary(HKEY_CURRENT_USER, key, "Status", "abc");
    ASSERT_TRUE(krxtest::SetKeyReadOnly(HKEY_CURRENT_USER, key, true));
    const int comStatus = krx::GetComStatus("Printer", "");
    unsigned size = 0;
    const int stored = krx::ReadStoredStatus("Printer", "", nullptr, &size);
    EXPECT_TRUE(krxtest::SetKeyReadOnly(HKEY_CURRENT_USER, key, false));
    EXPECT_EQ(comStatus, 1);
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(size, 3u);

    // A key deleted after it was found stays deleted.
    std::string path;
    ASSERT_EQ(krx::FindStoreKey("Printer", 0, &path), 0);
    kit::DeleteTree(HKEY_CURRENT_USER, key.c_str());
    EXPECT_EQ(krx::GetComStatusAt(path), 2);
    EXPECT_EQ(krx::ReadStoredStatusAt(path, nullptr, &size), -1);
    int sound = -1, notify = -1;
    krx::GetItemNotifySettingsAt(path, 9, &sound, &notify, "NM");
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS);
}

TEST_F(StoreTest, PairChoosesTheLookup) {
    AddPrinter(kByPrinter, "P", "Printer");
    AddPrinter(kByPort, "Q", "LPT1:");
    std::string path;
    EXPECT_EQ(krx::FindStoreKeyFor("Printer", "LPT1:", &path), 0);
    EXPECT_EQ(path, Key(kByPrinter, "P"));
    EXPECT_EQ(krx::FindStoreKeyFor("", "LPT1:", &path), 0);
    EXPECT_EQ(path, Key(kByPort, "Q"));
    EXPECT_EQ(krx::FindStoreKeyFor(nullptr, "lpt1:", &path), 0);
    EXPECT_EQ(krx::FindStoreKeyFor(nullptr, nullptr, &path), 1);
    EXPECT_EQ(krx::FindStoreKeyFor("", "", &path), 1);
}

TEST_F(StoreTest, ReplyAndComStatusRoundTrip) {
    AddPrinter(kByPrinter, "P", "Printer");
    EXPECT_EQ(krx::GetComStatus("Printer", ""), 2); // absent value reads as noted
    const std::string reply("@BDC ST\r\nST:04;\x0C\0x", 18);
    ASSERT_EQ(krx::StoreStatusReply("Printer", "", reply.data(), reply.size()), 0);
    krx::SetComStatus("Printer", "", 1);
    EXPECT_EQ(krx::GetComStatus("Printer", ""), 1);
    EXPECT_EQ(krxtest::ReadBinary(HKEY_CURRENT_USER, Key(kByPrinter, "P"), "Status"), reply);

    unsigned length = 0;
    ASSERT_EQ(krx::ReadStoredStatus("Printer", "", nullptr, &length), 1);
    ASSERT_EQ(length, reply.size());
    std::string back(length, '\0');
    EXPECT_EQ(krx::ReadStoredStatus("Printer", "", &back[0], &length), 1);
    EXPECT_EQ(back, reply);
}

TEST_F(StoreTest, ReadStoredStatusNeverWritesPastTheBuffer) {
    AddPrinter(kByPrinter, "P", "Printer");
    ASSERT_EQ(krx::StoreStatusReply("Printer", "", "0123456789", 10), 0);
    char buffer[8];
    memset(buffer, '#', sizeof(buffer));
    unsigned length = 4; // the caller's size from an earlier, shorter reply
    EXPECT_EQ(krx::ReadStoredStatus("Printer", "", buffer, &length), 1);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(std::string(buffer, 8), "0123####");
}

TEST_F(StoreTest, MissingKeyOrValue) {
    unsigned length = 77;
    EXPECT_EQ(krx::ReadStoredStatus("Nobody", "", nullptr, &length), -1);
    EXPECT_EQ(krx::StoreStatusReply("Nobody", "", "x", 1), 1);
    krx::SetComStatus("Nobody", "", 1); // silently nothing
    EXPECT_EQ(krx::GetComStatus("Nobody", ""), 2);
    AddPrinter(kByPrinter, "P", "Printer");
    EXPECT_EQ(krx::ReadStoredStatus("Printer", "", nullptr, &length), 0);
    EXPECT_EQ(length, 0u);
}

// The debug reply stands in for the printer's in the status query and in
// the window alike: whatever fits a terminated 256-byte buffer, nothing
// longer.
TEST_F(StoreTest, DebugReplyFitsATerminatedBuffer) {
    constexpr const char* kDebugKey = krx::regkey::kDebugKey;
    EXPECT_EQ(krx::ReadDebugStatusReply(), "");
    for (size_t length : {1u, 255u, 256u, 4000u}) {
        const std::string value(length, 'D');
        WriteString(HKEY_LOCAL_MACHINE, kDebugKey, "Status", value);
        EXPECT_EQ(krx::ReadDebugStatusReply(), length <= 255 ? value : "") << length;
    }
}

namespace {

class NotifySettingsTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        profile_ = kit::ExecutableFolder() + "notify_test.ini";
        FILE* f = fopen(profile_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fputs("[NM]\r\nITEM012=1\r\nITEM009=0\r\nSoundNotifyEnable=1\r\n", f);
        fclose(f);
        WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, "NM", profile_);
    }
    void TearDown() override {
        DeleteFileA(profile_.c_str());
        CleanRegistryTest::TearDown();
    }
    std::string profile_;
};

} // namespace

TEST_F(NotifySettingsTest, StoreValuesWin) {
    std::string key = std::string(kByPrinter) + "\\P";
    WriteString(HKEY_CURRENT_USER, key, "Name", "Printer");
    WriteDword(HKEY_CURRENT_USER, key, "SoundNotifyEnable", 1);
    WriteDword(HKEY_CURRENT_USER, key + "\\Notify", "009", 1);
    int sound = -5, notify = -5;
    EXPECT_EQ(krx::GetItemNotifySettings("Printer", "", 9, &sound, &notify, "NM"), 0);
    EXPECT_EQ(notify, 1);
    EXPECT_EQ(sound, 1);
    WriteDword(HKEY_CURRENT_USER, key + "\\Notify", "009", 0);
    EXPECT_EQ(krx::GetItemNotifySettings("Printer", "", 9, &sound, &notify, "NM"), 0);
    EXPECT_EQ(notify, 0);
    EXPECT_EQ(sound, 0); // no sound for an item that is not notified
}

TEST_F(NotifySettingsTest, ProfileFallback) {
    int sound = -5, notify = -5;
    // No store key: notify comes from the profile, sound is not looked up.
    EXPECT_EQ(krx::GetItemNotifySettings("Printer", "", 12, &sound, &notify, "NM"), 1);
    EXPECT_EQ(notify, 1);
    EXPECT_EQ(sound, 0);
    // Notify in the store, sound from the profile.
    std::string key = std::string(kByPrinter) + "\\P";
    WriteString(HKEY_CURRENT_USER, key, "Name", "Printer");
    WriteDword(HKEY_CURRENT_USER, key + "\\Notify", "012", 1);
    EXPECT_EQ(krx::GetItemNotifySettings("Printer", "", 12, &sound, &notify, "NM"), 0);
    EXPECT_EQ(sound, 1);
    // Nothing anywhere.
    EXPECT_EQ(krx::GetItemNotifySettings("Printer", "", 11, &sound, &notify, "Unknown"), 2);
    EXPECT_EQ(notify, 0);
    EXPECT_EQ(sound, 0);
}
