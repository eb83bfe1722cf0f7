// JobMonitor: collects the print jobs announced to a status window and
// follows them through the port monitor. Two threads do the work, both
// started by the first announcement into an empty list and both holding the
// shared JobList:
// - the supervising thread looks at the spooler once a period and drops the
//   jobs it no longer lists, whatever the port monitor does, and starts the
//   worker (JobWorker) again when a session could not be opened and a job is
//   announced; it ends when no listed job is left and no worker runs;
// - the worker follows the jobs through the port monitor, and opens a print
//   server's session again once a period when it was lost.
// The window never waits on either without a limit. One per open window; the
// window-opening export creates it before the window and destroys it after
// the window has closed.
#pragma once

#include <windows.h>

#include <memory>

#include "common/win_handles.h"
#include "jobs/job_list.h"
#include "jobs/job_record.h"

namespace krx {

// How long the monitor's destruction waits for its threads: a thread still
// inside an outside call after that is left to end by itself.
constexpr DWORD kJobMonitorStopWaitMs = 1000;

class JobMonitor {
  public:
    // Tests shorten the intervals; the product uses the defaults.
    explicit JobMonitor(JobMonitorSettings settings = JobMonitorSettings());
    // Asks the threads to finish and waits for them at most
    // kJobMonitorStopWaitMs.
    ~JobMonitor();
    JobMonitor(const JobMonitor&) = delete;
    JobMonitor& operator=(const JobMonitor&) = delete;

    // 1 when both names were empty and are now set; 0 (nothing changed)
    // otherwise.
    int SetNames(const char* printerName, const char* portName);
    // 0 when the id was already listed (or nobody could follow it), 1
    // otherwise; the first announcement starts the threads.
    int FollowJob(int jobId);
    // Drops the listed ids the spooler no longer knows, on the caller's
    // thread; 1 when ids are left.
    int PruneJobs();
    int GetJobCount();
    // 0 when no job's progress is known; else 1, after copying the record
    // when a destination is given.
    int GetJobRecord(JobRecord* destination);
    void RequestCommand(int jobId, int command);
    // The command of a request the worker has not taken yet; 0 when none.
    int PendingCommand();
    void SetSkipSpoolerCheck(int flag);

    // Whether the monitor's threads have been started and not yet ended.
    bool IsWorkerRunning() const;

  private:
    const JobMonitorSettings m_Settings;
    const std::shared_ptr<JobList> m_pList;
    bool m_bNamesSet = false;
    // Window thread only: the supervising thread of the latest start.
    unique_handle m_hSupervisor;
};

} // namespace krx
