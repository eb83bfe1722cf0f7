// Notification items and default settings. The profile file is read once
// per call and every key is looked up in that copy with the profile
// reader's own rules, instead of opening the file again for each of up to a
// thousand item keys.
#include "entry/default_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/resource_ids.h"
#include "base/module/resource_string.h"
#include "base/profile/profile_reader.h"
#include "base/registry/registry_key.h"

namespace krx {

namespace {

constexpr int kItemCountTextSize = 8; // the count is read as at most 7 characters
constexpr int kItemKeyRange = 1000;   // "ITEM000" to "ITEM999"
constexpr long kLastStringId = 0xFFFF;
constexpr char kNotifySubKey[] = "Notify";

// Values copied into the store key, in order; the first three are written
// as 0 when the profile lacks them, the others are then left as they are.
const struct {
    const char* name;
    bool zeroWhenMissing;
} kSettings[] = {
    {"SoundNotifyEnable", true}, {"TrayIconEnable", true}, {"TrayIconSelected", true},
    {"InkNearEndB", false},      {"InkNearEndC", false},   {"SizeUnitH", false},
    {"SlipMax", false},          {"MaxCaset", false},      {"MaxIC", false},
    {"PaperNearEnd", false},
};

// The profile file's text as the line reader would see it (text mode).
class ProfileCopy {
  public:
    explicit ProfileCopy(const char* path) {
        if (path == nullptr || *path == '\0') {
            return;
        }
        FILE* file = fopen(path, "r");
        if (file == nullptr) {
            return;
        }
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0) {
            m_strText.append(chunk, n);
        }
        fclose(file);
        m_bOpened = true;
    }

    // As ReadProfileInt on the file.
    int ReadInt(const char* section, const char* key, int* out) const {
        if (!m_bOpened) {
            return kProfileNoSection;
        }
        MemoryLineSource source(m_strText.data(), m_strText.size());
        return FindProfileInt(source, section, key, out);
    }

  private:
    std::string m_strText;
    bool m_bOpened = false;
};

} // namespace

int ItemNumberForIndex(int index) {
    switch (index) {
    case 0:
        return 12;
    case 1:
        return 11;
    case 2:
        return 9;
    default:
        return 0;
    }
}

int EnumNotificationItem(HMODULE module, int* index, char* name, int* itemNumber) {
    if (index == nullptr) {
        return kItemOutOfRange;
    }
    std::string countText;
    LoadModuleString(module, IDS_ITEM_COUNT, &countText, kItemCountTextSize);
    const long count = strtol(countText.c_str(), nullptr, 10);
    if (*index < 0 || *index >= count) {
        *index = 0;
        return kItemOutOfRange;
    }
    if (name != nullptr) {
        name[0] = '\0';
        // String ids are 16-bit: a larger one would wrap onto another string.
        const long id = IDS_ITEM_FIRST + static_cast<long>(*index);
        std::string text;
        if (id <= kLastStringId &&
            LoadModuleString(module, static_cast<UINT>(id), &text, kItemNameSize)) {
            // The loader cuts the text to kItemNameSize - 1 characters.
            memcpy(name, text.data(), text.size());
            name[text.size()] = '\0';
        }
    }
    if (itemNumber != nullptr) {
        *itemNumber = ItemNumberForIndex(*index);
    }
    ++*index;
    return kItemReturned;
}

int WriteDefaultSettings(const char* profilePath, const char* modelName, const char* storeKeyPath) {
    RegistryKey store(HKEY_CURRENT_USER, storeKeyPath, false, RegistryKey::kAllAccess);
    if (!store.IsOpen()) {
        return kDefaultsNoStoreKey;
    }
    const ProfileCopy profile(profilePath);
    for (const auto& setting : kSettings) {
        int value = 0;
        if (profile.ReadInt(modelName, setting.name, &value) == kProfileFound) {
            store.WriteNumber(setting.name, static_cast<DWORD>(value));
        } else if (setting.zeroWhenMissing) {
            store.WriteNumber(setting.name, 0);
        }
    }

    // Item choices the user may have changed are never overwritten: they are
    // copied only into a "Notify" key made by this call.
    RegistryKey notify(store.Handle(), kNotifySubKey, true, RegistryKey::kAllAccess);
    if (!notify.IsOpen() || !notify.NewlyCreated()) {
        return kDefaultsNotifyKept;
    }
    int itemCount = 0;
    if (profile.ReadInt(modelName, "ITEMNUM", &itemCount) != kProfileFound) {
        return kDefaultsNoItemCount;
    }
    int found = 0;
    for (int i = 0; i < kItemKeyRange && found < itemCount; ++i) {
        char key[16];
        snprintf(key, sizeof(key), "ITEM%03d", i);
        int value = 0;
        if (profile.ReadInt(modelName, key, &value) != kProfileFound) {
            continue;
        }
        char valueName[8];
        snprintf(valueName, sizeof(valueName), "%03d", i);
        notify.WriteNumber(valueName, static_cast<DWORD>(value));
        ++found;
    }
    return found == itemCount ? kDefaultsWritten : kDefaultsItemsMissing;
}

} // namespace krx
