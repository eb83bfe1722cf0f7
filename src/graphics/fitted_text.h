// The cutting rule of the fitted text label: a text too wide for the label
// loses characters from its end, one at a time and never half of a
// double-byte character, with "..." appended, until it is strictly narrower
// than the label. Pure code without <windows.h>: measuring and the lead-byte
// test are supplied by the caller.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace krx {

// Width of a single-line text in the label's font, in pixels.
using TextMeasure = std::function<long(const std::string&)>;
// Whether a byte begins a double-byte character in the text's code page.
using LeadBytePredicate = std::function<bool(unsigned char)>;

constexpr char kFittedTextEllipsis[] = "...";

// Start of the character that ends just before `pos` (as the system's
// previous-character function finds it): scans from the start of the text
// so that trail bytes equal to lead bytes are not mistaken for them.
size_t PreviousCharacterStart(const std::string& text, size_t pos, const LeadBytePredicate& isLead);

// The text as the label shows it within `width` pixels.
std::string FitText(const std::string& text, long width, const TextMeasure& measure,
                    const LeadBytePredicate& isLead);

} // namespace krx
