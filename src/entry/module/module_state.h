// Module-wide values of the plug-in: created empty when the module loads and
// shared by every export call and window of the module.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

struct ModuleState {
    std::string commonKey;            // "software\NORVA\KRX3\Driver\" + driver name
    std::string languageSection;      // profile section chosen for the user's language
    std::string printerName;          // printer of the first call, kept for the module's life
    std::string driverName;           // that printer's driver, asked of the spooler once
    HMODULE resourceModule = nullptr; // language resource library of the open window
    int statusInterval = 10;          // seconds between status polls
};

ModuleState& Module();

// Sets the module-wide values to their load-time state and reads the trace
// switch; called from DllMain and by tests that link the code directly.
void InitializeModuleState();

// The plug-in's own module handle (set in DllMain; the executable's when
// linked into a test).
HMODULE SelfModule();
void SetSelfModule(HMODULE module);

} // namespace krx
