// What the status window asks about the printer itself: its model id from
// the device ID, its driver key path, and the library's error flags left in
// the registry by a recovery. What the user is shown of them is the
// window's business (ui/printer_messages.h).
#pragma once

#include <string>

#include "comm/bxapi.h"

namespace krx {

// Far above any IEEE 1284 device ID; a larger announced size is a fault.
constexpr int kMaxDeviceIdSize = 64 * 1024;

// The model id from the printer's device ID (printer name in mode 1 when
// given, else the port name in mode 0); empty when it cannot be read or is
// announced larger than kMaxDeviceIdSize.
std::string GetModelID(const CBxApi& bx, const char* printerName, const char* portName);

// "software\NORVA\KRX3\Driver\" + the printer's driver name; empty when the
// spooler cannot tell the driver.
std::string GetDriverKeyPath(const char* printerName);

// The error flags a recovery of the library leaves under HKLM
// "software\NORVA\KRX3\KRXCommon" (a flag is set when its value is 1).
struct LibraryErrorFlags {
    bool keyOpen = false;
    bool replaced = false;   // "RST_FREPLACE"
    bool inUse = false;      // "ERR_BXAPIINUSE"
    bool otherError = false; // "ERR_OTHERS"
};

// Reads the flags; they are never cleared.
LibraryErrorFlags ReadLibraryErrorFlags();

} // namespace krx
