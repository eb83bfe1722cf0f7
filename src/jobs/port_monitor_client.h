// PortMonitorClient: the job operations of the maker's port monitor, carried
// out either through the network-status library on this computer (entry
// points by ordinal) or, for a printer shared from a print server whose job
// is spooled as EMF, as remote procedure calls on the port monitor's RPC
// interface. Every operation answers a 32-bit value, 0 for failure; no RPC
// failure or exception reaches the caller. Used by the job-monitor worker
// only, one client at a time.
#pragma once

#include <windows.h>
#include <rpc.h>

#include <memory>
#include <string>

#include "common/win_handles.h"
#include "jobs/port_monitor_rules.h"

namespace krx {

class RpcBindingHolder;

class PortMonitorClient {
  public:
    enum Mode : int { kModeNone = -1, kModeLocal = 0, kModeRemote = 1 };

    // pipeName: the port monitor's pipe on a print server; the product uses
    // the default, tests give each simulated server its own. callLimit: how
    // long one remote call may take before it is cancelled.
    // stopEvent (not owned, may be null): once set, a call under way is
    // cancelled at once and later calls get only pm::kStoppingCallLimitMs,
    // so that the job monitor's owner is never held up by the server.
    explicit PortMonitorClient(std::string pipeName = pm::kPipeName,
                               DWORD callLimit = pm::kCallLimitMs, HANDLE stopEvent = nullptr);
    ~PortMonitorClient();
    PortMonitorClient(const PortMonitorClient&) = delete;
    PortMonitorClient& operator=(const PortMonitorClient&) = delete;

    // Non-zero (the session value) when a session was opened.
    int Open(const char* libraryFileName, const char* printerName, int jobId);
    // 1 when the session given (the value Open returned) was closed.
    int Close(int session);

    int OpenPort(const char* printerName, const char* portName, int flag, const char* data);
    int ClosePort(int portHandle);
    int IsPortActive(int portHandle);
    int GetCurrentJob(int portHandle);
    int IsJobActive(int portHandle, int job);
    int GetJobProperty(int portHandle, int job, int property, void* buffer, int size, int* needed);
    int SetJobProperty(int portHandle, int job, int property, const void* data);
    int BeginJobWatch(int portHandle, int job);
    int EndJobWatch(int portHandle, int job);

    int GetMode() const { return m_nMode; }
    int SessionValue() const { return m_nSession; }
    int PortHandle() const { return m_hPort; }
    // RPC status or exception code of the last remote call that failed.
    unsigned long LastRpcFailure() const { return m_nLastRpcFailure; }
    // True once a remote call failed in a way that means the connection is
    // gone (a server gone or restarted, a call cancelled at its limit): no
    // further call goes out on this session; the caller opens a new one.
    bool SessionDead() const { return m_bSessionDead; }

  private:
    int OpenRemote(const std::string& server, const char* libraryFileName);
    int OpenLocal(const char* libraryFileName);
    // key: the binding's text, naming it among the module's openings.
    bool MakeBinding(const std::string& server, const char* protocol, const char* endpoint,
                     std::string* key);
    void ReleaseBinding();
    FARPROC Entry(int ordinal) const;
    // Runs one guarded remote call within the call limit and keeps its
    // failure code; nothing goes out once the session is dead.
    template <typename Call> long Remote(Call call) {
        if (m_bSessionDead) {
            m_nLastRpcFailure = RPC_S_CALL_CANCELLED;
            return 0;
        }
        unsigned long failure = 0;
        bool late = false;
        long result = 0;
        {
            CallDeadline deadline(m_nCallLimit, m_hStopEvent);
            result = call(&failure);
            late = deadline.Expired();
        }
        if (late) {
            // Late counts as failed, whatever came back: it was cancelled.
            failure = RPC_S_CALL_CANCELLED;
            result = 0;
        }
        if (failure != 0) {
            m_nLastRpcFailure = failure;
            // A call that failed on a connection still there (a reply that
            // does not fit, a fault the server sent) leaves the session
            // usable; one whose connection is gone does not.
            if (pm::MeansConnectionGone(failure)) {
                m_bSessionDead = true;
            }
        }
        return result;
    }

    // Cancels the calling thread's RPC call when it outlasts the limit.
    class CallDeadline {
      public:
        CallDeadline(DWORD limitMs, HANDLE stopEvent);
        ~CallDeadline();
        CallDeadline(const CallDeadline&) = delete;
        CallDeadline& operator=(const CallDeadline&) = delete;
        bool Expired() const { return m_nExpired != 0; }

      private:
        static void CALLBACK OnExpired(void* self, BOOLEAN);
        unique_handle m_hThread;
        HANDLE m_hTimer = nullptr; // a timer-queue timer, or a registered wait
        bool m_bWait = false;
        volatile LONG m_nExpired = 0;
    };

    std::unique_ptr<RpcBindingHolder> m_pBinding;
    int m_hPort = 0;
    int m_nSession = 0;
    int m_nMode = kModeNone;
    void* m_hContext = nullptr;
    unique_hmodule m_hLibrary;
    std::string m_strPipeName;
    unsigned long m_nLastRpcFailure = 0;
    DWORD m_nCallLimit;
    HANDLE m_hStopEvent;
    bool m_bSessionDead = false;
};

// This computer's name as the binding compares it (at most 15 characters);
// read once.
const std::string& ThisComputerName();

// Whether the spooler reports the job as spooled in an EMF data type.
bool JobIsSpooledAsEmf(const char* printerName, int jobId);

} // namespace krx
