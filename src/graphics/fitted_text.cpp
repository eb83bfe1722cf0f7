// Cutting rule of the fitted text label; see fitted_text.h.
#include "graphics/fitted_text.h"

namespace krx {

size_t PreviousCharacterStart(const std::string& text, size_t pos,
                              const LeadBytePredicate& isLead) {
    if (pos > text.size()) {
        pos = text.size();
    }
    size_t previous = 0;
    size_t i = 0;
    while (i < pos) {
        previous = i;
        // A lead byte with nothing after it (a cut-off text) is one character.
        bool pair = isLead && isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        i += pair ? 2 : 1;
    }
    return previous;
}

std::string FitText(const std::string& text, long width, const TextMeasure& measure,
                    const LeadBytePredicate& isLead) {
    std::string shown = text;
    size_t cut = text.size();
    while (cut > 0) {
        if (measure(shown) < width) {
            break;
        }
        cut = PreviousCharacterStart(text, cut, isLead);
        shown.assign(text, 0, cut);
        shown += kFittedTextEllipsis;
    }
    return shown;
}

} // namespace krx
