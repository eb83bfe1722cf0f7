// The status window's ink gauges: items 314 (black) and 315 (colour) of the
// ink library with their frames and labels. They show the levels of a
// decoded reply and the low and empty warnings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/dialog.h"

namespace krx {

class TipList;

class InkGauges {
  public:
    // Binds the gauges; a screen reader names them by their labels.
    void Attach(HWND window);

    // Tells both gauges their six inks and shows them empty.
    void Initialise();
    // Both gauges empty.
    void ShowEmpty();
    // Enables or disables every ink item, frames and labels included.
    void Enable(bool enable) const;
    // Shows the levels in the frame of the view (the Detail view has its
    // own); a gauge with an unknown level is disabled instead.
    void ShowLevels(const uint8_t (&levels)[6], bool detail);
    // The ink frame of the view now shown takes the state of the one shown
    // before: the gauges stay live in either frame.
    void FollowView(int oldViewType, int newViewType) const;

    // Low and empty warnings of the last reply (the mask of the status
    // evaluation).
    void SetWarnings(uint16_t warnings) { m_nWarnings = warnings; }
    // Sends the warnings to the gauges; a low level asks the tips for the
    // special tip, no warning at all withdraws it.
    void ShowWarnings(TipList& tips) const;

    // What a screen reader reads as each gauge's value.
    const std::string& BlackValue() const { return m_Black.Accessible().Value(); }
    const std::string& ColourValue() const { return m_Colour.Accessible().Value(); }

  private:
    // The levels as a screen reader reads them: each tank in percent.
    void SetValues(const int32_t (&block)[7], bool blackKnown, bool colourKnown);

    HWND m_hWnd = nullptr;
    SubclassedControl m_Black;  // 314
    SubclassedControl m_Colour; // 315
    uint16_t m_nWarnings = 0xFFFF;
};

} // namespace krx
