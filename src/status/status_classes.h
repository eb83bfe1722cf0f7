// The status classes (0..27) and what each one means to the host and to the
// status window: the host's status number and notification item, the
// picture and message shown, the trouble help offered and the inks whose
// replacement it concerns. One row per class; every lookup by class reads
// it. Pure code (no Windows headers).
#pragma once

#include "status/status_messages.h"

namespace krx {

// Status number and item number that stand for "no usable reply".
constexpr int kStatusNoReply = 11;
constexpr int kItemNoReply = 11;

// Picture category of a printer that does not answer (the bitmaps of each
// category are the status window's).
constexpr int kNoAnswerPictureCategory = 6;

// Trouble categories: which help the trouble-help button offers (also the
// number of the model's troubleshooting page and guide).
constexpr int kTroubleNone = 0;
constexpr int kTroubleInk = 1;
constexpr int kTroublePaperJam = 2;

// Ink-replacement kinds, as the model's ink-replacement utility takes them.
constexpr int kInkReplaceNone = -1;
constexpr int kInkReplaceBoth = 0;
constexpr int kInkReplaceBlack = 1;
constexpr int kInkReplaceColor = 2;

constexpr int kStatusClassCount = 28;

struct StatusClassRow {
    int statusClass;     // -1 in the row of a class outside 0..27
    int statusNumber;    // what the host is told
    int itemNumber;      // the notification item the condition belongs to
    int pictureCategory; // the printer picture shown
    int messageId;       // the status message shown
    int troubleCategory; // kTrouble...
    int inkKind;         // kInkReplace...
};

// The row of a status class; a class outside 0..27 gets the row of an
// unknown class.
const StatusClassRow& StatusClassRowFor(int statusClass);

} // namespace krx
