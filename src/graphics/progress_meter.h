// ProgressMeter: the flat two-colour bar of the progress view, bound to a
// static item of the dialog. It fills in proportion to the position within
// its range, growing in one of four directions; no border, no text.
#pragma once

#include <windows.h>

#include <string>

#include "common/dialog.h"
#include "graphics/meter_layout.h"

namespace krx {

class ProgressMeter : public SubclassedControl {
  public:
    explicit ProgressMeter(MeterDirection direction = MeterDirection::LeftToRight);

    // Each setter stores its value and lays the bar out again; with a
    // non-zero redraw flag it also invalidates the control (without erase)
    // and returns the result of that, else 0. The range must not be empty.
    LRESULT SetMeterRange(int32_t minimum, int32_t maximum, BOOL redraw);
    LRESULT SetMeterPosition(int32_t position, BOOL redraw);
    LRESULT SetMeterBarColor(COLORREF colour, BOOL redraw);
    LRESULT SetMeterBackColor(COLORREF colour, BOOL redraw);
    // How a screen reader reads the position: a text whose "%d" becomes the
    // percentage of the range ("%%" a percent sign).
    void SetValueFormat(const std::string& format);

    int32_t Position() const { return m_nPosition; }
    int32_t Minimum() const { return m_nMinimum; }
    int32_t Maximum() const { return m_nMaximum; }
    COLORREF BarColor() const { return m_crBar; }
    COLORREF BackColor() const { return m_crBack; }
    // The layout in client coordinates as last computed.
    const MeterLayout& Layout() const { return m_Layout; }

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Relayout();
    LRESULT Redraw(BOOL redraw);
    void OnPaint();
    void Paint(HDC dc);
    void OnSize();

    int32_t m_nPosition = 0;
    int32_t m_nMaximum = 100;
    int32_t m_nMinimum = 0;
    MeterDirection m_Direction;
    COLORREF m_crBar;
    COLORREF m_crBack;
    MeterRect m_rcClient;
    MeterLayout m_Layout;
    std::string m_strValueFormat;
};

} // namespace krx
