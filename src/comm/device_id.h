// Texts the status window derives from what the printer and the host tell
// it: the model id inside the printer's IEEE 1284 device ID, the name of the
// job-activity object, and the choice of the remote count text. Pure code
// (no Windows headers): the device ID comes from outside and is fuzzed
// natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/resource_ids.h"

namespace krx {

// The text after "MDL:" up to, not including, the next ';', searched only
// inside the given bytes (a device ID need not be zero-terminated and may
// begin with a binary length). Empty when there is no "MDL:" or no ';'
// closes it; a zero byte ends the text.
std::string ExtractModelId(const char* deviceId, size_t length);

// "N_KRXS_" + the printer name, or the port name when the printer name is
// empty, with every '\' turned into '/'. Null names count as empty.
std::string JobActivityName(const char* printerName, const char* portName);

constexpr unsigned kRemoteCountUnknown = 0xFFFF;
constexpr int kRemoteCountInkThreshold = 50;

// Which string to show for the count (IDS_REMOTE_COUNT_*): 0 for none
// (every ink level above the threshold, or the count unknown).
int SelectRemoteCountString(const uint8_t (&inkLevels)[6], unsigned count);

} // namespace krx
