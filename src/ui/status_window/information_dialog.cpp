// The information dialog of a status window.
#include "ui/status_window/information_dialog.h"

#include "comm/bxapi.h"

namespace krx {

void InformationDialog::Show(CBxApi* library, StatusChannels* channels, HWND owner) {
    if (library == nullptr || channels == nullptr || channels->m_hInfo == 0) {
        return;
    }
    // One dialog at a time: a command that was on its way when the dialog
    // disabled the window finds it running.
    if (m_pDialog && m_pDialog->IsRunning()) {
        return;
    }
    const int channel = channels->m_hInfo;
    library->BXReceiveCancel(channel);
    m_bShown = 1;
    if (!m_pDialog) {
        m_pDialog.reset(new PrinterInfoDialog());
    }
    if (m_pDialog->ShowPrinterInformation(*library, channel, owner) ==
        PrinterInfoDialog::kCancelCode) {
        m_bShown = 0;
    }
    // The channel's news comes back to the window, unless the window was
    // closed (and the channel with it) while the dialog ran.
    if (!m_bOwnerClosed && channels->m_hInfo == channel) {
        HWND self = owner;
        library->BXSetOption(channel, bx::kOptionNotifyInfo, &self);
    }
}

void InformationDialog::EndShown() {
    if (m_pDialog && m_bShown && m_pDialog->IsRunning()) {
        m_pDialog->End(PrinterInfoDialog::kCancelCode);
        m_bShown = 0;
    }
}

void InformationDialog::OwnerClosed() {
    m_bOwnerClosed = 1;
    if (m_pDialog) {
        if (m_bShown && m_pDialog->IsRunning()) {
            m_pDialog->End(PrinterInfoDialog::kCancelCode);
        }
        m_bShown = 0;
    }
}

} // namespace krx
