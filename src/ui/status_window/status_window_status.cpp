// Status polling of the status window: the status tick and the library's
// news run the window's StatusPoll, and the window then switches, hides,
// shows or closes as its view policy decides; the policy's decisions are
// carried out here.
#include "ui/status_window/status_window.h"

#include "base/trace/debug_trace.h"
#include "jobs/job_monitor.h"

namespace krx {

namespace {

constexpr int kPictureReady = 1; // the printer picture of a window just opened

} // namespace

void StatusWindow::StatusTick() {
    AfterStatus(ViewEvent::kStatusTick, m_Poll.Tick(m_nViewType, m_Tips.List()));
}

void StatusWindow::OnStatusNotification(LPARAM lParam) {
    AfterStatus(ViewEvent::kStatusNews, m_Poll.OnStatusNews(lParam, m_nViewType, m_Tips.List()));
}

void StatusWindow::AfterStatus(ViewEvent event, StatusOutcome status) {
    if (status == StatusOutcome::kNotShown) {
        return;
    }
    JobRecord record = {};
    ViewSituation situation = Situation(&record);
    situation.printToFile = status == StatusOutcome::kPrintToFile;
    if (ViewPolicy::NeedsPopsUp(event, situation)) {
        situation.popsUp = m_Poll.PopsUp(situation.statusClass);
    }
    CarryOut(ViewPolicy::Decide(event, situation), record);
}

ViewSituation StatusWindow::Situation(JobRecord* record) const {
    ViewSituation s;
    s.baseView = m_nBaseViewType;
    s.view = m_nViewType;
    s.statusClass = m_Poll.StatusClass();
    s.meterStatusClass = m_nMeterStatusClass;
    s.visible = IsWindowVisible(Hwnd()) != FALSE;
    if (m_pJobMonitor != nullptr) {
        s.jobCount = m_pJobMonitor->GetJobCount();
        s.printing = m_pJobMonitor->GetJobRecord(record) != 0;
    }
    return s;
}

void StatusWindow::CarryOut(const ViewDecision& d, const JobRecord& record) {
    if (d.baseView != kViewNone) {
        m_nBaseViewType = d.baseView;
    }
    if (d.remember != Remember::kKeep) {
        m_Position.SetRemember(d.remember == Remember::kOn);
    }
    if (d.freshStatus) {
        m_Display.ShowChecking();
        m_Display.ShowPicture(kPictureReady);
        m_InkGauges.ShowEmpty();
    }
    if (d.ink != InkArea::kKeep && ShowInkArea(d.ink == InkArea::kShow ? 1 : 0)) {
        PlaceWindow(m_nViewType, 0);
    }
    if (d.show == WindowShow::kShowJob) {
        m_JobView.Follow(record);
        m_Layout.SetKeepHidden(false);
        ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    } else if (d.show == WindowShow::kHide && IsWindowVisible(Hwnd())) {
        ShowWindow(Hwnd(), SW_HIDE);
    }
    if (d.clearJobs) {
        m_JobView.Clear();
    }
    if (d.meter == MeterStatus::kNote) {
        m_nMeterStatusClass = m_Poll.StatusClass();
    } else if (d.meter == MeterStatus::kForget) {
        m_nMeterStatusClass = -1;
    }
    if (d.nextView != kViewNone) {
        SwitchView(d.nextView, d.defaultPosition ? 1 : 0);
    }
    if (d.troubleHelp) {
        m_Help.SetCategory(m_Poll.StatusClass(), m_nViewType);
    }
    if (d.close) {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    }
}

} // namespace krx
