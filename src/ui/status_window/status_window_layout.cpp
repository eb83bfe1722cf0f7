// StatusWindow: switching between views, the window's size and place in
// each, and the ink area.
#include "common/resource_ids.h"
#include "status/status_reading.h"
#include "ui/status_window/status_window.h"

namespace krx {

namespace {

constexpr int kAnimationWidth = 100;
constexpr int kAnimationHeight = 85;
constexpr uint32_t kPrintingFrames[] = {IDB_PRINTING_1, IDB_PRINTING_2, IDB_PRINTING_3};

// The printer information behind the button: a reply that offers it and the
// channel that carries it open.
bool InformationAvailable(const ParsedStatusRecord& status, const StatusChannels* channels,
                          bool remote) {
    if (!OffersInformation(status) || channels == nullptr) {
        return false;
    }
    return remote ? channels->RemoteInfoOpen() : channels->InfoOpen();
}

} // namespace

void StatusWindow::SwitchView(int viewType, int forceDefaultPosition) {
    if (viewType == m_nViewType) {
        return;
    }
    const ViewConditions conditions = {
        m_Tips.Enabled(), InformationAvailable(m_Poll.Status(), m_pChannels.get(), false),
        InformationAvailable(m_Poll.Status(), m_pChannels.get(), true)};
    m_Layout.Prepare(viewType, m_Printer, conditions, m_bStatusPolling != 0);
    m_InkGauges.FollowView(m_nViewType, viewType);

    if (viewType != kViewDetail) {
        m_Display.Information().EndShown();
    }

    if (viewType == kViewProgress) {
        m_JobView.Animation().SetBitmapSize(kAnimationWidth, kAnimationHeight);
        m_JobView.Animation().StartAnimation(3, kPrintingFrames);
    } else {
        m_JobView.Animation().StopAnimation();
    }

    m_nViewType = viewType;
    PlaceWindow(viewType, forceDefaultPosition);
    m_Layout.Present(viewType);
}

SIZE StatusWindow::ViewSize(int viewType) const {
    return m_Layout.ViewSize(viewType, m_Tips.Enabled(), m_Position.Template());
}

void StatusWindow::PlaceWindow(int viewType, int forceDefaultPosition) {
    if (m_Position.Place(Hwnd(), viewType, ViewSize(viewType), forceDefaultPosition, m_Printer)) {
        m_Layout.PlaceStatusText(viewType);
    }
}

int StatusWindow::ShowInkArea(int show) {
    return m_Layout.ShowInkArea(m_nViewType, show);
}

} // namespace krx
