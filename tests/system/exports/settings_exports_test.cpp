// PrEnumItem and SetRegDefaultValue through the plug-in's exports: every
// result code, the values written and kept, and bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "exports_fixture.h"
#include "test_support.h"

using krxtest::ReadDword;
using krxtest::ValueExists;
using krxtest::WriteDword;

namespace {

constexpr char kStore[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer09";
const std::string kNotify = std::string(kStore) + "\\Notify";
constexpr DWORD kAbsent = 0xDEAD;

class EnumItemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(plugin_.Loaded());
        enumItem_ = plugin_.Get<PFN_PrEnumItem>("PrEnumItem");
        ASSERT_NE(enumItem_, nullptr);
    }
    exportstest::LoadedPlugin plugin_;
    PFN_PrEnumItem enumItem_ = nullptr;
};

class SetDefaultsTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        ASSERT_TRUE(plugin_.Loaded());
        setDefaults_ = plugin_.Get<PFN_SetRegDefaultValue>("SetRegDefaultValue");
        ASSERT_NE(setDefaults_, nullptr);
        profile_ = kit::ExecutableFolder() + "exports_profile.ini";
        krxtest::WriteString(HKEY_CURRENT_USER, kStore, "Name", "Printer Nine");
    }
    void TearDown() override {
        DeleteFileA(profile_.c_str());
        CleanRegistryTest::TearDown();
    }
    void Profile(const std::string& modelLines) const {
        FILE* f = fopen(profile_.c_str(), "w");
        ASSERT_NE(f, nullptr);
        fprintf(f, "[Other]\nITEMNUM=9\nMaxIC=99\n[M1]\n%s[M2]\nITEM005=1\n", modelLines.c_str());
        fclose(f);
    }
    int Call(const char* model = "M1") const {
        return setDefaults_(profile_.c_str(), model, kStore);
    }
    static DWORD Value(const char* name) {
        return ReadDword(HKEY_CURRENT_USER, kStore, name, kAbsent);
    }
    static DWORD Item(const char* name) {
        return ReadDword(HKEY_CURRENT_USER, kNotify, name, kAbsent);
    }
    static DWORD NotifyValueCount() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kNotify.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return kAbsent;
        }
        DWORD count = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return count;
    }

    exportstest::LoadedPlugin plugin_;
    PFN_SetRegDefaultValue setDefaults_ = nullptr;
    std::string profile_;
};

} // namespace

TEST_F(EnumItemTest, ListsTheKitItemsThenResetsTheIndex) {
    HMODULE resources = LoadLibraryA("krxres_en.dll");
    ASSERT_NE(resources, nullptr);
    const int expected[] = {12, 11, 9};
    int index = 0;
    for (int i = 0; i < 3; ++i) {
        char name[260] = {};
        int item = -1;
        ASSERT_EQ(enumItem_(resources, &index, name, &item), 0) << i;
        EXPECT_EQ(item, expected[i]) << i;
        EXPECT_EQ(index, i + 1);
        EXPECT_GT(strlen(name), 0u) << i;
    }
    char name[260] = "untouched";
    int item = -1;
    EXPECT_EQ(enumItem_(resources, &index, name, &item), 1);
    EXPECT_EQ(index, 0);
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(item, -1);
    FreeLibrary(resources);
}

TEST_F(EnumItemTest, CountsAndNamesFromOtherLibraries) {
    const struct {
        const char* library;
        int index;
        int result;
        int item;
        const char* name;
        int nextIndex;
    } cases[] = {
        {"exports_items_five.dll", 3, 0, 0, "fourth", 4},
        {"exports_items_five.dll", 5, 1, -1, "", 0},
        {"exports_items_five.dll", -1, 1, -1, "", 0},
        {"exports_items_five.dll", INT_MIN, 1, -1, "", 0},
        {"exports_items_negative.dll", 0, 1, -1, "", 0},
        // Only 7 characters of the count are read: 1234567 items, most
        // without a name.
        {"exports_items_long_count.dll", 1234566, 0, 0, "", 1234567},
        {"exports_items_long_count.dll", 1234567, 1, -1, "", 0},
        // Past the 16-bit string ids: no name rather than the one its low
        // 16 bits would name (1001, "only one name").
        {"exports_items_long_count.dll", 65536, 0, 0, "", 65537},
    };
    for (const auto& c : cases) {
        HMODULE resources = LoadLibraryA(c.library);
        ASSERT_NE(resources, nullptr) << c.library;
        int index = c.index;
        char name[260] = {};
        int item = -1;
        EXPECT_EQ(enumItem_(resources, &index, name, &item), c.result)
            << c.library << " " << c.index;
        EXPECT_EQ(item, c.item) << c.library << " " << c.index;
        EXPECT_STREQ(name, c.name) << c.library << " " << c.index;
        EXPECT_EQ(index, c.nextIndex) << c.library << " " << c.index;
        FreeLibrary(resources);
    }
}

TEST_F(EnumItemTest, LongNameIsCutToTheHostBuffer) {
    HMODULE resources = LoadLibraryA("exports_items_five.dll");
    ASSERT_NE(resources, nullptr);
    char buffer[300];
    memset(buffer, '#', sizeof(buffer));
    int index = 4;
    int item = -1;
    ASSERT_EQ(enumItem_(resources, &index, buffer, &item), 0);
    EXPECT_EQ(strlen(buffer), 259u);
    for (size_t i = 260; i < sizeof(buffer); ++i) {
        ASSERT_EQ(buffer[i], '#') << "written past the 260-byte buffer at " << i;
    }
    FreeLibrary(resources);
}

TEST_F(EnumItemTest, NullPointersAreRefusedOrSkipped) {
    HMODULE resources = LoadLibraryA("exports_items_five.dll");
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(enumItem_(resources, nullptr, nullptr, nullptr), 1);
    int index = 1;
    EXPECT_EQ(enumItem_(resources, &index, nullptr, nullptr), 0);
    EXPECT_EQ(index, 2);
    FreeLibrary(resources);
}

TEST_F(SetDefaultsTest, CopiesValuesAndItemsIntoANewNotifyKey) {
    Profile("SoundNotifyEnable=1\nTrayIconEnable=1\nTrayIconSelected=2\nInkNearEndB=15\n"
            "InkNearEndC=16\nSizeUnitH=100\nSlipMax=50\nMaxCaset=3\nMaxIC=6\nPaperNearEnd=5\n"
            "ITEMNUM=2\nITEM000=1\nITEM012=0\n");
    ASSERT_EQ(Call(), 0);
    const struct {
        const char* name;
        DWORD value;
    } values[] = {{"SoundNotifyEnable", 1}, {"TrayIconEnable", 1}, {"TrayIconSelected", 2},
                  {"InkNearEndB", 15},      {"InkNearEndC", 16},   {"SizeUnitH", 100},
                  {"SlipMax", 50},          {"MaxCaset", 3},       {"MaxIC", 6},
                  {"PaperNearEnd", 5}};
    for (const auto& v : values) {
        EXPECT_EQ(Value(v.name), v.value) << v.name;
    }
    EXPECT_EQ(Item("000"), 1u);
    EXPECT_EQ(Item("012"), 0u);
    EXPECT_EQ(NotifyValueCount(), 2u);
}

TEST_F(SetDefaultsTest, SecondCallRewritesValuesButKeepsTheUsersItems) {
    Profile("SoundNotifyEnable=1\nITEMNUM=1\nITEM012=1\n");
    ASSERT_EQ(Call(), 0);
    WriteDword(HKEY_CURRENT_USER, kNotify, "012", 0); // the user switched it off
    WriteDword(HKEY_CURRENT_USER, kStore, "SoundNotifyEnable", 7);
    EXPECT_EQ(Call(), 3);
    EXPECT_EQ(Item("012"), 0u);
    EXPECT_EQ(Value("SoundNotifyEnable"), 1u);
}

TEST_F(SetDefaultsTest, MissingKeysWriteZeroOrLeaveTheValue) {
    Profile("ITEMNUM=0\n");
    WriteDword(HKEY_CURRENT_USER, kStore, "MaxIC", 4);
    WriteDword(HKEY_CURRENT_USER, kStore, "TrayIconEnable", 1);
    EXPECT_EQ(Call(), 0);
    EXPECT_EQ(Value("TrayIconEnable"), 0u);
    EXPECT_EQ(Value("SoundNotifyEnable"), 0u);
    EXPECT_EQ(Value("MaxIC"), 4u) << "not taken from the [Other] section either";
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kStore, "SlipMax"));
    EXPECT_EQ(NotifyValueCount(), 0u);
}

TEST_F(SetDefaultsTest, ItemCountResults) {
    std::string all;
    for (int i = 0; i < 1000; ++i) {
        char line[32];
        snprintf(line, sizeof(line), "ITEM%03d=%d\n", i, i % 2);
        all += line;
    }
    const struct {
        const char* label;
        std::string lines;
        int result;
        DWORD items;
    } cases[] = {
        {"no ITEMNUM", "MaxIC=1\nITEM001=1\n", 4, 0},
        {"fewer items than ITEMNUM", "ITEMNUM=3\nITEM001=1\nITEM999=0\n", 5, 2},
        {"ITEMNUM stops the copy", "ITEMNUM=1\nITEM001=1\nITEM002=1\n", 0, 1},
        {"negative ITEMNUM copies nothing", "ITEMNUM=-1\nITEM001=1\n", 5, 0},
        {"ITEMNUM beyond the item range", "ITEMNUM=5000\n" + all + "ITEM1000=1\n", 5, 1000},
        {"all thousand items", "ITEMNUM=1000\n" + all, 0, 1000},
    };
    for (const auto& c : cases) {
        kit::DeleteTree(HKEY_CURRENT_USER, kNotify.c_str());
        Profile(c.lines);
        EXPECT_EQ(Call(), c.result) << c.label;
        EXPECT_EQ(NotifyValueCount(), c.items) << c.label;
    }
    EXPECT_EQ(Item("999"), 1u);
    EXPECT_EQ(Item("998"), 0u);
}

TEST_F(SetDefaultsTest, MissingStoreKeyProfileOrModel) {
    Profile("SoundNotifyEnable=1\nITEMNUM=1\nITEM001=1\n");
    EXPECT_EQ(setDefaults_(profile_.c_str(), "M1", "software\\NORVA\\nowhere"), 1);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "software\\NORVA\\nowhere", "SoundNotifyEnable"));
    EXPECT_EQ(setDefaults_(profile_.c_str(), "M1", nullptr), 1);
    EXPECT_EQ(Value("SoundNotifyEnable"), kAbsent) << "nothing written on result 1";

    const std::string missing = kit::ExecutableFolder() + "no_such_profile.ini";
    EXPECT_EQ(setDefaults_(missing.c_str(), "M1", kStore), 4);
    EXPECT_EQ(Value("SoundNotifyEnable"), 0u);
    kit::DeleteTree(HKEY_CURRENT_USER, kNotify.c_str());
    EXPECT_EQ(setDefaults_(nullptr, nullptr, kStore), 4);
    kit::DeleteTree(HKEY_CURRENT_USER, kNotify.c_str());
    EXPECT_EQ(Call("M"), 4) << "a prefix of a section name is not the section";
}

TEST_F(SetDefaultsTest, KitSampleModel) {
    const std::string sample = kit::ExecutableFolder() + "KX500.ini";
    EXPECT_EQ(setDefaults_(sample.c_str(), "KX500", kStore), 0);
    EXPECT_EQ(Value("MaxIC"), 6u);
    EXPECT_EQ(Item("009"), 1u);
    EXPECT_EQ(Item("011"), 0u);
    EXPECT_EQ(Item("012"), 1u);
}
