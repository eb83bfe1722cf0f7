// Store key lookup without a registry walk per query: the "Name" values of
// every printer key are kept together with change notifications on the
// base key and on every printer key. While no notification has fired, the
// cached names answer exactly as a fresh walk would (same order, same
// lowest-index rule); any change anywhere makes the next lookup walk again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win_handles.h"

namespace krx {

class StoreKeyCache {
  public:
    // Same answers as a walk of base: 0 and the path when found, 1 no match,
    // 4 base key missing.
    int Find(const char* base, const char* name, std::string* keyPath);

    // Forgets everything; the next lookup walks again.
    void Invalidate();

  private:
    struct Entry {
        std::string subKey;
        std::string nameValue;
    };
    struct BaseState {
        std::string base;
        bool valid = false;
        unique_handle changed; // manual-reset event that every watch of this base signals
        unique_hkey baseKey;
        std::vector<unique_hkey> watched;
        std::vector<Entry> entries;
    };

    BaseState& StateFor(const char* base);
    int Rebuild(BaseState& state);
    static int Walk(const char* base, const char* name, std::string* keyPath);

    std::vector<BaseState> states_;
};

// The module's cache (created on first use, released by ReleaseStoreKeyCache).
StoreKeyCache& StoreKeys();
// Closes the cache's keys; called when the module is unloaded.
void ReleaseStoreKeyCache();

} // namespace krx
