// Classification rules: error codes first when the machine state is 0,
// warnings before the machine state otherwise; ink-out cases by which inks
// read empty, "RE"/"WE" or "NA".
#include "status/status_eval.h"

namespace krx {

namespace {

bool IsColourLowWarning(uint8_t code) {
    return code >= 0x11 && code <= 0x15;
}

// Class from the warning codes, or 0 when the first code is no ink warning.
int WarningClass(const ParsedStatusRecord& r) {
    if (r.warnCount < 1) {
        return 0;
    }
    if (r.warn[0] == 0x10) {
        return (r.warnCount >= 2 && IsColourLowWarning(r.warn[1])) ? 20 : 12;
    }
    if (IsColourLowWarning(r.warn[0])) {
        return 13;
    }
    return 0;
}

int InkOutClass(const ParsedStatusRecord& r) {
    const uint8_t black = r.ink[0];
    const bool zero0 = black == 0;
    const bool na0 = black == kInkNotAvailable;
    const bool rw0 = black == kInkReplace;
    bool zeroC = false;
    bool naC = false;
    bool rwC = false;
    for (int i = 1; i < kInkSlots; ++i) {
        const uint8_t level = r.ink[i];
        if (level == 0) {
            zeroC = true;
            break;
        }
        if (level == kInkNotAvailable) {
            naC = true;
            break;
        }
        if (level == kInkReplace) {
            rwC = true;
            break;
        }
    }
    if (rw0 && rwC)
        return 22;
    if (rw0)
        return 23;
    if (rwC)
        return 24;
    if (na0 && naC)
        return 25;
    if (na0)
        return 26;
    if (naC)
        return 27;
    if (zero0 && zeroC)
        return 2;
    if (zero0)
        return 3;
    if (zeroC)
        return 4;
    int smallest = 100;
    for (int i = 1; i < kInkSlots; ++i) {
        if (r.ink[i] < smallest) {
            smallest = r.ink[i];
        }
    }
    if (black == smallest)
        return 2;
    if (black > smallest)
        return 4;
    return 3;
}

} // namespace

uint16_t ClassifyStatus(const ParsedStatusRecord& r) {
    if (r.st != 0) {
        if (r.st == 8) {
            return 19;
        }
        int warning = WarningClass(r);
        if (warning != 0) {
            return static_cast<uint16_t>(warning);
        }
        switch (r.st) {
        case 2:
        case 3:
            return 11;
        case 4:
            return 1;
        case 7:
            return 10;
        case 1:
            return 17;
        default:
            return 0;
        }
    }
    switch (r.er) {
    case 0x00:
        return 14;
    case 0x01:
        return 18;
    case 0x04:
        return 6;
    case 0x05:
        return static_cast<uint16_t>(InkOutClass(r));
    case 0x06:
        return 5;
    case 0x11:
        return 21;
    default:
        return 9;
    }
}

void MapStatusClass(int statusClass, int* statusNumber, int* itemNumber) {
    const StatusClassRow& row = StatusClassRowFor(statusClass);
    if (statusNumber != nullptr) {
        *statusNumber = row.statusNumber;
    }
    if (itemNumber != nullptr) {
        *itemNumber = row.itemNumber;
    }
}

uint16_t InkStateMask(const ParsedStatusRecord& record, int statusClass) {
    int folded = statusClass;
    if (folded == 22 || folded == 25) {
        folded = 2;
    } else if (folded == 23 || folded == 26) {
        folded = 3;
    } else if (folded == 24 || folded == 27) {
        folded = 4;
    }
    int warning = 0;
    if (folded == 3 || folded == 4) {
        warning = WarningClass(record);
    }
    switch (folded) {
    case 2:
        return kInkBlackOut | kInkColourOut;
    case 3:
        return (warning == 13 || warning == 20) ? (kInkBlackOut | kInkColourLow) : kInkBlackOut;
    case 4:
        return (warning == 12 || warning == 20) ? (kInkColourOut | kInkBlackLow) : kInkColourOut;
    case 12:
        return kInkBlackLow;
    case 13:
        return kInkColourLow;
    case 20:
        return kInkBlackLow | kInkColourLow;
    default:
        return 0;
    }
}

} // namespace krx
