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
#include "ui/status_window/trouble_help.h"

namespace krx {

namespace {

constexpr int kPathSize = 260;
constexpr DWORD kRegistryTextSize = 257; // 256 characters and the terminator
using regkey::kStoreBase;
constexpr char kServiceCallCaption[] = "Service Call Error!";

// Entry points of the model's ink-replacement utility.
typedef int(WINAPI* PfnUtInkReplacement)(const char*, const char*, const char*, const char*);
typedef int(WINAPI* PfnWndInkReplacement)(const char*, const char*, const char*, const char*, int);

} // namespace

// ---------------------------------------------------------------------------
// Trouble help

void StatusWindow::SetTroubleCategory(int statusClass) {
    PrepareTroubleHelp(TroubleCategoryFor(statusClass));
}

void StatusWindow::ClearTroubleCategory() {
    PrepareTroubleHelp(0);
}

void StatusWindow::PrepareTroubleHelp(int category) {
    const bool offered = m_Help.Prepare(category, InkReplacementKind(m_Poll.StatusClass()) >= 0);
    const bool show = offered && m_nViewType != kViewProgress;
    ShowWindow(Item(IDC_TROUBLE_HELP), show ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_TROUBLE_LABEL), show ? SW_SHOW : SW_HIDE);
    EnableWindow(Item(IDC_TROUBLE_HELP), show ? TRUE : FALSE);
}

void StatusWindow::OpenTroublePage() {
    ShellExecuteA(Hwnd(), nullptr, m_Help.Page().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void StatusWindow::OnTroubleHelp() {
    const int kind = InkReplacementKind(m_Poll.StatusClass());
    if (kind < 0) {
        if (!m_Help.Page().empty()) {
            OpenTroublePage();
        } else if (m_Help.GuideSteps() != nullptr) {
            GuideDialog guide;
            guide.ShowGuide(m_Help.GuideSteps(), Hwnd());
        }
        return;
    }

    int hasD4 = 0;
    {
        ChannelList channels(RememberedPrinterName(),
                             m_Printer.ByPort() ? m_Printer.Port().c_str()
                                                : m_Printer.Name().c_str(),
                             m_Printer.ByPort() ? 0 : 1, KRX_CHANNEL_PREFERRED);
        hasD4 = channels.HasInfoChannelD4();
    }
    const bool slowPolling = m_pChannels && m_pChannels->SlowPolling();
    const bool direct = !m_Poll.DebugStatus() && !slowPolling && hasD4 == 1;
    if (!direct && !m_Help.Page().empty()) {
        OpenTroublePage();
        return;
    }

    unique_hmodule utility(LoadCodeLibrary(m_Help.UtilityLibraryPath()));
    if (!utility) {
        return;
    }
    // The utility's own windows need the system palette meanwhile.
    m_Display.Picture().EnablePalette(FALSE);
    m_JobView.Animation().EnablePalette(FALSE);
    std::string driverName;
    if (ReadProfileString(m_Printer.ModelFile().c_str(), m_Printer.ModelSection().c_str(),
                          "DRVNAME", &driverName) != kProfileFound) {
        driverName.clear();
    }
    if (direct) {
        if (auto entry = reinterpret_cast<PfnUtInkReplacement>(
                reinterpret_cast<void*>(GetProcAddress(utility.get(), "UtInkReplacement")))) {
            entry(m_Printer.Name().c_str(), driverName.c_str(), m_Printer.Port().c_str(),
                  m_Printer.ModelSection().c_str());
        }
    } else if (auto entry = reinterpret_cast<PfnWndInkReplacement>(
                   reinterpret_cast<void*>(GetProcAddress(utility.get(), "WndInkReplacement")))) {
        entry(m_Printer.Name().c_str(), driverName.c_str(), m_Printer.Port().c_str(),
              m_Printer.ModelSection().c_str(), kind);
    }
    m_Display.Picture().EnablePalette(TRUE);
    m_JobView.Animation().EnablePalette(TRUE);
}

void StatusWindow::OnServiceCall() {
    RegistryKey store(HKEY_CURRENT_USER, kStoreBase);
    if (!store.IsOpen()) {
        return;
    }
    const std::string& name = m_Printer.Name().empty() ? m_Printer.Port() : m_Printer.Name();
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
        RegistryKey store = m_Printer.OpenStoreKey();
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
    if (corrected) {
        m_Position.Save(m_Printer, x, y);
    }
}

void StatusWindow::OnTipHelp() {
    const int32_t topic = m_Tips.CurrentTipTopic();
    if (topic < 0) {
        return;
    }
    char helpName[kPathSize] = {};
    if (ReadLanguageString("ONEPOINT", helpName, kPathSize, m_Printer.ModelFile().c_str()) != 0 ||
        helpName[0] == '\0') {
        return;
    }
    const std::string helpFile = DriverInstallFolder() + helpName;
    WinHelpA(GetDesktopWindow(), helpFile.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(topic));
}

} // namespace krx
