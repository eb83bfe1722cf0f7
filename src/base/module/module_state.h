// Module-wide values of the plug-in: created empty when the module loads.
//
// Exports may run on several threads at once and inside one another's modal
// loops, so the values are of two kinds. The remembered printer name, its
// driver name and the chosen language section are shared by every call and
// read and written only through the guarded functions below. The driver key,
// the current resource module and the status interval belong to one window
// call: each window export opens a ModuleFrame, and Module() answers the
// frame of the call running on this thread (the process-wide values when no
// call runs, as in tests that link the code directly).
#pragma once

#include <windows.h>

#include <string>

#include "common/thread_frame.h"

namespace krx {

struct ModuleState {
    std::string driverKey;            // "software\NORVA\KRX3\Driver\" + driver name
    std::string languageSection;      // profile section chosen for the user's language
    std::string printerName;          // printer of the first call, kept for the module's life
    std::string driverName;           // that printer's driver, asked of the spooler once
    HMODULE resourceModule = nullptr; // language resource library of the open window
    int statusInterval = 10;          // seconds between status polls
};

// The running call's values (see above). Only driverKey, resourceModule and
// statusInterval are per call; product code reaches the shared values
// through the functions below.
ModuleState& Module();

// The values of one window call, made current on this thread for the
// frame's life; the previous frame is current again afterwards.
class ModuleFrame {
  public:
    ModuleFrame();
    ~ModuleFrame();
    ModuleFrame(const ModuleFrame&) = delete;
    ModuleFrame& operator=(const ModuleFrame&) = delete;

    ModuleState& State() { return m_State; }

  private:
    ModuleState m_State;
    ModuleState* m_pPrevious;
};

// CurrentFrame() and FrameSwitch (common/thread_frame.h) carry the frames.

// Shared values, each read or changed under the module's lock.
void RememberPrinterName(const char* printerName); // only while none is remembered
std::string RememberedPrinterName();
// The module's driver name: while none is kept, `lookup` asks the spooler for
// printerName's driver, and the first answer that is not empty is kept.
std::string RememberedDriverName(const char* printerName,
                                 std::string (*lookup)(const char* printerName));
std::string ChosenLanguageSection();
void SetChosenLanguageSection(const std::string& section); // only while none is chosen

// Sets the module-wide values to their load-time state and reads the trace
// switch; called from DllMain and by tests that link the code directly.
void InitializeModuleState();
// Gives back what the module state holds; called when the module unloads.
void ReleaseModuleState();

// The plug-in's own module handle (set in DllMain; the executable's when
// linked into a test).
HMODULE SelfModule();
void SetSelfModule(HMODULE module);

} // namespace krx
