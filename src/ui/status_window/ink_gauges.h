// The status window's ink gauges: items 314 (black) and 315 (colour) of the
// ink library with their frames and labels. They show the levels of a
// decoded reply and the low and empty warnings.
#pragma once

#include <windows.h>

#include <cstdint>

namespace krx {

class TipList;

class InkGauges {
  public:
    void Attach(HWND window) { m_hWnd = window; }

    // Tells both gauges their six inks and shows them empty.
    void Initialise() const;
    // Both gauges empty.
    void ShowEmpty() const;
    // Enables or disables every ink item, frames and labels included.
    void Enable(bool enable) const;
    // Shows the levels in the frame of the view (the Detail view has its
    // own); a gauge with an unknown level is disabled instead.
    void ShowLevels(const uint8_t (&levels)[6], bool detail) const;

    // Low and empty warnings of the last reply (the mask of the status
    // evaluation).
    void SetWarnings(uint16_t warnings) { m_nWarnings = warnings; }
    // Sends the warnings to the gauges; a low level asks the tips for the
    // special tip, no warning at all withdraws it.
    void ShowWarnings(TipList& tips) const;

  private:
    HWND m_hWnd = nullptr;
    uint16_t m_nWarnings = 0xFFFF;
};

} // namespace krx
