// Module-wide values of the plug-in: created empty when the module loads.
//
// Exports may run on several threads at once and inside one another's modal
// loops, so the values are of two kinds, kept apart:
// - the values of one export call (CallValues: the driver key, the current
//   resource module, the status interval): each export opens a CallFrame on
//   its thread, and ThisCall() answers the frame of the call running there;
//   a call made from inside another's modal loop has its own frame, and the
//   outer call's frame is current again when it returns;
// - the values shared by every call (the remembered printer name, its driver
//   name, the chosen language section): read and written only through the
//   functions below, each under the module's lock.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

// The values of one export call.
struct CallValues {
    std::string driverKey;            // "software\NORVA\KRX3\Driver\" + driver name
    HMODULE resourceModule = nullptr; // language resource library of the open window
    int statusInterval = 10;          // seconds between status polls
};

// The values of the call running on this thread. Outside any call (tests
// and kit programs that link the code directly) one set of values serves
// the process.
CallValues& ThisCall();

// The values of one export call, current on this thread for the frame's
// life, starting from their defaults; the previous frame is current again
// afterwards.
class CallFrame {
  public:
    CallFrame();
    ~CallFrame();
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;

    CallValues& Values() { return m_Values; }

  private:
    CallValues m_Values;
    void* m_pPrevious;
};

// CurrentFrame() and FrameSwitch (common/thread_frame.h) carry the frames
// to the windows of a call.

// Shared values, each read or changed under the module's lock.
void RememberPrinterName(const char* printerName); // only while none is remembered
std::string RememberedPrinterName();
// The module's driver name: while none is kept, `lookup` asks the spooler for
// printerName's driver, and the first answer that is not empty is kept.
std::string RememberedDriverName(const char* printerName,
                                 std::string (*lookup)(const char* printerName));
std::string ChosenLanguageSection();
void SetChosenLanguageSection(const std::string& section); // only while none is chosen

// Forgets the shared values, as when the module has just loaded; for tests
// that link the code directly and need a fresh module.
void ResetSharedValues();

// Sets the module-wide values (the shared ones and those outside any call)
// to their load-time state and reads the trace switch; called from DllMain
// and by tests that link the code directly.
void InitializeModuleState();
// Gives back what the module state holds; called when the module unloads.
void ReleaseModuleState();

// The plug-in's own module handle (set in DllMain; the executable's when
// linked into a test).
HMODULE SelfModule();
void SetSelfModule(HMODULE module);

} // namespace krx
