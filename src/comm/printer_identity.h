// What the status window asks about the printer itself: its model id from
// the device ID, its driver key path, and the library's error flags left in
// the registry by a recovery.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "comm/bxapi.h"

namespace krx {

// The model id from the printer's device ID (printer name in mode 1 when
// given, else the port name in mode 0); empty when it cannot be read.
std::string GetModelID(const CBxApi& bx, const char* printerName, const char* portName);

// "software\NORVA\KRX3\Driver\" + the printer's driver name; empty when the
// spooler cannot tell the driver.
std::string GetDriverKeyPath(const char* printerName);

// Shows one box (string 1233, 1234 or 1235, caption 1100) per error flag
// set under HKLM "software\NORVA\KRX3\KRXCommon". 1 only when the key opened
// and no flag was set; the flags are never cleared.
int CheckLibraryErrorFlags(HWND owner);

// Text shown with the ink levels for the count read over the remote
// information channel (strings 3104-3106, empty when not to be shown).
std::string RemoteCountText(const uint8_t (&inkLevels)[6], unsigned count);

} // namespace krx
