// Header readers of bitmap resources; see dib_header.h.
#include "graphics/dib_header.h"

#include <cstring>

namespace krx {

namespace {

bool KnownBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes of one uncompressed picture: rows padded to 32 bits.
uint64_t UncompressedImageBytes(uint64_t width, uint64_t height, uint16_t bitCount) {
    uint64_t stride = ((width * bitCount + 31) / 32) * 4;
    return stride * height;
}

bool ReadCore(const uint8_t* data, size_t size, DibLayout* out) {
    if (size < kDibCoreHeaderSize) {
        return false;
    }
    DibCoreHeader h;
    std::memcpy(&h, data, sizeof h);
    if (!KnownBitCount(h.bitCount)) {
        return false;
    }
    out->core = true;
    out->headerSize = kDibCoreHeaderSize;
    out->width = h.width;
    out->height = h.height;
    out->bitCount = h.bitCount;
    out->compression = kDibRgb;
    out->colourEntrySize = 3;
    out->colourTableOffset = kDibCoreHeaderSize;
    // Core bitmaps have no colours-used field: paletted depths carry a full table.
    out->colourCount = h.bitCount <= 8 ? (1u << h.bitCount) : 0;
    return true;
}

bool ReadInfo(const uint8_t* data, size_t size, uint32_t headerSize, DibLayout* out) {
    // Versions of the header shorter than 40 bytes end after the bit count
    // or later; fields they lack read as 0.
    if (headerSize < 16 || headerSize > size) {
        return false;
    }
    DibInfoHeader h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(&h, data, headerSize < sizeof h ? headerSize : sizeof h);
    if (!KnownBitCount(h.bitCount) || h.width < 0) {
        return false;
    }
    if (h.compression != kDibRgb && h.compression != kDibBitfields && h.compression != kDibRle8 &&
        h.compression != kDibRle4) {
        return false;
    }
    int64_t height = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    out->core = false;
    out->headerSize = headerSize;
    out->width = static_cast<uint16_t>(h.width & 0xFFFF);
    out->height = static_cast<uint16_t>(height & 0xFFFF);
    out->bitCount = h.bitCount;
    out->compression = h.compression;
    out->colourEntrySize = 4;
    uint32_t used = headerSize >= 36 ? h.clrUsed : 0;
    if (used == 0 && h.bitCount <= 8) {
        used = 1u << h.bitCount;
    }
    out->colourCount = used;
    // The three colour masks of a 40-byte header come before any colour table.
    uint32_t masks = (h.compression == kDibBitfields && headerSize == kDibInfoHeaderSize) ? 12 : 0;
    out->colourTableOffset = headerSize + masks;
    return true;
}

} // namespace

bool ReadDibLayout(const uint8_t* data, size_t size, DibLayout* layout) {
    if (data == nullptr || layout == nullptr || size < 4) {
        return false;
    }
    uint32_t headerSize;
    std::memcpy(&headerSize, data, sizeof headerSize);
    DibLayout l;
    bool ok = headerSize == kDibCoreHeaderSize ? ReadCore(data, size, &l)
                                               : ReadInfo(data, size, headerSize, &l);
    if (!ok) {
        return false;
    }
    // 64-bit sums: colour counts and header sizes come from the resource.
    uint64_t bits = static_cast<uint64_t>(l.colourTableOffset) +
                    static_cast<uint64_t>(l.colourEntrySize) * l.colourCount;
    if (bits > size) {
        return false;
    }
    uint64_t image;
    if (l.compression == kDibRle8 || l.compression == kDibRle4) {
        DibInfoHeader h;
        std::memset(&h, 0, sizeof h);
        std::memcpy(&h, data, l.headerSize < sizeof h ? l.headerSize : sizeof h);
        if (h.sizeImage == 0) {
            return false; // an encoded picture must say how long it is
        }
        image = h.sizeImage;
    } else {
        // The real width and height, not their low 16 bits: GDI reads them all.
        uint64_t width = l.width, height = l.height;
        if (!l.core) {
            int32_t w, hgt;
            std::memcpy(&w, data + 4, 4);
            std::memcpy(&hgt, data + 8, 4);
            width = static_cast<uint64_t>(w);
            height = hgt < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(hgt))
                             : static_cast<uint64_t>(hgt);
        }
        image = UncompressedImageBytes(width, height, l.bitCount);
    }
    if (image > size - bits) {
        return false;
    }
    l.bitsOffset = static_cast<uint32_t>(bits);
    *layout = l;
    return true;
}

uint16_t DibWidth(const uint8_t* data, size_t size) {
    DibLayout l;
    return ReadDibLayout(data, size, &l) ? l.width : 0;
}

uint16_t DibHeight(const uint8_t* data, size_t size) {
    DibLayout l;
    return ReadDibLayout(data, size, &l) ? l.height : 0;
}

const uint8_t* DibBits(const uint8_t* data, size_t size) {
    DibLayout l;
    return ReadDibLayout(data, size, &l) ? data + l.bitsOffset : nullptr;
}

bool WantsPalette(const DibLayout& layout, int displayBitsPerPixel, int rasterCaps) {
    return layout.colourCount == kPaletteColours && displayBitsPerPixel > 4 &&
           displayBitsPerPixel <= 8 && (rasterCaps & kRasterCapsPalette) != 0;
}

bool FillDibPalette(const uint8_t* data, size_t size, const DibLayout& layout,
                    DibLogPalette* palette) {
    if (data == nullptr || palette == nullptr || layout.colourCount != kPaletteColours) {
        return false;
    }
    uint64_t end = static_cast<uint64_t>(layout.colourTableOffset) +
                   static_cast<uint64_t>(layout.colourEntrySize) * kPaletteColours;
    if (end > size || layout.colourEntrySize < 3) {
        return false;
    }
    palette->version = 0x300;
    palette->entryCount = kPaletteColours;
    const uint8_t* entry = data + layout.colourTableOffset;
    for (uint32_t i = 0; i < kPaletteColours; ++i, entry += layout.colourEntrySize) {
        // Colour-table entries are stored blue, green, red.
        palette->entries[i] = DibPaletteEntry{entry[2], entry[1], entry[0], 0};
    }
    return true;
}

} // namespace krx
