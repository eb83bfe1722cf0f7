// StatusWindow: the monitor's one window class. Template 102 of the
// resource library holds the controls of its three views (Popup, Detail,
// Progress meter); the window shows, hides, enables and moves them to
// present one view and may switch between views while it is open. Two
// window timers drive it: the status timer (8) and the progress timer (9).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "comm/status_channels.h"
#include "common/dialog.h"
#include "common/resource_ids.h"
#include "common/win_handles.h"
#include "base/registry/registry_key.h"
#include "graphics/BMP256Ctrl.h"
#include "graphics/fitted_label.h"
#include "graphics/printer_info_dialog.h"
#include "graphics/progress_meter.h"
#include "graphics/resource_text.h"
#include "graphics/sound.h"
#include "jobs/job_record.h"
#include "krxstat.h"
#include "status/status_reply.h"
#include "ui/status_window/ink_gauges.h"
#include "ui/status_window/job_view.h"
#include "ui/status_window/monitored_printer.h"
#include "ui/status_window/position_memory.h"
#include "ui/status_window/status_poll.h"
#include "ui/status_window/status_view.h"
#include "ui/status_window/status_window_recovery.h"
#include "ui/status_window/tips_panel.h"
#include "ui/status_window/trouble_help.h"
#include "ui/status_window/view_layout.h"
#include "ui/status_window/view_policy.h"
#include "ui/status_window/view_table.h"
#include "ui/status_window/window_timers.h"

namespace krx {

class CBxApi;
class JobMonitor;

// Command that reaches the window from outside; no control carries it.
constexpr int kCommandServiceCall = 91;

// A read-only edit that never shows a caret: the edit makes its caret
// whenever it gets the focus, so the caret goes as soon as it is made.
class CaretlessEdit : public SubclassedControl {
  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// What the window-opening call gives the window before it runs.
struct StatusWindowSetup {
    HMODULE resourceLibrary = nullptr; // language resource library
    int baseViewType = kViewNone;      // view the window is opened for
    JobMonitor* jobMonitor = nullptr;
    CBxApi* library = nullptr; // the call's library wrapper
    std::string resourcePath;  // passed on to the external program ("/R")
    int statusPolling = 1;     // 0 for a meter opened without polling
};

class StatusWindow : public Dialog {
  public:
    StatusWindow();
    ~StatusWindow() override;

    // Given by the window-opening call before Run.
    void Configure(const StatusWindowSetup& setup);

    // Stores the names, finds the printer's keys and runs the window
    // modally. 2 without a window when the spooler does not know the
    // printer; else the dialog's end code.
    INT_PTR Run(const char* printerName, const char* portName, const char* modelSection,
                const char* modelFile);

    // Views, size and placement.
    void SwitchView(int viewType, int forceDefaultPosition);
    void PlaceWindow(int viewType, int forceDefaultPosition);
    SIZE ViewSize(int viewType) const;
    int ShowInkArea(int show);

    // Library recovery through the settings tool.
    void TryLibraryRecovery() { m_Poll.Recovery().Try(Hwnd(), m_nViewType, m_Printer.Name()); }

    // What the window shows, read-only.
    int CurrentViewType() const { return m_nViewType; }
    const StatusPoll& Status() const { return m_Poll; }
    const StatusView& Display() const { return m_Display; }
    const JobView& Jobs() const { return m_JobView; }
    const TroubleHelp& Help() const { return m_Help; }
    const TipsPanel& Tips() const { return m_Tips; }
    const StatusChannels* Channels() const { return m_pChannels.get(); }
    int RecoveryStateValue() const { return m_Poll.Recovery().State(); }

  protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;
    bool OnTimer(UINT_PTR timerId) override;
    bool OnClose() override;
    void OnDestroy() override;
    bool PreTranslateMessage(const MSG& message) override;

  private:
    // Message handlers (status_window.cpp).
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    void RunTick(void (StatusWindow::*tick)());
    bool OnSysCommand(WPARAM command);
    void OnCloseOrTurnIntoMeter();
    void PressFocusedButton() const;
    void OnSysColorChange();
    void OnStatusTimer();
    void OnProgressTimer();
    void CleanUp();
    void EndWindow(INT_PTR code);

    // Status polling and the views it asks for (status_window_status.cpp).
    void StatusTick();
    void OnStatusNotification(LPARAM lParam);
    void AfterStatus(ViewEvent event, StatusOutcome status);
    // What the view decisions start from (popsUp is looked up only when a
    // decision needs it); the job monitor's record, if any, goes to record.
    ViewSituation Situation(JobRecord* record) const;
    // Carries a view decision out; record: the job a meter shows.
    void CarryOut(const ViewDecision& decision, const JobRecord& record);
    // Job progress (status_window_jobs.cpp).
    void ProgressTick();
    void ShowMeterJob(const JobRecord& record);
    void OnAddJob(LPARAM jobId);
    void OnOpenAsDetail();

    // --- Set by the window-opening export ---
    HMODULE m_hResource = nullptr;   // language resource library
    int m_nBaseViewType = kViewNone; // view the window was opened for
    JobMonitor* m_pJobMonitor = nullptr;
    CBxApi* m_pBxApi = nullptr;    // the call's library wrapper
    std::string m_strResourcePath; // passed on to the external program ("/R")

    // --- Views and layout ---
    int m_nViewType = kViewNone;  // view shown now; 0 until the first switch
    int m_nMeterStatusClass = -1; // class shown when the meter was last put away
    ViewLayout m_Layout;

    // --- Timers ---
    WindowTimers m_Timers;
    int m_bStatusPolling = 1; // 0 for a meter opened without polling

    // --- Jobs ---

    int m_bClosed = 0; // cleaned up: no timer is started again

    // --- Printer identity ---
    MonitoredPrinter m_Printer; // names, model, store key
    PositionMemory m_Position;  // template rectangle, remembered position

    // --- Communication ---
    std::unique_ptr<StatusChannels> m_pChannels; // needs the library wrapper

    // --- Help and tips ---
    TipsPanel m_Tips;   // 317, 318, 320
    TroubleHelp m_Help; // what the trouble-help button offers

    // --- Owned objects ---
    unique_hmodule m_hPictureLib; // "BMPDLL": pictures of items 210 and 304

    // --- Controls bound to template items ---
    StatusView m_Display;  // 212 and 210
    JobView m_JobView;     // 300, 304, 305, 307 and the job buttons
    InkGauges m_InkGauges; // 314 and 315

    CaretlessEdit m_StatusText; // 212

    // --- Status: polled, read and shown ---
    StatusPoll m_Poll{m_Printer, m_Display, m_InkGauges, m_Help, m_strResourcePath};
};

} // namespace krx
