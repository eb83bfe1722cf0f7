// The simulated printer's script: what each entry point answers, read from
// the registry so that a test or the demo can set the printer's state from
// outside the library. Read at BXInitialize (and again before every status
// read when "Live" is set, for long-lived users such as a status window).
#pragma once

#include <string>
#include <vector>

#include "kit_paths.h"

namespace kit {

struct SimScript {
    int initResult = 0;
    int releaseResult = 1;
    bool live = false;
    std::string callLog; // file that receives one line per call, when set

    std::vector<unsigned char> statusReply;
    int statusFirstResult = kUnset;   // default: -4 with a reply, 0 without
    int statusSecondResult = kUnset;  // default: the number of bytes copied
    int statusAnnouncedSize = kUnset; // default: the reply's length
    int statusReturnedLength = kUnset; // default: the number of bytes copied

    void Load();
};

SimScript& Script();

// Appends one line to the call log when one is configured.
void LogCall(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace kit
