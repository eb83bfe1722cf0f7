// The printer's "@BDC ST\r\n" status reply and its decoded record. Pure code
// (no Windows headers): the reply comes from outside and is fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krx {

// Every status reply begins with this header.
constexpr char kStatusReplyHeader[] = "@BDC ST\r\n";
constexpr size_t kStatusReplyHeaderLength = sizeof(kStatusReplyHeader) - 1;
// A reply the status query stored from the remote channel begins with this
// instead: the window shows no status for it.
constexpr char kRemoteReplyPrefix[] = "hbm";
constexpr size_t kRemoteReplyPrefixLength = sizeof(kRemoteReplyPrefix) - 1;

constexpr int kInkSlots = 6;
constexpr int kWarningSlots = 10;
constexpr uint8_t kInkReplace = 0xFE;      // entry read "RE" or "WE"
constexpr uint8_t kInkNotAvailable = 0xFF; // entry read "NA"

struct ParsedStatusRecord {
    uint8_t st = 0;
    uint8_t er = 0;
    uint8_t inkCount = 0;
    uint8_t ink[kInkSlots] = {};
    uint8_t warnCount = 0;
    uint8_t warn[kWarningSlots] = {};
    uint8_t rv = 0;
    uint16_t tc = 0;
    uint8_t rc = 0;
};

// Value of one hex digit (0-9, a-f, A-F), or -1 for any other character.
int HexDigitValue(char c);

// Two hex characters to a byte. 0 when either is not a hex digit; when only
// the second is bad, *out already holds the first digit in its high nibble.
int ParseHexByte(char high, char low, uint8_t* out);

// 0 on success, -1 on failure (the record then holds what was set before
// the failure was found).
int ParseStatusReply(const unsigned char* reply, size_t length, ParsedStatusRecord* record);

} // namespace krx
