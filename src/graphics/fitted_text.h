// The cutting rule of the fitted text label: a text too wide for the label
// loses characters from its end, one at a time and never half of a
// double-byte character, with "..." appended, until it is strictly narrower
// than the label. Pure code without <windows.h>: measuring and the lead-byte
// test are supplied by the caller.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace krx {

// Width of a single-line text in the label's font, in pixels.
using TextMeasure = std::function<long(const std::string&)>;
// Whether a byte begins a double-byte character in the text's code page.
using LeadBytePredicate = std::function<bool(unsigned char)>;
// Widths of every prefix of a text in one go: element i is the width of its
// first i + 1 bytes (both bytes of a double-byte character carry the width
// up to the character's end). False when they cannot be had.
using PrefixMeasure = std::function<bool(const std::string&, std::vector<long>*)>;

constexpr char kFittedTextEllipsis[] = "...";

// Start of the character that ends just before `pos` (as the system's
// previous-character function finds it): scans from the start of the text
// so that trail bytes equal to lead bytes are not mistaken for them.
size_t PreviousCharacterStart(const std::string& text, size_t pos, const LeadBytePredicate& isLead);

// The text as the label shows it within `width` pixels. With the prefix
// widths, the cut is found from them and then confirmed by measuring it and
// the next longer one; the text is cut the same way without them.
std::string FitText(const std::string& text, long width, const TextMeasure& measure,
                    const LeadBytePredicate& isLead, const PrefixMeasure& prefixes = nullptr);

} // namespace krx
