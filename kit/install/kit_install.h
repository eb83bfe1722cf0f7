// The simulated installation: registry layout, spooler printer and sample
// files of an installed system, and the simulated printer's script. Used by
// the host stand-in, the demo, the benchmarks and the tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "kit_paths.h"

namespace kit {

// Folder of the running executable, with a trailing backslash.
std::string ExecutableFolder();

struct InstallOptions {
    std::string binFolder;         // where the plug-in and the kit live
    std::string bxapiPath;         // library named by "BXAPI32"; empty: none
    bool addSpoolerPrinter = true; // make the printer known to the spooler
    bool addStoreKeys = true;      // store keys under NRLTarget / NRNTarget
};

// Writes the registry of an installed system; returns false when a key
// could not be written.
bool InstallSimulatedSystem(const InstallOptions& options);
void RemoveSimulatedSystem();

// Adds a printer with the given driver to the spooler (Wine's PostScript
// driver under the kit's driver name). True when it exists afterwards.
bool AddSpoolerPrinter(const char* printerName, const char* driverName);
void RemoveSpoolerPrinter(const char* printerName);

// Deletes a registry tree; quietly does nothing when it is absent.
void DeleteTree(void* root, const char* path);

// One channel entry of the simulated printer's list.
struct SimChannelEntry {
    unsigned id;
    unsigned short attributes;
    unsigned short parameter;
};

// Writes the simulated printer's script.
class SimPrinter {
  public:
    static void Reset(); // removes every scripted value
    static void SetStatusReply(const std::string& reply);
    static void SetNumber(const char* name, int value);
    static void SetText(const char* name, const std::string& text);
    static void SetBytes(const char* name, const std::string& bytes);
    static void Remove(const char* name);
    // The channel list "Channels" as the library writes it (8 bytes each).
    static void SetChannels(const std::vector<SimChannelEntry>& entries);
    // Channel ids whose BXOpenChannel answers 0.
    static void SetOpenFailIds(const std::vector<unsigned>& ids);
    // A printer that offers the usual channels, answers its device ID with
    // the kit's model and has a printer-information reply ready.
    static void ScriptTypicalPrinter();
};

// One notification the simulated printer has registered: the window that
// asked for the option's news on the channel handle.
struct SimRegistration {
    int handle = 0;
    int option = 0;
    HWND window = nullptr;
};
// Every registration, in any process.
std::vector<SimRegistration> SimRegistrations();
// The channel handle on which the window hears the option's news; 0 when
// it registered for none.
int SimRegisteredHandle(HWND window, int option);
// The window that hears the option's news on the handle; null when none.
HWND SimRegisteredWindow(int handle, int option);

// Posts 1026 (option 4, status) or 1025 (option 3, information), with the
// channel handle as lParam, to every window the simulated printer has
// registered in any process; returns the number of windows posted to.
int PostSimNotification(int option);

// The printer-information reply of the typical printer.
std::string TypicalInfoReply();

// Reads a whole text file (empty when it is missing).
std::string ReadTextFile(const std::string& path);

} // namespace kit
