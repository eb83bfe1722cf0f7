// Helpers of the graphics tests.
#include "graphics_window.h"

#include <cstdio>

#include "base/module/module_state.h"
#include "graphics_test_ids.h"
#include "ui/icon_button.h"

namespace graphicstest {

namespace {

INT_PTR CALLBACK TestDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        // Owner-drawn items draw themselves.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        SendMessageA(item->hwndItem, krx::IconButton::kReflectedDrawItem, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

} // namespace

void GraphicsWindowTest::SetUp() {
    krx::InitializeModuleState();
    krx::ThisCall().resourceModule = GetModuleHandleA(nullptr);
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_GRAPHICS_TEST),
                                 nullptr, TestDialogProc, 0);
    ASSERT_NE(dialog_, nullptr) << "CreateDialogParam failed: " << GetLastError();
    Pump();
}

void GraphicsWindowTest::ShowDialog() {
    ShowWindow(dialog_, SW_SHOW);
    Pump();
}

void GraphicsWindowTest::TearDown() {
    if (dialog_ != nullptr) {
        DestroyWindow(dialog_);
    }
    krx::ThisCall().resourceModule = nullptr;
}

void GraphicsWindowTest::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int Px(int pixels) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 96 ? MulDiv(pixels, dpi, 96) : pixels;
}

void SetClientSize(HWND hwnd, int width, int height) {
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    SetWindowPos(hwnd, nullptr, 0, 0, (window.right - window.left) - client.right + width,
                 (window.bottom - window.top) - client.bottom + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
    Fill(fill);
}

Canvas::~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Canvas::Fill(COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

void Canvas::PrintClient(HWND hwnd) {
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    GdiFlush();
}

RECT Canvas::BoundsOf(COLORREF colour) const {
    RECT r{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (At(x, y) == colour) {
                r.left = x < r.left ? x : r.left;
                r.top = y < r.top ? y : r.top;
                r.right = x + 1 > r.right ? x + 1 : r.right;
                r.bottom = y + 1 > r.bottom ? y + 1 : r.bottom;
            }
        }
    }
    if (r.right == 0) {
        r = RECT{0, 0, 0, 0};
    }
    return r;
}

std::string Hex(COLORREF c) {
    char text[16];
    snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

} // namespace graphicstest
