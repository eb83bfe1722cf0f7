// JobList: what a status window's job monitor shares between the window's
// thread and its threads: the announced job ids, the record of the job being
// followed, the window's pending request, and the stop signal. Held by
// shared ownership, so that a thread left inside an outside call when the
// window closes still owns everything it touches.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/critical_section.h"
#include "common/win_handles.h"
#include "jobs/job_record.h"
#include "jobs/port_monitor_rules.h"

namespace krx {

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
    // progress reads, between attempts to open the port, between looks at
    // the spooler.
    DWORD pollInterval = 1000;
    // After a failed progress read or a request that was not sent.
    DWORD retryInterval = 10;
    // The port monitor's pipe on a print server.
    std::string pipeName = pm::kPipeName;
    // Longest one remote call may take.
    DWORD callLimit = pm::kCallLimitMs;
};

class JobList {
  public:
    JobList();
    JobList(const JobList&) = delete;
    JobList& operator=(const JobList&) = delete;

    // Set once, before any thread runs; read only afterwards.
    void SetNames(const std::string& printerName, const std::string& portName);
    const std::string& PrinterName() const { return m_strPrinterName; }
    const std::string& PortName() const { return m_strPortName; }

    struct Announced {
        bool added = false;           // false: the id was listed already
        bool startSupervisor = false; // nobody follows the list: start its thread
    };
    Announced Add(int jobId);
    // Whether a job was announced since the last call.
    bool TakeAnnouncement();
    // The supervising thread could not be started after all.
    void SupervisorNotStarted();
    // The supervising thread ends when the list is empty and no worker runs;
    // decided under the lock, so that an announcement either sees it ending
    // or is picked up by it.
    bool RetireSupervisorIfIdle(bool workerRuns);

    // Drops the ids the spooler no longer knows (the spooler is asked
    // without the lock held: it may be a print server's). 1 when ids are left.
    int Prune();
    int Count();
    bool HasJobs();
    int FirstJob(); // 0 when none
    bool IsListed(int jobId);
    void Remove(int jobId);
    void SetSkipSpoolerCheck(int flag);

    // The record: identity when a job starts, progress at each read.
    int CopyRecord(JobRecord* destination);
    void StartRecord(int jobId, const char (&text)[kJobTextSize], const unsigned char (&paper)[6]);
    bool RecordTextEmpty();
    void StoreProgress(const JobRecord& progress, bool textRead, bool paperRead);
    void InvalidateRecord();

    void Request(int jobId, int command);
    void TakeRequest(int* jobId, int* command);
    int PendingCommand();

    // Set once when the window's monitor goes away.
    void Stop();
    bool Stopping() const;
    HANDLE StopEvent() const { return m_hStop.get(); }
    // Waits; false when stopping.
    bool Pause(DWORD milliseconds) const;

  private:
    bool IsListedLocked(int jobId) const;

    CriticalSection m_Lock;
    // Guarded by m_Lock:
    std::vector<int> m_JobIds;
    JobRecord m_Record = {};
    int m_bRecordValid = 0;
    int m_nRequestedJob = 0;
    int m_nRequestedCommand = kJobCommandNone;
    int m_bSkipSpoolerCheck = 0;
    int m_bAnnounced = 0;
    int m_bSupervisorAlive = 0;

    std::string m_strPrinterName;
    std::string m_strPortName;
    unique_handle m_hStop;
};

} // namespace krx
