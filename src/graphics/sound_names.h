// Wave-file naming rules of the sound table: the profile keys "WVV001" ..
// "WVV999" and the ".wav" suffix check. Pure code, no Windows headers.
#pragma once

#include <string>

namespace krx {

constexpr int kFirstSoundNumber = 1;
constexpr int kLastSoundNumber = 999;

// "WVV" followed by the number in three digits.
std::string WaveKeyName(int number);

// True when the name's last three characters are "wav" in any letter case.
bool HasWaveSuffix(const std::string& name);

} // namespace krx
