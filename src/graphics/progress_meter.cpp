// ProgressMeter: state, layout on change and painting.
#include "graphics/progress_meter.h"

#include "common/gdi.h"

namespace krx {

namespace {
MeterRect ToMeterRect(const RECT& r) {
    return MeterRect{r.left, r.top, r.right, r.bottom};
}
RECT ToRect(const MeterRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
} // namespace

ProgressMeter::ProgressMeter(MeterDirection direction)
    : direction_(direction), barColour_(GetSysColor(COLOR_WINDOWTEXT)),
      backColour_(GetSysColor(COLOR_WINDOW)) {}

void ProgressMeter::Relayout() {
    layout_ = ComputeMeterLayout(client_, direction_, position_, minimum_, maximum_);
}

LRESULT ProgressMeter::Redraw(BOOL redraw) {
    Relayout();
    if (!redraw || Hwnd() == nullptr) {
        return 0;
    }
    return InvalidateRect(Hwnd(), nullptr, FALSE);
}

LRESULT ProgressMeter::SetMeterRange(int32_t minimum, int32_t maximum, BOOL redraw) {
    minimum_ = minimum;
    maximum_ = maximum;
    return Redraw(redraw);
}

LRESULT ProgressMeter::SetMeterPosition(int32_t position, BOOL redraw) {
    position_ = position;
    return Redraw(redraw);
}

LRESULT ProgressMeter::SetMeterBarColor(COLORREF colour, BOOL redraw) {
    barColour_ = colour;
    return Redraw(redraw);
}

LRESULT ProgressMeter::SetMeterBackColor(COLORREF colour, BOOL redraw) {
    backColour_ = colour;
    return Redraw(redraw);
}

void ProgressMeter::OnSize() {
    RECT client;
    GetClientRect(Hwnd(), &client);
    client_ = ToMeterRect(client);
    Relayout();
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void ProgressMeter::OnPaint() {
    PaintDC paint(Hwnd());
    Paint(paint.get());
}

void ProgressMeter::Paint(HDC dc) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    if (ToMeterRect(client) != client_) {
        client_ = ToMeterRect(client);
        Relayout();
    }
    unique_hbrush back(CreateSolidBrush(backColour_));
    if (layout_.empty) {
        FillRect(dc, &client, back.get());
        return;
    }
    unique_hbrush bar(CreateSolidBrush(barColour_));
    RECT rest = ToRect(layout_.rest);
    RECT filled = ToRect(layout_.bar);
    FillRect(dc, &rest, back.get());
    FillRect(dc, &filled, bar.get());
}

LRESULT ProgressMeter::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SIZE: {
        LRESULT result = CallOriginal(message, wParam, lParam);
        OnSize();
        return result;
    }
    default:
        return CallOriginal(message, wParam, lParam);
    }
}

} // namespace krx
