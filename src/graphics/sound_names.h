// Wave-file naming rules of the sound table: the profile keys "WVV001" ..
// "WVV999" and the ".wav" suffix check. Pure code, no Windows headers.
#pragma once

#include <string>
#include <vector>

namespace krx {

constexpr int kFirstSoundNumber = 1;
constexpr int kLastSoundNumber = 999;

// "WVV" followed by the number in three digits.
std::string WaveKeyName(int number);

// True when the name's last three characters are "wav" in any letter case.
bool HasWaveSuffix(const std::string& name);

// Size of the buffer a wave name is read into; a name keeps at most one
// character less.
constexpr int kWaveNameSize = 256;

// Fills `names` (indexed by sound number, already sized) from a section
// listing as the profile functions give it: "key=value" lines, each ended by
// a NUL. Keys compare without regard to case and the first one of a number
// counts, as for a single-key read; a value enclosed in a pair of matching
// quotes loses them. Returns the numbers whose values are too long for the
// cut to be certain here: the caller reads those keys one by one.
std::vector<int> WaveNamesFromSection(const std::string& listing, std::vector<std::string>* names);

} // namespace krx
