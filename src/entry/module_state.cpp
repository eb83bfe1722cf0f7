// Storage of the module-wide values and of the per-thread frame pointer.
#include "entry/module_state.h"

#include "entry/store/store_key_cache.h"
#include "entry/trace/debug_trace.h"
#include "jobs/critical_section.h"

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

// Thread-local slot of the current frame: a plain TLS index, so that no
// thread-exit code of this module runs in a host thread after unload.
volatile LONG g_tlsIndex = static_cast<LONG>(TLS_OUT_OF_INDEXES);

DWORD FrameSlot() {
    LONG index = g_tlsIndex;
    if (index != static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        return static_cast<DWORD>(index);
    }
    DWORD fresh = TlsAlloc();
    if (fresh == TLS_OUT_OF_INDEXES) {
        return TLS_OUT_OF_INDEXES;
    }
    LONG before = InterlockedCompareExchange(&g_tlsIndex, static_cast<LONG>(fresh),
                                             static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (before != static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        TlsFree(fresh); // another thread was first
        return static_cast<DWORD>(before);
    }
    return fresh;
}

void SetCurrentFrame(ModuleState* frame) {
    DWORD slot = FrameSlot();
    if (slot != TLS_OUT_OF_INDEXES) {
        TlsSetValue(slot, frame);
    }
}

} // namespace

ModuleState* CurrentFrame() {
    DWORD slot = FrameSlot();
    return slot != TLS_OUT_OF_INDEXES ? static_cast<ModuleState*>(TlsGetValue(slot)) : nullptr;
}

ModuleState& Module() {
    ModuleState* frame = CurrentFrame();
    return frame != nullptr ? *frame : ProcessState();
}

ModuleFrame::ModuleFrame() : previous_(CurrentFrame()) {
    state_.statusInterval = ProcessState().statusInterval;
    SetCurrentFrame(&state_);
}

ModuleFrame::~ModuleFrame() {
    SetCurrentFrame(previous_);
}

FrameSwitch::FrameSwitch(ModuleState* frame) : frame_(frame), previous_(nullptr) {
    if (frame_ != nullptr) {
        previous_ = CurrentFrame();
        SetCurrentFrame(frame_);
    }
}

FrameSwitch::~FrameSwitch() {
    if (frame_ != nullptr) {
        SetCurrentFrame(previous_);
    }
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

std::string RememberedDriverName(std::string (*lookup)(const char* printerName)) {
    std::string printer;
    {
        CriticalSectionLock hold(SharedLock());
        if (!ProcessState().driverName.empty()) {
            return ProcessState().driverName;
        }
        printer = ProcessState().printerName;
    }
    // The spooler is asked without the lock; the first answer is kept.
    const char* printerName = printer.c_str();
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
    LONG index = InterlockedExchange(&g_tlsIndex, static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (index != static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        TlsFree(static_cast<DWORD>(index));
    }
}

HMODULE SelfModule() {
    return g_selfModule != nullptr ? g_selfModule : GetModuleHandleA(nullptr);
}

void SetSelfModule(HMODULE module) {
    g_selfModule = module;
}

} // namespace krx
