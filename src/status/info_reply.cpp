// Information reply parsers: tagged fields after the reply's opening, unknown
// bytes skipped one at a time, every read checked against the given length.
// Hex digits are converted without rejecting bad ones, as the printer's
// information dialog has always shown them.
#include "status/info_reply.h"

#include <cstring>

#include "status/status_reply.h"

namespace krx {

namespace {

constexpr char kHeader[] = "@BDC PS\r\n";
constexpr size_t kHeaderLength = 9;
constexpr size_t kInfoMinimumLength = 15;
constexpr size_t kTagLength = 4;

bool HasHeader(const unsigned char* reply, size_t length) {
    return reply != nullptr && length >= kHeaderLength &&
           memcmp(reply, kHeader, kHeaderLength) == 0;
}

bool BytesAt(const unsigned char* data, size_t length, size_t p, const char* text, size_t n) {
    return p <= length && length - p >= n && memcmp(data + p, text, n) == 0;
}

// Converts the digit pair at q into *byte; a bad digit leaves that part of
// the byte as it was.
void HexInto(const unsigned char* data, size_t q, uint8_t* byte) {
    ParseHexByte(static_cast<char>(data[q]), static_cast<char>(data[q + 1]), byte);
}

// The two halves of a 16-bit value converted in place, high byte first.
void Hex16Into(const unsigned char* data, size_t q, uint16_t* value) {
    uint8_t high = static_cast<uint8_t>(*value >> 8);
    uint8_t low = static_cast<uint8_t>(*value & 0xFF);
    HexInto(data, q, &high);
    HexInto(data, q + 2, &low);
    *value = static_cast<uint16_t>(high * 256 + low);
}

enum FieldKind { kByteField, kWordField, kTextField };

struct FieldTag {
    const char* tag;
    FieldKind kind;
    uint8_t PrinterInfoEntry::*byteField;
    uint16_t PrinterInfoEntry::*wordField;
};

// In the order the tags are tried.
const FieldTag kFields[] = {
    {"TSH:", kWordField, nullptr, &PrinterInfoEntry::tsh},
    {"PDY:", kByteField, &PrinterInfoEntry::pdy, nullptr},
    {"PDM:", kByteField, &PrinterInfoEntry::pdm, nullptr},
    {"IC1:", kWordField, nullptr, &PrinterInfoEntry::ic1},
    {"IC2:", kWordField, nullptr, &PrinterInfoEntry::ic2},
    {"IK1:", kByteField, &PrinterInfoEntry::ik1, nullptr},
    {"IK2:", kByteField, &PrinterInfoEntry::ik2, nullptr},
    {"TOV:", kByteField, &PrinterInfoEntry::tov, nullptr},
    {"TVU:", kByteField, &PrinterInfoEntry::tvu, nullptr},
    {"LOG:", kTextField, nullptr, nullptr},
};
constexpr size_t kFieldCount = sizeof(kFields) / sizeof(kFields[0]);

// Reads one field whose tag starts at p into entry; the position after the
// field, or 0 when the field runs past the data or lacks its ";".
size_t ReadField(const unsigned char* data, size_t length, size_t p, const FieldTag& field,
                 PrinterInfoEntry* entry) {
    size_t q = p + kTagLength;
    switch (field.kind) {
    case kByteField:
        if (length - q < 3 || data[q + 2] != ';') {
            return 0;
        }
        HexInto(data, q, &(entry->*field.byteField));
        return q + 3;
    case kWordField:
        if (length - q < 5 || data[q + 4] != ';') {
            return 0;
        }
        Hex16Into(data, q, &(entry->*field.wordField));
        return q + 5;
    case kTextField:
        // The first byte after the tag always belongs to the text, even a ";".
        if (q >= length) {
            return 0;
        }
        entry->log.push_back(static_cast<char>(data[q++]));
        while (q < length && data[q] != ';') {
            entry->log.push_back(static_cast<char>(data[q++]));
        }
        return q < length ? q + 1 : 0;
    }
    return 0;
}

} // namespace

int ParsePrinterInfoReply(const unsigned char* reply, size_t length, PrinterInfoRecord* record) {
    if (record == nullptr) {
        return -1;
    }
    *record = PrinterInfoRecord{};
    if (!HasHeader(reply, length) || length < kInfoMinimumLength ||
        !BytesAt(reply, length, kHeaderLength, "II:", 3) || reply[14] != ';') {
        return -1;
    }
    // Each tag fills its own next entry; a tag seen more often than there are
    // entries is read into a scratch entry and dropped.
    int cursor[kFieldCount] = {};
    PrinterInfoEntry scratch;
    size_t p = 14;
    for (;;) {
        size_t next = p + 1;
        for (size_t f = 0; f < kFieldCount; ++f) {
            if (!BytesAt(reply, length, p, kFields[f].tag, kTagLength)) {
                continue;
            }
            PrinterInfoEntry* entry =
                cursor[f] < kPrinterInfoEntries ? &record->entry[cursor[f]] : &scratch;
            next = ReadField(reply, length, p, kFields[f], entry);
            if (next == 0) {
                return -1;
            }
            if (cursor[f] < kPrinterInfoEntries) {
                ++cursor[f];
            }
            break;
        }
        p = next;
        if (p >= length) {
            return -1;
        }
        if (reply[p] == 0xFF || reply[p] == 0x0C) {
            return 1;
        }
    }
}

int ParseIRReply(const unsigned char* reply, size_t length, uint16_t* value) {
    if (value == nullptr || !HasHeader(reply, length) || length < 12) {
        return -1;
    }
    if (!BytesAt(reply, length, kHeaderLength, "IR:", 3)) {
        return 1;
    }
    if (length < 16) {
        return -1;
    }
    if (BytesAt(reply, length, 12, "NANA", 4) || BytesAt(reply, length, 12, "NAVL", 4)) {
        *value = kIRNotAvailable;
        return 1;
    }
    Hex16Into(reply, 12, value);
    return length >= 17 && reply[16] == ';' ? 1 : -1;
}

} // namespace krx
