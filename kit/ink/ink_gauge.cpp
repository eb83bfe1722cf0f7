// kitink.dll: registers the ink gauge window class while loaded. Item 314
// shows one black bar, item 315 five colour bars (cyan, light cyan, magenta,
// light magenta, yellow); each bar shows its level, and a low or empty mark
// stands over the bars with the least ink. Driven by KRX_INK_MESSAGE.
#include <windows.h>

#include <new>

#include "resource_ids.h"

namespace {

HINSTANCE g_instance = nullptr;
bool g_registered = false;

constexpr int kMaxBars = 5;
constexpr int kInkCountUsed = 6;

enum class Mark { None, Low, Empty };

struct Gauge {
    int bars = 0; // 1 black, 5 colour; 0 until initialised
    int levels[kMaxBars] = {};
    Mark mark = Mark::None;
};

struct Ink {
    COLORREF fill;
    COLORREF edge;
};
constexpr Ink kBlack = {RGB(0x1d, 0x1f, 0x23), RGB(0x00, 0x00, 0x00)};
constexpr Ink kColours[kMaxBars] = {
    {RGB(0x14, 0xa3, 0xdc), RGB(0x0b, 0x6c, 0x93)}, // cyan
    {RGB(0x8f, 0xd6, 0xf3), RGB(0x4a, 0x9c, 0xbd)}, // light cyan
    {RGB(0xd4, 0x18, 0x7a), RGB(0x8c, 0x0f, 0x51)}, // magenta
    {RGB(0xf3, 0x9c, 0xc9), RGB(0xb8, 0x5c, 0x8c)}, // light magenta
    {RGB(0xf4, 0xcf, 0x16), RGB(0xa3, 0x8a, 0x0e)}, // yellow
};

Gauge* StateOf(HWND hwnd) {
    return reinterpret_cast<Gauge*>(GetWindowLongPtrA(hwnd, 0));
}

int Clamp(LONG level) {
    return level < 0 ? 0 : level > 100 ? 100 : static_cast<int>(level);
}

// A brush or pen deleted at the end of the scope.
class Gdi {
  public:
    explicit Gdi(HGDIOBJ object) : object_(object) {}
    ~Gdi() {
        if (object_ != nullptr) {
            DeleteObject(object_);
        }
    }
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;
    HGDIOBJ get() const { return object_; }

  private:
    HGDIOBJ object_;
};

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    Gdi brush(CreateSolidBrush(colour));
    FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour) {
    Gdi brush(CreateSolidBrush(colour));
    FrameRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void DrawPolygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF edge) {
    Gdi brush(CreateSolidBrush(fill));
    Gdi pen(CreatePen(PS_SOLID, 1, edge));
    HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    Polygon(dc, points, count);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

// Low: a yellow warning triangle with "!"; empty: a red disc with a white bar.
void DrawMark(HDC dc, int cx, int top, int size, Mark mark) {
    if (mark == Mark::Low) {
        POINT triangle[3] = {
            {cx, top}, {cx + size / 2 + 1, top + size}, {cx - size / 2 - 1, top + size}};
        DrawPolygon(dc, triangle, 3, RGB(0xff, 0xcc, 0x00), RGB(0x7a, 0x5a, 0x00));
        RECT bar{cx - 1 + (size > 8 ? 0 : 1), top + size / 3, cx + 1, top + size * 3 / 4};
        FillSolid(dc, bar, RGB(0x40, 0x30, 0x00));
        RECT dot{cx - 1 + (size > 8 ? 0 : 1), top + size * 4 / 5, cx + 1, top + size * 4 / 5 + 2};
        FillSolid(dc, dot, RGB(0x40, 0x30, 0x00));
    } else if (mark == Mark::Empty) {
        Gdi brush(CreateSolidBrush(RGB(0xe0, 0x26, 0x2b)));
        Gdi pen(CreatePen(PS_SOLID, 1, RGB(0x90, 0x10, 0x14)));
        HGDIOBJ oldBrush = SelectObject(dc, brush.get());
        HGDIOBJ oldPen = SelectObject(dc, pen.get());
        Ellipse(dc, cx - size / 2, top, cx + size / 2 + 1, top + size + 1);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        RECT bar{cx - size / 4, top + size / 2 - 1, cx + size / 4 + 1, top + size / 2 + 1};
        FillSolid(dc, bar, RGB(0xff, 0xff, 0xff));
    }
}

// In a high-contrast scheme an ink's own edge can vanish on the scheme's
// background (a black tank on black): the edges take the scheme's text colour.
COLORREF EdgeColour(const Ink& ink) {
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof(contrast);
    const bool high = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    return high ? GetSysColor(COLOR_WINDOWTEXT) : ink.edge;
}

void Paint(HWND hwnd, HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    FillSolid(dc, client, GetSysColor(COLOR_BTNFACE));
    const Gauge* gauge = StateOf(hwnd);
    if (gauge == nullptr || gauge->bars == 0) {
        return;
    }
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    // The tanks, their gaps and the marks are drawn for 96 DPI and grow with
    // the DPI, as the dialog that holds the gauge does.
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    auto scaled = [dpi](int pixels) { return dpi > 96 ? MulDiv(pixels, dpi, 96) : pixels; };
    const int markSize = height >= scaled(30) ? scaled(10) : height / 3;
    // Tanks side by side from the left edge, under the gauge's label.
    const int gap = scaled(6);
    int barWidth = (width - gap * (gauge->bars - 1)) / gauge->bars;
    if (barWidth > scaled(22)) {
        barWidth = scaled(22);
    }
    if (barWidth < 2) {
        return;
    }
    int x = client.left;
    const int top = client.top + markSize + 2;
    const int bottom = client.bottom;

    int least = 100;
    for (int i = 0; i < gauge->bars; ++i) {
        least = gauge->levels[i] < least ? gauge->levels[i] : least;
    }
    for (int i = 0; i < gauge->bars; ++i, x += barWidth + gap) {
        const Ink& ink = gauge->bars == 1 ? kBlack : kColours[i];
        RECT bar{x, top, x + barWidth, bottom};
        // The empty part of a tank in the window colour (white in the
        // standard scheme).
        FillSolid(dc, bar, GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
        FrameSolid(dc, bar, enabled ? EdgeColour(ink) : GetSysColor(COLOR_GRAYTEXT));
        if (!enabled) {
            continue;
        }
        // The inside of the frame, filled from the bottom by the level.
        const int inside = (bottom - 1) - (top + 1);
        const int filled = inside * gauge->levels[i] / 100;
        RECT level{x + 1, bottom - 1 - filled, x + barWidth - 1, bottom - 1};
        if (filled > 0) {
            FillSolid(dc, level, ink.fill);
        }
        if (gauge->mark != Mark::None && gauge->levels[i] == least) {
            DrawMark(dc, x + barWidth / 2, client.top, markSize, gauge->mark);
        }
    }
}

LRESULT OnInkCommand(HWND hwnd, WPARAM command, LPARAM parameter) {
    Gauge* gauge = StateOf(hwnd);
    if (gauge == nullptr) {
        return 0;
    }
    const LONG* block = reinterpret_cast<const LONG*>(parameter);
    switch (command) {
    case KRX_INK_BLACK_INIT:
    case KRX_INK_COLOR_INIT:
        *gauge = Gauge{};
        gauge->bars = command == KRX_INK_BLACK_INIT ? 1 : kMaxBars;
        break;
    case KRX_INK_BLACK_LEVELS:
        // {ink count, black, 0, 0, 0, 0, 0}
        if (block == nullptr || block[0] != kInkCountUsed) {
            return 0;
        }
        gauge->bars = 1;
        gauge->levels[0] = Clamp(block[1]);
        gauge->mark = Mark::None;
        break;
    case KRX_INK_COLOR_LEVELS:
        // {ink count, black, then the five colours in bar order}
        if (block == nullptr || block[0] != kInkCountUsed) {
            return 0;
        }
        gauge->bars = kMaxBars;
        for (int i = 0; i < kMaxBars; ++i) {
            gauge->levels[i] = Clamp(block[2 + i]);
        }
        gauge->mark = Mark::None;
        break;
    case KRX_INK_BLACK_LOW:
    case KRX_INK_COLOR_LOW:
        gauge->mark = Mark::Low;
        break;
    case KRX_INK_BLACK_EMPTY:
    case KRX_INK_COLOR_EMPTY:
        gauge->mark = Mark::Empty;
        break;
    default:
        return 0;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    return 1;
}

LRESULT CALLBACK GaugeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        Gauge* gauge = new (std::nothrow) Gauge;
        if (gauge == nullptr) {
            return FALSE;
        }
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(gauge));
        break;
    }
    case WM_NCDESTROY:
        delete StateOf(hwnd);
        SetWindowLongPtrA(hwnd, 0, 0);
        break;
    case KRX_INK_MESSAGE:
        return OnInkCommand(hwnd, wParam, lParam);
    case WM_ENABLE:
    case WM_SYSCOLORCHANGE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1; // Paint covers the whole client area
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(hwnd, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterGaugeClass() {
    WNDCLASSA wc{};
    // Global: the dialog templates that use it live in another module.
    wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = GaugeProc;
    wc.cbWndExtra = sizeof(Gauge*);
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.lpszClassName = KRX_INK_GAUGE_CLASS;
    g_registered = RegisterClassA(&wc) != 0;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
        RegisterGaugeClass();
        return g_registered ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        if (g_registered) {
            UnregisterClassA(KRX_INK_GAUGE_CLASS, g_instance);
            g_registered = false;
        }
        break;
    default:
        break;
    }
    return TRUE;
}
