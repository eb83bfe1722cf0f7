// Choice of the language section: entry parsing and the choice rules on
// their own, then the whole choice on real profile files with installed and
// missing resource libraries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_probe.h"
#include "base/module/language.h"
#include "base/module/language_entries.h"
#include "base/module/module_state.h"

using krx::LanguageEntry;

namespace {

std::vector<LanguageEntry> Entries(const std::string& section) {
    return krx::SplitLanguageEntries(section.data(), section.size());
}

std::string Chosen(const std::string& section, unsigned languageId) {
    std::vector<LanguageEntry> entries = Entries(section);
    int index = krx::SelectLanguageEntry(entries, languageId);
    return index < 0 ? "(none)" : entries[static_cast<size_t>(index)].name;
}

} // namespace

TEST(LanguageEntries, ChoiceRules) {
    using namespace std::string_literals;
    struct Case {
        const char* label;
        std::string section;
        unsigned language;
        const char* chosen;
    } cases[] = {
        {"Japanese over English", "EN=9,1\0JA=11,1\0"s, 0x0411, "JA"},
        {"exact sub-language wins", "ES1=0A,1\0ES3=0A,3\0"s, 0x0C0A, "ES3"},
        {"same primary language", "ES1=0A,1\0EN=9,1\0"s, 0x0C0A, "ES1"},
        {"same primary beats an earlier English", "EN=9,1\0ES1=0a,1\0"s, 0x0C0A, "ES1"},
        {"English when the language is missing", "FR=0C,1\0EN=09,1\0"s, 0x0407, "EN"},
        {"first entry without English", "FR=0C,1\0IT=10,1\0"s, 0x0407, "FR"},
        {"0x prefix is skipped", "EN=9,1\0FR=0x0C,0x01\0"s, 0x040C, "FR"},
        {"junk inside a number is skipped", "EN=9,1\0FR=0-C,1\0"s, 0x040C, "FR"},
        {"text after a second comma is ignored", "EN=9,1\0DE=7,1,extra,more\0"s, 0x0407, "DE"},
        {"missing sub counts as 0", "XX=9,1\0NEUTRAL=7\0"s, 0x0007, "NEUTRAL"},
        {"entry without '=' has id 0,0", "EN=9,1\0BARE\0"s, 0x0000, "BARE"},
        {"empty section", ""s, 0x0409, "(none)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Chosen(c.section, c.language), c.chosen) << c.label;
    }
}

TEST(LanguageEntries, MalformedSectionsStayInsideTheirData) {
    // The last entry lacks its terminator: it ends with the data.
    std::string unterminated = std::string("A=9,1\0B=11,", 11);
    std::vector<LanguageEntry> entries = Entries(unterminated);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, "B");
    EXPECT_EQ(entries[1].primary, "11");
    EXPECT_EQ(entries[1].sub, "");

    // An empty entry ends the list.
    EXPECT_EQ(Entries(std::string("A=1,1\0\0B=2,2\0", 14)).size(), 1u);
    // Parts: "=" first, then ",".
    LanguageEntry odd = krx::ParseLanguageEntry("=,=,");
    EXPECT_EQ(odd.name, "");
    EXPECT_EQ(odd.primary, "");
    EXPECT_EQ(odd.sub, "=");
    EXPECT_TRUE(krx::SplitLanguageEntries(nullptr, 10).empty());
    // Digits beyond 16 bits wrap.
    EXPECT_EQ(krx::ParseLanguageId("12345"), 0x2345);
    EXPECT_EQ(krx::ParseLanguageId("zz"), 0);
}

namespace {

// A model profile with language sections whose resource libraries are
// installed (or not) in the driver's installation folder.
class LanguageChoiceTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        folder_ = kit::ExecutableFolder() + "langtest";
        CreateDirectoryA(folder_.c_str(), nullptr);
        krx::ThisCall().driverKey = kDriverKey;
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", folder_);
        profile_ = folder_ + "\\" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    }
    void TearDown() override {
        for (const std::string& file : files_) {
            DeleteFileA(file.c_str());
        }
        DeleteFileA(profile_.c_str());
        RemoveDirectoryA(folder_.c_str());
        CleanRegistryTest::TearDown();
    }
    void Install(const char* resDll) {
        std::string path = folder_ + "\\" + resDll;
        dlgtest::WriteFile(path, "");
        files_.push_back(path);
    }
    std::string Choose(unsigned language, int* result = nullptr) {
        char out[krx::kLanguageSectionSize] = "stale";
        int length = sizeof(out);
        int rc = krx::ChooseLanguageSectionFor(language, out, &length, profile_.c_str());
        if (result != nullptr) {
            *result = rc;
        }
        return rc < 0 ? "(error)" : out;
    }

    static constexpr char kDriverKey[] = "software\\NORVA\\KRX3\\Driver\\Lang Test";
    // Three language sections, each with its own library.
    static constexpr char kProfile[] = "[Language]\r\nEnglish=9,1\r\nJapanese=11,1\r\n"
                                       "French=0C,1\r\n"
                                       "[English]\r\nResDll=res_en.dll\r\nONEPOINT=help_en.hlp\r\n"
                                       "TSS001=1\r\n"
                                       "[Japanese]\r\nResDll=res_ja.dll\r\nONEPOINT=help_ja.hlp\r\n"
                                       "[French]\r\nResDll=res_fr.dll\r\nONEPOINT=\r\n";
    std::string folder_;
    std::string profile_;
    std::vector<std::string> files_;
};

} // namespace

TEST_F(LanguageChoiceTest, FallsBackToEnglishThenToAnyInstalledLanguage) {
    dlgtest::WriteFile(profile_, kProfile);
    Install("res_en.dll");
    Install("res_ja.dll");
    Install("res_fr.dll");
    EXPECT_EQ(Choose(0x0411), "Japanese");

    // Japanese library missing: the English choice.
    krx::ResetSharedValues();
    DeleteFileA((folder_ + "\\res_ja.dll").c_str());
    EXPECT_EQ(Choose(0x0411), "English");

    // English missing too: the first installed section of the list.
    krx::ResetSharedValues();
    DeleteFileA((folder_ + "\\res_en.dll").c_str());
    EXPECT_EQ(Choose(0x0411), "French");
    EXPECT_EQ(krx::ChosenLanguageSection(), "French");
}

TEST_F(LanguageChoiceTest, NothingInstalledChoosesAgainNextTime) {
    dlgtest::WriteFile(profile_, kProfile);
    int result = -99;
    EXPECT_EQ(Choose(0x0411, &result), "");
    EXPECT_GE(result, 0);
    EXPECT_EQ(krx::ChosenLanguageSection(), "");
    // No section: readers find nothing and give their defaults.
    EXPECT_EQ(krx::ReadLanguageText("ONEPOINT", profile_.c_str()), "");
    EXPECT_EQ(krx::ReadLanguageInt("TSS001", 42, profile_.c_str()), 42);

    Install("res_ja.dll");
    EXPECT_EQ(Choose(0x0409), "Japanese");
}

TEST_F(LanguageChoiceTest, DriverKeyMissingMeansNotInstalled) {
    dlgtest::WriteFile(profile_, kProfile);
    Install("res_en.dll");
    krx::ThisCall().driverKey = "software\\NORVA\\KRX3\\Driver\\No Such Driver";
    EXPECT_EQ(Choose(0x0409), "");
    krx::ThisCall().driverKey.clear();
    EXPECT_EQ(Choose(0x0409), "");
}

TEST_F(LanguageChoiceTest, ChoiceIsKeptForTheProcess) {
    dlgtest::WriteFile(profile_, kProfile);
    Install("res_en.dll");
    EXPECT_EQ(Choose(0x0409), "English");
    // Later reads use the kept section, whatever file or language they name.
    std::string other = profile_ + ".other.ini";
    dlgtest::WriteFile(other, "[Language]\r\nOther=9,1\r\n[Other]\r\nResDll=res_en.dll\r\n");
    char out[krx::kLanguageSectionSize];
    int length = sizeof(out);
    EXPECT_EQ(krx::ChooseLanguageSectionFor(0x0411, out, &length, other.c_str()), 0);
    EXPECT_STREQ(out, "English");
    EXPECT_EQ(length, 7);
    DeleteFileA(other.c_str());
}

TEST_F(LanguageChoiceTest, NameThatDoesNotFitReportsTheRoomNeeded) {
    dlgtest::WriteFile(profile_, kProfile);
    Install("res_ja.dll");
    auto tooSmall = [&](const char* label) {
        char out[8] = "ABCDEFG";
        int length = 5;
        EXPECT_EQ(krx::ChooseLanguageSectionFor(0x0411, out, &length, profile_.c_str()), -4)
            << label;
        EXPECT_EQ(length, 9) << label << ": \"Japanese\" and its terminator";
        EXPECT_STREQ(out, "ABCDEFG") << label << ": nothing written";
    };
    tooSmall("fresh choice");
    EXPECT_EQ(krx::ChosenLanguageSection(), "");
    EXPECT_EQ(Choose(0x0411), "Japanese");
    // A kept choice is copied as far as the buffer holds.
    char out[8] = "ABCDEFG";
    int length = 5;
    EXPECT_EQ(krx::ChooseLanguageSectionFor(0x0411, out, &length, profile_.c_str()), 0);
    EXPECT_STREQ(out, "Japa");
    EXPECT_EQ(length, 4);
}

TEST_F(LanguageChoiceTest, LongLanguageSectionIsReadWhole) {
    std::string text = "[Language]\r\n";
    for (int i = 0; i < 40; ++i) {
        text +=
            "UnusedLanguageSection" + std::to_string(i) + "=7" + std::to_string(i % 10) + ",1\r\n";
    }
    text += "Japanese=11,1\r\n[Japanese]\r\nResDll=res_ja.dll\r\n";
    ASSERT_GT(text.size(), 3u * 260u);
    dlgtest::WriteFile(profile_, text);
    Install("res_ja.dll");
    EXPECT_EQ(Choose(0x0411), "Japanese");
}

TEST_F(LanguageChoiceTest, ReadersUseTheChosenSection) {
    dlgtest::WriteFile(profile_, kProfile);
    Install("res_ja.dll");
    krx::SetChosenLanguageSection("English"); // chosen earlier in the process
    char value[32] = "stale";
    EXPECT_EQ(krx::ReadLanguageString("ONEPOINT", value, static_cast<int>(sizeof(value)),
                                      profile_.c_str()),
              0);
    EXPECT_STREQ(value, "help_en.hlp");
    // Cut to the buffer, still terminated.
    char small[5];
    int length = sizeof(small);
    EXPECT_EQ(krx::ReadLanguageString("ONEPOINT", small, &length, profile_.c_str()), 0);
    EXPECT_STREQ(small, "help");
    EXPECT_EQ(length, 4);
    EXPECT_EQ(krx::ReadLanguageString("Missing", value, static_cast<int>(sizeof(value)),
                                      profile_.c_str()),
              -1);
    EXPECT_EQ(krx::ReadLanguageInt("TSS001", 0, profile_.c_str()), 1);
    EXPECT_EQ(krx::ReadLanguageInt("TSS002", 7, profile_.c_str()), 7);

    krx::ResetSharedValues();
    krx::SetChosenLanguageSection("French");
    EXPECT_EQ(krx::ReadLanguageText("ONEPOINT", profile_.c_str()), "") << "empty value";
}
