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

// The position in whole percent of the range, 0 to 100.
int Percent(int32_t position, int32_t minimum, int32_t maximum) {
    if (maximum <= minimum) {
        return 0;
    }
    const int64_t done = (static_cast<int64_t>(position) - minimum) * 100 /
                         (static_cast<int64_t>(maximum) - minimum);
    return done < 0 ? 0 : done > 100 ? 100 : static_cast<int>(done);
}

std::string FormatPercent(const std::string& format, int percent) {
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd') {
            out += std::to_string(percent);
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}
} // namespace

ProgressMeter::ProgressMeter(MeterDirection direction)
    : m_Direction(direction), m_crBar(GetSysColor(COLOR_WINDOWTEXT)),
      m_crBack(GetSysColor(COLOR_WINDOW)) {}

void ProgressMeter::Relayout() {
    m_Layout = ComputeMeterLayout(m_rcClient, m_Direction, m_nPosition, m_nMinimum, m_nMaximum);
    if (!m_strValueFormat.empty()) {
        SetAccessibleValue(
            FormatPercent(m_strValueFormat, Percent(m_nPosition, m_nMinimum, m_nMaximum)));
    }
}

void ProgressMeter::SetValueFormat(const std::string& format) {
    m_strValueFormat = format;
    Relayout();
}

LRESULT ProgressMeter::Redraw(BOOL redraw) {
    Relayout();
    if (!redraw || Hwnd() == nullptr) {
        return 0;
    }
    return InvalidateRect(Hwnd(), nullptr, FALSE);
}

LRESULT ProgressMeter::SetMeterRange(int32_t minimum, int32_t maximum, BOOL redraw) {
    m_nMinimum = minimum;
    m_nMaximum = maximum;
    return Redraw(redraw);
}

LRESULT ProgressMeter::SetMeterPosition(int32_t position, BOOL redraw) {
    m_nPosition = position;
    return Redraw(redraw);
}

LRESULT ProgressMeter::SetMeterBarColor(COLORREF colour, BOOL redraw) {
    m_crBar = colour;
    return Redraw(redraw);
}

LRESULT ProgressMeter::SetMeterBackColor(COLORREF colour, BOOL redraw) {
    m_crBack = colour;
    return Redraw(redraw);
}

void ProgressMeter::OnSize() {
    RECT client;
    GetClientRect(Hwnd(), &client);
    m_rcClient = ToMeterRect(client);
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
    if (ToMeterRect(client) != m_rcClient) {
        m_rcClient = ToMeterRect(client);
        Relayout();
    }
    unique_hbrush back(CreateSolidBrush(m_crBack));
    if (m_Layout.empty) {
        FillRect(dc, &client, back.get());
        return;
    }
    unique_hbrush bar(CreateSolidBrush(m_crBar));
    RECT rest = ToRect(m_Layout.rest);
    RECT filled = ToRect(m_Layout.bar);
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
