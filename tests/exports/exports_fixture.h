// The plug-in loaded as a host loads it, for tests of its exports.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "krxstat.h"

namespace exportstest {

class LoadedPlugin {
  public:
    LoadedPlugin() : module_(LoadLibraryA("krxstat.dll")) {}
    ~LoadedPlugin() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    template <typename Fn> Fn Get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

  private:
    HMODULE module_;
};

} // namespace exportstest
