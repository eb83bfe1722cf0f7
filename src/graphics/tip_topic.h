// Numbers in the tips' resource texts: the tip count and the help-topic
// numbers (decimal, or hexadecimal after "0x"). Pure code, no Windows
// headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krx {

// Leading decimal digits of the text (0 when there are none); at most
// `length` characters are examined and the text ends at a zero byte.
int32_t ParseDecimalPrefix(const char* text, size_t length);

// A topic number: "0x" or "0X" followed by hexadecimal digits (any other
// character, or no digit at all, gives 0), else the leading decimal digits.
int32_t ParseTipTopic(const char* text, size_t length);

} // namespace krx
