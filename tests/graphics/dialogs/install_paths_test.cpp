// Installed files and versions: the folders the driver key names, the host
// module and companion program found there, version strings from real
// version resources, and the version dialog's five fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/registry/registry_paths.h"
#include "common/resource_ids.h"
#include "dialog_probe.h"
#include "base/module/install_paths.h"
#include "base/module/message_box.h"
#include "base/module/module_state.h"
#include "graphics/version_dialog.h"

namespace {

constexpr char kDriverKey[] = "software\\NORVA\\KRX3\\Driver\\Version Test";

class InstallPathsTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        bin_ = kit::ExecutableFolder();
        folder_ = bin_ + "versiontest";
        CreateDirectoryA(folder_.c_str(), nullptr);
        krx::ThisCall().driverKey = kDriverKey;
    }
    void TearDown() override {
        DeleteFileA((folder_ + "\\N_QHUB05.DLL").c_str());
        DeleteFileA((folder_ + "\\N_QRLY02.EXE").c_str());
        DeleteFileA((folder_ + "\\model.ini").c_str());
        RemoveDirectoryA(folder_.c_str());
        CleanRegistryTest::TearDown();
    }
    void Copy(const char* from, const char* to) {
        ASSERT_TRUE(CopyFileA((bin_ + from).c_str(), (folder_ + "\\" + to).c_str(), FALSE))
            << from << " error " << GetLastError();
    }
    std::string bin_, folder_;
};

} // namespace

TEST(VersionStrings, FirstTranslationNamesTheBlock) {
    EXPECT_EQ(krx::VersionStringQuery(0x0411, 0x03A4, "ProductVersion"),
              "\\StringFileInfo\\041103A4\\ProductVersion");
    EXPECT_EQ(krx::VersionStringQuery(0x0409, 0x04b0, "X"), "\\StringFileInfo\\040904B0\\X");

    struct Case {
        const char* file;
        int result;
        const char* version;
    } cases[] = {
        {"dlgtest_version.dll", 1, "3.21.0"}, // the Japanese block, not the second one
        {"krxstat.dll", 1, "1.0.0"},          // the plug-in itself
        {"N_QRLY02.EXE", 1, "2.10"},          // the kit's companion program
        {"dlgtest_noversion.dll", 0, ""},     // a version resource without the string
        {"krxres_en.dll", 0, ""},             // no version resource at all
        {"no_such_file.dll", 0, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        std::string version = "stale";
        std::string path = c.file[0] != '\0' ? kit::ExecutableFolder() + c.file : "";
        EXPECT_EQ(krx::ReadFileVersionString(path.c_str(), &version), c.result) << c.file;
        EXPECT_EQ(version, c.version) << c.file;
    }
}

TEST_F(InstallPathsTest, HostModuleFromTheDriverKey) {
    // "N_QHUB" is taken as it stands, file or no file.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "N_QHUB", "z:\\nowhere\\hub.dll");
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", folder_);
    EXPECT_EQ(krx::FindHostModule(), "z:\\nowhere\\hub.dll");

    // Without it: the installation folder, when the file is there.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "N_QHUB", "");
    EXPECT_EQ(krx::FindHostModule(), "");
    Copy("dlgtest_version.dll", "N_QHUB05.DLL");
    EXPECT_EQ(krx::FindHostModule(), folder_ + "\\N_QHUB05.DLL");
    EXPECT_EQ(krx::FindCompanionProgram(), "");
    Copy("dlgtest_version.dll", "N_QRLY02.EXE");
    EXPECT_EQ(krx::FindCompanionProgram(), folder_ + "\\N_QRLY02.EXE");
}

TEST_F(InstallPathsTest, OnlyAFullPathIsAFolder) {
    EXPECT_EQ(krx::DriverKeyFolder("", krx::kInstallPathValue), "") << "no driver key";
    EXPECT_EQ(krx::DriverInstallFolder(), "") << "a key that does not open";
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, kDriverKey, "Other", 1);
    EXPECT_EQ(krx::DriverInstallFolder(), "") << "no value";
    struct Case {
        const char* label;
        std::string value;
        std::string folder;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"relative", "versiontest", ""},
        {"current folder", ".", ""},
        {"rooted without a drive", "\\versiontest", ""},
        {"full path", folder_, folder_ + "\\"},
        {"network path", "\\\\server\\share", "\\\\server\\share\\"},
    };
    for (const Case& c : cases) {
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", c.value);
        EXPECT_EQ(krx::DriverInstallFolder(), c.folder) << c.label;
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "HTMLInstallPath", c.value);
        EXPECT_EQ(krx::DriverKeyFolder(kDriverKey, krx::kPagesPathValue), c.folder) << c.label;
    }
}

TEST_F(InstallPathsTest, WithoutAnInstallFolderNothingIsTakenFromTheCurrentFolder) {
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", ".");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(folder_.c_str());
    Copy("dlgtest_version.dll", "N_QHUB05.DLL");
    Copy("dlgtest_version.dll", "N_QRLY02.EXE");
    EXPECT_EQ(krx::FindHostModule(), "");
    EXPECT_EQ(krx::FindCompanionProgram(), "");
    SetCurrentDirectoryA(previous);
    // A folder of that name is not the file.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", folder_);
    DeleteFileA((folder_ + "\\N_QRLY02.EXE").c_str());
    CreateDirectoryA((folder_ + "\\N_QRLY02.EXE").c_str(), nullptr);
    EXPECT_EQ(krx::FindCompanionProgram(), "");
    RemoveDirectoryA((folder_ + "\\N_QRLY02.EXE").c_str());
}

TEST_F(InstallPathsTest, VersionDialogShowsWhatItFinds) {
    HMODULE resources = LoadLibraryA("krxres_en.dll");
    ASSERT_NE(resources, nullptr);
    krx::ThisCall().resourceModule = resources;
    Copy("dlgtest_version.dll", "N_QHUB05.DLL");
    Copy("dlgtest_noversion.dll", "N_QRLY02.EXE");
    dlgtest::WriteFile(folder_ + "\\model.ini", "[KX-Ver]\r\nNVAVER=\"2.05a\"\r\n");
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "InstallPath", folder_);
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "ModelID", "KX-Ver");
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, "KX-Ver",
                         folder_ + "\\model.ini");
    // Only the older value name of the library's version.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kLibraryInfoKey, "Version", "1.40");
    // This plug-in's own file: a file with a version resource stands in.
    HMODULE self = LoadLibraryA("dlgtest_version.dll");
    krx::SetSelfModule(self);

    dlgtest::Probed<krx::VersionDialog> dialog;
    std::string texts[5];
    const int items[5] = {IDC_VERSION_DRIVER, IDC_VERSION_HOST, IDC_VERSION_PLUGIN,
                          IDC_VERSION_BXAPI, IDC_VERSION_COMPANION};
    dialog.probe = [&](krx::VersionDialog& d) {
        for (int i = 0; i < 5; ++i) {
            texts[i] = dlgtest::ItemText(d.Hwnd(), items[i]);
        }
        dlgtest::Click(d.Hwnd(), IDOK);
    };
    EXPECT_EQ(dialog.Show(nullptr), IDOK);
    EXPECT_TRUE(dialog.probed);
    EXPECT_EQ(texts[0], "Ver. 2.05a");
    EXPECT_EQ(texts[1], "Ver. 3.21.0");
    EXPECT_EQ(texts[2], "Ver. 3.21.0");
    EXPECT_EQ(texts[3], "Ver. 1.40");
    EXPECT_EQ(texts[4], "Unknown") << "no ProductVersion: the template's text stays";

    // The newer value name wins over the older one; missing parts keep the
    // template's text.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kLibraryInfoKey, "BXAPIVersion", "2.0");
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey, "ModelID", "");
    krx::SetSelfModule(nullptr);
    EXPECT_EQ(dialog.Show(nullptr), IDOK);
    EXPECT_EQ(texts[0], "Unknown");
    EXPECT_EQ(texts[2], "Unknown");
    EXPECT_EQ(texts[3], "Ver. 2.0");

    FreeLibrary(self);
    krx::ThisCall().resourceModule = nullptr;
    FreeLibrary(resources);
}

namespace {
int RecordBox(const krx::MessageBoxRequest& request, void* context) {
    static_cast<std::vector<krx::MessageBoxRequest>*>(context)->push_back(request);
    return IDOK;
}
} // namespace

TEST_F(InstallPathsTest, UnknownDriverKeyIsReportedAndNothingIsTakenFromTheCurrentFolder) {
    std::vector<krx::MessageBoxRequest> boxes;
    krx::ScopedMessageBoxHook hook(RecordBox, &boxes);
    krx::ThisCall().driverKey.clear();
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(folder_.c_str());
    Copy("dlgtest_version.dll", "N_QRLY02.EXE");
    EXPECT_EQ(krx::FindHostModule(), "");
    EXPECT_EQ(krx::FindCompanionProgram(), "");
    SetCurrentDirectoryA(previous);
    ASSERT_EQ(boxes.size(), 2u);
    // "CommonKey" and the Japanese words in Shift-JIS bytes.
    EXPECT_EQ(boxes[0].text, "CommonKey\x82\xAA\x8E\xE6\x93\xBE\x82\xC5\x82\xAB\x82\xC8\x82\xA2"
                             "\x81\x49");
    EXPECT_EQ(boxes[0].style & 0x0F, static_cast<UINT>(MB_OK));

    // With the key known nothing is shown.
    boxes.clear();
    krx::ThisCall().driverKey = kDriverKey;
    krx::FindHostModule();
    EXPECT_TRUE(boxes.empty());
}
