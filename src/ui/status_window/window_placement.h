// Where the status window goes: the default position of each view inside
// the work area of its monitor, the check that a remembered position still
// lies on that monitor, and the move that keeps the whole window inside it.
// Pure arithmetic, without the window system.
#pragma once

#include <cstdint>

namespace krx {

// What a remembered coordinate reads as when nothing is stored.
constexpr int32_t kUnsetWindowPosition = 0x70000000;

// The part of a monitor that windows may use (without the taskbar), in
// screen coordinates; right and bottom are exclusive.
struct WorkArea {
    int32_t left, top, right, bottom;
};

struct PlacementInput {
    int viewType;
    bool forceDefault;
    WorkArea work;                       // where the window goes
    int32_t currentWidth, currentHeight; // of the window now
    int32_t newWidth, newHeight;         // of the window for the view
    int32_t candidateX, candidateY;      // remembered or current position
};

struct Placement {
    bool place; // false: the view has no placement
    int32_t x, y;
    bool xDefault, yDefault; // the coordinate is the view's default
    bool clamped;            // moved to keep the window inside the work area
};

// Default position: Popup and Detail centred by the current size, Progress
// in the bottom-right corner by the new size.
bool DefaultPosition(const PlacementInput& in, int32_t* x, int32_t* y);

// Whether a window of that size at x, y reaches into the work area on both
// axes (a corner touching it is enough).
bool ReachesWorkArea(const WorkArea& work, int32_t x, int32_t y, int32_t width, int32_t height);

// Moves x, y so that a window of that size lies wholly inside the work
// area; one larger than the area keeps its top-left corner (and caption) in
// it. True when something moved.
bool ClampIntoWorkArea(const WorkArea& work, int32_t width, int32_t height, int32_t* x, int32_t* y);

// The position to use: the candidate while the window would still reach
// the work area on that axis, else the default; then moved wholly inside.
Placement ComputePlacement(const PlacementInput& in);

} // namespace krx
