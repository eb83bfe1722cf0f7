// Notification lookup. The store's "SoundNotifyEnable" and "Notify\%03d"
// hold the user's choices; -1 marks "not set".
#include "base/store/notify_settings.h"

#include <windows.h>

#include <cstdio>

#include "base/profile/profile_locator.h"
#include "base/registry/registry_key.h"
#include "base/store/status_store.h"

namespace krx {

namespace {
constexpr int kNotSet = -1;
}

int GetItemNotifySettingsAt(const std::string& storeKeyPath, int item, int* sound, int* notify,
                            const char* modelName) {
    if (storeKeyPath.empty()) {
        return GetItemNotifySettingsIn(nullptr, item, sound, notify, modelName);
    }
    RegistryKey key(HKEY_CURRENT_USER, storeKeyPath.c_str());
    return GetItemNotifySettingsIn(key.IsOpen() ? key.Handle() : nullptr, item, sound, notify,
                                   modelName);
}

int GetItemNotifySettingsIn(HKEY storeKey, int item, int* sound, int* notify,
                            const char* modelName) {
    int soundFlag = 0;
    int notifyFlag = 0;
    bool soundMissing = true;
    bool notifyMissing = true;
    char itemName[16];
    snprintf(itemName, sizeof(itemName), "%03d", item);

    if (storeKey != nullptr) {
        RegistryKey key = RegistryKey::Borrow(storeKey);
        int value = key.ReadNumber("SoundNotifyEnable", kNotSet);
        if (value != kNotSet) {
            soundFlag = value;
            soundMissing = false;
        }
        RegistryKey notifyKey(storeKey, "Notify");
        value = notifyKey.ReadNumber(itemName, kNotSet);
        if (value != kNotSet) {
            notifyFlag = value;
            notifyMissing = false;
        }
    }

    if (soundMissing || notifyMissing) {
        std::string profile;
        if (FindProfileFile(modelName, &profile) == 0) {
            if (notifyMissing) {
                char key[16];
                snprintf(key, sizeof(key), "ITEM%03d", item);
                int value = static_cast<int>(
                    GetPrivateProfileIntA(modelName, key, kNotSet, profile.c_str()));
                if (value != kNotSet) {
                    notifyFlag = value;
                    notifyMissing = false;
                }
            } else {
                int value = static_cast<int>(GetPrivateProfileIntA(modelName, "SoundNotifyEnable",
                                                                   kNotSet, profile.c_str()));
                if (value != kNotSet) {
                    soundFlag = value;
                    soundMissing = false;
                }
            }
        }
    }

    soundFlag &= notifyFlag;
    if (sound != nullptr) {
        *sound = soundFlag;
    }
    if (notify != nullptr) {
        *notify = notifyFlag;
    }
    return (soundMissing ? 1 : 0) + (notifyMissing ? 1 : 0);
}

int GetItemNotifySettings(const char* printerName, const char* portName, int item, int* sound,
                          int* notify, const char* modelName) {
    std::string path;
    if (FindStoreKeyFor(printerName, portName, &path) != kStoreFound) {
        path.clear();
    }
    return GetItemNotifySettingsAt(path, item, sound, notify, modelName);
}

} // namespace krx
