// The plug-in loaded as a host loads it: by name from the tests' own folder,
// unloaded when the object goes.
#pragma once

#include <windows.h>

namespace krxtest {

class LoadedPlugin {
  public:
    enum class When { Now, Later };
    explicit LoadedPlugin(When when = When::Now) {
        if (when == When::Now) {
            Load();
        }
    }
    ~LoadedPlugin() { Unload(); }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    // The plug-in reads its trace switch as it loads: a test that sets the
    // registry first loads it again.
    bool Load() {
        Unload();
        module_ = LoadLibraryA("krxstat.dll");
        return module_ != nullptr;
    }
    void Unload() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
            module_ = nullptr;
        }
    }
    bool Loaded() const { return module_ != nullptr; }
    HMODULE Handle() const { return module_; }
    template <typename Fn> Fn Get(const char* name) const {
        return module_ == nullptr
                   ? nullptr
                   : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

  private:
    HMODULE module_ = nullptr;
};

} // namespace krxtest
