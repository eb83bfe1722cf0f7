// Storage of the module-wide values.
#include "base/module/module_state.h"

#include "common/thread_frame.h"

#include "base/store/store_key_cache.h"
#include "base/trace/debug_trace.h"
#include "common/critical_section.h"

namespace krx {

namespace {

HMODULE g_selfModule = nullptr;

// The values every call shares; only touched under SharedLock().
struct SharedValues {
    std::string printerName;     // printer of the first call, kept for the module's life
    std::string driverName;      // that printer's driver, asked of the spooler once
    std::string languageSection; // profile section chosen for the user's language
};

SharedValues& Shared() {
    static SharedValues values;
    return values;
}

// Guards Shared(); made by whichever thread comes first.
CriticalSection& SharedLock() {
    static CriticalSection section;
    return section;
}

// The values used where no call's frame is current.
CallValues& OutsideCalls() {
    static CallValues values;
    return values;
}

} // namespace

CallValues& ThisCall() {
    void* frame = CurrentFrame();
    return frame != nullptr ? *static_cast<CallValues*>(frame) : OutsideCalls();
}

CallFrame::CallFrame() : m_pPrevious(CurrentFrame()) {
    SetCurrentFrame(&m_Values);
}

CallFrame::~CallFrame() {
    SetCurrentFrame(m_pPrevious);
}

void RememberPrinterName(const char* printerName) {
    CriticalSectionLock hold(SharedLock());
    std::string& name = Shared().printerName;
    if (name.empty() && printerName != nullptr) {
        name = printerName;
    }
}

std::string RememberedPrinterName() {
    CriticalSectionLock hold(SharedLock());
    return Shared().printerName;
}

std::string RememberedDriverName(const char* printerName,
                                 std::string (*lookup)(const char* printerName)) {
    {
        CriticalSectionLock hold(SharedLock());
        if (!Shared().driverName.empty()) {
            return Shared().driverName;
        }
    }
    // The spooler is asked without the lock; the first answer is kept.
    const std::string driver = lookup(printerName);
    CriticalSectionLock hold(SharedLock());
    std::string& kept = Shared().driverName;
    if (kept.empty()) {
        kept = driver;
    }
    return kept;
}

std::string ChosenLanguageSection() {
    CriticalSectionLock hold(SharedLock());
    return Shared().languageSection;
}

void SetChosenLanguageSection(const std::string& section) {
    CriticalSectionLock hold(SharedLock());
    std::string& chosen = Shared().languageSection;
    if (chosen.empty()) {
        chosen = section;
    }
}

void ResetSharedValues() {
    CriticalSectionLock hold(SharedLock());
    Shared() = SharedValues{};
}

void InitializeModuleState() {
    ResetSharedValues();
    OutsideCalls() = CallValues{};
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
