// Sound table: wave names from the profile's language section, the
// suffix rule, and what would be played (through the sound seam).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <windows.h>
#include <mmsystem.h>

#include "base/registry/registry_paths.h"
#include "dialog_probe.h"
#include "base/module/message_box.h"
#include "base/module/module_state.h"
#include "graphics/sound.h"
#include "graphics/sound_names.h"

namespace {

struct PlayedSound {
    std::string name;
    DWORD flags;
};
std::vector<PlayedSound>* g_played = nullptr;

BOOL WINAPI RecordSound(LPCSTR sound, HMODULE, DWORD flags) {
    if (g_played != nullptr) {
        g_played->push_back({sound != nullptr ? sound : "(none)", flags});
    }
    return TRUE;
}

class SoundTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        folder_ = kit::ExecutableFolder() + "soundtest";
        CreateDirectoryA(folder_.c_str(), nullptr);
        profile_ = folder_ + "\\sound.ini";
        resDll_ = folder_ + "\\res_en.dll";
        dlgtest::WriteFile(resDll_, "");
        krx::ThisCall().driverKey = kDriverKey;
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", folder_);
        krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, "KX-Sound", profile_);
        g_played = &played_;
        krx::Sounds().playSound = RecordSound;
    }
    void TearDown() override {
        krx::Sounds() = krx::DefaultSounds();
        g_played = nullptr;
        DeleteFileA(profile_.c_str());
        DeleteFileA(resDll_.c_str());
        RemoveDirectoryA(folder_.c_str());
        CleanRegistryTest::TearDown();
    }
    void WriteProfile(const std::string& waves) {
        dlgtest::WriteFile(profile_,
                           "[Language]\r\nEnglish=9,1\r\n[KX-Sound]\r\nWVV001=model.wav\r\n"
                           "[English]\r\nResDll=res_en.dll\r\n" +
                               waves);
    }

    static constexpr char kDriverKey[] = "software\\NORVA\\KRX3\\Driver\\Sound Test";
    std::string folder_, profile_, resDll_;
    std::vector<PlayedSound> played_;
};

} // namespace

TEST(SoundNames, KeysAndSuffixes) {
    EXPECT_EQ(krx::WaveKeyName(7), "WVV007");
    EXPECT_EQ(krx::WaveKeyName(999), "WVV999");
    struct Case {
        const char* name;
        bool wave;
    } cases[] = {{"ink.wav", true}, {"INK.WAV", true},   {"ink.Wav", true},
                 {"wav", true},     {"ink.wave", false}, {"ink.mp3", false},
                 {"av", false},     {"", false},         {"inkwav", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(krx::HasWaveSuffix(c.name), c.wave) << '"' << c.name << '"';
    }
}

TEST_F(SoundTest, OnlyAssignedWaveFilesPlay) {
    WriteProfile("WVV007=ink_low.wav\r\nWVV008=ERROR.WAV\r\nWVV009=tune.wave\r\n"
                 "WVV010=tune.mp3\r\nWVV000=zero.wav\r\n");
    krx::SoundTable table("KX-Sound");
    ASSERT_EQ(table.IsSoundAvailable(), 1);
    EXPECT_EQ(table.WaveNames().size(), 1000u);
    struct Case {
        int number;
        int started;
    } cases[] = {{7, 1}, {8, 1}, {9, 0}, {10, 0}, {0, 0}, {1, 0}, {6, 0}, {-1, 0}, {1000, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(table.PlayStatusSound(c.number), c.started) << "sound " << c.number;
    }
    ASSERT_EQ(played_.size(), 2u);
    EXPECT_EQ(played_[0].name, folder_ + "\\ink_low.wav");
    EXPECT_EQ(played_[0].flags, 0x22003u);
    EXPECT_EQ(played_[1].name, folder_ + "\\ERROR.WAV");

    krx::SoundTable::StopSounds();
    ASSERT_EQ(played_.size(), 3u);
    EXPECT_EQ(played_[2].name, "(none)");
    EXPECT_EQ(played_[2].flags, static_cast<DWORD>(SND_PURGE));
}

// The table is read from one section listing; every profile must give the
// table that reading its 999 keys one by one gives.
TEST_F(SoundTest, TableEqualsKeyByKeyReadsOnVariedProfiles) {
    std::mt19937 random(15);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto text = [&](int length) {
        std::string t;
        for (int i = 0; i < length; ++i) {
            const char c = static_cast<char>(pick(4) == 0 ? 0x80 + pick(0x7F) : 'a' + pick(26));
            t += c;
        }
        return t;
    };
    const char* const spaces[] = {"", " ", "  ", "\t"};
    const char* const quotes[] = {"", "\"", "'"};
    for (int profile = 0; profile < 20; ++profile) {
        std::string lines;
        const int count = 1 + pick(profile % 4 == 0 ? 1500 : 60);
        for (int i = 0; i < count; ++i) {
            char key[16];
            snprintf(key, sizeof(key),
                     pick(8) == 0    ? "wvv%03d"
                     : pick(20) == 0 ? "WVV%d"
                                     : "WVV%03d",
                     pick(1002));
            std::string value;
            const int length = pick(6) == 0 ? 245 + pick(20) : pick(12);
            const char* open = quotes[pick(3)];
            const char* close = pick(4) == 0 ? quotes[pick(3)] : open;
            value = std::string(open) + text(length) + (pick(3) == 0 ? ".wav" : "") + close;
            switch (pick(10)) {
            case 0:
                lines += std::string(";") + key + "=" + value + "\r\n";
                break;
            case 1:
                lines += std::string(key) + "\r\n";
                break;
            case 2:
                lines += std::string(key) + "=a=" + value + "\r\n";
                break;
            case 3:
                lines += "\r\n[Other]\r\n" + std::string(key) + "=other.wav\r\n[English]\r\n";
                break;
            default:
                lines += spaces[pick(4)] + std::string(key) + spaces[pick(4)] + "=" +
                         spaces[pick(4)] + value + spaces[pick(4)] + "\r\n";
            }
        }
        WriteProfile(lines);
        krx::SoundTable table("KX-Sound");
        krx::SoundProfileReader reader("KX-Sound", 1);
        ASSERT_EQ(table.WaveNames().size(), 1000u);
        for (int number = krx::kFirstSoundNumber; number <= krx::kLastSoundNumber; ++number) {
            ASSERT_EQ(table.WaveNames()[static_cast<size_t>(number)],
                      reader.ReadString(krx::WaveKeyName(number).c_str(), "", 256))
                << "profile " << profile << ", sound " << number << "\n"
                << lines;
        }
    }
}

TEST_F(SoundTest, LongWaveNamesAreCut) {
    std::string longName(300, 'a');
    WriteProfile("WVV002=" + longName + ".wav\r\n");
    krx::SoundTable table("KX-Sound");
    EXPECT_EQ(table.WaveNames()[2].size(), 255u);
    EXPECT_EQ(table.PlayStatusSound(2), 0) << "the cut name no longer ends in wav";
}

TEST_F(SoundTest, NoInstallFolderNoSounds) {
    WriteProfile("WVV007=ink_low.wav\r\n");
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", "");
    krx::SoundTable table("KX-Sound");
    EXPECT_EQ(table.IsSoundAvailable(), 0);
    EXPECT_EQ(table.PlayStatusSound(7), 0);
    EXPECT_TRUE(played_.empty());
}

TEST_F(SoundTest, NoProfileOrLanguageSectionLeavesEveryNameEmpty) {
    // The model is unknown to the Profile key.
    krx::SoundTable unknown("Other Model");
    EXPECT_EQ(unknown.IsSoundAvailable(), 1) << "the folder is known";
    for (const std::string& name : unknown.WaveNames()) {
        ASSERT_EQ(name, "");
    }
    // The profile has no installed language section.
    WriteProfile("WVV007=ink_low.wav\r\n");
    DeleteFileA(resDll_.c_str());
    krx::SoundTable noLanguage("KX-Sound");
    EXPECT_EQ(noLanguage.WaveNames()[7], "");
    EXPECT_EQ(noLanguage.PlayStatusSound(7), 0);
}

TEST_F(SoundTest, ReaderModes) {
    WriteProfile("WVV007=ink_low.wav\r\n");
    krx::SoundProfileReader byLanguage("KX-Sound", 1);
    EXPECT_TRUE(byLanguage.IsValid());
    EXPECT_EQ(byLanguage.Section(), "English");
    EXPECT_EQ(byLanguage.ReadString("WVV007", "-", 256), "ink_low.wav");
    EXPECT_EQ(byLanguage.ReadString("WVV001", "-", 256), "-");
    krx::SoundProfileReader byName("KX-Sound", 0);
    EXPECT_EQ(byName.Section(), "KX-Sound");
    EXPECT_EQ(byName.ReadString("WVV001", "-", 256), "model.wav");
    EXPECT_EQ(byName.ReadString("WVV001", "-", 4), "mod");
    krx::SoundProfileReader missing("Nobody", 0);
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(missing.ReadString("WVV001", "dflt", 256), "dflt");
}

namespace {
int CountBox(const krx::MessageBoxRequest& request, void* context) {
    if (request.text.compare(0, 9, "CommonKey") == 0) {
        ++*static_cast<int*>(context);
    }
    return IDOK;
}
} // namespace

TEST_F(SoundTest, UnknownDriverKeyLeavesTheTableUnavailable) {
    WriteProfile("WVV007=ink_low.wav\r\n");
    int shown = 0;
    krx::ScopedMessageBoxHook hook(CountBox, &shown);
    krx::ThisCall().driverKey.clear();
    krx::SoundTable table("KX-Sound");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(table.IsSoundAvailable(), 0);
    EXPECT_EQ(table.PlayStatusSound(7), 0);
}
