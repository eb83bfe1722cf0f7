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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
    if (size != 0) {
        std::memcpy(exact.get(), data, size);
    }
    krx::DibLayout layout;
    if (krx::ReadDibLayout(exact.get(), size, &layout)) {
        // Touch the first and the last byte the readers promise are inside.
        volatile uint8_t first = exact[layout.bitsOffset < size ? layout.bitsOffset : 0];
        (void)first;
        krx::DibLogPalette palette;
        krx::FillDibPalette(exact.get(), size, layout, &palette);
        krx::WantsPalette(layout, 8, krx::kRasterCapsPalette);
    }
    krx::DibWidth(exact.get(), size);
    krx::DibBits(exact.get(), size);

    // The same bytes as a label text, in a double-byte code page.
    std::string text(reinterpret_cast<const char*>(data), size);
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
