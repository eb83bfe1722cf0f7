// Job progress of the status window: the progress tick, announced jobs and
// the detail request.
#include "ui/status_window/status_window.h"

#include "common/resource_ids.h"
#include "base/trace/debug_trace.h"
#include "jobs/job_monitor.h"

namespace krx {

namespace {

constexpr int kPictureReady = 1;

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
            m_Help.SetCategory(m_Poll.StatusClass(), m_nViewType);
        } else {
            SwitchView(kViewProgress, 0);
        }
    }
    if (m_nViewType == kViewPopup) {
        JobRecord record = {};
        if (!m_pJobMonitor->GetJobRecord(&record)) {
            m_JobView.EndCancelPrinting();
            SwitchView(kViewDetail, 0);
        } else if (m_JobView.ShowInPopup(record)) {
            SwitchView(kViewProgress, 0);
        }
    }
    if (m_nViewType != kViewProgress) {
        return;
    }

    JobRecord record = {};
    if (m_pJobMonitor->GetJobRecord(&record)) {
        const JobTick tick = m_JobView.ShowProgress(record);
        if (tick == JobTick::kNewJob) {
            m_Tips.StartJob();
        } else if (tick == JobTick::kSameJob) {
            m_Tips.Tick(record);
        }
        m_Layout.SetKeepHidden(false);
        if (!IsWindowVisible(Hwnd())) {
            SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
        }
        return;
    }
    if (!m_JobView.ShowNoJob()) {
        return; // the ended job shows complete for this tick
    }
    if (m_nBaseViewType != kViewProgress) {
        SwitchView(m_nBaseViewType, 0);
        m_Help.SetCategory(m_Poll.StatusClass(), m_nViewType);
    } else if (m_pJobMonitor->GetJobCount() > 0) {
        if (IsWindowVisible(Hwnd())) {
            ShowWindow(Hwnd(), SW_HIDE);
            m_Poll.ForgetMeterStatus();
        }
        DebugTrace(" Waiting start Job\n");
    } else {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    }
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

} // namespace krx
