// Where the status window stands: its rectangle right after creation and,
// for the Popup and the meter, the position remembered in the printer's
// store key ("PopupPOSX", "PopupPOSY") across windows.
#pragma once

#include <windows.h>

namespace krx {

class MonitoredPrinter;

class PositionMemory {
  public:
    void SetRemember(bool remember) { m_bRemember = remember ? 1 : 0; }

    // The window's rectangle as the template made it.
    void CaptureTemplate(HWND window) { GetWindowRect(window, &m_rcTemplate); }
    const RECT& Template() const { return m_rcTemplate; }

    // Moves and sizes the window for the view: the remembered position while
    // it still reaches the work area of a monitor, else the view's default
    // there; then moved wholly inside that work area. A position that had
    // to change is remembered. False when nothing was placed.
    bool Place(HWND window, int viewType, SIZE size, int forceDefaultPosition,
               const MonitoredPrinter& printer) const;
    // The window takes a new size where it stands, moved back wholly inside
    // the work area of its monitor if it would leave it (that position is
    // then remembered).
    void Resize(HWND window, SIZE size, const MonitoredPrinter& printer) const;
    // Remembers the window's position (after a move).
    void SaveCurrent(HWND window, const MonitoredPrinter& printer) const;
    // Remembers a position the window was moved to.
    void Save(const MonitoredPrinter& printer, int x, int y) const;
    // While being dragged the window keeps the view's size.
    static void KeepSize(RECT* rect, SIZE size);

  private:
    int m_bRemember = 0; // position memory (Popup and Progress)
    RECT m_rcTemplate = {};
};

} // namespace krx
