// The simulated installation: registry layout, spooler printer and sample
// files of an installed system, and the simulated printer's script. Used by
// the host stand-in, the demo, the benchmarks and the tests.
#pragma once

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

// Writes the simulated printer's script.
class SimPrinter {
  public:
    static void Reset(); // removes every scripted value
    static void SetStatusReply(const std::string& reply);
    static void SetNumber(const char* name, int value);
    static void SetText(const char* name, const std::string& text);
    static void Remove(const char* name);
};

// Reads a whole text file (empty when it is missing).
std::string ReadTextFile(const std::string& path);

} // namespace kit
