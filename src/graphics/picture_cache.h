// PictureCache: device copies of the bitmaps a picture control shows, so
// that a paint is one copy to the screen instead of a palette build, a DIB
// conversion and a copy. A copy is made again only when its picture, its
// palette, its size or the display changes. Above 96 DPI the copy holds the
// picture scaled to the DPI (halftone stretch), so that it fills the area
// its dialog gives it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "common/gdi.h"
#include "graphics/dib_header.h"

namespace krx {

// Pixels of the 96-DPI layout at the display's DPI; unchanged at 96 DPI or below.
int ScaleToDpi(int pixels, int dpi);

// What a paint draws on. A device copy serves only the kind of surface it
// was made for.
struct PaintSurface {
    int bitsPerPixel = 0; // of the window, or of the bitmap in a memory DC
    bool palette = false; // a palette is selected while painting
    bool operator==(const PaintSurface& o) const {
        return bitsPerPixel == o.bitsPerPixel && palette == o.palette;
    }
    bool operator!=(const PaintSurface& o) const { return !(*this == o); }
};

// The surface of `dc` (the palette flag is left for the caller).
PaintSurface SurfaceOf(HDC dc);

// A device copy of a picture, kept selected into a memory DC of its own:
// selecting a bitmap costs many times what copying one of this size does.
class DeviceCopy {
  public:
    DeviceCopy() = default;
    ~DeviceCopy() { reset(); }
    DeviceCopy(const DeviceCopy&) = delete;
    DeviceCopy& operator=(const DeviceCopy&) = delete;
    DeviceCopy(DeviceCopy&& other) noexcept { *this = std::move(other); }
    DeviceCopy& operator=(DeviceCopy&& other) noexcept;

    // Takes the bitmap and selects it into a memory DC compatible with `dc`;
    // false (and empty) when there is no bitmap or no DC.
    bool Keep(HDC dc, unique_hbitmap bitmap);
    void reset();
    HDC dc() const { return m_hMemory.get(); }
    explicit operator bool() const { return m_hMemory.valid(); }

  private:
    unique_memdc m_hMemory;
    unique_hbitmap m_hBitmap;
    HGDIOBJ m_hPrevious = nullptr; // put back before the bitmap is deleted
};

class PictureCache {
  public:
    // The frames of the longest animation the windows show.
    static constexpr int kCapacity = 4;

    // One picture as the resource holds it, with what was made from it.
    struct Picture {
        HMODULE module = nullptr;
        uint16_t id = 0;
        const uint8_t* data = nullptr; // the locked resource
        size_t size = 0;
        DibLayout layout;
        int dpiX = 96; // of the display when the picture was read
        int dpiY = 96;
        unique_hpalette palette; // a 256-colour picture on a palette display
        DeviceCopy copy;         // none until the first paint
        PaintSurface surface;    // what the copy was made for
        int width = 0;           // size of the copy
        int height = 0;
        uint32_t generation = 0;
        uint32_t lastUse = 0;
    };

    PictureCache() = default;
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // The picture for this resource. A picture seen before keeps its
    // palette; one not seen is read (none when the resource is no valid
    // DIB or `display` has no DC) with the DPI of `display` and, on a
    // palette display, a palette, taking the place of the picture used
    // longest ago.
    Picture* Find(HMODULE module, uint16_t id, const uint8_t* data, size_t size, HWND display);

    // Makes the device copy of `picture` for `surface` at `width` x
    // `height` unless it has one already: a conversion of the DIB to the
    // device at its own size, a halftone stretch into a copy of the device
    // at any other. `dc` is the paint's, with the picture's palette
    // selected and realised when `surface.palette` is set. False when GDI
    // refused it (the paint then draws nothing).
    bool MakeCopy(Picture* picture, HDC dc, const PaintSurface& surface, int width, int height);

    // Every copy and palette is made again before it is next used (the
    // display or the system palette changed). Safe while a paint runs.
    void Invalidate() { ++m_nGeneration; }

    // Copies made so far, for tests and benchmarks.
    uint32_t CopiesMade() const { return m_nCopiesMade; }

  private:
    Picture m_Pictures[kCapacity];
    uint32_t m_nGeneration = 1;
    uint32_t m_nUse = 0;
    uint32_t m_nCopiesMade = 0;
};

} // namespace krx
