// Tips list: loading from the resource library, the special tip, the
// per-user rotation through "TipIndex", and topic numbers.
#include <gtest/gtest.h>

#include <string>

#include "common/resource_ids.h"
#include "dialog_probe.h"
#include "graphics/resource_text.h"
#include "graphics/tip_list.h"
#include "graphics/tip_topic.h"

namespace {

constexpr char kUserKey[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer01";

class TipsTest : public dlgtest::ResourceLibraryTest {
  protected:
    TipsTest() : ResourceLibraryTest("dlgtest_res_a.dll") {}
};

class TipsWithoutSpecialTest : public dlgtest::ResourceLibraryTest {
  protected:
    TipsWithoutSpecialTest() : ResourceLibraryTest("dlgtest_res_b.dll") {}
};

std::string Texts(krx::TipList& tips, int count) {
    std::string shown;
    for (int i = 0; i < count; ++i) {
        tips.AdvanceTip();
        shown += tips.CurrentTipText() + ";";
    }
    return shown;
}

} // namespace

TEST(TipTopic, DecimalAndHexadecimal) {
    struct Case {
        const char* text;
        int32_t topic;
    } cases[] = {{"26", 26},         {"0x1A", 26},  {"0X1a", 26}, {"0xZ1", 0},      {"0x", 0},
                 {"0x1A ", 0},       {"12abc", 12}, {"abc", 0},   {"", 0},          {"-5", 0},
                 {"0xFFFFFFFF", -1}, {"0", 0},      {"0x0", 0},   {"4294967297", 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(krx::ParseTipTopic(c.text, strlen(c.text)), c.topic) << '"' << c.text << '"';
    }
    // Only the given length is read, even without a terminator.
    const char unterminated[4] = {'0', 'x', '1', 'A'};
    EXPECT_EQ(krx::ParseTipTopic(unterminated, 3), 1);
    EXPECT_EQ(krx::ParseDecimalPrefix("123", 2), 12);
}

TEST_F(TipsTest, CountIncludesTheSpecialTipWhichOnlyFlagsAdd) {
    krx::TipList tips;
    ASSERT_EQ(tips.LoadTips(kUserKey), 1);
    // "5" with the special tip present: four regular tips, no special one yet.
    ASSERT_EQ(tips.Entries().size(), 4u);
    EXPECT_EQ(tips.Entries()[3].textId, 2303u);
    EXPECT_EQ(tips.TipFlags(), 0);

    tips.SetTipFlags(1);
    tips.SetTipFlags(1);
    ASSERT_EQ(tips.Entries().size(), 5u) << "wanted twice, added once";
    EXPECT_EQ(tips.Entries()[4].textId, static_cast<unsigned>(IDS_TIP_SPECIAL_TEXT));
    EXPECT_EQ(tips.TipFlags(), 1);

    tips.SetTipFlags(0);
    EXPECT_EQ(tips.Entries().size(), 4u);
    EXPECT_EQ(tips.TipFlags(), 0);
}

TEST_F(TipsTest, RotationContinuesFromTheSavedIndexAndWraps) {
    krxtest::WriteDword(HKEY_CURRENT_USER, kUserKey, "TipIndex", 3);
    krx::TipList tips;
    tips.LoadTips(kUserKey);
    EXPECT_EQ(tips.CurrentTipText(), "") << "nothing chosen yet";
    EXPECT_EQ(tips.CurrentTipTopic(), -1);
    // Saved 3 with four tips: wraps to the first and saves 0.
    EXPECT_EQ(Texts(tips, 1), "Tip zero;");
    EXPECT_EQ(krxtest::ReadDword(HKEY_CURRENT_USER, kUserKey, "TipIndex", 99), 0u);
    EXPECT_EQ(Texts(tips, 4), "Tip one;Tip two;Tip three;Tip zero;");
    EXPECT_EQ(krxtest::ReadDword(HKEY_CURRENT_USER, kUserKey, "TipIndex", 99), 0u);

    // A second window continues after the last tip shown.
    krx::TipList next;
    next.LoadTips(kUserKey);
    EXPECT_EQ(Texts(next, 1), "Tip one;");
}

TEST_F(TipsTest, StartsAtTheFirstTipWithoutASavedIndex) {
    struct Case {
        const char* label;
        bool createKey;
        DWORD saved;
        bool writeSaved;
        const char* first;
    } cases[] = {
        {"no key: not saved", false, 0, false, "Tip zero;"},
        {"no value", true, 0, false, "Tip zero;"},
        {"saved index beyond the list", true, 40, true, "Tip zero;"},
        {"damaged negative index", true, static_cast<DWORD>(-7), true, "Tip zero;"},
        {"saved 1", true, 1, true, "Tip two;"},
    };
    for (const Case& c : cases) {
        krxtest::CleanRegistryTest::Wipe();
        if (c.createKey) {
            krxtest::WriteString(HKEY_CURRENT_USER, kUserKey, "Name", "Kit Printer KX500");
        }
        if (c.writeSaved) {
            krxtest::WriteDword(HKEY_CURRENT_USER, kUserKey, "TipIndex", c.saved);
        }
        krx::TipList tips;
        tips.LoadTips(kUserKey);
        EXPECT_EQ(Texts(tips, 1), c.first) << c.label;
        EXPECT_EQ(krxtest::ValueExists(HKEY_CURRENT_USER, kUserKey, "TipIndex"), c.createKey)
            << c.label;
    }
}

TEST_F(TipsTest, SpecialTipTakenAwayWhileShown) {
    krx::TipList tips;
    tips.LoadTips("");
    tips.SetTipFlags(1);
    Texts(tips, 5);
    EXPECT_EQ(tips.CurrentTipText(), "Ink is running low: have a new cartridge ready.");
    EXPECT_EQ(tips.CurrentTipTopic(), 0x1F4);
    tips.SetTipFlags(0);
    // One past the end: nothing to show until the next advance wraps.
    EXPECT_EQ(tips.CurrentTipText(), "");
    EXPECT_EQ(tips.CurrentTipTopic(), -1);
    EXPECT_EQ(Texts(tips, 1), "Tip zero;");
}

TEST_F(TipsTest, TopicsOfTheRegularTips) {
    krx::TipList tips;
    tips.LoadTips("");
    int32_t topics[4];
    for (int32_t& topic : topics) {
        tips.AdvanceTip();
        topic = tips.CurrentTipTopic();
    }
    EXPECT_EQ(topics[0], 26);
    EXPECT_EQ(topics[1], 26);
    EXPECT_EQ(topics[2], 26);
    EXPECT_EQ(topics[3], 0) << "0xZ1";
}

TEST_F(TipsWithoutSpecialTest, MissingTopicSkipsTheTipAndLongTopicsAreCut) {
    krx::TipList tips;
    ASSERT_EQ(tips.LoadTips(""), 1) << "count \"3 tips\" reads as 3";
    ASSERT_EQ(tips.Entries().size(), 2u);
    EXPECT_EQ(tips.Entries()[1].textId, 2302u);
    // The special tip does not exist: flagging it adds nothing.
    tips.SetTipFlags(1);
    EXPECT_EQ(tips.Entries().size(), 2u);
    EXPECT_EQ(tips.TipFlags(), 1);

    // The topic text is longer than a text buffer: it is read cut to the
    // buffer, whose cut end lacks the text's closing non-digit.
    krx::ResourceText text;
    ASSERT_EQ(text.LoadText(2402), 1);
    EXPECT_EQ(text.String().size(), 1023u);
    tips.AdvanceTip();
    tips.AdvanceTip();
    EXPECT_EQ(tips.CurrentTipText(), "Long topic");
    EXPECT_EQ(tips.CurrentTipTopic(), 0x11111111);
}

TEST_F(TipsWithoutSpecialTest, NoCountNoTips) {
    // A library without tip strings (the version test file).
    HMODULE none = LoadLibraryA("dlgtest_version.dll");
    ASSERT_NE(none, nullptr);
    krx::ThisCall().resourceModule = none;
    krx::TipList tips;
    EXPECT_EQ(tips.LoadTips(""), 0);
    EXPECT_TRUE(tips.Entries().empty());
    tips.AdvanceTip();
    EXPECT_EQ(tips.CurrentTipText(), "");
    krx::ThisCall().resourceModule = Library();
    FreeLibrary(none);
}

TEST_F(TipsTest, ResourceTextKeepsItsTextOnAMiss) {
    krx::ResourceText text(8);
    ASSERT_EQ(text.LoadText(2300), 1);
    EXPECT_STREQ(text.Text(), "Tip zer") << "cut to the capacity";
    EXPECT_EQ(text.SourceModule(), Library());
    EXPECT_EQ(text.LoadText(4999), 0);
    EXPECT_STREQ(text.Text(), "Tip zer");
    krx::ThisCall().resourceModule = nullptr;
    EXPECT_EQ(text.LoadText(2300), 0) << "no resource library";
}
