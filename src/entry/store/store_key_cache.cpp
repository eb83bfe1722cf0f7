// Cached store key lookup. The watches are armed before the names are read,
// so a change made while the cache is being filled is never missed.
#include "entry/store/store_key_cache.h"

#include <cstring>

namespace krx {

namespace {

constexpr REGSAM kWatchAccess = KEY_READ | KEY_NOTIFY;

bool EqualsIgnoringAsciiCase(const std::string& a, const char* b) {
    size_t n = strlen(b);
    if (a.size() != n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y) {
            return false;
        }
    }
    return true;
}

// The "Name" text as the walk reads it: at most 255 characters, else none.
std::string ReadName(HKEY key) {
    char buffer[257] = {};
    DWORD size = 256;
    DWORD type = 0;
    if (RegQueryValueExA(key, "Name", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    if (size >= 256 && buffer[255] != '\0') {
        return {};
    }
    buffer[size] = '\0';
    return std::string(buffer);
}

bool Watch(HKEY key, DWORD filter, HANDLE event) {
    return RegNotifyChangeKeyValue(key, FALSE, filter, event, TRUE) == ERROR_SUCCESS;
}

StoreKeyCache* g_cache = nullptr;

} // namespace

void StoreKeyCache::Invalidate() {
    states_.clear();
}

StoreKeyCache::BaseState& StoreKeyCache::StateFor(const char* base) {
    for (BaseState& s : states_) {
        if (s.base == base) {
            return s;
        }
    }
    states_.emplace_back();
    states_.back().base = base;
    states_.back().changed.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    return states_.back();
}

int StoreKeyCache::Walk(const char* base, const char* name, std::string* keyPath) {
    HKEY baseKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, base, 0, KEY_READ, &baseKey) != ERROR_SUCCESS) {
        return 4;
    }
    unique_hkey baseOwner(baseKey);
    for (DWORD index = 0;; ++index) {
        char subKey[256];
        DWORD length = sizeof(subKey);
        if (RegEnumKeyExA(baseKey, index, subKey, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            length == 0) {
            return 1;
        }
        HKEY printerKey = nullptr;
        if (RegOpenKeyExA(baseKey, subKey, 0, KEY_READ, &printerKey) != ERROR_SUCCESS) {
            continue;
        }
        unique_hkey printerOwner(printerKey);
        std::string stored = ReadName(printerKey);
        if (!stored.empty() && EqualsIgnoringAsciiCase(stored, name)) {
            if (keyPath != nullptr) {
                *keyPath = std::string(base) + "\\" + subKey;
            }
            return 0;
        }
    }
}

int StoreKeyCache::Rebuild(BaseState& state) {
    state.valid = false;
    // Closing the old watches may itself signal the event: close first, then
    // reset, then arm the new watches before any name is read.
    state.watched.clear();
    state.entries.clear();
    state.baseKey.reset();
    ResetEvent(state.changed.get());
    HKEY baseKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, state.base.c_str(), 0, kWatchAccess, &baseKey) !=
        ERROR_SUCCESS) {
        return 4;
    }
    state.baseKey.reset(baseKey);
    bool complete = Watch(baseKey, REG_NOTIFY_CHANGE_NAME, state.changed.get());
    for (DWORD index = 0;; ++index) {
        char subKey[256];
        DWORD length = sizeof(subKey);
        if (RegEnumKeyExA(baseKey, index, subKey, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            length == 0) {
            break;
        }
        HKEY printerKey = nullptr;
        if (RegOpenKeyExA(baseKey, subKey, 0, kWatchAccess, &printerKey) != ERROR_SUCCESS) {
            // A key that cannot be opened now might open later: keep walking.
            complete = false;
            continue;
        }
        unique_hkey printerOwner(printerKey);
        if (complete) {
            complete = Watch(printerKey, REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                             state.changed.get());
        }
        state.entries.push_back({subKey, ReadName(printerKey)});
        state.watched.push_back(std::move(printerOwner));
    }
    state.valid = complete;
    if (!complete) {
        state.watched.clear();
    }
    return 0;
}

int StoreKeyCache::Find(const char* base, const char* name, std::string* keyPath) {
    BaseState& state = StateFor(base);
    if (!state.changed.valid()) {
        return Walk(base, name, keyPath);
    }
    // Any change under the base since the names were read: walk again.
    if (!state.valid || WaitForSingleObject(state.changed.get(), 0) != WAIT_TIMEOUT) {
        if (Rebuild(state) != 0) {
            return 4;
        }
    }
    for (const Entry& e : state.entries) {
        if (!e.nameValue.empty() && EqualsIgnoringAsciiCase(e.nameValue, name)) {
            if (keyPath != nullptr) {
                *keyPath = state.base + "\\" + e.subKey;
            }
            return 0;
        }
    }
    return 1;
}

StoreKeyCache& StoreKeys() {
    if (g_cache == nullptr) {
        g_cache = new StoreKeyCache();
    }
    return *g_cache;
}

void ReleaseStoreKeyCache() {
    delete g_cache;
    g_cache = nullptr;
}

} // namespace krx
