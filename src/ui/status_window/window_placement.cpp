// Default positions of the status window and its fit in the work area.
#include "ui/status_window/window_placement.h"

#include "ui/status_window/view_table.h"

namespace krx {

namespace {

// A candidate is kept when its near edge is not beyond the area and its far
// edge is not before it; 64-bit so that a stored coordinate near the 32-bit
// limit cannot wrap.
bool Reaches(int32_t candidate, int32_t size, int32_t areaStart, int32_t areaEnd) {
    const int64_t start = candidate;
    return start <= areaEnd && start + size >= areaStart;
}

// The start nearest `start` at which [start, start + size) lies in
// [areaStart, areaEnd); the area's start when the size does not fit.
int32_t Clamp(int32_t start, int32_t size, int32_t areaStart, int32_t areaEnd) {
    const int64_t last = static_cast<int64_t>(areaEnd) - size;
    int64_t value = start;
    if (value > last) {
        value = last;
    }
    if (value < areaStart) {
        value = areaStart;
    }
    return static_cast<int32_t>(value);
}

} // namespace

bool DefaultPosition(const PlacementInput& in, int32_t* x, int32_t* y) {
    const int32_t width = in.work.right - in.work.left;
    const int32_t height = in.work.bottom - in.work.top;
    switch (in.viewType) {
    case kViewPopup:
    case kViewDetail:
        *x = in.work.left + (width - in.currentWidth) / 2;
        *y = in.work.top + (height - in.currentHeight) / 2;
        return true;
    case kViewProgress:
        *x = in.work.right - in.newWidth;
        *y = in.work.bottom - in.newHeight;
        return true;
    default:
        return false;
    }
}

bool ReachesWorkArea(const WorkArea& work, int32_t x, int32_t y, int32_t width, int32_t height) {
    return Reaches(x, width, work.left, work.right) && Reaches(y, height, work.top, work.bottom);
}

bool ClampIntoWorkArea(const WorkArea& work, int32_t width, int32_t height, int32_t* x,
                       int32_t* y) {
    const int32_t newX = Clamp(*x, width, work.left, work.right);
    const int32_t newY = Clamp(*y, height, work.top, work.bottom);
    const bool moved = newX != *x || newY != *y;
    *x = newX;
    *y = newY;
    return moved;
}

Placement ComputePlacement(const PlacementInput& in) {
    Placement result = {};
    int32_t defaultX = 0;
    int32_t defaultY = 0;
    if (!DefaultPosition(in, &defaultX, &defaultY)) {
        return result;
    }
    result.place = true;
    const bool keepX =
        !in.forceDefault && Reaches(in.candidateX, in.newWidth, in.work.left, in.work.right);
    const bool keepY =
        !in.forceDefault && Reaches(in.candidateY, in.newHeight, in.work.top, in.work.bottom);
    result.x = keepX ? in.candidateX : defaultX;
    result.y = keepY ? in.candidateY : defaultY;
    result.xDefault = !keepX;
    result.yDefault = !keepY;
    result.clamped = ClampIntoWorkArea(in.work, in.newWidth, in.newHeight, &result.x, &result.y);
    return result;
}

} // namespace krx
