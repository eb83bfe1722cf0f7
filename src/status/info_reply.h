// The printer's "@BDC PS\r\n" information replies: the printer-information
// reply ("II:", counters and dates for up to two units) and the "IR:" reply
// (one 16-bit count). Pure code (no Windows headers): the replies come from
// outside and are fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace krx {

constexpr int kPrinterInfoEntries = 2;

// One unit's fields; every number starts with all bits set ("not reported").
struct PrinterInfoEntry {
    uint16_t tsh = 0xFFFF;
    uint8_t pdy = 0xFF;
    uint8_t pdm = 0xFF;
    uint16_t ic1 = 0xFFFF;
    uint16_t ic2 = 0xFFFF;
    uint8_t ik1 = 0xFF;
    uint8_t ik2 = 0xFF;
    uint8_t tov = 0xFF;
    uint8_t tvu = 0xFF;
    std::string log;
};

struct PrinterInfoRecord {
    PrinterInfoEntry entry[kPrinterInfoEntries];
};

// Value of an "IR:" reply that says the count is not available.
constexpr uint16_t kIRNotAvailable = 0xFFFF;

// 1 on success, -1 on failure. The record is reset first and keeps what was
// filled before a failure was found. The first occurrence of a tag fills
// entry 0, the second entry 1; later occurrences are read and dropped.
int ParsePrinterInfoReply(const unsigned char* reply, size_t length, PrinterInfoRecord* record);

// 1 on success, also for a reply that carries another field than "IR:" (the
// value is then left as it was); -1 on failure. A value whose closing ";" is
// missing is still set, with the result -1.
int ParseIRReply(const unsigned char* reply, size_t length, uint16_t* value);

} // namespace krx
