// Names shared by the simulation kit's programs and by the tests that drive
// them: where the simulated printer reads its script, and the identity of
// the simulated installation.
#pragma once

namespace kit {

// A script value that was not set.
constexpr int kUnset = 0x7FFFFFFF;

// HKEY_CURRENT_USER key holding the simulated printer's script.
constexpr char kSimPrinterKey[] = "Software\\NorvaKit\\SimPrinter";
// Sub-key where the simulated printer lists the windows registered for its
// notifications: value "<handle>-<option>" = the window handle.
constexpr char kSimWindowsKey[] = "Software\\NorvaKit\\SimPrinter\\Windows";

// The simulated installation.
constexpr char kPrinterName[] = "Kit Printer KX500";
constexpr char kPortName[] = "KITPORT1:";
constexpr char kDriverName[] = "Kit KX500 Series";
constexpr char kModelName[] = "KX500";

} // namespace kit
