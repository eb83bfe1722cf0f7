// The installed kit as the plug-in finds it: the registry the setup step
// writes, the sample profile's language sections and the files they name,
// the version resources, the wave files, and the utility and companion
// programs that record how the plug-in called them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/registry/registry_paths.h"
#include "base/profile/profile_reader.h"
#include "status/status_classes.h"
#include "kit_companion.h"
#include "kit_utility.h"
#include "test_support.h"

namespace krxtest {
namespace {

const std::string kDriverKey = std::string(krx::regkey::kDriverKeyPrefix) + kit::kDriverName;

std::string ReadString(HKEY root, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    char buffer[512] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : std::string();
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ProfileText(const std::string& file, const std::string& section, const char* key) {
    char buffer[300] = {};
    GetPrivateProfileStringA(section.c_str(), key, "", buffer, sizeof(buffer), file.c_str());
    return buffer;
}

// The sections named in the profile's "Language" section.
std::vector<std::string> LanguageSections(const std::string& file) {
    std::vector<char> buffer(4096);
    DWORD n = GetPrivateProfileSectionA("Language", buffer.data(),
                                        static_cast<DWORD>(buffer.size()), file.c_str());
    std::vector<std::string> sections;
    for (const char* entry = buffer.data(); entry < buffer.data() + n && *entry != '\0';
         entry += strlen(entry) + 1) {
        std::string text(entry);
        sections.push_back(text.substr(0, text.find('=')));
    }
    return sections;
}

struct WaveFormat {
    bool riff = false;
    WORD format = 0;
    WORD channels = 0;
    WORD bits = 0;
    DWORD dataBytes = 0;
};

WaveFormat ReadWave(const std::string& path) {
    WaveFormat wave;
    std::string bytes = kit::ReadTextFile(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return wave;
    }
    wave.riff = true;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        DWORD size = 0;
        memcpy(&size, bytes.data() + at + 4, 4);
        if (size > bytes.size() - at - 8) {
            break;
        }
        if (bytes.compare(at, 4, "fmt ") == 0 && size >= 16) {
            memcpy(&wave.format, bytes.data() + at + 8, 2);
            memcpy(&wave.channels, bytes.data() + at + 10, 2);
            memcpy(&wave.bits, bytes.data() + at + 22, 2);
        } else if (bytes.compare(at, 4, "data") == 0) {
            wave.dataBytes = size;
        }
        at += 8 + size + (size & 1);
    }
    return wave;
}

class InstalledKitTest : public InstalledSystemTest {
  protected:
    std::string Bin() const { return kit::ExecutableFolder(); }
    std::string Profile() const { return Bin() + "KX500.ini"; }
};

TEST_F(InstalledKitTest, SetupWritesTheRegistryOfAnInstalledSystem) {
    const std::string bin = Bin();
    const std::string folder = bin.substr(0, bin.size() - 1);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath"), folder);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kDriverKey, "ModelID"), kit::kModelName);
    // The host module is found through InstallPath, not a fixed path.
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kDriverKey, "N_QHUB"));
    EXPECT_TRUE(FileExists(folder + "\\" + kit::kHostModuleFileName));
    EXPECT_TRUE(FileExists(folder + "\\" + kit::kCompanionFileName));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, kit::kModelName), Profile());
    EXPECT_FALSE(
        ReadString(HKEY_LOCAL_MACHINE, krx::regkey::kLibraryInfoKey, "BXAPIVersion").empty());
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, krx::regkey::kLibraryInfoKey, "InstallDir"), folder);
    for (const char* flag :
         {"ERR_OSVERNOTSUPPORT", "BXAPIRECOVER", "RST_FREPLACE", "ERR_BXAPIINUSE", "ERR_OTHERS"}) {
        EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, flag, 99), 0u) << flag;
    }
}

TEST_F(InstalledKitTest, SetupLeavesAHostModulePathOfAnEarlierInstallationOut) {
    WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "N_QHUB", "c:\\old\\N_QHUB05.DLL");
    ASSERT_TRUE(kit::InstallSimulatedSystem(options_));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kDriverKey, "N_QHUB"));
}

TEST_F(InstalledKitTest, EveryLanguageSectionNamesInstalledFiles) {
    const std::string bin = Bin();
    const std::string pages = ReadString(HKEY_LOCAL_MACHINE, kDriverKey, "HTMLInstallPath");
    ASSERT_FALSE(pages.empty());
    std::vector<std::string> sections = LanguageSections(Profile());
    ASSERT_EQ(sections.size(), 2u) << "English and Japanese";
    for (const std::string& section : sections) {
        SCOPED_TRACE(section);
        EXPECT_TRUE(FileExists(bin + ProfileText(Profile(), section, "ResDll")));
        EXPECT_EQ(ProfileText(Profile(), section, "UTILITY"), kit::kUtilityFileName);
        EXPECT_TRUE(FileExists(bin + kit::kUtilityFileName));
        // Every trouble of a status class has its page.
        std::set<int> categories;
        for (int c = 0; c < krx::kStatusClassCount; ++c) {
            categories.insert(krx::StatusClassRowFor(c).troubleCategory);
        }
        categories.erase(krx::kTroubleNone);
        ASSERT_FALSE(categories.empty());
        for (int category : categories) {
            char key[8];
            snprintf(key, sizeof(key), "TSS%03d", category);
            EXPECT_EQ(GetPrivateProfileIntA(section.c_str(), key, 0, Profile().c_str()), 1) << key;
            snprintf(key, sizeof(key), "TSF%03d", category);
            std::string page = ProfileText(Profile(), section, key);
            EXPECT_TRUE(FileExists(pages + "\\" + page)) << key << " = " << page;
        }
        int sounds = 0;
        for (int number = 1; number <= 999; ++number) {
            char key[8];
            snprintf(key, sizeof(key), "WVV%03d", number);
            std::string name = ProfileText(Profile(), section, key);
            if (name.empty()) {
                continue;
            }
            ++sounds;
            WaveFormat wave = ReadWave(bin + name);
            EXPECT_TRUE(wave.riff) << key << " = " << name;
            EXPECT_EQ(wave.format, 1) << name << " is not PCM";
            EXPECT_EQ(wave.bits, 16) << name;
            EXPECT_GT(wave.dataBytes, 1000u) << name;
        }
        EXPECT_GE(sounds, 3);
    }
}

TEST_F(InstalledKitTest, ModelSectionNamesAnExternalProgramThatExists) {
    std::string program;
    ASSERT_EQ(krx::ReadProfileString(Profile().c_str(), kit::kModelName, "CSICEXE", &program),
              krx::kProfileFound);
    EXPECT_TRUE(FileExists(Bin() + program)) << program;
}

struct VersionCase {
    const char* file;
    const char* productVersion;
    WORD language;
    WORD codePage;
};

class VersionResourceTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionResourceTest, FirstTranslationLeadsToTheProductVersion) {
    const VersionCase& c = GetParam();
    std::string path = kit::ExecutableFolder() + c.file;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << path;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], c.language);
    EXPECT_EQ(translation[1], c.codePage);
    char query[64];
    snprintf(query, sizeof(query), "\\StringFileInfo\\%04X%04X\\ProductVersion", translation[0],
             translation[1]);
    char* version = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&version), &length))
        << query;
    EXPECT_STREQ(version, c.productVersion);
}

INSTANTIATE_TEST_SUITE_P(InstalledFiles, VersionResourceTest,
                         ::testing::Values(VersionCase{"krxstat.dll", "1.0.0", 0x0409, 1252},
                                           VersionCase{"N_QHUB05.DLL", "5.02", 0x0411, 0x03A4},
                                           VersionCase{"N_QRLY02.EXE", "2.10", 0x0409, 1200}));

// Points a kit program's record at a scratch file for one test.
class RecordingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        log_ = kit::ExecutableFolder() + "kit_record_test.log";
        DeleteFileA(log_.c_str());
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kUtilityKey);
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kCompanionKey);
    }
    void TearDown() override {
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kUtilityKey);
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kCompanionKey);
        DeleteFileA(log_.c_str());
    }
    std::string log_;
};

class UtilityTest : public RecordingTest {
  protected:
    void SetUp() override {
        RecordingTest::SetUp();
        module_ = LoadLibraryA(kit::kUtilityFileName);
        ASSERT_NE(module_, nullptr);
        direct_ = reinterpret_cast<kit::PFN_UtInkReplacement>(
            reinterpret_cast<void*>(GetProcAddress(module_, "UtInkReplacement")));
        windowed_ = reinterpret_cast<kit::PFN_WndInkReplacement>(
            reinterpret_cast<void*>(GetProcAddress(module_, "WndInkReplacement")));
        ASSERT_NE(direct_, nullptr) << "UtInkReplacement not exported undecorated";
        ASSERT_NE(windowed_, nullptr) << "WndInkReplacement not exported undecorated";
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
        RecordingTest::TearDown();
    }
    HMODULE module_ = nullptr;
    kit::PFN_UtInkReplacement direct_ = nullptr;
    kit::PFN_WndInkReplacement windowed_ = nullptr;
};

TEST_F(UtilityTest, RecordsEachCallWithItsArgumentsInOrder) {
    WriteString(HKEY_CURRENT_USER, kit::kUtilityKey, kit::kUtilityLogValue, log_);
    WriteDword(HKEY_CURRENT_USER, kit::kUtilityKey, kit::kUtilityAutoCloseValue, 50);
    EXPECT_EQ(direct_("Kit Printer KX500", "Kit KX500 Series", "KITPORT1:", "KX500"), 1);
    // The dialog closes itself; its end code is OK.
    EXPECT_EQ(windowed_("Kit Printer KX500", "", "KITPORT1:", "KX500", 2), 1);
    EXPECT_EQ(windowed_(nullptr, nullptr, "KITPORT1:", "KX500", 0), 1);
    EXPECT_EQ(kit::ReadTextFile(log_),
              "UtInkReplacement|Kit Printer KX500|Kit KX500 Series|KITPORT1:|KX500\r\n"
              "WndInkReplacement|Kit Printer KX500||KITPORT1:|KX500|2\r\n"
              "WndInkReplacement|(null)|(null)|KITPORT1:|KX500|0\r\n");
}

TEST_F(UtilityTest, WithoutALogFileNothingIsWritten) {
    EXPECT_EQ(direct_("P", "D", "PORT", "M"), 1);
    EXPECT_EQ(GetFileAttributesA(log_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(RecordingTest, CompanionRecordsTheCommandLineItWasStartedWith) {
    WriteString(HKEY_CURRENT_USER, kit::kCompanionKey, kit::kCompanionLogValue, log_);
    std::string command = "\"" + kit::ExecutableFolder() + kit::kCompanionFileName + "\"" +
                          " /P \"Kit Printer KX500\" /O \"KITPORT1:\" /R \"krxres_en.dll\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(kit::ReadTextFile(log_),
              "/P \"Kit Printer KX500\" /O \"KITPORT1:\" /R \"krxres_en.dll\"\r\n");
}

} // namespace
} // namespace krxtest
