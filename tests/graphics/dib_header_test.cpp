// Bitmap header readers: where the bits start for both header kinds and
// every bit depth, the palette decision, and hostile headers that must never
// make the readers look past the data. Also checks the picture library's
// real resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "graphics/dib_header.h"
#include "common/resource_ids.h"
#include "ui/status_tables.h"

namespace {

using krx::DibLayout;

void Put16(std::vector<uint8_t>& d, size_t at, uint16_t v) {
    std::memcpy(&d[at], &v, 2);
}
void Put32(std::vector<uint8_t>& d, size_t at, uint32_t v) {
    std::memcpy(&d[at], &v, 4);
}

uint32_t RowBytes(uint32_t width, uint32_t bits) {
    return ((width * bits + 31) / 32) * 4;
}

// A DIB with a 40-byte (or other) header, `tableBytes` of colour table and
// a full set of pixel rows.
std::vector<uint8_t> InfoDib(uint16_t bits, uint32_t clrUsed, uint32_t tableBytes,
                             int32_t width = 8, int32_t height = 4, uint32_t headerSize = 40,
                             uint32_t compression = 0) {
    uint32_t absHeight = height < 0 ? -height : height;
    std::vector<uint8_t> d(headerSize + tableBytes + RowBytes(width, bits) * absHeight, 0);
    Put32(d, 0, headerSize);
    Put32(d, 4, static_cast<uint32_t>(width));
    Put32(d, 8, static_cast<uint32_t>(height));
    Put16(d, 12, 1);
    Put16(d, 14, bits);
    if (headerSize >= 20) {
        Put32(d, 16, compression);
    }
    if (headerSize >= 36) {
        Put32(d, 32, clrUsed);
    }
    return d;
}

std::vector<uint8_t> CoreDib(uint16_t bits, uint32_t tableBytes, uint16_t width = 8,
                             uint16_t height = 4) {
    std::vector<uint8_t> d(12 + tableBytes + RowBytes(width, bits) * height, 0);
    Put32(d, 0, 12);
    Put16(d, 4, width);
    Put16(d, 6, height);
    Put16(d, 8, 1);
    Put16(d, 10, bits);
    return d;
}

struct OffsetCase {
    const char* label;
    std::vector<uint8_t> dib;
    uint32_t bitsOffset;
    uint32_t colourCount;
};

TEST(DibHeader, BitsStartAfterHeaderAndColourTableForEveryDepth) {
    const OffsetCase cases[] = {
        {"info 1 bit, count 0", InfoDib(1, 0, 8), 40 + 4 * 2, 2},
        {"info 4 bit, count 0", InfoDib(4, 0, 64), 40 + 4 * 16, 16},
        {"info 8 bit, count 0", InfoDib(8, 0, 1024), 40 + 4 * 256, 256},
        {"info 4 bit, 10 used", InfoDib(4, 10, 40), 40 + 4 * 10, 10},
        {"info 8 bit, 200 used", InfoDib(8, 200, 800), 40 + 4 * 200, 200},
        {"info 24 bit, count 0", InfoDib(24, 0, 0), 40, 0},
        {"info 24 bit, 16 used", InfoDib(24, 16, 64), 40 + 64, 16},
        {"info 16 bit, count 0", InfoDib(16, 0, 0), 40, 0},
        {"info 32 bit, count 0", InfoDib(32, 0, 0), 40, 0},
        {"info 16 bit, masks", InfoDib(16, 0, 12, 8, 4, 40, krx::kDibBitfields), 52, 0},
        {"info 32 bit, masks", InfoDib(32, 0, 12, 8, 4, 40, krx::kDibBitfields), 52, 0},
        {"v5 header 32 bit, masks inside", InfoDib(32, 0, 0, 8, 4, 124, krx::kDibBitfields), 124,
         0},
        {"short header ignores count", InfoDib(4, 0, 64, 8, 4, 16), 16 + 64, 16},
        {"top-down 8 bit", InfoDib(8, 0, 1024, 8, -4), 40 + 1024, 256},
        {"core 1 bit", CoreDib(1, 6), 12 + 3 * 2, 2},
        {"core 4 bit", CoreDib(4, 48), 12 + 3 * 16, 16},
        {"core 8 bit", CoreDib(8, 768), 12 + 3 * 256, 256},
        {"core 24 bit", CoreDib(24, 0), 12, 0},
    };
    for (const OffsetCase& c : cases) {
        DibLayout layout;
        ASSERT_TRUE(krx::ReadDibLayout(c.dib.data(), c.dib.size(), &layout)) << c.label;
        EXPECT_EQ(layout.bitsOffset, c.bitsOffset) << c.label;
        EXPECT_EQ(layout.colourCount, c.colourCount) << c.label;
        EXPECT_EQ(krx::DibBits(c.dib.data(), c.dib.size()), c.dib.data() + c.bitsOffset) << c.label;
    }
}

TEST(DibHeader, WidthAndHeightComeFromTheFieldsOfEachHeaderKind) {
    std::vector<uint8_t> core = CoreDib(24, 0, 109, 86);
    EXPECT_EQ(krx::DibWidth(core.data(), core.size()), 109);
    EXPECT_EQ(krx::DibHeight(core.data(), core.size()), 86);

    std::vector<uint8_t> info = InfoDib(24, 0, 0, 100, 85);
    EXPECT_EQ(krx::DibWidth(info.data(), info.size()), 100);
    EXPECT_EQ(krx::DibHeight(info.data(), info.size()), 85);

    // A top-down picture is as tall as its magnitude, not 65536 - 85.
    std::vector<uint8_t> topDown = InfoDib(24, 0, 0, 100, -85);
    EXPECT_EQ(krx::DibHeight(topDown.data(), topDown.size()), 85);
}

struct BadCase {
    const char* label;
    std::vector<uint8_t> dib;
};

TEST(DibHeader, HeadersThatPointPastTheDataAreRejected) {
    std::vector<BadCase> cases;
    {
        std::vector<uint8_t> d = InfoDib(8, 0, 1024);
        Put32(d, 0, static_cast<uint32_t>(d.size() + 1));
        cases.push_back({"header size one past the end", d});
        Put32(d, 0, 0xFFFFFFF0u);
        cases.push_back({"header size near 4 GB", d});
        Put32(d, 0, 0);
        cases.push_back({"header size 0", d});
        Put32(d, 0, 11);
        cases.push_back({"header size 11", d});
        Put32(d, 0, 14);
        cases.push_back({"header size 14 (no bit count)", d});
    }
    {
        std::vector<uint8_t> d = InfoDib(8, 0x40000000u, 1024);
        cases.push_back({"colours used wrapping to 0 in 32 bits", d});
        Put32(d, 32, 0xFFFFFFFFu);
        cases.push_back({"colours used 0xFFFFFFFF", d});
        Put32(d, 32, 257);
        cases.push_back({"colours used one entry past the end", d});
    }
    {
        std::vector<uint8_t> d = InfoDib(8, 0, 1024);
        d.pop_back();
        cases.push_back({"pixel bits one byte short", d});
        d.resize(40 + 1000);
        cases.push_back({"colour table cut short", d});
    }
    {
        std::vector<uint8_t> d = InfoDib(8, 0, 1024, 0x7FFFFFFF, 1);
        d.resize(40 + 1024 + 64);
        cases.push_back({"width far past the bits", d});
    }
    {
        std::vector<uint8_t> d = InfoDib(8, 0, 1024, 8, 4, 40, krx::kDibRle8);
        cases.push_back({"run-length bits without a size", d});
        Put32(d, 20, static_cast<uint32_t>(d.size()));
        cases.push_back({"run-length size past the end", d});
    }
    {
        std::vector<uint8_t> d = CoreDib(8, 768);
        d.resize(12 + 700);
        cases.push_back({"core colour table cut short", d});
    }
    cases.push_back({"unknown bit count", InfoDib(7, 0, 0)});
    cases.push_back({"unknown compression", InfoDib(24, 0, 0, 8, 4, 40, 4)});
    cases.push_back({"three bytes", std::vector<uint8_t>{12, 0, 0}});

    for (const BadCase& c : cases) {
        DibLayout layout;
        EXPECT_FALSE(krx::ReadDibLayout(c.dib.data(), c.dib.size(), &layout)) << c.label;
        EXPECT_EQ(krx::DibBits(c.dib.data(), c.dib.size()), nullptr) << c.label;
        EXPECT_EQ(krx::DibWidth(c.dib.data(), c.dib.size()), 0) << c.label;
    }
    EXPECT_FALSE(krx::ReadDibLayout(nullptr, 100, nullptr));
}

// Whatever the bytes, an accepted layout lies inside the data: bits and one
// full picture of rows, and a palette read stays inside too.
TEST(DibHeader, RandomHeadersNeverReachPastTheData) {
    std::mt19937 random(12345);
    const std::vector<uint8_t> seeds[] = {InfoDib(8, 0, 1024), InfoDib(4, 3, 12), CoreDib(8, 768),
                                          InfoDib(32, 0, 12, 8, 4, 40, krx::kDibBitfields)};
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> d = seeds[round % 4];
        int flips = 1 + random() % 4;
        for (int f = 0; f < flips; ++f) {
            size_t at = random() % (d.size() < 48 ? d.size() : 48);
            d[at] = static_cast<uint8_t>(random());
        }
        d.resize(random() % (d.size() + 1));
        DibLayout layout;
        if (!krx::ReadDibLayout(d.data(), d.size(), &layout)) {
            continue;
        }
        ++accepted;
        uint64_t end = layout.bitsOffset;
        if (layout.compression == krx::kDibRgb || layout.compression == krx::kDibBitfields) {
            end += static_cast<uint64_t>(RowBytes(layout.width, layout.bitCount)) * layout.height;
        }
        ASSERT_LE(end, d.size()) << "round " << round;
        ASSERT_LE(layout.colourTableOffset +
                      static_cast<uint64_t>(layout.colourEntrySize) * layout.colourCount,
                  layout.bitsOffset)
            << "round " << round;
        krx::DibLogPalette palette;
        krx::FillDibPalette(d.data(), d.size(), layout, &palette); // must not read past
    }
    EXPECT_GT(accepted, 0);
}

struct PaletteCase {
    const char* label;
    uint32_t colourCount;
    int displayBits;
    int rasterCaps;
    bool wanted;
};

TEST(DibHeader, PaletteOnlyFor256ColoursOnPaletteDisplaysOf5To8Bits) {
    const PaletteCase cases[] = {
        {"256 colours, 8-bit palette display", 256, 8, 0x100, true},
        {"256 colours, 5-bit palette display", 256, 5, 0x100, true},
        {"256 colours, 4-bit display", 256, 4, 0x100, false},
        {"256 colours, 16-bit display", 256, 16, 0x100, false},
        {"256 colours, 24-bit display", 256, 24, 0x100, false},
        {"256 colours, 32-bit display", 256, 32, 0x100, false},
        {"256 colours, no palette capability", 256, 8, 0x0FF, false},
        {"200 colours", 200, 8, 0x100, false},
        {"16 colours", 16, 8, 0x100, false},
        {"24 bit (no table)", 0, 8, 0x100, false},
    };
    for (const PaletteCase& c : cases) {
        DibLayout layout;
        layout.colourCount = c.colourCount;
        EXPECT_EQ(krx::WantsPalette(layout, c.displayBits, c.rasterCaps), c.wanted) << c.label;
    }
    // An 8-bit bitmap that leaves colours-used at 0 counts as 256 colours.
    std::vector<uint8_t> d = InfoDib(8, 0, 1024);
    DibLayout layout;
    ASSERT_TRUE(krx::ReadDibLayout(d.data(), d.size(), &layout));
    EXPECT_TRUE(krx::WantsPalette(layout, 8, 0x100));
}

TEST(DibHeader, PaletteEntriesAreRedGreenBlueFromTheColourTable) {
    std::vector<uint8_t> info = InfoDib(8, 0, 1024);
    std::vector<uint8_t> core = CoreDib(8, 768);
    for (int i = 0; i < 256; ++i) {
        // Stored blue, green, red (and a spare byte in the 40-byte form).
        info[40 + 4 * i + 0] = static_cast<uint8_t>(i);
        info[40 + 4 * i + 1] = static_cast<uint8_t>(255 - i);
        info[40 + 4 * i + 2] = static_cast<uint8_t>(i / 2);
        info[40 + 4 * i + 3] = 0x77;
        core[12 + 3 * i + 0] = static_cast<uint8_t>(i);
        core[12 + 3 * i + 1] = static_cast<uint8_t>(255 - i);
        core[12 + 3 * i + 2] = static_cast<uint8_t>(i / 2);
    }
    for (const auto* d : {&info, &core}) {
        DibLayout layout;
        ASSERT_TRUE(krx::ReadDibLayout(d->data(), d->size(), &layout));
        krx::DibLogPalette palette{};
        ASSERT_TRUE(krx::FillDibPalette(d->data(), d->size(), layout, &palette));
        EXPECT_EQ(palette.version, 0x300);
        EXPECT_EQ(palette.entryCount, 256);
        for (int i : {0, 1, 128, 255}) {
            EXPECT_EQ(palette.entries[i].red, i / 2) << (layout.core ? "core " : "info ") << i;
            EXPECT_EQ(palette.entries[i].green, 255 - i) << i;
            EXPECT_EQ(palette.entries[i].blue, i) << i;
            EXPECT_EQ(palette.entries[i].flags, 0) << i;
        }
    }
    std::vector<uint8_t> sixteen = InfoDib(4, 0, 64);
    DibLayout layout;
    ASSERT_TRUE(krx::ReadDibLayout(sixteen.data(), sixteen.size(), &layout));
    krx::DibLogPalette palette{};
    EXPECT_FALSE(krx::FillDibPalette(sixteen.data(), sixteen.size(), layout, &palette));
}

// The picture library's bitmaps are what the status window expects: the
// right sizes, 256 colours, and both header kinds present.
TEST(PictureLibrary, HoldsEveryPictureOfTheStatusWindowAt256Colours) {
    HMODULE pictures = LoadLibraryExA("kitpict.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(pictures, nullptr) << GetLastError();
    // The pictures of every status class.
    std::set<uint32_t> status;
    for (int c = -1; c < krx::kStatusClassCount; ++c) {
        for (uint32_t id : krx::PictureBitmaps(krx::StatusDisplayFor(0, c).pictureCategory)) {
            status.insert(id);
        }
    }
    const int progress[] = {589, 590, 591};
    bool sawCore = false, sawInfo = false;
    auto check = [&](int id, int width, int height) {
        HRSRC found = FindResourceA(pictures, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
        ASSERT_NE(found, nullptr) << id;
        const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(pictures, found)));
        DibLayout layout;
        ASSERT_TRUE(krx::ReadDibLayout(data, SizeofResource(pictures, found), &layout)) << id;
        EXPECT_EQ(layout.width, width) << id;
        EXPECT_EQ(layout.height, height) << id;
        EXPECT_EQ(layout.colourCount, 256u) << id;
        (layout.core ? sawCore : sawInfo) = true;
    };
    for (uint32_t id : status) {
        check(static_cast<int>(id), 109, 86);
    }
    for (int id : progress) {
        check(id, 100, 85);
    }
    EXPECT_TRUE(sawCore);
    EXPECT_TRUE(sawInfo);
    FreeLibrary(pictures);
}

} // namespace
