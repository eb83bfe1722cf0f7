// The two-call read of a status reply from a status channel: the size
// first, then the reply into a buffer of that size.
#pragma once

#include <vector>

#include "comm/bxapi.h"

namespace krx {

// Far above any real status reply; a larger announced size is a fault.
constexpr int kMaxStatusReplySize = 64 * 1024;

enum class StatusReadOutcome : int {
    kNothing, // nothing to read yet
    kBusy,    // the library is busy: ask again later
    kFailed,  // the library failed or broke its own rules
    kTooLong, // the announced size is beyond any status reply: no room is made
    kReply,   // bytes holds the reply
};

// One read with what the library said on the way, for the callers' traces.
struct StatusReplyRead {
    StatusReadOutcome outcome = StatusReadOutcome::kFailed;
    // The bytes the library returned, as far as its returned length goes
    // and never beyond the buffer it was given; set once the second call
    // was made, whatever its result.
    std::vector<unsigned char> bytes;
    int firstResult = 0;
    int announcedSize = 0; // the size the first call announced
    bool secondCalled = false;
    int secondResult = 0;
};

// Asks the channel for its size and then for its reply. A size call that
// does not say "buffer too small" with a size of at least 1 byte is a fault,
// unless it says nothing is there or the library is busy; a size beyond
// kMaxStatusReplySize is not read; a reply call that fails is a fault.
StatusReplyRead ReadStatusReply(const CBxApi& bx, int handle);

} // namespace krx
