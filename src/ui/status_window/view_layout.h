// How the status window presents a view: its title, which template items
// it shows and enables, its frame and system menu, where the status text
// (item 212) stands, whether the ink area takes room, and the window's size
// for each view. Also the rule that keeps a waiting meter hidden.
#pragma once

#include <windows.h>

#include "ui/status_window/view_table.h"

namespace krx {

class MonitoredPrinter;

// System-menu item that opens the version dialog.
constexpr UINT kSysMenuVersion = 912;

class ViewLayout {
  public:
    void Attach(HWND window) { m_hWnd = window; }

    // The version item joins the system menu; sizing and maximising leave.
    void SetUpSystemMenu() const;
    // Where the template put the status text (212) and the Popup marker
    // (216): the Popup view and the ink area are laid out from them.
    void CaptureTemplate();

    // The first half of a switch to the view: title, items, frame and the
    // ink area.
    void Prepare(int viewType, const MonitoredPrinter& printer, const ViewConditions& conditions,
                 bool statusPolling);
    // The last half, once the window has its place: shown with the focus,
    // or raised without it.
    void Present(int viewType) const;

    // The window's size in the view; the meter's depends on the tips and
    // the ink area.
    SIZE ViewSize(int viewType, bool tipsEnabled, const RECT& windowTemplate) const;
    void PlaceStatusText(int viewType) const;
    // Shows or hides the ink area in the frame of the view, moving the tips
    // and the marker with it. 1 when it changed.
    int ShowInkArea(int viewType, int show);

    // Restore and minimise greyed as the size kind and the view allow.
    void OnSize(WPARAM kind, int viewType) const;

    // A meter waiting for its job stays hidden whatever shows it.
    void SetKeepHidden(bool keep) { m_bKeepHidden = keep ? 1 : 0; }
    void OnWindowPosChanging(WINDOWPOS* pos) const;

  private:
    void UpdateFrame(int viewType, bool statusPolling);

    HWND m_hWnd = nullptr;
    RECT m_rcStatusText = {}; // item 212, client coordinates
    RECT m_rcMarker = {};     // item 216, client coordinates
    int m_bInkAreaShown = 1;
    int m_bKeepHidden = 0; // strips the show flag from every position change
};

} // namespace krx
