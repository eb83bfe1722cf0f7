// Scoped GDI and DC objects: owning wrappers for GDI objects and icons, the
// paint DC of one WM_PAINT, a client-area DC, a memory DC, and the restore of an
// object selected into a DC.
#pragma once

#include <windows.h>

#include "common/win_handles.h"

namespace krx {

template <typename T> struct GdiObjectTraits {
    static T invalid() { return nullptr; }
    static void close(T h) { DeleteObject(h); }
};
struct IconTraits {
    static HICON invalid() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
struct MemoryDcTraits {
    static HDC invalid() { return nullptr; }
    static void close(HDC h) { DeleteDC(h); }
};

using unique_hbitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using unique_hbrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using unique_hpen = UniqueHandle<HPEN, GdiObjectTraits<HPEN>>;
using unique_hfont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using unique_hpalette = UniqueHandle<HPALETTE, GdiObjectTraits<HPALETTE>>;
using unique_hicon = UniqueHandle<HICON, IconTraits>;
using unique_memdc = UniqueHandle<HDC, MemoryDcTraits>;

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
  public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintDC() { EndPaint(hwnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return ps_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// The client area's DC: GetDC/ReleaseDC.
class ClientDC {
  public:
    explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ClientDC() {
        if (dc_ != nullptr) {
            ReleaseDC(hwnd_, dc_);
        }
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectObjectScope {
  public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectObjectScope() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace krx
