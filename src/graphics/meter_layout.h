// Layout arithmetic of the progress meter: which part of the client area is
// the filled bar and which the rest, for a position in a range and one of
// four growth directions. Pure code without <windows.h>.
#pragma once

#include <cstdint>

namespace krx {

enum class MeterDirection : int32_t {
    LeftToRight = 0,
    TopToBottom = 1,
    RightToLeft = 2,
    BottomToTop = 3,
};

struct MeterRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const MeterRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const MeterRect& o) const { return !(*this == o); }
};

struct MeterLayout {
    bool empty = true; // nothing of the bar is drawn
    MeterRect bar;     // filled part
    MeterRect rest;    // unfilled part
};

// The bar edge grows from the client rectangle's start edge in proportion to
// position - minimum; the position is not clamped, so a position past the
// maximum reaches beyond the far edge (the window clips it). A range with
// maximum equal to minimum lays out an empty meter.
MeterLayout ComputeMeterLayout(const MeterRect& client, MeterDirection direction, int32_t position,
                               int32_t minimum, int32_t maximum);

} // namespace krx
