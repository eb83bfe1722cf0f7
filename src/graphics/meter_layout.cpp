// Progress meter layout; see meter_layout.h.
#include "graphics/meter_layout.h"

namespace krx {

MeterLayout ComputeMeterLayout(const MeterRect& client, MeterDirection direction, int32_t position,
                               int32_t minimum, int32_t maximum) {
    int32_t start, end;
    switch (direction) {
    case MeterDirection::TopToBottom:
        start = client.top;
        end = client.bottom - 1;
        break;
    case MeterDirection::RightToLeft:
        start = client.right - 1;
        end = client.left;
        break;
    case MeterDirection::BottomToTop:
        start = client.bottom - 1;
        end = client.top;
        break;
    case MeterDirection::LeftToRight:
    default:
        start = client.left;
        end = client.right - 1;
        break;
    }

    MeterLayout layout;
    int32_t shown = position < maximum ? position : maximum;
    layout.empty = shown <= minimum;

    // Product first, then the quotient truncated toward zero. Worked in 64
    // bits so that large page counts cannot overflow; an empty range (which
    // is always drawn empty) must not divide by zero.
    int32_t p = start;
    if (maximum != minimum) {
        int64_t product =
            (static_cast<int64_t>(position) - minimum) * (static_cast<int64_t>(end) - start);
        p = static_cast<int32_t>(start + product / (static_cast<int64_t>(maximum) - minimum));
    }

    layout.bar = client;
    layout.rest = client;
    switch (direction) {
    case MeterDirection::TopToBottom:
        layout.bar.bottom = layout.rest.top = p + 1;
        break;
    case MeterDirection::RightToLeft:
        layout.bar.left = layout.rest.right = p;
        break;
    case MeterDirection::BottomToTop:
        layout.bar.top = layout.rest.bottom = p;
        break;
    case MeterDirection::LeftToRight:
    default:
        layout.bar.right = layout.rest.left = p + 1;
        break;
    }
    return layout;
}

} // namespace krx
