// The tips area of the status window's meter.
#include "ui/status_window/tips_panel.h"

#include "common/resource_ids.h"
#include "base/module/install_paths.h"
#include "base/module/language.h"
#include "base/registry/registry_key.h"
#include "ui/status_tables.h"
#include "ui/status_window/monitored_printer.h"

namespace krx {

namespace {

constexpr int kTipTicks = 15; // progress ticks between two tips
constexpr int kTipsIconSize = 18;
constexpr int kTipsIconMargin = 3;
constexpr int kPathSize = 260;

} // namespace

void TipsPanel::Attach(HWND window) {
    m_hWnd = window;
    m_Button.AttachButton(window, IDC_TIPS_BUTTON);
}

void TipsPanel::SetUpButton() {
    m_Button.SetButtonIcon(IDI_TIPS, kTipsIconSize, kTipsIconSize, kTipsIconMargin);
    m_Button.SetButtonCaption(IDS_TIPS_BUTTON);
}

void TipsPanel::ReadChoice(const MonitoredPrinter& printer) {
    RegistryKey store = printer.OpenStoreKey();
    m_bEnabled = store.IsOpen() ? store.ReadNumber("DisplayTips", 1) : 1;
}

void TipsPanel::Toggle(const MonitoredPrinter& printer) {
    m_bEnabled = m_bEnabled ? 0 : 1;
    EnableWindow(GetDlgItem(m_hWnd, IDC_TIP_TEXT), m_bEnabled ? TRUE : FALSE);
    EnableWindow(GetDlgItem(m_hWnd, IDC_TIP_HELP), m_bEnabled ? TRUE : FALSE);
    RegistryKey store = printer.OpenStoreKey();
    if (store.IsOpen()) {
        store.WriteNumber("DisplayTips", static_cast<DWORD>(m_bEnabled));
    }
}

void TipsPanel::StartJob() {
    ShowNext();
    m_nCountdown = kTipTicks;
}

void TipsPanel::Tick(const JobRecord& job) {
    if (--m_nCountdown <= 0) {
        if (TipMayRotate(job.timeKnown, job.time)) {
            ShowNext();
        }
        m_nCountdown = kTipTicks;
    }
}

void TipsPanel::ShowNext() {
    m_List.AdvanceTip();
    SetDlgItemTextA(m_hWnd, IDC_TIP_TEXT, m_List.CurrentTipText().c_str());
}

void TipsPanel::OpenHelp(const std::string& modelFile) const {
    const int32_t topic = m_List.CurrentTipTopic();
    if (topic < 0) {
        return;
    }
    char helpName[kPathSize] = {};
    if (ReadLanguageString("ONEPOINT", helpName, kPathSize, modelFile.c_str()) != 0 ||
        helpName[0] == '\0') {
        return;
    }
    // Without an install folder the help viewer would look for the file in
    // the host's current folder: no help then.
    const std::string folder = DriverInstallFolder();
    if (folder.empty()) {
        return;
    }
    const std::string helpFile = folder + helpName;
    WinHelpA(GetDesktopWindow(), helpFile.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(topic));
}

} // namespace krx
