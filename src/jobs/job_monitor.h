// JobMonitor: collects the print jobs announced to a status window and runs
// one worker thread that follows them through the port monitor: it waits for
// the port to work on an announced job, polls that job's progress into the
// shared JobRecord, passes the window's pause, resume and cancel requests on,
// and ends when the spooler no longer knows any announced job. One per open
// window; the window-opening export creates it before the window and
// destroys it after the window has closed.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "common/win_handles.h"
#include "common/critical_section.h"
#include "jobs/job_record.h"
#include "jobs/port_monitor_rules.h"

namespace krx {

class PortMonitorClient;

// Requests the progress meter passes to the followed job.
enum JobCommand : int {
    kJobCommandNone = 0,
    kJobCommandPause = 1,
    kJobCommandResume = 2,
    kJobCommandCancel = 3,
};

// The library the worker opens its session with.
constexpr char kNetworkStatusLibrary[] = "nvnetq10.dll";

struct JobMonitorSettings {
    // Fixed polling of the product: between looks at the port, between
    // progress reads, between attempts to open the port.
    DWORD pollInterval = 1000;
    // After a failed progress read or a request that was not sent.
    DWORD retryInterval = 10;
    // The port monitor's pipe on a print server.
    std::string pipeName = pm::kPipeName;
    // Longest one remote call may take.
    DWORD callLimit = pm::kCallLimitMs;
};

class JobMonitor {
  public:
    // Tests shorten the intervals; the product uses the defaults.
    explicit JobMonitor(JobMonitorSettings settings = JobMonitorSettings());
    // Asks the worker to finish and waits for it without a time limit.
    ~JobMonitor();
    JobMonitor(const JobMonitor&) = delete;
    JobMonitor& operator=(const JobMonitor&) = delete;

    // 1 when both names were empty and are now set; 0 (nothing changed)
    // otherwise.
    int SetNames(const char* printerName, const char* portName);
    // 0 when the id was already listed, 1 otherwise; the first announcement
    // starts the worker.
    int FollowJob(int jobId);
    // Drops the listed ids the spooler no longer knows; 1 when ids are left.
    int PruneJobs();
    int GetJobCount();
    // 0 when no job's progress is known; else 1, after copying the record
    // when a destination is given.
    int GetJobRecord(JobRecord* destination);
    void RequestCommand(int jobId, int command);
    // The command of a request the worker has not taken yet; 0 when none.
    int PendingCommand();
    void SetSkipSpoolerCheck(int flag);

    // Whether a worker thread has been started and not yet ended.
    bool IsWorkerRunning() const;

  private:
    static DWORD WINAPI WorkerEntry(void* self);
    void RunWorker();
    void FollowJob(PortMonitorClient& client, int spoolerJobId);
    int UpdateProgress(PortMonitorClient& client);
    int PassRequest(PortMonitorClient& client, int spoolerJobId);
    int SendCommand(PortMonitorClient& client, int command);
    bool ReadJobText(PortMonitorClient& client, char (&text)[kJobTextSize]);
    bool ReadProperty(PortMonitorClient& client, int property, void* data, int size);
    bool IsListed(int jobId);
    void RemoveJob(int jobId);
    // Sleeps; false when the monitor is being destroyed.
    bool Pause(DWORD milliseconds);
    bool Stopping() const;

    const JobMonitorSettings m_Settings;

    CriticalSection m_Lock;
    // Guarded by m_Lock:
    std::vector<int> m_JobIds;
    JobRecord m_Record = {};
    int m_bRecordValid = 0;
    int m_nRequestedJob = 0;
    int m_nRequestedCommand = kJobCommandNone;
    int m_bJobsPresent = 0;
    int m_bSkipSpoolerCheck = 0;
    int m_bSessionFailed = 0;

    // Set before the worker starts, read only afterwards.
    std::string m_strPrinterName;
    std::string m_strPortName;
    int m_nFirstJobId = 0;

    // Worker thread only.
    int m_hPort = 0;
    int m_hJob = 0;

    // Window thread only.
    unique_handle m_hThread;
    unique_handle m_hStop; // set when the monitor is destroyed
};

} // namespace krx
