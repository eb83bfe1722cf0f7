// The job-monitor worker: the port monitor's side of following a job.
#include "jobs/job_worker.h"

#include <cstring>
#include <utility>

#include "common/win_handles.h"
#include "jobs/port_monitor_client.h"

namespace krx {

namespace {

// A job text larger than this is taken for a faulty answer and not read.
constexpr int kMaxJobTextBytes = 0x10000;
// Failed progress reads are retried quickly this many times in a row, then
// once a period: a port monitor that keeps failing is not asked 100 times a
// second for as long as the job lasts.
constexpr int kQuickRetries = 10;

bool SessionLost(const PortMonitorClient& client) {
    return client.GetMode() == PortMonitorClient::kModeRemote && client.SessionDead();
}

} // namespace

JobWorker::JobWorker(std::shared_ptr<JobList> list, const JobMonitorSettings& settings)
    : m_pList(std::move(list)), m_Settings(settings) {}

JobWorker::End JobWorker::Run() {
    bool opened = false;
    for (;;) {
        PortMonitorClient client(m_Settings.pipeName, m_Settings.callLimit, m_pList->StopEvent());
        const int session =
            client.Open(kNetworkStatusLibrary, m_pList->PrinterName().c_str(), m_pList->FirstJob());
        End end = kEndSessionLost;
        if (session != 0) {
            opened = true;
            end = FollowPort(client);
            client.Close(session);
        } else if (Stopping()) {
            return kEndStopped;
        } else if (!opened) {
            return kEndSessionFailed;
        }
        if (end != kEndSessionLost) {
            return end;
        }
        // A print server that was reached once and then lost (gone, restarted,
        // a call cancelled at its limit) is opened again a period later, for
        // as long as jobs are listed.
        if (!Pause(m_Settings.pollInterval)) {
            return kEndStopped;
        }
        if (!m_pList->HasJobs()) {
            return kEndNoJobs;
        }
    }
}

JobWorker::End JobWorker::FollowPort(PortMonitorClient& client) {
    const char* printer = m_pList->PrinterName().c_str();
    const char* port = m_pList->PortName().c_str();
    while (m_pList->HasJobs()) {
        if (Stopping()) {
            return kEndStopped;
        }
        if (SessionLost(client)) {
            return kEndSessionLost;
        }
        bool waited = false;
        m_hPort = client.OpenPort(printer, port, 1, nullptr);
        if (m_hPort != 0) {
            while (!Stopping() && m_pList->HasJobs() && client.IsPortActive(m_hPort)) {
                m_hJob = client.GetCurrentJob(m_hPort);
                int spoolerJobId = 0;
                if (ReadProperty(client, pm::kPropertySpoolerJobId, &spoolerJobId,
                                 sizeof(spoolerJobId)) &&
                    m_pList->IsListed(spoolerJobId) && FollowJob(client, spoolerJobId)) {
                    m_pList->Remove(spoolerJobId);
                }
                m_hJob = 0;
                Pause(m_Settings.pollInterval);
                waited = true;
            }
            client.ClosePort(m_hPort);
            m_hPort = 0;
        }
        // A port that cannot be opened, or that is idle at once, is looked at
        // again a period later, not at once.
        if (!waited) {
            Pause(m_Settings.pollInterval);
        }
    }
    return kEndNoJobs;
}

bool JobWorker::FollowJob(PortMonitorClient& client, int spoolerJobId) {
    client.BeginJobWatch(m_hPort, m_hJob);
    char text[kJobTextSize] = {};
    ReadJobText(client, text);
    unsigned char paper[6] = {};
    if (!ReadProperty(client, pm::kPropertyPaper, paper, sizeof(paper))) {
        memset(paper, 0, sizeof(paper));
    }
    m_pList->StartRecord(spoolerJobId, text, paper);
    int failures = 0;
    // A job the spooler has forgotten is not followed any longer, whatever
    // the port monitor still says of it.
    while (!Stopping() && m_pList->IsListed(spoolerJobId) && !SessionLost(client) &&
           client.IsJobActive(m_hPort, m_hJob)) {
        if (!UpdateProgress(client)) {
            ++failures;
            Pause(failures <= kQuickRetries ? m_Settings.retryInterval : m_Settings.pollInterval);
            continue;
        }
        failures = 0;
        if (!PassRequest(client, spoolerJobId)) {
            Pause(m_Settings.retryInterval);
        } else {
            Pause(m_Settings.pollInterval);
        }
    }
    // A lost session says nothing about the job: it stays listed and is
    // followed again on the next session.
    const bool lost = SessionLost(client);
    client.EndJobWatch(m_hPort, m_hJob);
    m_pList->InvalidateRecord();
    return !lost && !Stopping();
}

int JobWorker::UpdateProgress(PortMonitorClient& client) {
    JobRecord progress = {};
    const bool textRead = m_pList->RecordTextEmpty() && ReadJobText(client, progress.jobText);

    unsigned char paper[6] = {};
    const bool paperRead = ReadProperty(client, pm::kPropertyPaper, paper, sizeof(paper));
    if (paperRead) {
        StorePaperWords(progress, paper);
    }
    uint32_t sheets[2] = {};
    if (!ReadProperty(client, pm::kPropertySheets, sheets, sizeof(sheets))) {
        return 0;
    }
    uint32_t position[2] = {};
    if (!ReadProperty(client, pm::kPropertyProgress, position, sizeof(position))) {
        return 0;
    }
    uint32_t time = 0;
    int needed = 0;
    const int timeKnown =
        client.GetJobProperty(m_hPort, m_hJob, pm::kPropertyTime, &time, sizeof(time), &needed);
    uint32_t status = 0;
    if (!ReadProperty(client, pm::kPropertyJobStatus, &status, sizeof(status))) {
        return 0;
    }
    progress.jobStatus = status;
    progress.sheet = sheets[0];
    progress.sheets = sheets[1];
    progress.progress = position[0];
    progress.progressRange = position[1];
    progress.timeKnown = static_cast<uint32_t>(timeKnown);
    progress.time = timeKnown != 0 ? time : 0;
    m_pList->StoreProgress(progress, textRead, paperRead);
    return 1;
}

int JobWorker::PassRequest(PortMonitorClient& client, int spoolerJobId) {
    int job = 0;
    int command = kJobCommandNone;
    m_pList->TakeRequest(&job, &command);
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
        const bool paused = (status & kJobStatusPaused) != 0;
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

int JobWorker::SendCommand(PortMonitorClient& client, int command) {
    int32_t value = command;
    return client.SetJobProperty(m_hPort, m_hJob, pm::kPropertyCommand, &value);
}

bool JobWorker::ReadProperty(PortMonitorClient& client, int property, void* data, int size) {
    int needed = 0;
    return client.GetJobProperty(m_hPort, m_hJob, property, data, size, &needed) != 0;
}

bool JobWorker::ReadJobText(PortMonitorClient& client, char (&text)[kJobTextSize]) {
    int needed = 0;
    client.GetJobProperty(m_hPort, m_hJob, pm::kPropertyJobText, nullptr, 0, &needed);
    if (needed <= 0 || needed > kMaxJobTextBytes) {
        return false;
    }
    unique_hlocal buffer(LocalAlloc(LPTR, static_cast<SIZE_T>(needed)));
    if (!buffer) {
        return false;
    }
    const int size = needed;
    if (!client.GetJobProperty(m_hPort, m_hJob, pm::kPropertyJobText, buffer.get(), size,
                               &needed)) {
        return false;
    }
    // Only the bytes of our buffer count, whatever size the answer claims.
    StoreJobText(text, static_cast<const char*>(buffer.get()), static_cast<size_t>(size));
    return true;
}

} // namespace krx
