// Typed loader of krxstat.dll for the host stand-in: loads the plug-in the
// way the status-monitor host does and resolves the exports by name.
#pragma once

#include <windows.h>

#include "krxstat.h"

namespace host {

class Plugin {
  public:
    Plugin() = default;
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // Loads the plug-in; false (with a message) when it or PrGetStatusB is
    // missing. Exports that later builds add are resolved by Export().
    bool Load(const char* path = "krxstat.dll");

    template <typename Fn> Fn Export(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    HMODULE Module() const { return module_; }
    PFN_PrGetStatusB getStatus = nullptr;

  private:
    HMODULE module_ = nullptr;
};

} // namespace host
