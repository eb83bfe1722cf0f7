// Where the status window goes: the default position of each view and the
// check that a remembered position still lies on the screen. Pure
// arithmetic, without the window system.
#pragma once

#include <cstdint>

namespace krx {

// What a remembered coordinate reads as when nothing is stored.
constexpr int32_t kUnsetWindowPosition = 0x70000000;

struct PlacementInput {
    int viewType;
    bool forceDefault;
    int32_t screenWidth;                 // full-screen work width
    int32_t screenHeight;                // full-screen height plus the caption height
    int32_t currentWidth, currentHeight; // of the window now
    int32_t newWidth, newHeight;         // of the window for the view
    int32_t candidateX, candidateY;      // remembered or current position
};

struct Placement {
    bool place; // false: the view has no placement
    int32_t x, y;
    bool xDefault, yDefault; // the coordinate is the view's default
};

// Default position: Popup and Detail centred by the current size, Progress
// in the bottom-right corner by the new size.
bool DefaultPosition(const PlacementInput& in, int32_t* x, int32_t* y);

// The position to use: the candidate while the window would still reach
// the screen on that axis, else the default.
Placement ComputePlacement(const PlacementInput& in);

} // namespace krx
