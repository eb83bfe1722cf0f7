// One status reading: a printer's status reply decoded, classified and
// mapped to the host's status number and notification item, as both the
// status query and the status window make it. Pure code (no Windows
// headers).
#pragma once

#include <cstddef>

#include "status/status_eval.h"
#include "status/status_reply.h"

namespace krx {

// The host's status number and the notification item of a status class.
struct StatusNumbers {
    int statusNumber;
    int item;
};

StatusNumbers NumbersOfClass(int statusClass);

struct StatusReading {
    bool decoded = false; // false: the reply does not decode, nothing below holds
    ParsedStatusRecord record;
    int statusClass = -1;
    StatusNumbers numbers = {kStatusNoReply, kItemNoReply};
};

// A reply that does not decode gives decoded false and the numbers of "no
// usable reply".
StatusReading DecodeStatusReading(const unsigned char* reply, size_t length);

// The printer offers its extended information (the information button and
// line of a Detail window) while its reply says so.
bool OffersInformation(const ParsedStatusRecord& record);

} // namespace krx
