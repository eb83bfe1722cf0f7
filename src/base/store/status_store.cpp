// Store lookups and writes; a printer without a store key is never an error.
#include "base/store/status_store.h"

#include <windows.h>

#include <cstring>

#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"
#include "base/store/store_key_cache.h"

namespace krx {

namespace {

using regkey::kByPortBase;
using regkey::kByPrinterBase;
using regkey::kDebugKey;

bool IsEmpty(const char* s) {
    return s == nullptr || *s == '\0';
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
    return StoreKeys().Find(base, name != nullptr ? name : "", keyPath);
}

int FindStoreKeyFor(const char* printerName, const char* portName, std::string* keyPath) {
    if (!IsEmpty(printerName) || IsEmpty(portName)) {
        return FindStoreKey(printerName, kStoreByPrinterName, keyPath);
    }
    return FindStoreKey(portName, kStoreByPortName, keyPath);
}

RegistryKey OpenStoreKeyForWriting(const std::string& keyPath) {
    return RegistryKey(HKEY_CURRENT_USER, keyPath.empty() ? nullptr : keyPath.c_str(), true,
                       RegistryKey::kAllAccess);
}

RegistryKey OpenStoreKeyForReading(const std::string& keyPath) {
    return RegistryKey(HKEY_CURRENT_USER, keyPath.empty() ? nullptr : keyPath.c_str());
}

int StoreStatusReplyIn(const RegistryKey& key, const void* bytes, unsigned length) {
    if (!key.IsOpen()) {
        return kStoreNotWritable;
    }
    key.WriteBytes("Status", bytes, length);
    return kStoreWritten;
}

void SetComStatusIn(const RegistryKey& key, int value) {
    key.WriteNumber("ComStatus", static_cast<DWORD>(value));
}

int GetComStatusIn(const RegistryKey& key) {
    return key.ReadNumber("ComStatus", kComStatusNoted);
}

std::vector<unsigned char> ReadStoredStatusIn(const RegistryKey& key) {
    return key.ReadBytes("Status");
}

int StoreStatusReplyAt(const std::string& keyPath, const void* bytes, unsigned length) {
    if (keyPath.empty()) {
        return kStoreNoKey;
    }
    return StoreStatusReplyIn(OpenStoreKeyForWriting(keyPath), bytes, length);
}

void SetComStatusAt(const std::string& keyPath, int value) {
    if (!keyPath.empty()) {
        SetComStatusIn(OpenStoreKeyForWriting(keyPath), value);
    }
}

int StoreStatusReply(const char* printerName, const char* portName, const void* bytes,
                     unsigned length) {
    std::string path;
    if (FindStoreKeyFor(printerName, portName, &path) != kStoreFound) {
        return kStoreNoKey;
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
    return GetComStatusAt(path);
}

int GetComStatusAt(const std::string& keyPath) {
    if (keyPath.empty()) {
        return kComStatusNoted;
    }
    return GetComStatusIn(OpenStoreKeyForReading(keyPath));
}

int ReadStoredStatus(const char* printerName, const char* portName, void* destination,
                     unsigned* length) {
    std::string path;
    if (FindStoreKeyFor(printerName, portName, &path) != kStoreFound) {
        return kStoredReplyNoKey;
    }
    return ReadStoredStatusAt(path, destination, length);
}

int ReadStoredStatusAt(const std::string& keyPath, void* destination, unsigned* length) {
    if (keyPath.empty()) {
        return kStoredReplyNoKey;
    }
    RegistryKey key = OpenStoreKeyForReading(keyPath);
    if (!key.IsOpen()) {
        return kStoredReplyNoKey;
    }
    if (destination == nullptr) {
        DWORD size = key.ValueSize("Status");
        if (length != nullptr) {
            *length = size;
        }
        return size == 0 ? kStoredReplyNone : kStoredReplyRead;
    }
    std::vector<unsigned char> data = ReadStoredStatusIn(key);
    if (data.empty()) {
        return kStoredReplyNone;
    }
    // A newer, longer reply may have arrived since the size was asked: copy
    // no more than the caller's buffer holds.
    unsigned capacity = length != nullptr ? *length : 0;
    unsigned count = data.size() < capacity ? static_cast<unsigned>(data.size()) : capacity;
    memcpy(destination, data.data(), count);
    if (length != nullptr) {
        *length = count;
    }
    return kStoredReplyRead;
}

std::string ReadDebugStatusReply() {
    return RegistryKey(HKEY_LOCAL_MACHINE, kDebugKey).ReadText("Status", "");
}

} // namespace krx
