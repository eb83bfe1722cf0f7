// Step tables of the step-by-step guide: a data resource of the language
// resource library holding the step count, eight bytes per step (text id,
// frame count, first bitmap id, flags; 16-bit little-endian words) and the
// zero-terminated dialog title. Pure code, no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace krx {

struct GuideStep {
    uint16_t textId;
    uint16_t frameCount;  // 0: no picture
    uint16_t firstBitmap; // frames are firstBitmap, firstBitmap + 1, ...
    uint16_t flags;
};

// Step flags.
constexpr uint16_t kGuideOfferOk = 0x1;
constexpr uint16_t kGuideOfferNext = 0x2;
constexpr uint16_t kGuideEnableBack = 0x4;
constexpr uint16_t kGuideShowFinish = 0x8;

struct GuideTable {
    std::vector<GuideStep> steps;
    std::string title;
    uint16_t declaredSteps = 0; // the count the data claims
};

// Reads a step table of `size` bytes. A count larger than the data holds is
// cut to the steps that lie wholly inside it, and the title then is empty;
// a title without its terminator ends with the data. False when not even
// one step is there.
bool ParseGuideTable(const unsigned char* data, size_t size, GuideTable* table);

// The bitmap ids of a step's animation.
std::vector<unsigned> GuideFrameIds(const GuideStep& step);

} // namespace krx
