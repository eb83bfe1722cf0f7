// Job progress of the status window: the progress tick, the job display,
// announced jobs, the detail request and the job buttons.
#include "ui/status_window/status_window.h"

#include <vector>

#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "entry/trace/debug_trace.h"
#include "jobs/job_monitor.h"
#include "ui/status_tables.h"

namespace krx {

namespace {

constexpr int kTipTicks = 15; // progress ticks between two tips
constexpr int kPictureReady = 1;

// The previous job has ended: show it done before the next one.
void MarkComplete(JobRecord& job) {
    job.timeKnown = 1;
    job.time = 0;
    job.progressRange = 100;
    job.progress = 100;
}

} // namespace

// ---------------------------------------------------------------------------
// Progress tick

void StatusWindow::ProgressTick() {
    DebugTrace("---\nProgress Timer :\n");
    if (m_pJobMonitor == nullptr) {
        return;
    }
    // A job has started under a Detail window: a condition that calls for
    // the user keeps a pop-up, anything else makes it a meter.
    if (m_nViewType == kViewDetail && m_pJobMonitor->GetJobRecord(nullptr)) {
        if (m_Poll.PopsUp(m_Poll.StatusClass())) {
            SwitchView(kViewPopup, 0);
            SetTroubleCategory(m_Poll.StatusClass());
        } else {
            SwitchView(kViewProgress, 0);
        }
    }
    if (m_nViewType == kViewPopup) {
        JobRecord record = {};
        if (m_pJobMonitor->GetJobRecord(&record)) {
            if (record.jobId != m_JobSnapshot.jobId) {
                if (m_bCancelPrinting) {
                    m_bCancelPrinting = 0;
                    EnableWindow(Item(IDC_CANCEL_PRINTING), TRUE);
                    SwitchView(kViewProgress, 0);
                } else {
                    m_JobView.ShowJobName(record);
                }
                m_JobSnapshot.jobId = record.jobId;
            }
        } else {
            if (m_bCancelPrinting) {
                m_bCancelPrinting = 0;
                EnableWindow(Item(IDC_CANCEL_PRINTING), TRUE);
            }
            SwitchView(kViewDetail, 0);
        }
    }
    if (m_nViewType != kViewProgress) {
        return;
    }

    JobRecord record = {};
    const bool valid = m_pJobMonitor->GetJobRecord(&record) != 0;
    if (valid) {
        ShowProgress(record);
    } else {
        ProgressWithoutRecord();
    }
}

void StatusWindow::ShowProgress(const JobRecord& record) {
    JobRecord& snapshot = m_JobSnapshot;
    if (snapshot.jobId != 0 && snapshot.jobId != record.jobId && !m_bJobCancel) {
        // One tick at 100 % before the next job is shown.
        MarkComplete(snapshot);
        DebugTrace(" Job completion (Next job)");
        m_JobView.Show(snapshot, m_JobSnapshot);
        // Forgotten, so that the next tick takes the new job as new (fresh
        // tip, buttons enabled) instead of completing this one again.
        snapshot = JobRecord{};
    } else {
        DebugTrace(" Job ID : %d\n", static_cast<int>(record.jobId));
        DebugTrace(" Job Status : %x\n", static_cast<unsigned>(record.jobStatus));
        DebugTrace(" Sheet : %d/%d\n", static_cast<int>(record.sheet),
                   static_cast<int>(record.sheets));
        DebugTrace(" Progress : %d/%d\n", static_cast<int>(record.progress),
                   static_cast<int>(record.progressRange));
        m_JobView.Show(record, m_JobSnapshot);
        if (snapshot.jobId != record.jobId) {
            m_bJobCancel = 0;
            EnableWindow(Item(IDC_JOB_CANCEL), TRUE);
            EnableWindow(Item(IDC_JOB_PAUSE), TRUE);
            ShowNextTip();
            m_nTipCountdown = kTipTicks;
        } else if (--m_nTipCountdown <= 0) {
            if (TipMayRotate(record.timeKnown, record.time)) {
                ShowNextTip();
            }
            m_nTipCountdown = kTipTicks;
        }
        snapshot = record;
    }
    m_bKeepHidden = 0;
    if (!IsWindowVisible(Hwnd())) {
        SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    }
}

void StatusWindow::ProgressWithoutRecord() {
    JobRecord& snapshot = m_JobSnapshot;
    if (snapshot.jobId != 0 && !m_bJobCancel) {
        MarkComplete(snapshot);
        DebugTrace(" Job completion (End job)\n");
        m_JobView.Show(snapshot, m_JobSnapshot);
        snapshot = JobRecord{};
        return;
    }
    m_bJobCancel = 0;
    EnableWindow(Item(IDC_JOB_CANCEL), TRUE);
    EnableWindow(Item(IDC_JOB_PAUSE), FALSE);
    m_JobView.Clear();
    snapshot = JobRecord{};
    if (m_nBaseViewType == kViewProgress) {
        if (m_pJobMonitor->GetJobCount() > 0) {
            if (IsWindowVisible(Hwnd())) {
                ShowWindow(Hwnd(), SW_HIDE);
                m_Poll.ForgetMeterStatus();
            }
            DebugTrace(" Waiting start Job\n");
        } else {
            PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
        }
        return;
    }
    SwitchView(m_nBaseViewType, 0);
    SetTroubleCategory(m_Poll.StatusClass());
}

void StatusWindow::ShowNextTip() {
    m_Tips.AdvanceTip();
    SetDlgItemTextA(Hwnd(), IDC_TIP_TEXT, m_Tips.CurrentTipText().c_str());
}

// ---------------------------------------------------------------------------
// Messages from the host

void StatusWindow::OnAddJob(LPARAM jobId) {
    DebugTrace("---\nAdd Print job :\n");
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->FollowJob(static_cast<int>(jobId));
    }
}

void StatusWindow::OnOpenAsDetail() {
    if (m_nViewType == kViewPopup) {
        m_nBaseViewType = kViewDetail;
        return;
    }
    if (m_nViewType != kViewProgress) {
        return;
    }
    m_nBaseViewType = kViewDetail;
    if (IsWindowVisible(Hwnd())) {
        return; // becomes a detail window when its jobs end
    }
    m_Display.ShowChecking();
    m_Display.ShowPicture(kPictureReady);
    m_InkGauges.ShowEmpty();
    m_Position.SetRemember(false);
    SwitchView(kViewDetail, 1);
}

// ---------------------------------------------------------------------------
// Job buttons

void StatusWindow::OnCancelPrinting() {
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->RequestCommand(static_cast<int>(m_JobSnapshot.jobId), kJobCommandCancel);
    }
    m_bCancelPrinting = 1;
    EnableWindow(Item(IDC_CANCEL_PRINTING), FALSE);
}

void StatusWindow::OnCancelJob() {
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->RequestCommand(static_cast<int>(m_JobSnapshot.jobId), kJobCommandCancel);
    }
    m_bJobCancel = 1;
    EnableWindow(Item(IDC_JOB_CANCEL), FALSE);
    EnableWindow(Item(IDC_JOB_PAUSE), FALSE);
}

void StatusWindow::OnPauseResume() {
    const bool resume = m_JobView.OffersResume();
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->RequestCommand(static_cast<int>(m_JobSnapshot.jobId),
                                      resume ? kJobCommandResume : kJobCommandPause);
    }
    // Enabled again when the job's paused state changes.
    EnableWindow(Item(IDC_JOB_PAUSE), FALSE);
}

} // namespace krx
