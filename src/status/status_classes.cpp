// One row per status class. Classes 7, 8, 15 and 16 are never the outcome of
// a reply; the status window sets 16 when a different printer answers.
#include "status/status_classes.h"

namespace krx {

namespace {

constexpr StatusClassRow kRows[kStatusClassCount] = {
    // class, status number, item, picture, message, trouble, ink kind
    {0, kStatusNoReply, kItemNoReply, kNoAnswerPictureCategory, IDS_STATUS_NO_ANSWER, kTroubleNone,
     kInkReplaceNone},
    {1, 1, 1, 1, IDS_STATUS_READY, kTroubleNone, kInkReplaceNone},
    {2, 10, 12, 10, IDS_STATUS_INKS_OUT, kTroubleInk, kInkReplaceBoth},
    {3, 10, 12, 2, IDS_STATUS_BLACK_INK_OUT, kTroubleInk, kInkReplaceBlack},
    {4, 10, 12, 8, IDS_STATUS_COLOR_INK_OUT, kTroubleInk, kInkReplaceColor},
    {5, 3, 12, 3, IDS_STATUS_PAPER_OUT, kTroubleNone, kInkReplaceNone},
    {6, 5, 12, 4, IDS_STATUS_PAPER_JAM, kTroublePaperJam, kInkReplaceNone},
    {7, 12, 12, 7, IDS_STATUS_UNDEFINED, kTroubleNone, kInkReplaceNone},
    {8, kStatusNoReply, kItemNoReply, kNoAnswerPictureCategory, IDS_STATUS_NO_ANSWER, kTroubleNone,
     kInkReplaceNone},
    {9, 12, 12, 7, IDS_STATUS_SERVICE_ERROR, kTroubleNone, kInkReplaceNone},
    {10, 1, 1, 1, IDS_STATUS_CLEANING, kTroubleNone, kInkReplaceNone},
    {11, 999, 999, 1, IDS_STATUS_PRINTING, kTroubleNone, kInkReplaceNone},
    {12, 9, 9, 2, IDS_STATUS_INK_LOW, kTroubleInk, kInkReplaceBlack},
    {13, 9, 9, 8, IDS_STATUS_COLOR_INK_LOW, kTroubleInk, kInkReplaceColor},
    {14, 12, 12, 7, IDS_STATUS_PRINTER_ERROR, kTroubleNone, kInkReplaceNone},
    {15, 12, 12, 7, IDS_STATUS_SERVICE_ERROR, kTroubleNone, kInkReplaceNone},
    {16, 12, 12, 7, IDS_STATUS_OTHER_PRINTER, kTroubleNone, kInkReplaceNone},
    {17, 14, 12, 1, IDS_STATUS_BUSY, kTroubleNone, kInkReplaceNone},
    {18, 14, 12, 1, IDS_STATUS_OFFLINE, kTroubleNone, kInkReplaceNone},
    {19, 10, 12, 1, IDS_STATUS_REPLACING_INK, kTroubleNone, kInkReplaceNone},
    {20, 9, 9, 10, IDS_STATUS_INK_LOW, kTroubleInk, kInkReplaceBoth},
    {21, 3, 12, 7, IDS_STATUS_TRAY_NOT_SET, kTroubleNone, kInkReplaceNone},
    {22, 10, 12, 10, IDS_STATUS_CARTRIDGES_UNKNOWN, kTroubleInk, kInkReplaceBoth},
    {23, 10, 12, 2, IDS_STATUS_BLACK_CARTRIDGE_UNKNOWN, kTroubleInk, kInkReplaceBlack},
    {24, 10, 12, 8, IDS_STATUS_COLOR_CARTRIDGE_UNKNOWN, kTroubleInk, kInkReplaceColor},
    {25, 10, 12, 10, IDS_STATUS_NO_CARTRIDGES, kTroubleInk, kInkReplaceBoth},
    {26, 10, 12, 2, IDS_STATUS_NO_BLACK_CARTRIDGE, kTroubleInk, kInkReplaceBlack},
    {27, 10, 12, 8, IDS_STATUS_NO_COLOR_CARTRIDGE, kTroubleInk, kInkReplaceColor},
};

constexpr StatusClassRow kUnknownClass = {
    -1, 12, 12, 7, IDS_STATUS_UNDEFINED, kTroubleNone, kInkReplaceNone};

// The table is indexed by class.
constexpr bool RowsInClassOrder() {
    for (int c = 0; c < kStatusClassCount; ++c) {
        if (kRows[c].statusClass != c) {
            return false;
        }
    }
    return true;
}
static_assert(RowsInClassOrder(), "one row per status class, in class order");

} // namespace

const StatusClassRow& StatusClassRowFor(int statusClass) {
    if (statusClass < 0 || statusClass >= kStatusClassCount) {
        return kUnknownClass;
    }
    return kRows[statusClass];
}

} // namespace krx
