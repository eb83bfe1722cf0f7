// Trouble help, service call and tips of the status window: which help the
// trouble-help button offers, the ink-replacement utility, troubleshooting
// pages, the guide, and the tips area. (The printer information dialog,
// command 321, lives in status_window.cpp.)
#include "ui/status_window/status_window.h"

#include <shellapi.h>

#include <cstdio>

#include "comm/channel_list.h"
#include "comm/channel_table.h"
#include "common/resource_ids.h"
#include "common/safe_load.h"
#include "common/win_handles.h"
#include "entry/module/language.h"
#include "entry/module/message_box.h"
#include "entry/module/module_state.h"
#include "entry/profile/profile_reader.h"
#include "entry/registry/registry_key.h"
#include "entry/registry/registry_paths.h"
#include "graphics/guide_dialog.h"
#include "ui/status_tables.h"

namespace krx {

namespace {

constexpr int kPathSize = 260;
constexpr DWORD kRegistryTextSize = 257; // 256 characters and the terminator
using regkey::kStoreBase;
constexpr char kServiceCallCaption[] = "Service Call Error!";

// Entry points of the model's ink-replacement utility.
typedef int(WINAPI* PfnUtInkReplacement)(const char*, const char*, const char*, const char*);
typedef int(WINAPI* PfnWndInkReplacement)(const char*, const char*, const char*, const char*, int);

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

// ---------------------------------------------------------------------------
// Trouble help

void StatusWindow::SetTroubleCategory(int statusClass) {
    m_nTroubleCategory = TroubleCategoryFor(statusClass);
    PrepareTroubleHelp();
}

void StatusWindow::ClearTroubleCategory() {
    m_nTroubleCategory = 0;
    PrepareTroubleHelp();
}

std::string StatusWindow::UtilityLibraryPath() const {
    // Named like a page: inside the install folder, never elsewhere.
    const std::string name = LanguageFileName("UTILITY", m_strModelFile);
    return IsSafePageName(name) ? DriverInstallFolder() + name : std::string();
}

bool StatusWindow::UtilityOffersInkReplacement() {
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

void StatusWindow::PrepareTroubleHelp() {
    m_strTroublePage.clear();
    m_hGuideSteps = nullptr;
    bool offered = false;
    char key[16];
    snprintf(key, sizeof(key), "TSS%03d", m_nTroubleCategory);
    if (ReadLanguageInt(key, 0, m_strModelFile.c_str()) == 1) {
        if (m_bHtmlViewer) {
            m_strTroublePage = TroubleshootingPage(m_nTroubleCategory);
            offered = !m_strTroublePage.empty();
        } else if (InkReplacementKind(m_nStatusClass) >= 0) {
            offered = UtilityOffersInkReplacement();
        } else {
            m_hGuideSteps = FindGuideResource(m_nTroubleCategory);
            offered = m_hGuideSteps != nullptr;
        }
    }
    const bool show = offered && m_nViewType != kViewProgress;
    ShowWindow(Item(IDC_TROUBLE_HELP), show ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_TROUBLE_LABEL), show ? SW_SHOW : SW_HIDE);
    EnableWindow(Item(IDC_TROUBLE_HELP), show ? TRUE : FALSE);
}

std::string StatusWindow::TroubleshootingPage(int category) const {
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

void StatusWindow::OpenTroublePage() {
    ShellExecuteA(Hwnd(), nullptr, m_strTroublePage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void StatusWindow::OnTroubleHelp() {
    const int kind = InkReplacementKind(m_nStatusClass);
    if (kind < 0) {
        if (!m_strTroublePage.empty()) {
            OpenTroublePage();
        } else if (m_hGuideSteps != nullptr) {
            GuideDialog guide;
            guide.ShowGuide(m_hGuideSteps, Hwnd());
        }
        return;
    }

    int hasD4 = 0;
    {
        ChannelList channels(RememberedPrinterName(),
                             m_bUsePortName ? m_strPortName.c_str() : m_strPrinterName.c_str(),
                             m_bUsePortName ? 0 : 1, kChannelPreferred);
        hasD4 = channels.HasInfoChannelD4();
    }
    const bool slowPolling = m_pChannels && m_pChannels->SlowPolling();
    const bool direct = !m_bDebugStatus && !slowPolling && hasD4 == 1;
    if (!direct && !m_strTroublePage.empty()) {
        OpenTroublePage();
        return;
    }

    unique_hmodule utility(LoadCodeLibrary(UtilityLibraryPath()));
    if (!utility) {
        return;
    }
    // The utility's own windows need the system palette meanwhile.
    m_Picture.EnablePalette(FALSE);
    m_Animation.EnablePalette(FALSE);
    std::string driverName;
    if (ReadProfileString(m_strModelFile.c_str(), m_strModelSection.c_str(), "DRVNAME",
                          &driverName) != kProfileFound) {
        driverName.clear();
    }
    if (direct) {
        if (auto entry = reinterpret_cast<PfnUtInkReplacement>(
                reinterpret_cast<void*>(GetProcAddress(utility.get(), "UtInkReplacement")))) {
            entry(m_strPrinterName.c_str(), driverName.c_str(), m_strPortName.c_str(),
                  m_strModelSection.c_str());
        }
    } else if (auto entry = reinterpret_cast<PfnWndInkReplacement>(
                   reinterpret_cast<void*>(GetProcAddress(utility.get(), "WndInkReplacement")))) {
        entry(m_strPrinterName.c_str(), driverName.c_str(), m_strPortName.c_str(),
              m_strModelSection.c_str(), kind);
    }
    m_Picture.EnablePalette(TRUE);
    m_Animation.EnablePalette(TRUE);
}

void StatusWindow::OnServiceCall() {
    RegistryKey store(HKEY_CURRENT_USER, kStoreBase);
    if (!store.IsOpen()) {
        return;
    }
    const std::string& name = m_strPrinterName.empty() ? m_strPortName : m_strPrinterName;
    const std::string text = store.ReadText(name.c_str(), "", kRegistryTextSize);
    if (!text.empty()) {
        ShowTextMessageBox(Hwnd(), text.c_str(), kServiceCallCaption, MB_ICONINFORMATION | MB_OK);
    }
}

// ---------------------------------------------------------------------------
// Tips

void StatusWindow::OnTipsToggle() {
    m_bTipsEnabled = m_bTipsEnabled ? 0 : 1;
    EnableWindow(Item(IDC_TIP_TEXT), m_bTipsEnabled ? TRUE : FALSE);
    EnableWindow(Item(IDC_TIP_HELP), m_bTipsEnabled ? TRUE : FALSE);
    {
        RegistryKey store = OpenStoreKey();
        if (store.IsOpen()) {
            store.WriteNumber("DisplayTips", static_cast<DWORD>(m_bTipsEnabled));
        }
    }

    // Keep the resized meter on the screen.
    const SIZE size = ViewSize(kViewProgress);
    const int screenWidth = GetSystemMetrics(SM_CXFULLSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
    RECT rect;
    if (!GetWindowRect(Hwnd(), &rect)) {
        return;
    }
    int x = rect.left;
    int y = rect.top;
    bool corrected = false;
    if (rect.left > screenWidth || rect.left + size.cx < 0) {
        x = screenWidth - size.cx;
        corrected = true;
    }
    if (rect.top + size.cy > screenHeight || rect.top + size.cy < 0) {
        y = screenHeight - size.cy;
        corrected = true;
    }
    SetWindowPos(Hwnd(), nullptr, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_NOZORDER);
    if (m_bRememberPos && corrected) {
        RegistryKey store = OpenStoreKey();
        if (store.IsOpen()) {
            store.WriteNumber("PopupPOSX", static_cast<DWORD>(x));
            store.WriteNumber("PopupPOSY", static_cast<DWORD>(y));
        }
    }
}

void StatusWindow::OnTipHelp() {
    const int32_t topic = m_Tips.CurrentTipTopic();
    if (topic < 0) {
        return;
    }
    const std::string helpName = LanguageFileName("ONEPOINT", m_strModelFile);
    if (helpName.empty()) {
        return;
    }
    const std::string helpFile = DriverInstallFolder() + helpName;
    WinHelpA(GetDesktopWindow(), helpFile.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(topic));
}

} // namespace krx
