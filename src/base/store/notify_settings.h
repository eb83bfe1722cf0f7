// Per-printer notify and sound choices for a notification item: the store
// key first, the model profile file as the fallback.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

// Returns how many of the two settings were found nowhere (0, 1 or 2). The
// sound flag is ANDed with the notify flag.
int GetItemNotifySettings(const char* printerName, const char* portName, int item, int* sound,
                          int* notify, const char* modelName);

// The same with the store key already found (empty path: no store key).
int GetItemNotifySettingsAt(const std::string& storeKeyPath, int item, int* sound, int* notify,
                            const char* modelName);

// The same with the store key already open (null: no store key).
int GetItemNotifySettingsIn(HKEY storeKey, int item, int* sound, int* notify,
                            const char* modelName);

} // namespace krx
