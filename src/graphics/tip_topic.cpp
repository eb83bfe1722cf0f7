// Conversion of tip numbers.
#include "graphics/tip_topic.h"

#include "status/status_reply.h"

namespace krx {

int32_t ParseDecimalPrefix(const char* text, size_t length) {
    if (text == nullptr) {
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    }
    return static_cast<int32_t>(value);
}

int32_t ParseTipTopic(const char* text, size_t length) {
    if (text == nullptr) {
        return 0;
    }
    size_t end = 0;
    while (end < length && text[end] != '\0') {
        ++end;
    }
    if (end < 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return ParseDecimalPrefix(text, end);
    }
    if (end == 2) {
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = 2; i < end; ++i) {
        int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            return 0;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(value);
}

} // namespace krx
