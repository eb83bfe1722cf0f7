// The job-monitor worker and the job list it shares with the window.
#include "jobs/job_monitor.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>

#include "comm/spooler.h"
#include "jobs/port_monitor_client.h"

namespace krx {

namespace {

// A job text larger than this is taken for a faulty answer and not read.
constexpr int kMaxJobTextBytes = 0x10000;

} // namespace

JobMonitor::JobMonitor(JobMonitorSettings settings)
    : m_Settings(std::move(settings)), m_hStop(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

JobMonitor::~JobMonitor() {
    // The worker may be following a job that prints for a long time yet, or
    // waiting on a port that stays busy with other jobs: ask it to finish.
    if (m_hStop) {
        SetEvent(m_hStop.get());
    }
    if (m_hThread) {
        WaitForSingleObject(m_hThread.get(), INFINITE);
    }
}

int JobMonitor::SetNames(const char* printerName, const char* portName) {
    if (!m_strPrinterName.empty() || !m_strPortName.empty() || m_hThread) {
        return 0;
    }
    m_strPrinterName = printerName != nullptr ? printerName : "";
    m_strPortName = portName != nullptr ? portName : "";
    return 1;
}

int JobMonitor::FollowJob(int jobId) {
    bool start = false;
    {
        CriticalSectionLock lock(m_Lock);
        if (std::find(m_JobIds.begin(), m_JobIds.end(), jobId) != m_JobIds.end()) {
            return 0;
        }
        // A worker that could not open its session has ended without
        // emptying the list; the next announcement starts a new one.
        start = (!m_bJobsPresent && m_JobIds.empty()) || m_bSessionFailed;
        m_JobIds.push_back(jobId);
    }
    if (!start) {
        return 1; // the running worker picks the id up
    }
    if (m_hThread) {
        WaitForSingleObject(m_hThread.get(), INFINITE);
        m_hThread.reset();
    }
    {
        CriticalSectionLock lock(m_Lock);
        m_bSessionFailed = 0;
    }
    m_nFirstJobId = jobId;
    DWORD threadId = 0;
    m_hThread.reset(CreateThread(nullptr, 0, WorkerEntry, this, CREATE_SUSPENDED, &threadId));
    if (!m_hThread) {
        // Nobody would follow the id: take it back rather than report it taken.
        RemoveJob(jobId);
        return 0;
    }
    ResumeThread(m_hThread.get());
    return 1;
}

int JobMonitor::PruneJobs() {
    CriticalSectionLock lock(m_Lock);
    if (!m_bSkipSpoolerCheck) {
        std::string name = m_strPrinterName;
        unique_printer printer;
        if (Spooler().openPrinter(&name[0], printer.put(), nullptr) && printer) {
            auto gone = [&](int jobId) {
                DWORD needed = 0;
                Spooler().getJob(printer.get(), static_cast<DWORD>(jobId), 1, nullptr, 0, &needed);
                return needed == 0;
            };
            m_JobIds.erase(std::remove_if(m_JobIds.begin(), m_JobIds.end(), gone), m_JobIds.end());
        }
    }
    m_bJobsPresent = m_JobIds.empty() ? 0 : 1;
    return m_bJobsPresent;
}

int JobMonitor::GetJobCount() {
    CriticalSectionLock lock(m_Lock);
    return static_cast<int>(m_JobIds.size());
}

int JobMonitor::GetJobRecord(JobRecord* destination) {
    CriticalSectionLock lock(m_Lock);
    if (!m_bRecordValid) {
        return 0;
    }
    if (destination != nullptr) {
        *destination = m_Record;
    }
    return 1;
}

void JobMonitor::RequestCommand(int jobId, int command) {
    CriticalSectionLock lock(m_Lock);
    m_nRequestedJob = jobId;
    m_nRequestedCommand = command;
}

int JobMonitor::PendingCommand() {
    CriticalSectionLock lock(m_Lock);
    return m_nRequestedCommand;
}

void JobMonitor::SetSkipSpoolerCheck(int flag) {
    CriticalSectionLock lock(m_Lock);
    m_bSkipSpoolerCheck = flag;
}

bool JobMonitor::IsWorkerRunning() const {
    return m_hThread && WaitForSingleObject(m_hThread.get(), 0) == WAIT_TIMEOUT;
}

DWORD WINAPI JobMonitor::WorkerEntry(void* self) {
    auto* monitor = static_cast<JobMonitor*>(self);
    // An exception leaving a thread ends the host's process. A worker that
    // failed is treated as one whose session failed: the next announcement
    // starts a new one.
    try {
        monitor->RunWorker();
    } catch (...) {
        CriticalSectionLock lock(monitor->m_Lock);
        monitor->m_bSessionFailed = 1;
        return 1;
    }
    return 0;
}

bool JobMonitor::Stopping() const {
    return m_hStop && WaitForSingleObject(m_hStop.get(), 0) == WAIT_OBJECT_0;
}

bool JobMonitor::Pause(DWORD milliseconds) {
    if (!m_hStop) {
        Sleep(milliseconds);
        return true;
    }
    return WaitForSingleObject(m_hStop.get(), milliseconds) == WAIT_TIMEOUT;
}

void JobMonitor::RunWorker() {
    PortMonitorClient client(m_Settings.pipeName, m_Settings.callLimit, m_hStop.get());
    int session = client.Open(kNetworkStatusLibrary, m_strPrinterName.c_str(), m_nFirstJobId);
    if (session == 0) {
        CriticalSectionLock lock(m_Lock);
        m_bSessionFailed = 1;
        return;
    }
    while (!Stopping() && PruneJobs()) {
        m_hPort = client.OpenPort(m_strPrinterName.c_str(), m_strPortName.c_str(), 1, nullptr);
        if (m_hPort == 0) {
            Pause(m_Settings.pollInterval);
            continue;
        }
        while (!Stopping() && client.IsPortActive(m_hPort)) {
            m_hJob = client.GetCurrentJob(m_hPort);
            int spoolerJobId = 0;
            if (ReadProperty(client, pm::kPropertySpoolerJobId, &spoolerJobId,
                             sizeof(spoolerJobId)) &&
                IsListed(spoolerJobId)) {
                FollowJob(client, spoolerJobId);
                RemoveJob(spoolerJobId);
                m_hJob = 0;
            }
            Pause(m_Settings.pollInterval);
        }
        client.ClosePort(m_hPort);
        m_hPort = 0;
    }
    client.Close(session);
}

void JobMonitor::FollowJob(PortMonitorClient& client, int spoolerJobId) {
    client.BeginJobWatch(m_hPort, m_hJob);
    char text[kJobTextSize] = {};
    ReadJobText(client, text);
    unsigned char paper[6] = {};
    if (!ReadProperty(client, pm::kPropertyPaper, paper, sizeof(paper))) {
        memset(paper, 0, sizeof(paper));
    }
    {
        CriticalSectionLock lock(m_Lock);
        m_Record.jobId = static_cast<uint32_t>(spoolerJobId);
        memcpy(m_Record.jobText, text, sizeof(text));
        StorePaperWords(m_Record, paper);
    }
    while (!Stopping() && client.IsJobActive(m_hPort, m_hJob)) {
        if (!UpdateProgress(client)) {
            Pause(m_Settings.retryInterval);
            continue;
        }
        if (!PassRequest(client, spoolerJobId)) {
            Pause(m_Settings.retryInterval);
        } else {
            Pause(m_Settings.pollInterval);
        }
    }
    client.EndJobWatch(m_hPort, m_hJob);
    CriticalSectionLock lock(m_Lock);
    m_bRecordValid = 0;
}

int JobMonitor::UpdateProgress(PortMonitorClient& client) {
    bool textEmpty = false;
    {
        CriticalSectionLock lock(m_Lock);
        textEmpty = m_Record.jobText[0] == '\0';
    }
    char text[kJobTextSize] = {};
    bool textRead = textEmpty && ReadJobText(client, text);

    unsigned char paper[6] = {};
    bool paperRead = ReadProperty(client, pm::kPropertyPaper, paper, sizeof(paper));
    uint32_t sheets[2] = {};
    if (!ReadProperty(client, pm::kPropertySheets, sheets, sizeof(sheets))) {
        return 0;
    }
    uint32_t progress[2] = {};
    if (!ReadProperty(client, pm::kPropertyProgress, progress, sizeof(progress))) {
        return 0;
    }
    uint32_t time = 0;
    int needed = 0;
    int timeKnown =
        client.GetJobProperty(m_hPort, m_hJob, pm::kPropertyTime, &time, sizeof(time), &needed);
    if (timeKnown == 0) {
        time = 0;
    }
    uint32_t status = 0;
    if (!ReadProperty(client, pm::kPropertyJobStatus, &status, sizeof(status))) {
        return 0;
    }

    CriticalSectionLock lock(m_Lock);
    if (textRead) {
        memcpy(m_Record.jobText, text, sizeof(text));
    }
    if (paperRead) {
        StorePaperWords(m_Record, paper);
    }
    m_Record.jobStatus = status;
    m_Record.sheet = sheets[0];
    m_Record.sheets = sheets[1];
    m_Record.progress = progress[0];
    m_Record.progressRange = progress[1];
    m_Record.timeKnown = static_cast<uint32_t>(timeKnown);
    m_Record.time = time;
    m_bRecordValid = 1;
    return 1;
}

int JobMonitor::PassRequest(PortMonitorClient& client, int spoolerJobId) {
    int job = 0;
    int command = kJobCommandNone;
    {
        CriticalSectionLock lock(m_Lock);
        job = m_nRequestedJob;
        command = m_nRequestedCommand;
        m_nRequestedJob = 0;
        m_nRequestedCommand = kJobCommandNone;
    }
    if (job != 0 && job != spoolerJobId) {
        return 1; // meant for another job: dropped
    }
    if (command == kJobCommandPause || command == kJobCommandResume) {
        uint32_t status = 0;
        if (!ReadProperty(client, pm::kPropertyJobStatus, &status, sizeof(status))) {
            return 0;
        }
        if (status & kJobStatusNoPauseResume) {
            return 1;
        }
        bool paused = (status & kJobStatusPaused) != 0;
        if (command == kJobCommandPause) {
            return paused ? 0 : SendCommand(client, kJobCommandPause);
        }
        return paused ? SendCommand(client, kJobCommandResume) : 0;
    }
    if (command == kJobCommandCancel) {
        return SendCommand(client, kJobCommandCancel);
    }
    return 1;
}

int JobMonitor::SendCommand(PortMonitorClient& client, int command) {
    int32_t value = command;
    return client.SetJobProperty(m_hPort, m_hJob, pm::kPropertyCommand, &value);
}

bool JobMonitor::ReadProperty(PortMonitorClient& client, int property, void* data, int size) {
    int needed = 0;
    return client.GetJobProperty(m_hPort, m_hJob, property, data, size, &needed) != 0;
}

bool JobMonitor::ReadJobText(PortMonitorClient& client, char (&text)[kJobTextSize]) {
    int needed = 0;
    client.GetJobProperty(m_hPort, m_hJob, pm::kPropertyJobText, nullptr, 0, &needed);
    if (needed <= 0 || needed > kMaxJobTextBytes) {
        return false;
    }
    unique_hlocal buffer(LocalAlloc(LPTR, static_cast<SIZE_T>(needed)));
    if (!buffer) {
        return false;
    }
    int size = needed;
    if (!client.GetJobProperty(m_hPort, m_hJob, pm::kPropertyJobText, buffer.get(), size,
                               &needed)) {
        return false;
    }
    // Only the bytes of our buffer count, whatever size the answer claims.
    StoreJobText(text, static_cast<const char*>(buffer.get()), static_cast<size_t>(size));
    return true;
}

bool JobMonitor::IsListed(int jobId) {
    CriticalSectionLock lock(m_Lock);
    return std::find(m_JobIds.begin(), m_JobIds.end(), jobId) != m_JobIds.end();
}

void JobMonitor::RemoveJob(int jobId) {
    CriticalSectionLock lock(m_Lock);
    m_JobIds.erase(std::remove(m_JobIds.begin(), m_JobIds.end(), jobId), m_JobIds.end());
}

} // namespace krx
