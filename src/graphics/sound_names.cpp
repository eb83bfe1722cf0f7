// Wave-file naming rules.
#include "graphics/sound_names.h"

#include <cstdio>
#include <cstring>

namespace krx {

std::string WaveKeyName(int number) {
    char key[16];
    snprintf(key, sizeof(key), "%s%03d", "WVV", number);
    return key;
}

bool HasWaveSuffix(const std::string& name) {
    if (name.size() < 3) {
        return false;
    }
    const char* tail = name.c_str() + name.size() - 3;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return lower(tail[0]) == 'w' && lower(tail[1]) == 'a' && lower(tail[2]) == 'v';
}

namespace {

// The sound number of a key "WVV001" .. "WVV999" in any letter case, else 0.
int WaveKeyNumber(const char* key, size_t length) {
    if (length != 6) {
        return 0;
    }
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (upper(key[0]) != 'W' || upper(key[1]) != 'V' || upper(key[2]) != 'V') {
        return 0;
    }
    int number = 0;
    for (size_t i = 3; i < 6; ++i) {
        if (key[i] < '0' || key[i] > '9') {
            return 0;
        }
        number = number * 10 + (key[i] - '0');
    }
    return number >= kFirstSoundNumber && number <= kLastSoundNumber ? number : 0;
}

} // namespace

std::vector<int> WaveNamesFromSection(const std::string& listing, std::vector<std::string>* names) {
    std::vector<int> readOneByOne;
    std::vector<bool> seen(static_cast<size_t>(kLastSoundNumber) + 1, false);
    size_t pos = 0;
    while (pos < listing.size()) {
        size_t end = listing.find('\0', pos);
        if (end == std::string::npos) {
            end = listing.size();
        }
        if (end == pos) {
            break; // the empty line that ends the listing
        }
        const char* line = listing.data() + pos;
        const size_t lineLength = end - pos;
        pos = end + 1;

        const void* equals = memchr(line, '=', lineLength);
        const size_t keyLength = equals != nullptr
                                     ? static_cast<size_t>(static_cast<const char*>(equals) - line)
                                     : lineLength;
        const int number = WaveKeyNumber(line, keyLength);
        if (number == 0 || seen[static_cast<size_t>(number)] ||
            static_cast<size_t>(number) >= names->size()) {
            continue;
        }
        seen[static_cast<size_t>(number)] = true;
        if (equals == nullptr) {
            continue; // a key without a value reads as the empty default
        }
        const char* value = line + keyLength + 1;
        const size_t valueLength = lineLength - keyLength - 1;
        // Up to here every character fits the read buffer whatever the code
        // page; a longer value may be cut, and where depends on the code page.
        if (valueLength > static_cast<size_t>(kWaveNameSize) - 2) {
            readOneByOne.push_back(number);
            continue;
        }
        std::string& name = (*names)[static_cast<size_t>(number)];
        if (valueLength >= 2 && (value[0] == '"' || value[0] == '\'') &&
            value[valueLength - 1] == value[0]) {
            name.assign(value + 1, valueLength - 2);
        } else {
            name.assign(value, valueLength);
        }
    }
    return readOneByOne;
}

} // namespace krx
