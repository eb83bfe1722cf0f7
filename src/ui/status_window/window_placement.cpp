// Default positions and the on-screen check of the status window.
#include "ui/status_window/window_placement.h"

#include "ui/status_window/view_table.h"

namespace krx {

namespace {

// A candidate is kept when its near edge is not beyond the screen and its
// far edge is not before it; 64-bit so that a stored coordinate near the
// 32-bit limit cannot wrap.
bool Reaches(int32_t candidate, int32_t size, int32_t screen) {
    const int64_t start = candidate;
    return start <= screen && start + size >= 0;
}

} // namespace

bool DefaultPosition(const PlacementInput& in, int32_t* x, int32_t* y) {
    switch (in.viewType) {
    case kViewPopup:
    case kViewDetail:
        *x = (in.screenWidth - in.currentWidth) / 2;
        *y = (in.screenHeight - in.currentHeight) / 2;
        return true;
    case kViewProgress:
        *x = in.screenWidth - in.newWidth;
        *y = in.screenHeight - in.newHeight;
        return true;
    default:
        return false;
    }
}

Placement ComputePlacement(const PlacementInput& in) {
    Placement result = {};
    int32_t defaultX = 0;
    int32_t defaultY = 0;
    if (!DefaultPosition(in, &defaultX, &defaultY)) {
        return result;
    }
    result.place = true;
    const bool keepX = !in.forceDefault && Reaches(in.candidateX, in.newWidth, in.screenWidth);
    const bool keepY = !in.forceDefault && Reaches(in.candidateY, in.newHeight, in.screenHeight);
    result.x = keepX ? in.candidateX : defaultX;
    result.y = keepY ? in.candidateY : defaultY;
    result.xDefault = !keepX;
    result.yDefault = !keepY;
    return result;
}

} // namespace krx
