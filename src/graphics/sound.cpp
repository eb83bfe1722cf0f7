// Sound table and playback.
#include "graphics/sound.h"

#include <mmsystem.h>

#include "base/module/install_paths.h"
#include "base/module/language.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"
#include "graphics/sound_names.h"

namespace krx {

namespace {
using regkey::kProfileKey;
// A section listing larger than this is read key by key instead.
constexpr DWORD kFirstListingSize = 32 * 1024;
constexpr DWORD kLargestListingSize = 4 * 1024 * 1024;
static_assert(kStatusSoundFlags == (SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT),
              "status sound flags");
} // namespace

const SoundApi& DefaultSounds() {
    static const SoundApi api = {PlaySoundA};
    return api;
}

SoundApi& Sounds() {
    static SoundApi api = DefaultSounds();
    return api;
}

SoundProfileReader::SoundProfileReader(const char* name, int mode) {
    if (name == nullptr) {
        return;
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, kProfileKey, false, RegistryKey::kReadAccess);
    m_strFilePath = key.ReadText(name, "");
    if (m_strFilePath.empty()) {
        return;
    }
    if (mode == 1) {
        char section[kLanguageSectionSize] = {};
        int length = sizeof(section);
        if (ChooseLanguageSection(section, &length, m_strFilePath.c_str()) >= 0) {
            m_strSection = section;
            m_bValid = true;
        }
        return;
    }
    m_strSection = name;
    m_bValid = true;
}

std::string SoundProfileReader::ReadString(const char* key, const char* defaultText,
                                           int size) const {
    std::string fallback = defaultText != nullptr ? defaultText : "";
    // Without a section the profile functions would list the file's
    // sections instead of reading a key.
    if (!m_bValid || m_strSection.empty() || key == nullptr || size <= 0) {
        return fallback;
    }
    std::vector<char> buffer(static_cast<size_t>(size), '\0');
    GetPrivateProfileStringA(m_strSection.c_str(), key, fallback.c_str(), buffer.data(),
                             static_cast<DWORD>(size), m_strFilePath.c_str());
    return std::string(buffer.data());
}

bool SoundProfileReader::ReadSection(std::string* listing) const {
    listing->clear();
    if (!m_bValid || m_strSection.empty()) {
        return true; // every key reads as its default
    }
    for (DWORD size = kFirstListingSize; size <= kLargestListingSize; size *= 2) {
        std::vector<char> buffer(size, '\0');
        DWORD length = GetPrivateProfileSectionA(m_strSection.c_str(), buffer.data(), size,
                                                 m_strFilePath.c_str());
        // A listing that did not fit comes back cut at two less than the size.
        if (length < size - 2) {
            listing->assign(buffer.data(), length);
            return true;
        }
    }
    return false;
}

SoundTable::SoundTable(const char* modelSection) {
    SoundProfileReader reader(modelSection, 1);
    m_WaveNames.resize(kTableSize);
    // One read of the whole section: reading the 999 keys one by one costs
    // a large part of a window's opening.
    std::string listing;
    if (reader.ReadSection(&listing)) {
        for (int number : WaveNamesFromSection(listing, &m_WaveNames)) {
            m_WaveNames[static_cast<size_t>(number)] =
                reader.ReadString(WaveKeyName(number).c_str(), "", kWaveNameSize);
        }
    } else {
        for (int i = kFirstSoundNumber; i <= kLastSoundNumber; ++i) {
            m_WaveNames[static_cast<size_t>(i)] =
                reader.ReadString(WaveKeyName(i).c_str(), "", kWaveNameSize);
        }
    }
    if (CheckDriverKey()) {
        m_strInstallFolder = DriverInstallFolder();
    }
    m_bValid = !m_strInstallFolder.empty();
}

int SoundTable::PlayStatusSound(int number) const {
    if (!m_bValid || number < 0 || number >= static_cast<int>(m_WaveNames.size())) {
        return 0;
    }
    const std::string& name = m_WaveNames[static_cast<size_t>(number)];
    if (name.empty() || !HasWaveSuffix(name)) {
        return 0;
    }
    const std::string path = m_strInstallFolder + name;
    return Sounds().playSound(path.c_str(), nullptr, kStatusSoundFlags) ? 1 : 0;
}

void SoundTable::StopSounds() {
    Sounds().playSound(nullptr, nullptr, SND_PURGE);
}

} // namespace krx
