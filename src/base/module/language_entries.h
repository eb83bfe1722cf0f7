// The "Language" section of a model profile: one entry per language section,
// written name=primary,sub with both ids in hexadecimal. Splitting, number
// conversion and the choice of an entry for a language id. Pure code (no
// Windows headers) so that it can be fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace krx {

struct LanguageEntry {
    std::string name;    // the language section's name
    std::string primary; // primary language id text
    std::string sub;     // sub-language id text
};

// Splits a section as the profile functions return it: zero-terminated
// entries one after another, ending at an empty one or at `size`. Nothing
// past `size` is read, so an unterminated last entry is taken up to there.
std::vector<LanguageEntry> SplitLanguageEntries(const char* data, size_t size);

// One entry: name up to the first "=", primary up to the next ",", sub up to
// a further ","; missing parts are empty.
LanguageEntry ParseLanguageEntry(const std::string& entry);

// Hexadecimal digits accumulate in 16 bits; any other character is skipped
// without ending the number (so "0x0C" is 0x0C); empty text is 0.
uint16_t ParseLanguageId(const std::string& text);

// Index of the entry chosen for the language id (low 10 bits primary
// language, upper 6 bits sub-language): an exact match, else the first entry
// of the same primary language, else the first English one, else the first
// entry. -1 when there are no entries.
int SelectLanguageEntry(const std::vector<LanguageEntry>& entries, unsigned languageId);

} // namespace krx
