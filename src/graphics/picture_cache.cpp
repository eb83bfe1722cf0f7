// Device copies of the picture control's bitmaps; see picture_cache.h.
#include "graphics/picture_cache.h"

#include <memory>
#include <new>

namespace krx {

namespace {

constexpr int kLayoutDpi = 96;

// The logical palette of a 256-colour picture on a palette display; none
// on any other display or when the palette cannot be had.
HPALETTE MakePalette(const PictureCache::Picture& picture, HDC display) {
    if (!WantsPalette(picture.layout, GetDeviceCaps(display, BITSPIXEL),
                      GetDeviceCaps(display, RASTERCAPS))) {
        return nullptr;
    }
    std::unique_ptr<DibLogPalette> entries(new (std::nothrow) DibLogPalette);
    if (!entries || !FillDibPalette(picture.data, picture.size, picture.layout, entries.get())) {
        return nullptr;
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(entries.get()));
}

} // namespace

DeviceCopy& DeviceCopy::operator=(DeviceCopy&& other) noexcept {
    if (this != &other) {
        reset();
        m_hMemory = std::move(other.m_hMemory);
        m_hBitmap = std::move(other.m_hBitmap);
        m_hPrevious = other.m_hPrevious;
        other.m_hPrevious = nullptr;
    }
    return *this;
}

bool DeviceCopy::Keep(HDC dc, unique_hbitmap bitmap) {
    reset();
    unique_memdc memory(CreateCompatibleDC(dc));
    if (!bitmap || !memory) {
        return false;
    }
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    if (previous == nullptr || previous == HGDI_ERROR) {
        return false;
    }
    m_hMemory = std::move(memory);
    m_hBitmap = std::move(bitmap);
    m_hPrevious = previous;
    return true;
}

void DeviceCopy::reset() {
    if (m_hMemory && m_hPrevious != nullptr) {
        SelectObject(m_hMemory.get(), m_hPrevious);
    }
    m_hPrevious = nullptr;
    m_hMemory.reset();
    m_hBitmap.reset();
}

int ScaleToDpi(int pixels, int dpi) {
    return dpi > kLayoutDpi ? MulDiv(pixels, dpi, kLayoutDpi) : pixels;
}

PaintSurface SurfaceOf(HDC dc) {
    PaintSurface surface;
    if (GetObjectType(dc) == OBJ_MEMDC) {
        // A memory DC draws on its bitmap, whatever the display is.
        BITMAP bitmap{};
        HGDIOBJ selected = GetCurrentObject(dc, OBJ_BITMAP);
        if (selected != nullptr && GetObjectA(selected, sizeof bitmap, &bitmap) != 0) {
            surface.bitsPerPixel = bitmap.bmBitsPixel * bitmap.bmPlanes;
        }
    } else {
        surface.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    }
    return surface;
}

PictureCache::Picture* PictureCache::Find(HMODULE module, uint16_t id, const uint8_t* data,
                                          size_t size, HWND display) {
    ++m_nUse;
    Picture* slot = &m_Pictures[0];
    for (Picture& p : m_Pictures) {
        if (p.data != nullptr && p.module == module && p.id == id && p.data == data &&
            p.size == size) {
            slot = &p;
            if (p.generation == m_nGeneration) {
                p.lastUse = m_nUse;
                return &p;
            }
            break; // seen before the display changed: read again in its place
        }
        if (p.lastUse < slot->lastUse) {
            slot = &p;
        }
    }
    *slot = Picture{};
    Picture read;
    read.module = module;
    read.id = id;
    read.data = data;
    read.size = size;
    // A resource whose header or colour table claims more than it holds is
    // treated as missing: GDI would read past its end.
    if (!ReadDibLayout(data, size, &read.layout)) {
        return nullptr;
    }
    ClientDC dc(display);
    if (dc.get() == nullptr) {
        return nullptr;
    }
    read.dpiX = GetDeviceCaps(dc.get(), LOGPIXELSX);
    read.dpiY = GetDeviceCaps(dc.get(), LOGPIXELSY);
    read.palette.reset(MakePalette(read, dc.get()));
    read.generation = m_nGeneration;
    read.lastUse = m_nUse;
    *slot = std::move(read);
    return slot;
}

bool PictureCache::MakeCopy(Picture* picture, HDC dc, const PaintSurface& surface, int width,
                            int height) {
    if (picture->copy && picture->surface == surface && picture->width == width &&
        picture->height == height) {
        return true;
    }
    picture->copy.reset();
    const auto* info = reinterpret_cast<const BITMAPINFO*>(picture->data);
    const uint8_t* bits = picture->data + picture->layout.bitsOffset;
    unique_hbitmap copy;
    if (width == picture->layout.width && height == picture->layout.height) {
        copy.reset(CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS));
    } else {
        copy.reset(CreateCompatibleBitmap(dc, width, height));
        unique_memdc memory(CreateCompatibleDC(dc));
        if (!copy || !memory) {
            return false;
        }
        SelectObjectScope select(memory.get(), copy.get());
        HPALETTE previous = nullptr;
        if (surface.palette && picture->palette) {
            previous = SelectPalette(memory.get(), picture->palette.get(), FALSE);
            RealizePalette(memory.get());
        }
        // Halftone averages the pixels a scaled picture puts into one, and
        // wants the brush origin set after it is chosen.
        SetStretchBltMode(memory.get(), HALFTONE);
        SetBrushOrgEx(memory.get(), 0, 0, nullptr);
        const int rows =
            StretchDIBits(memory.get(), 0, 0, width, height, 0, 0, picture->layout.width,
                          picture->layout.height, bits, info, DIB_RGB_COLORS, SRCCOPY);
        if (previous != nullptr) {
            SelectPalette(memory.get(), previous, FALSE);
        }
        if (rows == 0 || rows == static_cast<int>(GDI_ERROR)) {
            return false;
        }
    }
    if (!picture->copy.Keep(dc, std::move(copy))) {
        return false;
    }
    picture->surface = surface;
    picture->width = width;
    picture->height = height;
    ++m_nCopiesMade;
    return true;
}

} // namespace krx
