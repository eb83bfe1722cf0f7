// Status polling of the status window: the status tick and the library's
// notifications drive the window's StatusPoll; the window offers the
// trouble help, repairs the library, switches, shows or closes as the
// status asks.
#include "ui/status_window/status_window.h"

#include "comm/channel_table.h"
#include "base/trace/debug_trace.h"
#include "jobs/job_monitor.h"
#include "ui/status_tables.h"

namespace krx {

void StatusWindow::StatusTick() {
    if (m_Recovery.AwaitingReport()) {
        return;
    }
    int result = m_Poll.TickResult();
    DebugTrace("---\nStatus Timer : ");
    DebugTrace(m_Poll.Printing() ? "Printing (%d)\n" : "Idling (%d)\n", result);

    if (m_nViewType == kViewProgress && IsFilePort(m_Printer.Port())) {
        // Nothing answers behind a print-to-file port.
        if (ShowInkArea(0)) {
            PlaceWindow(m_nViewType, 0);
        }
        return;
    }

    result = m_Poll.SelectChannel(result);
    if (result == kTickFailure) {
        m_Recovery.AfterCommunicationFailure(Hwnd(), m_nViewType, m_Printer.Name());
    }
    DebugTrace(" (iResult : %d)\n", result);
    AfterStatusShown(m_Poll.ShowTickResult(result, m_nViewType, m_Tips.List()));
    const int statusClass = m_Poll.StatusClass();
    DebugTrace(" Total Status No. : %d\n", statusClass);

    if (m_nViewType == kViewProgress) {
        const bool popsUp = m_Poll.PopsUp(statusClass);
        if (ShowInkArea(!popsUp && statusClass == kClassNoAnswer ? 0 : 1)) {
            PlaceWindow(m_nViewType, 0);
        }
        if (popsUp) {
            if (m_pJobMonitor != nullptr && m_pJobMonitor->GetJobRecord(nullptr)) {
                SwitchView(kViewPopup, 0);
            } else if (statusClass != m_Poll.MeterStatusClass()) {
                SwitchView(kViewDetail, 0);
            }
            m_Help.SetCategory(statusClass, m_nViewType);
        }
    }
    if (m_Poll.ShouldClose(m_nBaseViewType, m_nViewType) && JobCheckSaysClose()) {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    }
}

void StatusWindow::AfterStatusShown(const StatusShown& shown) {
    if (shown.trouble == StatusShown::kTroubleOfClass) {
        m_Help.SetCategory(shown.troubleClass, m_nViewType);
    } else if (shown.trouble == StatusShown::kTroubleNone) {
        m_Help.ClearCategory(m_Poll.StatusClass(), m_nViewType);
    }
    if (shown.read == StatusShown::kStatusRead) {
        m_Recovery.OnStatusRead();
    } else if (shown.read == StatusShown::kReadFailed) {
        m_Recovery.AfterCommunicationFailure(Hwnd(), m_nViewType, m_Printer.Name());
    }
}

bool StatusWindow::JobCheckSaysClose() {
    if (m_pJobMonitor == nullptr || m_pJobMonitor->GetJobCount() <= 0) {
        return true;
    }
    JobRecord record = {};
    if (m_pJobMonitor->GetJobRecord(&record)) {
        m_JobView.Follow(record);
        m_Layout.SetKeepHidden(false);
        ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    } else {
        ShowWindow(Hwnd(), SW_HIDE);
        m_JobView.Clear();
        m_Poll.ForgetMeterStatus();
    }
    SwitchView(kViewProgress, 0);
    return false;
}

void StatusWindow::OnStatusNotification(LPARAM lParam) {
    if (!m_pChannels || m_pChannels->m_hStat == 0 || lParam != m_pChannels->m_hStat) {
        return;
    }
    DebugTrace("---\nOnBXAPIStatus : ");
    AfterStatusShown(m_Poll.ReadStatus(0, m_nViewType, m_Tips.List()));
    if (m_Poll.ShouldClose(m_nBaseViewType, m_nViewType) && JobCheckSaysClose()) {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    }
}

} // namespace krx
