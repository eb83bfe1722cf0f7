// Sound table and playback.
#include "graphics/sound.h"

#include <mmsystem.h>

#include "entry/module/install_paths.h"
#include "entry/module/language.h"
#include "entry/module/module_state.h"
#include "entry/registry/registry_key.h"
#include "entry/registry/registry_paths.h"
#include "graphics/sound_names.h"

namespace krx {

namespace {
using regkey::kProfileKey;
constexpr int kWaveNameSize = 256;
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
    filePath_ = key.ReadText(name, "");
    if (filePath_.empty()) {
        return;
    }
    if (mode == 1) {
        char section[kLanguageSectionSize] = {};
        int length = sizeof(section);
        if (ChooseLanguageSection(section, &length, filePath_.c_str()) >= 0) {
            section_ = section;
            valid_ = true;
        }
        return;
    }
    section_ = name;
    valid_ = true;
}

std::string SoundProfileReader::ReadString(const char* key, const char* defaultText,
                                           int size) const {
    std::string fallback = defaultText != nullptr ? defaultText : "";
    // Without a section the profile functions would list the file's
    // sections instead of reading a key.
    if (!valid_ || section_.empty() || key == nullptr || size <= 0) {
        return fallback;
    }
    std::vector<char> buffer(static_cast<size_t>(size), '\0');
    GetPrivateProfileStringA(section_.c_str(), key, fallback.c_str(), buffer.data(),
                             static_cast<DWORD>(size), filePath_.c_str());
    return std::string(buffer.data());
}

SoundTable::SoundTable(const char* modelSection) {
    SoundProfileReader reader(modelSection, 1);
    waveNames_.resize(kTableSize);
    for (int i = kFirstSoundNumber; i <= kLastSoundNumber; ++i) {
        waveNames_[static_cast<size_t>(i)] =
            reader.ReadString(WaveKeyName(i).c_str(), "", kWaveNameSize);
    }
    if (CheckCommonKey()) {
        RegistryKey key(HKEY_LOCAL_MACHINE, Module().commonKey.c_str());
        installFolder_ = key.ReadText("InstallPath", "");
    }
    valid_ = !installFolder_.empty();
}

int SoundTable::PlayStatusSound(int number) const {
    if (!valid_ || number < 0 || number >= static_cast<int>(waveNames_.size())) {
        return 0;
    }
    const std::string& name = waveNames_[static_cast<size_t>(number)];
    if (name.empty() || !HasWaveSuffix(name)) {
        return 0;
    }
    std::string path = installFolder_ + "\\" + name;
    return Sounds().playSound(path.c_str(), nullptr, kStatusSoundFlags) ? 1 : 0;
}

void SoundTable::StopSounds() {
    Sounds().playSound(nullptr, nullptr, SND_PURGE);
}

} // namespace krx
