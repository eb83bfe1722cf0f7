// Cached store key lookup.
#include "base/store/store_key_cache.h"

#include <cstring>

namespace krx {

namespace {

// Lookups and listings tried while the store keeps changing before the
// lookup walks the registry itself.
constexpr int kAttempts = 20;
constexpr int kListingPasses = 50;

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

StoreKeyCache* volatile g_cache = nullptr;

} // namespace

void StoreKeyCache::Invalidate() {
    CriticalSectionLock hold(m_Lock);
    m_States.clear();
}

StoreKeyCache::BaseState& StoreKeyCache::StateFor(const char* base) {
    for (BaseState& s : m_States) {
        if (s.base == base) {
            return s;
        }
    }
    m_States.emplace_back();
    m_States.back().base = base;
    m_States.back().changed.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    m_States.back().structure.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    return m_States.back();
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

static bool IsAnswered(const std::vector<std::string>& answered, const std::string& subKey) {
    for (const std::string& a : answered) {
        if (a == subKey) {
            return true;
        }
    }
    return false;
}

bool StoreKeyCache::Changed(const BaseState& state) {
    const HANDLE events[2] = {state.structure.get(), state.changed.get()};
    return WaitForMultipleObjects(2, events, FALSE, 0) != WAIT_TIMEOUT;
}

int StoreKeyCache::Rebuild(BaseState& state) {
    state.valid = false;
    // Closing the old watches may itself signal the events: close first,
    // then reset, then arm the new watches before anything is read.
    state.watched.clear();
    state.entries.clear();
    state.baseKey.reset();
    ResetEvent(state.changed.get());
    HKEY baseKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, state.base.c_str(), 0, KEY_READ | KEY_NOTIFY, &baseKey) !=
        ERROR_SUCCESS) {
        return 4;
    }
    state.baseKey.reset(baseKey);

    // Sub-keys are listed by index, and the indexes shift when a key is added
    // or removed meanwhile: only a listing during which nothing was added or
    // removed is complete.
    std::vector<std::string> names;
    bool stable = false;
    for (int pass = 0; pass < kListingPasses && !stable; ++pass) {
        ResetEvent(state.structure.get());
        if (RegNotifyChangeKeyValue(baseKey, FALSE, REG_NOTIFY_CHANGE_NAME, state.structure.get(),
                                    TRUE) != ERROR_SUCCESS) {
            return 0; // without a watch the list cannot be kept: not valid
        }
        names.clear();
        for (DWORD index = 0;; ++index) {
            char subKey[256];
            DWORD length = sizeof(subKey);
            if (RegEnumKeyExA(baseKey, index, subKey, &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS ||
                length == 0) {
                break;
            }
            names.emplace_back(subKey, length);
        }
        stable = WaitForSingleObject(state.structure.get(), 0) == WAIT_TIMEOUT;
    }
    if (!stable) {
        return kUnstable;
    }

    // A key removed after it was listed fails to open or to be watched; the
    // base key's watch has seen the removal, and the next lookup lists again.
    auto removed = [&] { return WaitForSingleObject(state.structure.get(), 0) != WAIT_TIMEOUT; };
    bool complete = true;
    for (const std::string& subKey : names) {
        HKEY printerKey = nullptr;
        if (RegOpenKeyExA(baseKey, subKey.c_str(), 0, KEY_READ | KEY_NOTIFY, &printerKey) !=
            ERROR_SUCCESS) {
            // A key that cannot be opened now might open later: do not
            // trust the list.
            complete = complete && removed();
            continue;
        }
        unique_hkey printerOwner(printerKey);
        const bool answered = IsAnswered(state.answered, subKey);
        if (!answered && RegNotifyChangeKeyValue(printerKey, FALSE, REG_NOTIFY_CHANGE_LAST_SET,
                                                 state.changed.get(), TRUE) != ERROR_SUCCESS) {
            complete = complete && removed();
            continue;
        }
        state.entries.push_back({subKey, ReadName(printerKey), answered});
        if (!answered) {
            state.watched.push_back(std::move(printerOwner));
        }
    }
    state.valid = complete;
    if (!complete) {
        state.watched.clear();
    }
    return 0;
}

int StoreKeyCache::Lookup(BaseState& state, const char* name, std::string* keyPath) {
    for (Entry& e : state.entries) {
        const bool named = !e.nameValue.empty() && EqualsIgnoringAsciiCase(e.nameValue, name);
        if (e.answered || named) {
            // Unwatched keys (and a watched one that is about to be
            // answered) are read again: has their "Name" changed?
            HKEY printerKey = nullptr;
            if (RegOpenKeyExA(state.baseKey.get(), e.subKey.c_str(), 0, KEY_READ, &printerKey) !=
                ERROR_SUCCESS) {
                return -1;
            }
            unique_hkey printerOwner(printerKey);
            if (ReadName(printerKey) != e.nameValue) {
                return -1;
            }
        }
        if (named) {
            if (!e.answered) {
                // From now on the plug-in writes into this key: the next
                // reading of the list leaves it unwatched.
                e.answered = true;
                state.answered.push_back(e.subKey);
            }
            *keyPath = state.base + "\\" + e.subKey;
            return 1;
        }
    }
    return 0;
}

int StoreKeyCache::Find(const char* base, const char* name, std::string* keyPath) {
    CriticalSectionLock hold(m_Lock);
    BaseState& state = StateFor(base);
    if (!state.changed.valid() || !state.structure.valid()) {
        return Walk(base, name, keyPath);
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (!state.valid || Changed(state)) {
            const int rc = Rebuild(state);
            if (rc == 4) {
                return 4;
            }
            if (rc == kUnstable) {
                continue;
            }
            if (!state.valid) {
                break;
            }
        }
        // The list answers as of the moment it was read; whatever changes
        // after that shows at the next lookup.
        const int found = Lookup(state, name, keyPath);
        if (found >= 0) {
            return found == 1 ? 0 : 1;
        }
        state.valid = false; // a "Name" read again has changed
    }
    // The list cannot be trusted now (a key that does not open, a watch
    // that failed, or keys added and removed faster than they are listed):
    // walk.
    return Walk(base, name, keyPath);
}

StoreKeyCache& StoreKeys() {
    StoreKeyCache* cache = g_cache;
    if (cache == nullptr) {
        auto* fresh = new StoreKeyCache();
        cache = static_cast<StoreKeyCache*>(InterlockedCompareExchangePointer(
            reinterpret_cast<PVOID volatile*>(&g_cache), fresh, nullptr));
        if (cache == nullptr) {
            cache = fresh;
        } else {
            delete fresh; // another thread was first
        }
    }
    return *cache;
}

void ReleaseStoreKeyCache() {
    delete static_cast<StoreKeyCache*>(
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&g_cache), nullptr));
}

} // namespace krx
