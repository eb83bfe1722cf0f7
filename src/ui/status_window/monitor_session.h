// MonitorSession: one window-opening call as the exports make it. It owns
// the status window and what the window leans on (the library wrapper, the
// job monitor, the language and ink libraries), runs the checks before the
// window opens, and releases everything in reverse order.
#pragma once

#include <windows.h>

#include "common/win_handles.h"
#include "comm/bxapi.h"
#include "base/module/module_state.h"
#include "jobs/job_monitor.h"
#include "ui/status_window/status_window.h"

namespace krx {

// The arguments of one window-opening call.
struct MonitorRequest {
    int viewType = kViewNone; // Popup, Detail or Progress
    const char* printerName = nullptr;
    const char* portName = nullptr;
    const char* modelSection = nullptr;
    const char* modelFile = nullptr;
    const char* resourcePath = nullptr; // the language resource library
    int jobId = 0;                      // the meter's first job
};

class MonitorSession {
  public:
    explicit MonitorSession(const MonitorRequest& request,
                            const JobMonitorSettings& jobSettings = JobMonitorSettings());
    ~MonitorSession();
    MonitorSession(const MonitorSession&) = delete;
    MonitorSession& operator=(const MonitorSession&) = delete;

    // The export's whole call: 0 after the window closed, 1 when it cannot
    // open.
    int Run();

    // The two halves of Run. Prepare: false when a check refuses the call
    // (unknown names, no library, no language library). RunWindow: the
    // window's end code; -1 when the language library lacks its template,
    // 2 when the spooler does not know the printer.
    bool Prepare();
    INT_PTR RunWindow();

    StatusWindow& Window() { return m_Window; }
    JobMonitor& Monitor() { return m_Monitor; }

  private:
    // The language library is the module's resource module for the call;
    // the previous one comes back before the library is released.
    void MakeResourcesCurrent();
    void LoadInkLibrary();

    // Declared in the order the call makes them, so released in the reverse
    // one: the window, which points at the library, the job monitor and the
    // libraries loaded for it, goes before any of them, and the call's frame
    // goes last. The session has a frame of its own because it also runs
    // outside the exports (the live tests run it directly).
    CallFrame m_Frame;
    MonitorRequest m_Request; // the caller's texts, alive for the call
    // The window's calls of the printer's library, each within its limit, so
    // that a library that stops answering cannot keep the window open.
    LibraryCallThread m_LibraryCalls;
    CBxApi m_Library;
    JobMonitor m_Monitor;
    unique_hmodule m_hResources;
    unique_hmodule m_hInkLibrary;
    StatusWindow m_Window;
    HMODULE m_hPreviousResources = nullptr;
    bool m_bResourcesCurrent = false;
    bool m_bPrepared = false;
};

} // namespace krx
