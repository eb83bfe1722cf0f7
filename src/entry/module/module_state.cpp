// Storage of the module-wide values.
#include "entry/module/module_state.h"

#include "entry/store/store_key_cache.h"
#include "entry/trace/debug_trace.h"

namespace krx {

namespace {
HMODULE g_selfModule = nullptr;
}

ModuleState& Module() {
    static ModuleState state;
    return state;
}

void InitializeModuleState() {
    Module() = ModuleState{};
    StoreKeys().Invalidate();
    LoadTraceSwitch();
}

HMODULE SelfModule() {
    return g_selfModule != nullptr ? g_selfModule : GetModuleHandleA(nullptr);
}

void SetSelfModule(HMODULE module) {
    g_selfModule = module;
}

} // namespace krx
