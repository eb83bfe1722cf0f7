// Parsing and choice of "Language" section entries.
#include "base/module/language_entries.h"

#include <cstring>

namespace krx {

namespace {
constexpr unsigned kPrimaryEnglish = 0x09;
constexpr unsigned kPrimaryMask = 0x3FF;
constexpr unsigned kSubShift = 10;
} // namespace

std::vector<LanguageEntry> SplitLanguageEntries(const char* data, size_t size) {
    std::vector<LanguageEntry> entries;
    if (data == nullptr) {
        return entries;
    }
    size_t pos = 0;
    while (pos < size && data[pos] != '\0') {
        const void* nul = memchr(data + pos, '\0', size - pos);
        size_t end =
            nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - data) : size;
        entries.push_back(ParseLanguageEntry(std::string(data + pos, end - pos)));
        pos = end + 1;
    }
    return entries;
}

LanguageEntry ParseLanguageEntry(const std::string& entry) {
    LanguageEntry parsed;
    size_t equals = entry.find('=');
    parsed.name = entry.substr(0, equals);
    if (equals == std::string::npos) {
        return parsed;
    }
    std::string rest = entry.substr(equals + 1);
    size_t comma = rest.find(',');
    parsed.primary = rest.substr(0, comma);
    if (comma == std::string::npos) {
        return parsed;
    }
    std::string sub = rest.substr(comma + 1);
    parsed.sub = sub.substr(0, sub.find(','));
    return parsed;
}

uint16_t ParseLanguageId(const std::string& text) {
    uint16_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            continue;
        }
        value = static_cast<uint16_t>(value * 16 + digit);
    }
    return value;
}

int SelectLanguageEntry(const std::vector<LanguageEntry>& entries, unsigned languageId) {
    if (entries.empty()) {
        return -1;
    }
    const unsigned primary = languageId & kPrimaryMask;
    const unsigned sub = (languageId >> kSubShift) & 0x3F;
    int samePrimary = -1;
    int english = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        unsigned p = ParseLanguageId(entries[i].primary);
        unsigned s = ParseLanguageId(entries[i].sub);
        if (p == primary && s == sub) {
            return static_cast<int>(i);
        }
        if (p == primary && samePrimary < 0) {
            samePrimary = static_cast<int>(i);
        }
        if (p == kPrimaryEnglish && english < 0 && samePrimary < 0) {
            english = static_cast<int>(i);
        }
    }
    if (samePrimary >= 0) {
        return samePrimary;
    }
    return english >= 0 ? english : 0;
}

} // namespace krx
