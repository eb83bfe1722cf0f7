// Readers of the device-independent bitmaps kept in bitmap resources: the
// two header kinds, where the colour table and the pixel bits start, and
// whether a 256-colour palette should be built for them. Pure code (no
// <windows.h>) so that hostile resources can be fuzzed natively; nothing here
// reads a byte outside the data it is given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krx {

// The old-style header (12 bytes), as laid out in the resource.
struct DibCoreHeader {
    uint32_t size;
    uint16_t width;
    uint16_t height;
    uint16_t planes;
    uint16_t bitCount;
};
static_assert(sizeof(DibCoreHeader) == 12, "core header layout");

// The common header (40 bytes; later versions only add fields after it).
struct DibInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
static_assert(sizeof(DibInfoHeader) == 40, "info header layout");

constexpr uint32_t kDibCoreHeaderSize = 12;
constexpr uint32_t kDibInfoHeaderSize = 40;
constexpr uint32_t kDibRgb = 0; // uncompressed
constexpr uint32_t kDibRle8 = 1;
constexpr uint32_t kDibRle4 = 2;
constexpr uint32_t kDibBitfields = 3; // three colour masks after a 40-byte header
constexpr uint32_t kPaletteColours = 256;
constexpr int kRasterCapsPalette = 0x100;

// Where the parts of one DIB lie, as offsets from the header start.
struct DibLayout {
    uint32_t headerSize = 0;
    bool core = false;   // BITMAPCOREHEADER: three-byte colour entries
    uint16_t width = 0;  // low 16 bits of the width field
    uint16_t height = 0; // low 16 bits of the height (its magnitude)
    uint16_t bitCount = 0;
    uint32_t compression = kDibRgb;
    uint32_t colourCount = 0; // entries in the colour table
    uint32_t colourTableOffset = 0;
    uint32_t colourEntrySize = 4;
    uint32_t bitsOffset = 0; // first byte of the pixel bits
};

// Reads and checks the header of a DIB of `size` bytes. False when the
// header, the colour table or the pixel bits would lie outside the data, or
// the header is of no known kind; *layout is then unspecified.
bool ReadDibLayout(const uint8_t* data, size_t size, DibLayout* layout);

// Width, height and start of the pixel bits of a checked DIB; 0 / nullptr
// when the data is not a valid DIB.
uint16_t DibWidth(const uint8_t* data, size_t size);
uint16_t DibHeight(const uint8_t* data, size_t size);
const uint8_t* DibBits(const uint8_t* data, size_t size);

// A palette is worth building only for a 256-colour bitmap on a palette
// display of 5 to 8 bits per pixel.
bool WantsPalette(const DibLayout& layout, int displayBitsPerPixel, int rasterCaps);

// One entry of a logical palette, in the order GDI expects (PALETTEENTRY).
struct DibPaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

// The 1028-byte logical palette: version 0x300, 256 entries.
struct DibLogPalette {
    uint16_t version;
    uint16_t entryCount;
    DibPaletteEntry entries[kPaletteColours];
};
static_assert(sizeof(DibLogPalette) == 1028, "logical palette layout");

// Fills the palette from the colour table of a checked 256-colour DIB.
// False (palette untouched) when the layout has no 256-entry table.
bool FillDibPalette(const uint8_t* data, size_t size, const DibLayout& layout,
                    DibLogPalette* palette);

} // namespace krx
