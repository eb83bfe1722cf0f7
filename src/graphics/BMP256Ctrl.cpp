// BMP256Ctrl: painting, animation and palette of the picture control.
#include "graphics/BMP256Ctrl.h"

#include <new>

#include "common/gdi.h"
#include "base/module/module_state.h"

namespace krx {

BMP256Ctrl::~BMP256Ctrl() {
    KillAnimationTimer();
}

int BMP256Ctrl::SetBitmapSize(int32_t width, int32_t height) {
    m_nDrawWidth = width;
    m_nDrawHeight = height;
    return 1;
}

int BMP256Ctrl::ShowBitmap(uint32_t bitmapId) {
    m_nBitmapId = bitmapId;
    if (Hwnd() != nullptr) {
        InvalidateRect(Hwnd(), nullptr, TRUE);
    }
    return 1;
}

void BMP256Ctrl::KillAnimationTimer() {
    if (m_nTimerId != 0) {
        if (Hwnd() != nullptr && IsWindow(Hwnd())) {
            KillTimer(Hwnd(), m_nTimerId);
        }
        m_nTimerId = 0;
    }
}

int BMP256Ctrl::StartAnimation(uint32_t count, const uint32_t* ids) {
    if (count == 0 || ids == nullptr) {
        return 0;
    }
    KillAnimationTimer();
    m_pFrames.reset();
    m_nFrameCount = 0;
    m_nFrameIndex = 0;
    if (count == 1) {
        return ShowBitmap(ids[0]);
    }
    std::unique_ptr<uint32_t[]> frames(new (std::nothrow) uint32_t[count]);
    if (!frames) {
        ShowBitmap(ids[count - 1]);
        return 0;
    }
    for (uint32_t i = 0; i < count; ++i) {
        frames[i] = ids[i];
    }
    m_pFrames = std::move(frames);
    m_nFrameCount = count;
    ShowBitmap(m_pFrames[0]);
    if (Hwnd() == nullptr) {
        return 0; // not bound to a window: nothing can drive the frames
    }
    m_nTimerId = SetTimer(Hwnd(), kAnimationTimerId, kAnimationPeriodMs, nullptr);
    return m_nTimerId != 0 ? 1 : 0;
}

void BMP256Ctrl::StopAnimation() {
    KillAnimationTimer();
    m_pFrames.reset();
    m_nFrameCount = 0;
}

int BMP256Ctrl::SetBlinkIcon(LPCSTR name, int32_t rightOffset) {
    IconName wanted;
    if (name != nullptr) {
        wanted.set = true;
        wanted.isId = IS_INTRESOURCE(name);
        if (wanted.isId) {
            wanted.id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
        } else {
            wanted.text = name;
        }
    }
    if (wanted == m_IconName) {
        return 1;
    }
    m_IconName = wanted;
    m_nIconRightOffset = rightOffset;
    m_hIcon = nullptr;
    if (!m_IconName.set) {
        return 1;
    }
    // The icon belongs to the language resource library, not to the pictures.
    m_hIcon = LoadIconA(ThisCall().resourceModule, m_IconName.get());
    return m_hIcon != nullptr ? 1 : 0;
}

void BMP256Ctrl::EnablePalette(BOOL enable) {
    m_bPaletteEnabled = enable;
    if (enable && Hwnd() != nullptr) {
        InvalidateRect(Hwnd(), nullptr, FALSE);
    }
}

PictureCache::Picture* BMP256Ctrl::LoadDibResource() {
    HMODULE module = m_hResourceModule != nullptr ? m_hResourceModule : ThisCall().resourceModule;
    if (module == nullptr) {
        return nullptr;
    }
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(LOWORD(m_nBitmapId)),
                                MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (found == nullptr) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* locked = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (locked == nullptr) {
        return nullptr;
    }
    return m_Cache.Find(module, LOWORD(m_nBitmapId), static_cast<const uint8_t*>(locked),
                        SizeofResource(module, found), Hwnd());
}

void BMP256Ctrl::OnPaint() {
    PaintDC paint(Hwnd());
    Paint(paint.get());
}

void BMP256Ctrl::Paint(HDC dc) {
    m_bLastPaintUsedPalette = false;
    PictureCache::Picture* picture = dc != nullptr ? LoadDibResource() : nullptr;
    if (picture == nullptr) {
        return;
    }

    // The control takes the bitmap's size at the display's DPI; its frame,
    // if any, stays around it.
    const int pictureWidth = ScaleToDpi(picture->layout.width, picture->dpiX);
    const int pictureHeight = ScaleToDpi(picture->layout.height, picture->dpiY);
    RECT window, client;
    GetWindowRect(Hwnd(), &window);
    GetClientRect(Hwnd(), &client);
    int width = (window.right - window.left) - client.right + pictureWidth;
    int height = (window.bottom - window.top) - client.bottom + pictureHeight;
    if (width != window.right - window.left || height != window.bottom - window.top) {
        SetWindowPos(Hwnd(), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    PaintSurface surface = SurfaceOf(dc);
    HPALETTE previousPalette = nullptr;
    if (m_bPaletteEnabled && picture->palette) {
        previousPalette = SelectPalette(dc, picture->palette.get(), FALSE);
        RealizePalette(dc);
        surface.palette = true;
        m_bLastPaintUsedPalette = true;
    }

    if (m_Cache.MakeCopy(picture, dc, surface, pictureWidth, pictureHeight)) {
        BitBlt(dc, 0, 0, ScaleToDpi(m_nDrawWidth, picture->dpiX),
               ScaleToDpi(m_nDrawHeight, picture->dpiY), picture->copy.dc(), 0, 0, SRCCOPY);
    }
    if (m_IconName.set && m_nBlinkPhase == 1) {
        GetClientRect(Hwnd(), &client);
        DrawIcon(dc, client.right - ScaleToDpi(m_nIconRightOffset, picture->dpiX) - client.left, 0,
                 m_hIcon);
    }

    if (previousPalette != nullptr) {
        SelectPalette(dc, previousPalette, FALSE);
    }
}

void BMP256Ctrl::OnDisplayChange(bool repaint) {
    m_Cache.Invalidate();
    if (repaint && Hwnd() != nullptr) {
        InvalidateRect(Hwnd(), nullptr, FALSE);
    }
}

bool BMP256Ctrl::OnTimer(UINT_PTR timerId) {
    if (m_nTimerId == 0 || timerId != m_nTimerId) {
        return false;
    }
    if (m_pFrames && m_nFrameCount > 0) {
        m_nFrameIndex = m_nFrameIndex < m_nFrameCount - 1 ? m_nFrameIndex + 1 : 0;
        m_nBlinkPhase = m_nBlinkPhase ? 0 : 1;
        ShowBitmap(m_pFrames[m_nFrameIndex]);
    }
    return true;
}

LRESULT BMP256Ctrl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT:
        // Drawing into a given context (print, capture) paints the same.
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_TIMER:
        if (OnTimer(wParam)) {
            return 0;
        }
        break;
    case WM_DISPLAYCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_QUERYNEWPALETTE:
        OnDisplayChange(true);
        break;
    case WM_PALETTECHANGED:
        // Not repainted: two pictures with their own palettes would take
        // the system palette from each other for ever.
        if (reinterpret_cast<HWND>(wParam) != Hwnd()) {
            OnDisplayChange(false);
        }
        break;
    case WM_DESTROY:
        KillAnimationTimer();
        break;
    default:
        break;
    }
    return CallOriginal(message, wParam, lParam);
}

} // namespace krx
