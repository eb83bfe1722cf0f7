// Native fuzz target (clang libFuzzer) for the bitmap header readers and the
// label cutting rule: both are pure code that reads data it did not make.
//
// Built and run by scripts/fuzz.sh with the other targets.
//
// The input is copied into a buffer of exactly its size, so that reading one
// byte past it is an address-sanitizer error.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "graphics/dib_header.h"
#include "graphics/fitted_text.h"

namespace {

struct Described {
    uint64_t bits; // first byte of the pixels
    uint64_t end;  // one past the last byte of the pixels
};

// What a header describes, worked out from its fields on its own terms:
// header, colour masks, colour table, then the rows of pixels (or the
// encoded size). Only called for headers the reader accepted.
Described Describe(const uint8_t* d) {
    uint32_t headerSize;
    std::memcpy(&headerSize, d, 4);
    uint16_t bits;
    uint64_t width, height, tableBytes, imageBytes;
    if (headerSize == 12) {
        uint16_t w, h;
        std::memcpy(&w, d + 4, 2);
        std::memcpy(&h, d + 6, 2);
        std::memcpy(&bits, d + 10, 2);
        width = w;
        height = h;
        tableBytes = bits <= 8 ? 3ull << bits : 0;
        uint64_t start = headerSize + tableBytes;
        return {start, start + ((width * bits + 31) / 32) * 4 * height};
    }
    uint8_t h[40] = {};
    std::memcpy(h, d, headerSize < 40 ? headerSize : 40);
    int32_t w, ht;
    uint32_t compression, sizeImage, clrUsed;
    std::memcpy(&w, h + 4, 4);
    std::memcpy(&ht, h + 8, 4);
    std::memcpy(&bits, h + 14, 2);
    std::memcpy(&compression, h + 16, 4);
    std::memcpy(&sizeImage, h + 20, 4);
    std::memcpy(&clrUsed, h + 32, 4);
    width = static_cast<uint64_t>(w);
    height = ht < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(ht)) : static_cast<uint64_t>(ht);
    if (headerSize < 36) {
        clrUsed = 0; // no such field
    }
    uint64_t colours = clrUsed != 0 ? clrUsed : bits <= 8 ? 1ull << bits : 0;
    tableBytes = 4 * colours + (compression == 3 && headerSize == 40 ? 12 : 0);
    imageBytes =
        compression == 1 || compression == 2 ? sizeImage : ((width * bits + 31) / 32) * 4 * height;
    uint64_t start = headerSize + tableBytes;
    return {start, start + imageBytes};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
    if (size != 0) {
        std::memcpy(exact.get(), data, size);
    }
    krx::DibLayout layout;
    if (krx::ReadDibLayout(exact.get(), size, &layout)) {
        // An accepted header describes nothing past the data: touch the last
        // byte it describes (the address sanitizer checks the read), and
        // check that the reader's pixel bits start where the fields say.
        Described described = Describe(exact.get());
        if (described.end > size || described.bits != layout.bitsOffset ||
            krx::DibBits(exact.get(), size) != exact.get() + described.bits) {
            __builtin_trap();
        }
        volatile uint8_t last = exact[described.end - 1];
        (void)last;
        krx::DibLogPalette palette;
        krx::FillDibPalette(exact.get(), size, layout, &palette);
        krx::WantsPalette(layout, 8, krx::kRasterCapsPalette);
    }
    krx::DibWidth(exact.get(), size);
    krx::DibBits(exact.get(), size);

    // The same bytes as a label text, in a double-byte code page. A label is
    // one line of a window: its first 512 bytes are plenty, and the cut is
    // quadratic in the length, which would slow the header runs down.
    std::string text(reinterpret_cast<const char*>(data), size < 512 ? size : 512);
    auto lead = [](unsigned char b) {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    };
    long width = size ? data[0] : 0;
    std::string shown = krx::FitText(
        text, width, [](const std::string& s) { return static_cast<long>(s.size()) * 3; }, lead);
    if (shown.size() > text.size() + 3) {
        __builtin_trap();
    }
    return 0;
}
