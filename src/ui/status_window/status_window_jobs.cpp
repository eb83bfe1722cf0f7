// Job progress of the status window: the progress tick, announced jobs and
// the detail request.
#include "ui/status_window/status_window.h"

#include "base/trace/debug_trace.h"
#include "jobs/job_monitor.h"

namespace krx {

// ---------------------------------------------------------------------------
// Progress tick

void StatusWindow::ProgressTick() {
    DebugTrace("---\nProgress Timer :\n");
    if (m_pJobMonitor == nullptr) {
        return;
    }
    JobRecord record = {};
    ViewSituation situation = Situation(&record);
    if (ViewPolicy::NeedsPopsUp(ViewEvent::kJobStarted, situation)) {
        situation.popsUp = m_Poll.PopsUp(situation.statusClass);
        CarryOut(ViewPolicy::Decide(ViewEvent::kJobStarted, situation), record);
    }
    if (m_nViewType == kViewPopup) {
        if (!situation.printing) {
            m_JobView.EndCancelPrinting();
        }
        situation.view = m_nViewType;
        situation.meterTakesOver = situation.printing && m_JobView.ShowInPopup(record);
        CarryOut(ViewPolicy::Decide(ViewEvent::kPopupJobTick, situation), record);
    }
    if (m_nViewType != kViewProgress) {
        return;
    }
    if (situation.printing) {
        ShowMeterJob(record);
        return;
    }
    if (!m_JobView.ShowNoJob()) {
        return; // the ended job shows complete for this tick
    }
    const ViewDecision decision = ViewPolicy::Decide(ViewEvent::kJobsEnded, Situation(&record));
    CarryOut(decision, record);
    if (decision.show == WindowShow::kHide) {
        DebugTrace(" Waiting start Job\n");
    }
}

void StatusWindow::ShowMeterJob(const JobRecord& record) {
    const JobTick tick = m_JobView.ShowProgress(record);
    if (tick == JobTick::kNewJob) {
        m_Tips.StartJob();
    } else if (tick == JobTick::kSameJob) {
        m_Tips.Tick(record);
    }
    m_Layout.SetKeepHidden(false);
    if (!IsWindowVisible(Hwnd())) {
        SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
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
    JobRecord record = {};
    CarryOut(ViewPolicy::Decide(ViewEvent::kOpenAsDetail, Situation(&record)), record);
}

} // namespace krx
