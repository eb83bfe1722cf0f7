// The printer's information dialog a status window opens from its
// information button: one at a time, ended when the information goes away
// or the window closes.
#pragma once

#include <windows.h>

#include <memory>

#include "comm/status_channels.h"
#include "graphics/printer_info_dialog.h"

namespace krx {

class CBxApi;

class InformationDialog {
  public:
    // Shows the information read on the channels' information channel,
    // owned by owner; the channel's news goes back to owner afterwards
    // unless the owner closed meanwhile.
    void Show(CBxApi* library, StatusChannels* channels, HWND owner);
    // Ends the dialog this window showed, if it still runs.
    void EndShown();
    // The owner opens (again) or closes; closing ends the dialog.
    void OwnerOpened() { m_bOwnerClosed = 0; }
    void OwnerClosed();
    // The owner's window is gone.
    void Destroy() { m_pDialog.reset(); }

  private:
    std::unique_ptr<PrinterInfoDialog> m_pDialog;
    int m_bShown = 0;
    int m_bOwnerClosed = 0;
};

} // namespace krx
