// Store lookups and writes; a printer without a store key is never an error.
#include "entry/store/status_store.h"

#include <windows.h>

#include <cstring>

#include "entry/registry/registry_key.h"

namespace krx {

namespace {

constexpr char kByPrinterBase[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget";
constexpr char kByPortBase[] = "software\\NORVA\\KRX3\\KRXData\\NRNTarget";

bool IsEmpty(const char* s) { return s == nullptr || *s == '\0'; }

bool EqualsIgnoringAsciiCase(const std::string& a, const char* b) {
    size_t n = strlen(b);
    if (a.size() != n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) {
            return false;
        }
    }
    return true;
}

} // namespace

int FindStoreKey(const char* name, int kind, std::string* keyPath) {
    const char* base = nullptr;
    if (kind == kStoreByPrinterName) {
        base = kByPrinterBase;
    } else if (kind == kStoreByPortName) {
        base = kByPortBase;
    } else {
        return kStoreBadKind;
    }
    RegistryKey baseKey(HKEY_CURRENT_USER, base);
    if (!baseKey.IsOpen()) {
        return kStoreNoBase;
    }
    const char* wanted = name != nullptr ? name : "";
    for (DWORD index = 0;; ++index) {
        std::string subKey = baseKey.EnumerateSubKey(index);
        if (subKey.empty()) {
            return kStoreNoMatch;
        }
        // Opened relative to the base key: one lookup instead of a full path walk.
        RegistryKey printerKey(baseKey.Handle(), subKey.c_str());
        if (!printerKey.IsOpen()) {
            continue;
        }
        std::string storedName = printerKey.ReadText("Name", "");
        if (!storedName.empty() && EqualsIgnoringAsciiCase(storedName, wanted)) {
            if (keyPath != nullptr) {
                *keyPath = std::string(base) + "\\" + subKey;
            }
            return kStoreFound;
        }
    }
}

int FindStoreKeyFor(const char* printerName, const char* portName, std::string* keyPath) {
    if (!IsEmpty(printerName) || IsEmpty(portName)) {
        return FindStoreKey(printerName, kStoreByPrinterName, keyPath);
    }
    return FindStoreKey(portName, kStoreByPortName, keyPath);
}

int StoreStatusReplyAt(const std::string& keyPath, const void* bytes, unsigned length) {
    if (keyPath.empty()) {
        return 1;
    }
    RegistryKey key(HKEY_CURRENT_USER, keyPath.c_str(), true, RegistryKey::kAllAccess);
    if (!key.IsOpen()) {
        return 2;
    }
    key.WriteBytes("Status", bytes, length);
    return 0;
}

void SetComStatusAt(const std::string& keyPath, int value) {
    if (keyPath.empty()) {
        return;
    }
    RegistryKey key(HKEY_CURRENT_USER, keyPath.c_str(), true, RegistryKey::kAllAccess);
    key.WriteNumber("ComStatus", static_cast<DWORD>(value));
}

int StoreStatusReply(const char* printerName, const char* portName, const void* bytes,
                     unsigned length) {
    std::string path;
    if (FindStoreKeyFor(printerName, portName, &path) != kStoreFound) {
        return 1;
    }
    return StoreStatusReplyAt(path, bytes, length);
}

void SetComStatus(const char* printerName, const char* portName, int value) {
    std::string path;
    if (FindStoreKeyFor(printerName, portName, &path) == kStoreFound) {
        SetComStatusAt(path, value);
    }
}

int GetComStatus(const char* printerName, const char* portName) {
    std::string path;
    if (FindStoreKeyFor(printerName, portName, &path) != kStoreFound) {
        return kComStatusNoted;
    }
    RegistryKey key(HKEY_CURRENT_USER, path.c_str(), true, RegistryKey::kAllAccess);
    return key.ReadNumber("ComStatus", kComStatusNoted);
}

int ReadStoredStatus(const char* printerName, const char* portName, void* destination,
                     unsigned* length) {
    std::string path;
    if (FindStoreKeyFor(printerName, portName, &path) != kStoreFound) {
        return -1;
    }
    RegistryKey key(HKEY_CURRENT_USER, path.c_str());
    if (!key.IsOpen()) {
        return -1;
    }
    if (destination == nullptr) {
        DWORD size = key.ValueSize("Status");
        if (length != nullptr) {
            *length = size;
        }
        return size == 0 ? 0 : 1;
    }
    std::vector<unsigned char> data = key.ReadBytes("Status");
    if (data.empty()) {
        return 0;
    }
    // A newer, longer reply may have arrived since the size was asked: copy
    // no more than the caller's buffer holds.
    unsigned capacity = length != nullptr ? *length : 0;
    unsigned count = data.size() < capacity ? static_cast<unsigned>(data.size()) : capacity;
    memcpy(destination, data.data(), count);
    if (length != nullptr) {
        *length = count;
    }
    return 1;
}

} // namespace krx
