// Printer information table lookups.
#include "graphics/printer_info_table.h"

#include <cstdio>

#include "common/resource_ids.h"

namespace krx {

namespace {
constexpr unsigned kRows = 3;
constexpr unsigned kRowStride = 4;
constexpr unsigned kNoDate = 0xFF;
constexpr size_t kMaxFieldWidth = 32;

bool StringEquals(const StringNumberLookup& numberOf, unsigned id, unsigned value) {
    long number = 0;
    return numberOf && numberOf(id, &number) && number == static_cast<long>(value);
}

bool IsFlag(char c) {
    return c == '-' || c == '+' || c == ' ' || c == '0' || c == '#';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

InfoKindCells LookUpInfoKind(unsigned ic1, unsigned ic2, const StringNumberLookup& numberOf) {
    for (unsigned row = 0; row < kRows; ++row) {
        if (!StringEquals(numberOf, IDS_INFO_UNIT_FIRST + row, ic1)) {
            continue;
        }
        const unsigned base = IDS_INFO_ROW_TEXT_FIRST + kRowStride * row;
        if (StringEquals(numberOf, IDS_INFO_KIND_A, ic2)) {
            return {base, base + 2};
        }
        if (StringEquals(numberOf, IDS_INFO_KIND_B, ic2)) {
            return {base + 1, base + 2};
        }
        break;
    }
    return {IDS_INFO_NONE, IDS_INFO_NONE};
}

unsigned InfoStateTextId(unsigned ik2) {
    switch (ik2) {
    case 1:
        return IDS_INFO_STATE_1;
    case 2:
        return IDS_INFO_STATE_2;
    default:
        return IDS_INFO_NONE;
    }
}

bool InfoHasDate(unsigned pdy) {
    return pdy != kNoDate;
}

std::string FormatInfoDate(const std::string& format, unsigned pdy, unsigned pdm) {
    const unsigned numbers[2] = {pdy % 100, pdm % 100};
    size_t used = 0;
    std::string out;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // %[flags][width][.precision][h|l]conversion
        size_t j = i + 1;
        while (j < format.size() && IsFlag(format[j])) {
            ++j;
        }
        size_t widthStart = j;
        while (j < format.size() && IsDigit(format[j])) {
            ++j;
        }
        bool sane = j - widthStart <= 2;
        if (j < format.size() && format[j] == '.') {
            size_t precisionStart = ++j;
            while (j < format.size() && IsDigit(format[j])) {
                ++j;
            }
            sane = sane && j - precisionStart <= 2;
        }
        if (j < format.size() && (format[j] == 'h' || format[j] == 'l')) {
            ++j;
        }
        const char conversion = j < format.size() ? format[j] : '\0';
        const bool integer = conversion == 'd' || conversion == 'i' || conversion == 'u' ||
                             conversion == 'x' || conversion == 'X';
        if (!integer || !sane || used >= 2) {
            // Not a conversion this text may use: shown as written.
            out += format[i++];
            continue;
        }
        // Rebuild the conversion without a length modifier for an int.
        std::string conversionText = "%";
        for (size_t k = i + 1; k < j; ++k) {
            if (format[k] != 'h' && format[k] != 'l') {
                conversionText += format[k];
            }
        }
        conversionText += conversion;
        char field[kMaxFieldWidth + 16];
        snprintf(field, sizeof(field), conversionText.c_str(), numbers[used++]);
        out += field;
        i = j + 1;
    }
    return out;
}

} // namespace krx
