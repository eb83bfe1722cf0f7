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
    explicit PaintDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = BeginPaint(hwnd, &m_Paint); }
    ~PaintDC() { EndPaint(m_hWnd, &m_Paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return m_hDC; }
    const PAINTSTRUCT& paint() const { return m_Paint; }

  private:
    HWND m_hWnd;
    PAINTSTRUCT m_Paint{};
    HDC m_hDC = nullptr;
};

// The client area's DC: GetDC/ReleaseDC.
class ClientDC {
  public:
    explicit ClientDC(HWND hwnd) : m_hWnd(hwnd), m_hDC(GetDC(hwnd)) {}
    ~ClientDC() {
        if (m_hDC != nullptr) {
            ReleaseDC(m_hWnd, m_hDC);
        }
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC get() const { return m_hDC; }

  private:
    HWND m_hWnd;
    HDC m_hDC;
};

// Selects an object into a DC and puts the previous one back.
class SelectObjectScope {
  public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hPrevious(SelectObject(dc, object)) {}
    ~SelectObjectScope() {
        if (m_hPrevious != nullptr && m_hPrevious != HGDI_ERROR) {
            SelectObject(m_hDC, m_hPrevious);
        }
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

  private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};

} // namespace krx
