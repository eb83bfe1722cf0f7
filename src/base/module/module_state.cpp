// Storage of the module-wide values.
#include "base/module/module_state.h"

#include "common/thread_frame.h"

#include "base/store/store_key_cache.h"
#include "base/trace/debug_trace.h"
#include "common/critical_section.h"

namespace krx {

namespace {

HMODULE g_selfModule = nullptr;

ModuleState& ProcessState() {
    static ModuleState state;
    return state;
}

// Guards the shared values of ProcessState(); made by whichever thread comes
// first.
CriticalSection& SharedLock() {
    static CriticalSection section;
    return section;
}

} // namespace

ModuleState& Module() {
    ModuleState* frame = CurrentFrame();
    return frame != nullptr ? *frame : ProcessState();
}

ModuleFrame::ModuleFrame() : m_pPrevious(CurrentFrame()) {
    m_State.statusInterval = ProcessState().statusInterval;
    SetCurrentFrame(&m_State);
}

ModuleFrame::~ModuleFrame() {
    SetCurrentFrame(m_pPrevious);
}

void RememberPrinterName(const char* printerName) {
    CriticalSectionLock hold(SharedLock());
    std::string& name = ProcessState().printerName;
    if (name.empty() && printerName != nullptr) {
        name = printerName;
    }
}

std::string RememberedPrinterName() {
    CriticalSectionLock hold(SharedLock());
    return ProcessState().printerName;
}

std::string RememberedDriverName(const char* printerName,
                                 std::string (*lookup)(const char* printerName)) {
    {
        CriticalSectionLock hold(SharedLock());
        if (!ProcessState().driverName.empty()) {
            return ProcessState().driverName;
        }
    }
    // The spooler is asked without the lock; the first answer is kept.
    const std::string driver = lookup(printerName);
    CriticalSectionLock hold(SharedLock());
    std::string& kept = ProcessState().driverName;
    if (kept.empty()) {
        kept = driver;
    }
    return kept;
}

std::string ChosenLanguageSection() {
    CriticalSectionLock hold(SharedLock());
    return ProcessState().languageSection;
}

void SetChosenLanguageSection(const std::string& section) {
    CriticalSectionLock hold(SharedLock());
    std::string& chosen = ProcessState().languageSection;
    if (chosen.empty()) {
        chosen = section;
    }
}

void InitializeModuleState() {
    {
        CriticalSectionLock hold(SharedLock());
        ProcessState() = ModuleState{};
    }
    StoreKeys().Invalidate();
    LoadTraceSwitch();
}

void ReleaseModuleState() {
    ReleaseStoreKeyCache();
    ReleaseFrameSlot();
}

HMODULE SelfModule() {
    return g_selfModule != nullptr ? g_selfModule : GetModuleHandleA(nullptr);
}

void SetSelfModule(HMODULE module) {
    g_selfModule = module;
}

} // namespace krx
