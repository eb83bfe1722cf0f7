// The job list shared by a window's job monitor and its threads.
#include "jobs/job_list.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>

#include "comm/spooler.h"

namespace krx {

JobList::JobList() : m_hStop(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void JobList::SetNames(const std::string& printerName, const std::string& portName) {
    m_strPrinterName = printerName;
    m_strPortName = portName;
}

JobList::Announced JobList::Add(int jobId) {
    CriticalSectionLock lock(m_Lock);
    Announced result;
    if (std::find(m_JobIds.begin(), m_JobIds.end(), jobId) != m_JobIds.end()) {
        return result;
    }
    m_JobIds.push_back(jobId);
    m_bAnnounced = 1;
    result.added = true;
    if (!m_bSupervisorAlive) {
        m_bSupervisorAlive = 1;
        result.startSupervisor = true;
    }
    return result;
}

bool JobList::TakeAnnouncement() {
    CriticalSectionLock lock(m_Lock);
    const bool announced = m_bAnnounced != 0;
    m_bAnnounced = 0;
    return announced;
}

void JobList::SupervisorNotStarted() {
    CriticalSectionLock lock(m_Lock);
    m_bSupervisorAlive = 0;
}

bool JobList::RetireSupervisorIfIdle(bool workerRuns) {
    CriticalSectionLock lock(m_Lock);
    if (workerRuns || !m_JobIds.empty()) {
        return false;
    }
    m_bSupervisorAlive = 0;
    return true;
}

int JobList::Prune() {
    std::vector<int> listed;
    {
        CriticalSectionLock lock(m_Lock);
        if (m_bSkipSpoolerCheck) {
            return m_JobIds.empty() ? 0 : 1;
        }
        listed = m_JobIds;
    }
    std::vector<int> gone;
    if (!listed.empty()) {
        std::string name = m_strPrinterName;
        unique_printer printer;
        if (Spooler().openPrinter(&name[0], printer.put(), nullptr) && printer) {
            for (int jobId : listed) {
                DWORD needed = 0;
                Spooler().getJob(printer.get(), static_cast<DWORD>(jobId), 1, nullptr, 0, &needed);
                if (needed == 0) {
                    gone.push_back(jobId);
                }
            }
        }
    }
    CriticalSectionLock lock(m_Lock);
    auto isGone = [&](int jobId) {
        return std::find(gone.begin(), gone.end(), jobId) != gone.end();
    };
    m_JobIds.erase(std::remove_if(m_JobIds.begin(), m_JobIds.end(), isGone), m_JobIds.end());
    // The progress of a job the spooler forgot is not shown any longer, even
    // while the worker is still inside a slow call for it.
    if (m_bRecordValid && isGone(static_cast<int>(m_Record.jobId))) {
        m_bRecordValid = 0;
    }
    return m_JobIds.empty() ? 0 : 1;
}

int JobList::Count() {
    CriticalSectionLock lock(m_Lock);
    return static_cast<int>(m_JobIds.size());
}

bool JobList::HasJobs() {
    CriticalSectionLock lock(m_Lock);
    return !m_JobIds.empty();
}

int JobList::FirstJob() {
    CriticalSectionLock lock(m_Lock);
    return m_JobIds.empty() ? 0 : m_JobIds.front();
}

bool JobList::IsListed(int jobId) {
    CriticalSectionLock lock(m_Lock);
    return IsListedLocked(jobId);
}

bool JobList::IsListedLocked(int jobId) const {
    return std::find(m_JobIds.begin(), m_JobIds.end(), jobId) != m_JobIds.end();
}

void JobList::Remove(int jobId) {
    CriticalSectionLock lock(m_Lock);
    m_JobIds.erase(std::remove(m_JobIds.begin(), m_JobIds.end(), jobId), m_JobIds.end());
}

void JobList::SetSkipSpoolerCheck(int flag) {
    CriticalSectionLock lock(m_Lock);
    m_bSkipSpoolerCheck = flag;
}

int JobList::CopyRecord(JobRecord* destination) {
    CriticalSectionLock lock(m_Lock);
    if (!m_bRecordValid) {
        return 0;
    }
    if (destination != nullptr) {
        *destination = m_Record;
    }
    return 1;
}

void JobList::StartRecord(int jobId, const char (&text)[kJobTextSize],
                          const unsigned char (&paper)[6]) {
    CriticalSectionLock lock(m_Lock);
    m_Record.jobId = static_cast<uint32_t>(jobId);
    memcpy(m_Record.jobText, text, sizeof(text));
    StorePaperWords(m_Record, paper);
}

bool JobList::RecordTextEmpty() {
    CriticalSectionLock lock(m_Lock);
    return m_Record.jobText[0] == '\0';
}

void JobList::StoreProgress(const JobRecord& progress, bool textRead, bool paperRead) {
    CriticalSectionLock lock(m_Lock);
    if (textRead) {
        memcpy(m_Record.jobText, progress.jobText, sizeof(progress.jobText));
    }
    if (paperRead) {
        m_Record.paperWord0 = progress.paperWord0;
        m_Record.mediaType = progress.mediaType;
        m_Record.paperSize = progress.paperSize;
    }
    m_Record.jobStatus = progress.jobStatus;
    m_Record.sheet = progress.sheet;
    m_Record.sheets = progress.sheets;
    m_Record.progress = progress.progress;
    m_Record.progressRange = progress.progressRange;
    m_Record.timeKnown = progress.timeKnown;
    m_Record.time = progress.time;
    m_bRecordValid = IsListedLocked(static_cast<int>(m_Record.jobId)) ? 1 : 0;
}

void JobList::InvalidateRecord() {
    CriticalSectionLock lock(m_Lock);
    m_bRecordValid = 0;
}

void JobList::Request(int jobId, int command) {
    CriticalSectionLock lock(m_Lock);
    m_nRequestedJob = jobId;
    m_nRequestedCommand = command;
}

void JobList::TakeRequest(int* jobId, int* command) {
    CriticalSectionLock lock(m_Lock);
    *jobId = m_nRequestedJob;
    *command = m_nRequestedCommand;
    m_nRequestedJob = 0;
    m_nRequestedCommand = kJobCommandNone;
}

int JobList::PendingCommand() {
    CriticalSectionLock lock(m_Lock);
    return m_nRequestedCommand;
}

void JobList::Stop() {
    if (m_hStop) {
        SetEvent(m_hStop.get());
    }
}

bool JobList::Stopping() const {
    return m_hStop && WaitForSingleObject(m_hStop.get(), 0) == WAIT_OBJECT_0;
}

bool JobList::Pause(DWORD milliseconds) const {
    if (!m_hStop) {
        Sleep(milliseconds);
        return true;
    }
    return WaitForSingleObject(m_hStop.get(), milliseconds) == WAIT_TIMEOUT;
}

} // namespace krx
