// Narrow seam in front of the print spooler calls the plug-in makes, so that
// tests can answer what Wine's spooler cannot (job data types, other
// processes' jobs) or count the calls. Defaults to winspool.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

namespace krx {

struct SpoolerApi {
    BOOL(WINAPI* openPrinter)(LPSTR, LPHANDLE, LPPRINTER_DEFAULTSA);
    BOOL(WINAPI* getPrinter)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD);
    BOOL(WINAPI* getJob)(HANDLE, DWORD, DWORD, LPBYTE, DWORD, LPDWORD);
    BOOL(WINAPI* closePrinter)(HANDLE);
};

// The table in use; tests may replace entries and must restore them.
SpoolerApi& Spooler();
const SpoolerApi& DefaultSpooler();

// The printer's driver name from its level-2 information; empty when the
// printer cannot be opened or read.
std::string ReadPrinterDriverName(const char* printerName);

} // namespace krx
