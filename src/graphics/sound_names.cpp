// Wave-file naming rules.
#include "graphics/sound_names.h"

#include <cstdio>

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

} // namespace krx
