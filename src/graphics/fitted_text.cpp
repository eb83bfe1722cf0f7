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

namespace {

// Starts of the text's characters, in order; the rule's cuts are these.
std::vector<size_t> CharacterStarts(const std::string& text, const LeadBytePredicate& isLead) {
    std::vector<size_t> starts;
    size_t i = 0;
    while (i < text.size()) {
        starts.push_back(i);
        bool pair = isLead && isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        i += pair ? 2 : 1;
    }
    return starts;
}

std::string Cut(const std::string& text, size_t cut) {
    std::string shown(text, 0, cut);
    shown += kFittedTextEllipsis;
    return shown;
}

// Index into `starts` of the cut the prefix widths point to: the longest one
// whose estimate is narrower than the label (0 when none is). -1 when the
// widths are unusable.
long EstimatedCut(const std::string& text, const std::vector<size_t>& starts, long width,
                  const TextMeasure& measure, const PrefixMeasure& prefixes) {
    std::vector<long> widths;
    if (!prefixes(text, &widths) || widths.size() != text.size()) {
        return -1;
    }
    const long ellipsis = measure(kFittedTextEllipsis);
    for (size_t k = starts.size(); k-- > 1;) {
        if (widths[starts[k] - 1] + ellipsis < width) {
            return static_cast<long>(k);
        }
    }
    return 0;
}

} // namespace

std::string FitText(const std::string& text, long width, const TextMeasure& measure,
                    const LeadBytePredicate& isLead, const PrefixMeasure& prefixes) {
    if (text.empty() || measure(text) < width) {
        return text;
    }
    const std::vector<size_t> starts = CharacterStarts(text, isLead);
    if (prefixes) {
        const long k = EstimatedCut(text, starts, width, measure, prefixes);
        if (k >= 0) {
            // Widths grow with the text, so the cut is the rule's when it
            // fits and the next longer one does not.
            const size_t chosen = static_cast<size_t>(k);
            const bool fits = chosen == 0 || measure(Cut(text, starts[chosen])) < width;
            const bool longerFits =
                chosen + 1 < starts.size() && measure(Cut(text, starts[chosen + 1])) < width;
            if (fits && !longerFits) {
                return Cut(text, starts[chosen]);
            }
        }
    }
    // One measurement per cut, from the end.
    for (size_t k = starts.size(); k-- > 1;) {
        std::string shown = Cut(text, starts[k]);
        if (measure(shown) < width) {
            return shown;
        }
    }
    return kFittedTextEllipsis;
}

} // namespace krx
