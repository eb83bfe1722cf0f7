// Sound notification: the wave files assigned to sound numbers in the model
// profile's language section, played from the driver's installation folder
// while a status window is open.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace krx {

// Seam in front of the system's sound call, so that tests can see what would
// be played on a machine without a sound device. Defaults to PlaySoundA.
struct SoundApi {
    BOOL(WINAPI* playSound)(LPCSTR sound, HMODULE module, DWORD flags);
};
SoundApi& Sounds();
const SoundApi& DefaultSounds();

// Flags of a status sound: a file, played asynchronously, silent when the
// file is missing or the device is busy (SND_FILENAME | SND_ASYNC |
// SND_NODEFAULT | SND_NOWAIT).
constexpr DWORD kStatusSoundFlags = 0x22003;

// Reader of one section of a model profile whose path the Profile key holds
// under `name`.
class SoundProfileReader {
  public:
    // Mode 1: the section serving the user's language; any other mode: the
    // section called `name`.
    SoundProfileReader(const char* name, int mode);

    bool IsValid() const { return m_bValid; }
    const std::string& FilePath() const { return m_strFilePath; }
    const std::string& Section() const { return m_strSection; }

    // The key's value (cut to size - 1 characters), or the default when the
    // reader is not valid.
    std::string ReadString(const char* key, const char* defaultText, int size) const;
    // The section's "key=value" lines, each ended by a NUL (empty when the
    // reader is not valid); false when the section is too large to list.
    bool ReadSection(std::string* listing) const;

  private:
    std::string m_strFilePath;
    bool m_bValid = false;
    std::string m_strSection;
};

class SoundTable {
  public:
    static constexpr int kTableSize = 1000; // sound numbers 0..999; 0 is never assigned

    explicit SoundTable(const char* modelSection);

    int IsSoundAvailable() const { return m_bValid ? 1 : 0; }
    const std::vector<std::string>& WaveNames() const { return m_WaveNames; }

    // Starts the sound's wave file; non-zero when playback was started.
    int PlayStatusSound(int number) const;
    // Stops any sound this process plays.
    static void StopSounds();

  private:
    bool m_bValid = false;
    std::string m_strInstallFolder; // with its trailing "\"
    std::vector<std::string> m_WaveNames;
};

} // namespace krx
