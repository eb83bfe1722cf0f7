// The help the trouble-help button offers.
#include "ui/status_window/trouble_help.h"

#include <cstdio>

#include "common/safe_load.h"
#include "common/win_handles.h"
#include "entry/module/language.h"
#include "entry/module/module_state.h"
#include "entry/registry/registry_key.h"
#include "graphics/guide_dialog.h"
#include "ui/status_tables.h"

namespace krx {

namespace {

constexpr int kPathSize = 260;
constexpr DWORD kRegistryTextSize = 257; // 256 characters and the terminator

std::string DriverKeyText(const char* name) {
    RegistryKey driver(HKEY_LOCAL_MACHINE, Module().driverKey.c_str());
    if (Module().driverKey.empty() || !driver.IsOpen()) {
        return std::string();
    }
    return driver.ReadText(name, "", kRegistryTextSize);
}

std::string LanguageFileName(const char* key, const std::string& modelFile) {
    char value[kPathSize] = {};
    if (ReadLanguageString(key, value, kPathSize, modelFile.c_str()) != 0) {
        return std::string();
    }
    return value;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

std::string DriverInstallFolder() {
    const std::string folder = DriverKeyText("InstallPath");
    return folder.empty() ? folder : folder + "\\";
}

bool TroubleHelp::Prepare(int category, bool inkReplacement) {
    m_nCategory = category;
    m_strPage.clear();
    m_hGuideSteps = nullptr;
    char key[16];
    snprintf(key, sizeof(key), "TSS%03d", m_nCategory);
    if (ReadLanguageInt(key, 0, m_strModelFile.c_str()) != 1) {
        return false;
    }
    if (m_bHtmlViewer) {
        m_strPage = TroubleshootingPage(m_nCategory);
        return !m_strPage.empty();
    }
    if (inkReplacement) {
        return UtilityOffersInkReplacement();
    }
    m_hGuideSteps = FindGuideResource(m_nCategory);
    return m_hGuideSteps != nullptr;
}

std::string TroubleHelp::UtilityLibraryPath() const {
    // Named like a page: inside the install folder, never elsewhere.
    const std::string name = LanguageFileName("UTILITY", m_strModelFile);
    return IsSafePageName(name) ? DriverInstallFolder() + name : std::string();
}

bool TroubleHelp::UtilityOffersInkReplacement() {
    // Loading the utility runs its code: once per window is enough.
    if (m_nUtilityProbe < 0) {
        unique_hmodule utility(LoadCodeLibrary(UtilityLibraryPath()));
        m_nUtilityProbe = utility && (GetProcAddress(utility.get(), "WndInkReplacement") ||
                                      GetProcAddress(utility.get(), "UtInkReplacement"))
                              ? 1
                              : 0;
    }
    return m_nUtilityProbe == 1;
}

std::string TroubleHelp::TroubleshootingPage(int category) const {
    char key[16];
    snprintf(key, sizeof(key), "TSF%03d", category);
    const std::string fileName = LanguageFileName(key, m_strModelFile);
    // A page named outside the pages folder, or one that is not a
    // document (a program, a link), is not offered.
    if (fileName.empty() || !IsSafePageName(fileName) || !IsDocumentName(fileName)) {
        return std::string();
    }
    std::string folder = DriverKeyText("HTMLInstallPath");
    if (folder.empty()) {
        folder = ".\\";
    }
    const std::string path = folder + "\\" + fileName;
    return FileExists(path) ? path : std::string();
}

} // namespace krx
