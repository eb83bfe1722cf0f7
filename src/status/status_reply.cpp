// Status reply parser: tagged fields after the 9-byte header, unknown bytes
// skipped one at a time, a 0xFF or 0x0C terminator inside the given length.
#include "status/status_reply.h"

#include <cstring>

namespace krx {

namespace {

constexpr size_t kMinimumLength = 12;

bool TagAt(const unsigned char* data, size_t length, size_t p, const char* tag) {
    return p + 3 <= length && memcmp(data + p, tag, 3) == 0;
}

// Parses the two hex characters at q; false when they are outside the data
// or not hex.
bool HexAt(const unsigned char* data, size_t length, size_t q, uint8_t* out) {
    if (q + 2 > length) {
        return false;
    }
    return ParseHexByte(static_cast<char>(data[q]), static_cast<char>(data[q + 1]), out) == 1;
}

bool SemicolonAt(const unsigned char* data, size_t length, size_t q) {
    return q < length && data[q] == ';';
}

// Ink entries from q; returns the position after ";" or 0 on failure.
size_t ParseInk(const unsigned char* data, size_t length, size_t q, ParsedStatusRecord* r) {
    int entries = 0;
    for (;;) {
        if (entries == kInkSlots || q + 2 > length) {
            return 0;
        }
        uint8_t value = 0;
        if (data[q] == 'N' && data[q + 1] == 'A') {
            value = kInkNotAvailable;
        } else if ((data[q] == 'R' || data[q] == 'W') && data[q + 1] == 'E') {
            value = kInkReplace;
        } else if (!HexAt(data, length, q, &value)) {
            return 0;
        } else if (value > 100) {
            value = 100;
        }
        r->ink[entries++] = value;
        q += 2;
        if (q >= length) {
            return 0;
        }
        if (data[q] == ';') {
            r->inkCount = static_cast<uint8_t>(entries);
            return q + 1;
        }
    }
}

size_t ParseWarnings(const unsigned char* data, size_t length, size_t q, ParsedStatusRecord* r) {
    int codes = 0;
    for (;;) {
        if (codes == kWarningSlots) {
            return 0;
        }
        uint8_t value = 0;
        if (!HexAt(data, length, q, &value)) {
            return 0;
        }
        r->warn[codes++] = value;
        q += 2;
        if (q >= length) {
            return 0;
        }
        if (data[q] == ',') {
            ++q;
            if (q >= length) {
                return 0;
            }
        }
        if (data[q] == ';') {
            r->warnCount = static_cast<uint8_t>(codes);
            return q + 1;
        }
    }
}

} // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int ParseHexByte(char high, char low, uint8_t* out) {
    int h = HexDigitValue(high);
    if (h < 0) {
        return 0;
    }
    *out = static_cast<uint8_t>(h << 4);
    int l = HexDigitValue(low);
    if (l < 0) {
        return 0;
    }
    *out = static_cast<uint8_t>((h << 4) | l);
    return 1;
}

int ParseStatusReply(const unsigned char* reply, size_t length, ParsedStatusRecord* record) {
    if (record == nullptr) {
        return -1;
    }
    record->st = 0xFF;
    record->er = 0xFF;
    memset(record->ink, 0, sizeof(record->ink));
    record->warnCount = 0;
    memset(record->warn, 0, sizeof(record->warn));
    record->rv = 0;
    record->tc = 0xFFFF;
    record->rc = 0xFF;

    if (reply == nullptr || length < kMinimumLength ||
        memcmp(reply, kStatusReplyHeader, kStatusReplyHeaderLength) != 0) {
        return -1;
    }

    size_t p = kStatusReplyHeaderLength;
    int stFields = 0;
    for (;;) {
        if (TagAt(reply, length, p, "ST:") || TagAt(reply, length, p, "ER:")) {
            bool isSt = reply[p] == 'S';
            uint8_t value = 0;
            if (!HexAt(reply, length, p + 3, &value) || !SemicolonAt(reply, length, p + 5)) {
                return -1;
            }
            if (isSt) {
                ++stFields;
                record->st = value;
            } else {
                record->er = value;
            }
            p += 6;
        } else if (TagAt(reply, length, p, "IQ:")) {
            p = ParseInk(reply, length, p + 3, record);
            if (p == 0) {
                return -1;
            }
        } else if (TagAt(reply, length, p, "WR:")) {
            p = ParseWarnings(reply, length, p + 3, record);
            if (p == 0) {
                return -1;
            }
        } else if (TagAt(reply, length, p, "RV:")) {
            uint8_t value = 0;
            if (p + 3 >= length ||
                ParseHexByte('0', static_cast<char>(reply[p + 3]), &value) != 1 ||
                !SemicolonAt(reply, length, p + 4)) {
                return -1;
            }
            record->rv = value;
            p += 5;
        } else if (TagAt(reply, length, p, "TC:")) {
            uint8_t high = 0;
            uint8_t low = 0;
            if (!HexAt(reply, length, p + 3, &high) || !HexAt(reply, length, p + 5, &low) ||
                !SemicolonAt(reply, length, p + 7)) {
                return -1;
            }
            record->tc = static_cast<uint16_t>(high * 256 + low);
            p += 8;
        } else if (TagAt(reply, length, p, "RC:")) {
            record->rc = 1;
            if (!SemicolonAt(reply, length, p + 5)) {
                return -1;
            }
            p += 6;
        } else {
            ++p;
        }

        if (p >= length) {
            return -1;
        }
        if (reply[p] == 0xFF || reply[p] == 0x0C) {
            return stFields > 0 ? 0 : -1;
        }
    }
}

} // namespace krx
