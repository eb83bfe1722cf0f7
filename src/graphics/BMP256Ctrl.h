// BMP256Ctrl: the picture control of the monitor windows. Bound to a static
// item of a dialog, it shows one bitmap resource of the picture library (or
// of the language resource library), takes the bitmap's size, can cycle a
// list of bitmaps as an animation with a blinking icon in its top-right
// corner, and on 256-colour displays realises the bitmap's own palette.
// Above 96 DPI the picture, its draw size and the icon's offset grow with
// the DPI, as the dialog around the control does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/dialog.h"
#include "graphics/dib_header.h"
#include "graphics/picture_cache.h"

namespace krx {

class BMP256Ctrl : public SubclassedControl {
  public:
    static constexpr UINT_PTR kAnimationTimerId = 20;
    static constexpr UINT kAnimationPeriodMs = 500;

    BMP256Ctrl() = default;
    ~BMP256Ctrl() override;

    // Bitmaps are read from this module from the next paint on; none means
    // the language resource library of the open window.
    void SetResourceModule(HMODULE module) { m_hResourceModule = module; }
    // Size of the area copied from the bitmap; smaller than the bitmap clips it.
    int SetBitmapSize(int32_t width, int32_t height);
    int ShowBitmap(uint32_t bitmapId);
    // Shows ids[0] and, for more than one id, steps through them every
    // 500 ms. 0 when there is nothing to show or the frame list cannot be
    // kept (the last frame is then shown still).
    int StartAnimation(uint32_t count, const uint32_t* ids);
    void StopAnimation();
    // Icon of the language resource library drawn on every other animation
    // step, its left edge rightOffset pixels left of the right edge. 0 when
    // the icon cannot be loaded (nothing is drawn then).
    int SetBlinkIcon(LPCSTR name, int32_t rightOffset);
    // Off while another program shows a modal window, so that the two do
    // not fight over the system palette.
    void EnablePalette(BOOL enable);

    // What the control shows now, for its owner and for tests.
    uint32_t CurrentBitmap() const { return m_nBitmapId; }
    uint32_t FrameIndex() const { return m_nFrameIndex; }
    uint32_t FrameCount() const { return m_pFrames ? m_nFrameCount : 0; }
    bool IsAnimating() const { return m_nTimerId != 0; }
    int BlinkPhase() const { return m_nBlinkPhase; }
    // Whether the last paint selected a palette built from the bitmap.
    bool LastPaintUsedPalette() const { return m_bLastPaintUsedPalette; }
    // Device copies made so far: a paint of a picture already shown makes none.
    uint32_t CopiesMade() const { return m_Cache.CopiesMade(); }

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // An icon given by integer id or by name (the name is copied, so the
    // caller's string need not outlive the call).
    struct IconName {
        bool set = false;
        bool isId = false;
        WORD id = 0;
        std::string text;
        bool operator==(const IconName& o) const {
            return set == o.set &&
                   (!set || (isId == o.isId && (isId ? id == o.id : text == o.text)));
        }
        LPCSTR get() const { return isId ? MAKEINTRESOURCEA(id) : text.c_str(); }
    };

    PictureCache::Picture* LoadDibResource();
    void OnPaint();
    void Paint(HDC dc);
    bool OnTimer(UINT_PTR timerId);
    void KillAnimationTimer();
    // The display, its DPI or the system palette changed: the device copies
    // are made again, and with `repaint` the control shows them at once.
    void OnDisplayChange(bool repaint);

    IconName m_IconName;
    int32_t m_nDrawWidth = 0;
    int32_t m_nDrawHeight = 0;
    uint32_t m_nBitmapId = 0;
    int32_t m_nIconRightOffset = 0;
    int m_nBlinkPhase = 0;
    HICON m_hIcon = nullptr; // shared icon of the resource library: not destroyed
    std::unique_ptr<uint32_t[]> m_pFrames;
    uint32_t m_nFrameIndex = 0;
    uint32_t m_nFrameCount = 0;
    UINT_PTR m_nTimerId = 0;
    BOOL m_bPaletteEnabled = TRUE;
    HMODULE m_hResourceModule = nullptr;
    bool m_bLastPaintUsedPalette = false;
    PictureCache m_Cache;
};

} // namespace krx
