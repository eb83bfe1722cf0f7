// StatusWindow: message table, set-up, timers, closing and clean-up.
#include "ui/status_window/status_window.h"

#include "comm/device_id.h"
#include "comm/printer_identity.h"
#include "comm/shared_table.h"
#include "common/resource_ids.h"
#include "common/safe_load.h"
#include "base/module/message_box.h"
#include "base/module/module_state.h"
#include "base/module/resource_string.h"
#include "base/profile/profile_reader.h"
#include "base/registry/registry_key.h"
#include "base/store/status_store.h"
#include "base/trace/debug_trace.h"
#include "graphics/version_dialog.h"
#include "jobs/job_monitor.h"

namespace krx {

namespace {

constexpr int kPictureWidth = 109;
constexpr int kPictureHeight = 86;

const char* TraceBanner(int viewType) {
    switch (viewType) {
    case kViewPopup:
        return "\n<<< Popup dialog >>>\n";
    case kViewDetail:
        return "\n<<< Detail dialog >>>\n";
    case kViewProgress:
        return "\n<<< Progress meter dialog >>>\n";
    default:
        return nullptr;
    }
}

} // namespace

LRESULT CaretlessEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallOriginal(message, wParam, lParam);
    if (message == WM_SETFOCUS || message == WM_SETFONT) {
        // The caret the edit has just made (a new font makes it anew while
        // the edit has the focus); the status text is only read.
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        if (GetGUIThreadInfo(GetCurrentThreadId(), &info) && info.hwndCaret == Hwnd()) {
            DestroyCaret();
        }
    }
    return result;
}

StatusWindow::StatusWindow() : Dialog(IDD_STATUS_WINDOW) {}

StatusWindow::~StatusWindow() = default;

void StatusWindow::Configure(const StatusWindowSetup& setup) {
    m_hResource = setup.resourceLibrary;
    m_nBaseViewType = setup.baseViewType;
    m_pJobMonitor = setup.jobMonitor;
    m_pBxApi = setup.library;
    m_pChannels.reset(setup.library != nullptr ? new StatusChannels(*setup.library) : nullptr);
    m_strResourcePath = setup.resourcePath;
    m_bStatusPolling = setup.statusPolling;
}

INT_PTR StatusWindow::Run(const char* printerName, const char* portName, const char* modelSection,
                          const char* modelFile) {
    m_Printer.Set(printerName, portName, modelSection, modelFile);
    m_Help.SetModelFile(m_Printer.ModelFile());
    m_JobView.SetNames(m_Printer.Name(), m_Printer.Port());
    if (m_pChannels) {
        m_pChannels->SetNames(m_Printer.Name().c_str(), m_Printer.Port().c_str());
    }

    ThisCall().driverKey = GetDriverKeyPath(m_Printer.Name().c_str());
    if (ThisCall().driverKey.empty()) {
        ShowResourceMessageBox(nullptr, IDS_PRINTER_UNKNOWN, IDS_PRINTER_UNKNOWN_CAPTION,
                               MB_ICONEXCLAMATION | MB_OK);
        return 2;
    }
    // The meter must never take the focus from the application that prints.
    return DoModalOwnLoop(nullptr, m_hResource, m_nBaseViewType != kViewProgress);
}

bool StatusWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    // An exception must not unwind through the system's dialog code: the
    // message is dropped and the window goes on.
    try {
        return Dispatch(message, wParam, lParam, result);
    } catch (...) {
        DebugTrace("Status window: message 0x%X abandoned\n", message);
        m_Timers.LeaveTick();
        *result = 0;
        return true;
    }
}

bool StatusWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    *result = 0;
    switch (message) {
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam);
    case KRX_MSG_STATUS_CHANGED:
        OnStatusNotification(lParam);
        return true;
    case KRX_MSG_INFO_DATA:
        m_Poll.OnInformationReply(lParam);
        return true;
    case KRX_MSG_ADD_JOB:
        OnAddJob(lParam);
        return true;
    case KRX_MSG_OPEN_AS_DETAIL:
        OnOpenAsDetail();
        return true;
    case KRX_MSG_RECOVERY_REPORT:
        m_Poll.Recovery().OnReport(Hwnd(), lParam);
        return true;
    case WM_MOVE:
        m_Position.SaveCurrent(Hwnd(), m_Printer);
        return false;
    case WM_MOVING:
        PositionMemory::KeepSize(reinterpret_cast<RECT*>(lParam), ViewSize(m_nViewType));
        *result = TRUE;
        return true;
    case WM_SIZE:
        m_Layout.OnSize(wParam, m_nViewType);
        return false;
    case WM_WINDOWPOSCHANGING:
        m_Layout.OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        return false;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return false;
    case WM_DRAWITEM:
        if (wParam == IDC_TIPS_BUTTON) {
            *result = m_Tips.DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return *result != 0;
        }
        return false;
    default:
        return Dialog::HandleMessage(message, wParam, lParam, result);
    }
}

bool StatusWindow::PreTranslateMessage(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_KEYUP &&
        message.message != WM_CHAR) {
        return false;
    }
    if (message.hwnd != Hwnd() && !IsChild(Hwnd(), message.hwnd)) {
        return false;
    }
    if (message.wParam == VK_ESCAPE || (message.message == WM_CHAR && message.wParam == 0x1B)) {
        return true;
    }
    if (message.wParam == VK_RETURN || (message.message == WM_CHAR && message.wParam == '\r')) {
        if (message.message == WM_KEYDOWN && m_nViewType == kViewDetail) {
            SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(Item(IDOK)));
        } else if (message.message == WM_KEYDOWN && m_nViewType == kViewProgress) {
            // The meter is never shown active by itself: Enter there comes
            // from a user who moved to a button, and presses it.
            PressFocusedButton();
        }
        return true;
    }
    return false;
}

void StatusWindow::PressFocusedButton() const {
    HWND focus = GetFocus();
    char className[16] = {};
    if (focus == nullptr || !IsChild(Hwnd(), focus) || !IsWindowEnabled(focus) ||
        GetClassNameA(focus, className, sizeof(className)) == 0 ||
        lstrcmpiA(className, "Button") != 0) {
        return;
    }
    const LONG type = GetWindowLongA(focus, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW) {
        PostMessageA(focus, BM_CLICK, 0, 0);
    }
}

void StatusWindow::OnSysColorChange() {
    m_JobView.FollowSystemColours();
    // The ink library's gauges and the pictures are items, which the system
    // does not tell.
    TellItems(WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool StatusWindow::OnCommand(int id, int /*notifyCode*/, HWND /*control*/) {
    switch (id) {
    case kCommandServiceCall:
        m_Help.ShowServiceCall(m_Printer);
        return true;
    case IDC_TROUBLE_HELP:
        m_Help.Open(m_Poll.StatusClass(), m_Printer,
                    !m_Poll.DebugStatus() && !(m_pChannels && m_pChannels->SlowPolling()),
                    m_Display.Picture(), m_JobView.Animation());
        return true;
    case IDC_CANCEL_PRINTING:
        m_JobView.CancelPrinting(m_pJobMonitor);
        return true;
    case IDOK:
        // Enter reaches here only through the Detail view's close button.
        if (m_nViewType == kViewDetail) {
            OnCloseOrTurnIntoMeter();
        }
        return true;
    case IDCANCEL:
        // The Escape key is never a way to close the window.
        return true;
    case IDC_JOB_CANCEL:
        m_JobView.CancelJob(m_pJobMonitor);
        return true;
    case IDC_JOB_PAUSE:
        m_JobView.PauseOrResume(m_pJobMonitor);
        return true;
    case IDC_TIPS_BUTTON:
        m_Tips.Toggle(m_Printer);
        // The meter grows or shrinks with the tips area.
        m_Position.Resize(Hwnd(), ViewSize(kViewProgress), m_Printer);
        return true;
    case IDC_TIP_HELP:
        m_Tips.OpenHelp(m_Printer.ModelFile());
        return true;
    case IDC_INFO_BUTTON:
        m_Display.Information().Show(m_pBxApi, m_pChannels.get(), Hwnd());
        return true;
    default:
        return false;
    }
}

bool StatusWindow::OnClose() {
    EndWindow(IDCANCEL);
    return true;
}

bool StatusWindow::OnSysCommand(WPARAM command) {
    const UINT kind = static_cast<UINT>(command & 0xFFF0);
    if (command == kSysMenuVersion) {
        VersionDialog dialog;
        dialog.Show(Hwnd());
        return true;
    }
    if (kind == SC_CLOSE && (GetKeyState(VK_F4) & 0x8000) != 0) {
        return true; // Alt+F4 does not close the monitor
    }
    return false;
}

void StatusWindow::OnCloseOrTurnIntoMeter() {
    JobRecord record = {};
    const ViewDecision decision = ViewPolicy::Decide(ViewEvent::kCloseButton, Situation(&record));
    if (decision.close) {
        EndWindow(IDOK);
        return;
    }
    CarryOut(decision, record);
}

void StatusWindow::EndWindow(INT_PTR code) {
    CleanUp();
    End(code);
}

bool StatusWindow::OnTimer(UINT_PTR timerId) {
    if (!WindowTimers::Owns(timerId)) {
        return false;
    }
    if (!m_Timers.EnterTick()) {
        return true; // a tick is still running: drop this one
    }
    if (timerId == kStatusTimerId) {
        OnStatusTimer();
    } else {
        OnProgressTimer();
    }
    m_Timers.LeaveTick();
    return true;
}

void StatusWindow::OnStatusTimer() {
    m_Timers.Stop(Hwnd(), kStatusTimerId);
    RunTick(&StatusWindow::StatusTick);
    if (!m_bClosed && m_bStatusPolling) {
        m_Timers.Start(Hwnd(), kStatusTimerId, m_Poll.NextPeriodMs());
    }
}

void StatusWindow::OnProgressTimer() {
    m_Timers.Stop(Hwnd(), kProgressTimerId);
    RunTick(&StatusWindow::ProgressTick);
    if (!m_bClosed) {
        m_Timers.Start(Hwnd(), kProgressTimerId, kProgressPeriodMs);
    }
}

void StatusWindow::RunTick(void (StatusWindow::*tick)()) {
    // A failed tick is skipped; the timer is started again all the same.
    try {
        (this->*tick)();
    } catch (...) {
        DebugTrace("Status window: tick abandoned\n");
    }
}

BOOL StatusWindow::OnInitDialog() {
    m_bClosed = 0;
    if (m_pChannels) {
        m_pChannels->m_hWnd = Hwnd();
    }
    RegisterStatusWindow(m_Printer.Name().c_str(), m_Printer.Port().c_str(),
                         static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(Hwnd())),
                         kSlotStatusWindow);
    if (const char* banner = TraceBanner(m_nBaseViewType)) {
        DebugTrace("%s", banner);
    }
    m_Layout.Attach(Hwnd());
    m_Display.Attach(Hwnd());
    m_InkGauges.Attach(Hwnd());
    m_JobView.Attach(Hwnd());
    m_Tips.Attach(Hwnd());
    m_Help.Attach(Hwnd());
    m_StatusText.Attach(Hwnd(), IDC_STATUS_TEXT);
    // Its own name: the label before it in the template is the job's name.
    m_StatusText.SetAccessibleName(ResourceString(IDS_ACC_STATUS_TEXT));

    std::string pictureLibrary;
    if (ReadProfileString(m_Printer.ModelFile().c_str(), m_Printer.ModelSection().c_str(), "BMPDLL",
                          &pictureLibrary) == kProfileFound &&
        !pictureLibrary.empty()) {
        // Pictures only: mapped as an image, none of its code runs.
        m_hPictureLib.reset(LoadResourceLibrary(pictureLibrary));
    }
    m_Display.Picture().SetResourceModule(m_hPictureLib.get());
    m_JobView.Animation().SetResourceModule(m_hPictureLib.get());

    m_Poll.Open(Hwnd(), m_pBxApi, m_pChannels.get());
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->SetSkipSpoolerCheck(m_Poll.DebugStatus());
    }
    m_Help.SetHtmlViewer(RegistryKey(HKEY_CLASSES_ROOT, ".HTM").IsOpen());
    m_Layout.SetUpSystemMenu();

    if (HICON icon = LoadIconA(m_hResource, MAKEINTRESOURCEA(IDI_STATUS_WINDOW))) {
        SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }

    m_Display.Reset();
    m_Help.ClearCategory(m_Poll.StatusClass(), m_nViewType);

    m_InkGauges.Initialise();
    m_JobView.SetUp();
    m_JobView.Clear();

    m_Display.Picture().SetBitmapSize(kPictureWidth, kPictureHeight);
    m_Display.Picture().ShowBitmap(IDB_PRINTER_READY); // picture category 1
    m_Tips.SetUpButton();

    m_Position.CaptureTemplate(Hwnd());
    m_Layout.CaptureTemplate();

    m_Tips.ReadChoice(m_Printer);

    switch (m_nBaseViewType) {
    case kViewPopup:
        m_Position.SetRemember(true);
        m_Poll.ShowInitialStatus(m_nViewType);
        SwitchView(kViewPopup, 0);
        break;
    case kViewDetail:
        m_Position.SetRemember(false);
        SwitchView(kViewDetail, 1);
        break;
    case kViewProgress:
        m_Position.SetRemember(true);
        m_Layout.SetKeepHidden(true);
        SwitchView(kViewProgress, 0);
        EnableWindow(Item(IDC_TIP_TEXT), TRUE);
        EnableWindow(Item(IDC_TIP_HELP), TRUE);
        break;
    default:
        break;
    }

    m_Tips.Load(m_Printer.StoreKey());

    if (m_bStatusPolling) {
        m_Timers.Start(Hwnd(), kStatusTimerId, kFirstStatusPeriodMs);
    }
    m_Timers.Start(Hwnd(), kProgressTimerId, kFirstProgressPeriodMs);
    return TRUE;
}

void StatusWindow::CleanUp() {
    if (m_bClosed) {
        return;
    }
    m_bClosed = 1;
    m_Poll.StopSound();
    m_Display.Picture().StopAnimation();
    m_JobView.Animation().StopAnimation();
    m_Timers.Stop(Hwnd(), kStatusTimerId);
    m_Timers.Stop(Hwnd(), kProgressTimerId);
    if (m_pChannels) {
        CloseChannels(*m_pChannels);
    }
    m_Display.Information().OwnerClosed();
}

void StatusWindow::OnDestroy() {
    // The window may go without passing a closing path (its owner ended).
    CleanUp();
    m_Display.Information().Destroy();
}

} // namespace krx
