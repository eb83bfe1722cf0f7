// The help the trouble-help button offers.
#include "ui/status_window/trouble_help.h"

#include <shellapi.h>

#include <cstdio>

#include "comm/channel_list.h"
#include "common/resource_ids.h"
#include "common/safe_load.h"
#include "common/win_handles.h"
#include "base/module/install_paths.h"
#include "base/module/language.h"
#include "base/module/message_box.h"
#include "base/module/module_state.h"
#include "base/profile/profile_reader.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"
#include "graphics/BMP256Ctrl.h"
#include "graphics/guide_dialog.h"
#include "status/status_classes.h"
#include "ui/status_tables.h"
#include "ui/status_window/monitored_printer.h"
#include "ui/status_window/view_table.h"

namespace krx {

namespace {

constexpr int kPathSize = 260;
constexpr DWORD kRegistryTextSize = 257; // 256 characters and the terminator
constexpr char kServiceCallCaption[] = "Service Call Error!";

// Entry points of the model's ink-replacement utility.
typedef int(WINAPI* PfnUtInkReplacement)(const char*, const char*, const char*, const char*);
typedef int(WINAPI* PfnWndInkReplacement)(const char*, const char*, const char*, const char*, int);

std::string LanguageFileName(const char* key, const std::string& modelFile) {
    char value[kPathSize] = {};
    if (ReadLanguageString(key, value, kPathSize, modelFile.c_str()) != 0) {
        return std::string();
    }
    return value;
}

} // namespace

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
    // The pages' own folder, else the install folder; never one relative
    // to the host's current folder, where anyone may have put a page.
    std::string folder = DriverKeyFolder(ThisCall().driverKey, kPagesPathValue);
    if (folder.empty()) {
        folder = DriverInstallFolder();
    }
    if (folder.empty()) {
        return std::string();
    }
    const std::string path = folder + fileName;
    return FileExists(path) ? path : std::string();
}

void TroubleHelp::SetCategory(int statusClass, int viewType) {
    Offer(StatusClassRowFor(statusClass).troubleCategory, statusClass, viewType);
}

void TroubleHelp::ClearCategory(int shownClass, int viewType) {
    Offer(kTroubleNone, shownClass, viewType);
}

void TroubleHelp::Offer(int category, int shownClass, int viewType) {
    const bool offered =
        Prepare(category, StatusClassRowFor(shownClass).inkKind != kInkReplaceNone);
    const bool show = offered && viewType != kViewProgress;
    ShowWindow(GetDlgItem(m_hWnd, IDC_TROUBLE_HELP), show ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(m_hWnd, IDC_TROUBLE_LABEL), show ? SW_SHOW : SW_HIDE);
    EnableWindow(GetDlgItem(m_hWnd, IDC_TROUBLE_HELP), show ? TRUE : FALSE);
}

void TroubleHelp::OpenPage() const {
    ShellExecuteA(m_hWnd, nullptr, m_strPage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TroubleHelp::Open(int statusClass, const MonitoredPrinter& printer, bool liveStatus,
                       BMP256Ctrl& picture, BMP256Ctrl& animation) const {
    const int kind = StatusClassRowFor(statusClass).inkKind;
    if (kind == kInkReplaceNone) {
        if (!m_strPage.empty()) {
            OpenPage();
        } else if (m_hGuideSteps != nullptr) {
            GuideDialog guide;
            guide.ShowGuide(m_hGuideSteps, m_hWnd);
        }
        return;
    }

    int hasD4 = 0;
    {
        ChannelList channels(RememberedPrinterName(),
                             printer.ByPort() ? printer.Port().c_str() : printer.Name().c_str(),
                             printer.ByPort() ? 0 : 1, KRX_CHANNEL_PREFERRED);
        hasD4 = channels.HasInfoChannelD4();
    }
    const bool direct = liveStatus && hasD4 == 1;
    if (!direct && !m_strPage.empty()) {
        OpenPage();
        return;
    }

    unique_hmodule utility(LoadCodeLibrary(UtilityLibraryPath()));
    if (!utility) {
        return;
    }
    // The utility's own windows need the system palette meanwhile.
    picture.EnablePalette(FALSE);
    animation.EnablePalette(FALSE);
    std::string driverName;
    if (ReadProfileString(printer.ModelFile().c_str(), printer.ModelSection().c_str(), "DRVNAME",
                          &driverName) != kProfileFound) {
        driverName.clear();
    }
    if (direct) {
        if (auto entry = reinterpret_cast<PfnUtInkReplacement>(
                reinterpret_cast<void*>(GetProcAddress(utility.get(), "UtInkReplacement")))) {
            entry(printer.Name().c_str(), driverName.c_str(), printer.Port().c_str(),
                  printer.ModelSection().c_str());
        }
    } else if (auto entry = reinterpret_cast<PfnWndInkReplacement>(
                   reinterpret_cast<void*>(GetProcAddress(utility.get(), "WndInkReplacement")))) {
        entry(printer.Name().c_str(), driverName.c_str(), printer.Port().c_str(),
              printer.ModelSection().c_str(), kind);
    }
    picture.EnablePalette(TRUE);
    animation.EnablePalette(TRUE);
}

void TroubleHelp::ShowServiceCall(const MonitoredPrinter& printer) const {
    RegistryKey store(HKEY_CURRENT_USER, regkey::kStoreBase);
    if (!store.IsOpen()) {
        return;
    }
    const std::string& name = printer.Name().empty() ? printer.Port() : printer.Name();
    const std::string text = store.ReadText(name.c_str(), "", kRegistryTextSize);
    if (!text.empty()) {
        ShowTextMessageBox(m_hWnd, text.c_str(), kServiceCallCaption, MB_ICONINFORMATION | MB_OK);
    }
}

} // namespace krx
