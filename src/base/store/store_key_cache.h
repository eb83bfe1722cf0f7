// Store key lookup without a registry walk per query. The sub-key names and
// "Name" values of a base key are kept with change notifications: on the
// base key (printer keys added, removed or renamed) and on every printer
// key's values, except the keys that lookups have answered, which the
// plug-in writes itself ("Status", "ComStatus") and which must not make the
// next lookup walk again. Those few keys have their "Name" read again
// instead: the answer on every lookup, and any of them that lies before the
// answer (or every one of them when nothing matches). So the answers are
// those of a fresh walk, lowest index first, whatever is changed from
// outside. Sub-keys are listed by index, which shifts when a key is added or
// removed meanwhile, so only a listing during which none was is kept.
//
// Safe for several threads: one lock guards everything.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win_handles.h"
#include "common/critical_section.h"

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
        bool answered = false; // not watched: its "Name" is read at each use
    };
    struct BaseState {
        std::string base;
        bool valid = false;
        unique_handle structure; // manual-reset event: printer keys added or removed
        unique_handle changed;   // manual-reset event: values of a printer key changed
        unique_hkey baseKey;
        std::vector<unique_hkey> watched;
        std::vector<Entry> entries;
        std::vector<std::string> answered; // sub-keys that lookups have answered
    };

    BaseState& StateFor(const char* base);
    static constexpr int kUnstable = 2; // Rebuild: keys kept being added or removed
    // 0 (valid when the list can be kept), 4 base key missing, kUnstable.
    int Rebuild(BaseState& state);
    static bool Changed(const BaseState& state);
    // 1 found, 0 not found, -1 the kept names are out of date.
    static int Lookup(BaseState& state, const char* name, std::string* keyPath);
    static int Walk(const char* base, const char* name, std::string* keyPath);

    CriticalSection m_Lock;
    std::vector<BaseState> m_States;
};

// The module's cache (created on first use, released by ReleaseStoreKeyCache).
StoreKeyCache& StoreKeys();
// Closes the cache's keys; called when the module is unloaded.
void ReleaseStoreKeyCache();

} // namespace krx
