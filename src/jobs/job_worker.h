// JobWorker: the thread that follows announced jobs through the port
// monitor. It opens a session, looks at the port once a period until the port
// works on a listed job, polls that job's progress into the shared record
// once a period, passes the window's requests on, and ends when no listed
// job is left, when its session cannot be opened, or when the window's
// monitor stops; a print server's session that is lost is opened again once
// a period. It never asks the spooler itself whether jobs are
// gone: the monitor's supervising thread keeps the list pruned, so that the
// list follows the spooler even while this thread waits on the port monitor.
#pragma once

#include <windows.h>

#include <memory>

#include "jobs/job_list.h"

namespace krx {

class PortMonitorClient;

class JobWorker {
  public:
    // How the worker ended (its thread's exit code).
    enum End : DWORD {
        kEndNoJobs = 0,
        kEndStopped = 1,
        kEndSessionFailed = 2, // the session could not be opened
        kEndSessionLost = 3,   // (inside the worker only) the session was lost
    };

    JobWorker(std::shared_ptr<JobList> list, const JobMonitorSettings& settings);
    JobWorker(const JobWorker&) = delete;
    JobWorker& operator=(const JobWorker&) = delete;

    End Run();

  private:
    End FollowPort(PortMonitorClient& client);
    // True when the job has ended (or the spooler forgot it); false when
    // the session was lost or the monitor stops.
    bool FollowJob(PortMonitorClient& client, int spoolerJobId);
    int UpdateProgress(PortMonitorClient& client);
    int PassRequest(PortMonitorClient& client, int spoolerJobId);
    int SendCommand(PortMonitorClient& client, int command);
    bool ReadJobText(PortMonitorClient& client, char (&text)[kJobTextSize]);
    bool ReadProperty(PortMonitorClient& client, int property, void* data, int size);
    bool Pause(DWORD milliseconds) const { return m_pList->Pause(milliseconds); }
    bool Stopping() const { return m_pList->Stopping(); }

    const std::shared_ptr<JobList> m_pList;
    const JobMonitorSettings m_Settings;
    int m_hPort = 0;
    int m_hJob = 0;
};

} // namespace krx
