// The job monitor: the window's side, and the supervising thread that keeps
// the job list in step with the spooler and the worker running.
#include "jobs/job_monitor.h"

#include <string>
#include <utility>

#include "common/pinned_thread.h"
#include "jobs/job_worker.h"

namespace krx {

namespace {

// How long a stopping supervisor gives its worker to end: together with the
// window's own wait this stays within kJobMonitorStopWaitMs.
constexpr DWORD kWorkerStopWaitMs = kJobMonitorStopWaitMs * 9 / 10;

unique_handle StartWorker(const std::shared_ptr<JobList>& list,
                          const JobMonitorSettings& settings) {
    return StartPinnedThread([list, settings]() -> DWORD {
        JobWorker worker(list, settings);
        return worker.Run();
    });
}

// Whether a worker should be (re)started now, after the way the last one
// ended.
bool MayRestart(DWORD end) {
    // A session that could not be opened is tried again only for a new
    // announcement.
    return end != JobWorker::kEndSessionFailed;
}

DWORD Supervise(const std::shared_ptr<JobList>& list, const JobMonitorSettings& settings) {
    unique_handle worker;
    bool mayStart = true;
    for (;;) {
        if (list->Stopping()) {
            break;
        }
        list->Prune();
        if (worker && WaitForSingleObject(worker.get(), 0) == WAIT_OBJECT_0) {
            DWORD end = JobWorker::kEndNoJobs;
            GetExitCodeThread(worker.get(), &end);
            worker.reset();
            mayStart = MayRestart(end);
        }
        if (list->TakeAnnouncement()) {
            mayStart = true;
        }
        if (list->RetireSupervisorIfIdle(static_cast<bool>(worker))) {
            return 0;
        }
        if (!worker && mayStart && list->HasJobs()) {
            worker = StartWorker(list, settings);
            mayStart = !worker; // a thread that did not start is tried next round
        }
        list->Pause(settings.pollInterval);
    }
    if (worker) {
        WaitForSingleObject(worker.get(), kWorkerStopWaitMs);
    }
    return 0;
}

} // namespace

JobMonitor::JobMonitor(JobMonitorSettings settings)
    : m_Settings(std::move(settings)), m_pList(std::make_shared<JobList>()) {}

JobMonitor::~JobMonitor() {
    // The worker may be following a job that prints for a long time yet, or
    // waiting on a port that stays busy with other jobs: ask both threads to
    // finish. A thread stuck in an outside call owns what it uses and ends
    // by itself later.
    m_pList->Stop();
    if (m_hSupervisor) {
        WaitForSingleObject(m_hSupervisor.get(), kJobMonitorStopWaitMs);
    }
}

int JobMonitor::SetNames(const char* printerName, const char* portName) {
    if (m_bNamesSet || m_hSupervisor) {
        return 0;
    }
    std::string printer = printerName != nullptr ? printerName : "";
    std::string port = portName != nullptr ? portName : "";
    if (printer.empty() && port.empty()) {
        return 1; // nothing to remember; names may still be given
    }
    m_pList->SetNames(printer, port);
    m_bNamesSet = true;
    return 1;
}

int JobMonitor::FollowJob(int jobId) {
    const JobList::Announced announced = m_pList->Add(jobId);
    if (!announced.added) {
        return 0;
    }
    if (!announced.startSupervisor) {
        return 1; // the running threads pick the id up
    }
    // An earlier supervisor has retired: it touches the list no more.
    const std::shared_ptr<JobList> list = m_pList;
    const JobMonitorSettings settings = m_Settings;
    m_hSupervisor = StartPinnedThread([list, settings]() { return Supervise(list, settings); });
    if (!m_hSupervisor) {
        // Nobody would follow the id: take it back rather than report it taken.
        m_pList->SupervisorNotStarted();
        m_pList->Remove(jobId);
        return 0;
    }
    return 1;
}

int JobMonitor::PruneJobs() {
    return m_pList->Prune();
}

int JobMonitor::GetJobCount() {
    return m_pList->Count();
}

int JobMonitor::GetJobRecord(JobRecord* destination) {
    return m_pList->CopyRecord(destination);
}

void JobMonitor::RequestCommand(int jobId, int command) {
    m_pList->Request(jobId, command);
}

int JobMonitor::PendingCommand() {
    return m_pList->PendingCommand();
}

void JobMonitor::SetSkipSpoolerCheck(int flag) {
    m_pList->SetSkipSpoolerCheck(flag);
}

bool JobMonitor::IsWorkerRunning() const {
    return m_hSupervisor && WaitForSingleObject(m_hSupervisor.get(), 0) == WAIT_TIMEOUT;
}

} // namespace krx
