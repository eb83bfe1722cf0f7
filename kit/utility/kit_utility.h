// The simulated ink-replacement utility (kitinkut.dll): its entry points as
// the status window calls them, and where it records those calls. Shared by
// the utility and by the tests that read its record.
#pragma once

#include <windows.h>

namespace kit {

// HKEY_CURRENT_USER key of the utility's settings.
constexpr char kUtilityKey[] = "Software\\NorvaKit\\InkUtility";
// String value: file that every call appends one line to; no value, no record.
constexpr char kUtilityLogValue[] = "LogFile";
// 32-bit value: the windowed entry point's dialog closes itself after this
// many milliseconds (0 or missing: it waits for the user).
constexpr char kUtilityAutoCloseValue[] = "AutoCloseMs";

// 32-bit value: counts the utility's loads (each runs its DllMain), kept only
// while the key exists.
constexpr char kUtilityLoadsValue[] = "Loads";

// File name of the utility, as the model profile names it.
constexpr char kUtilityFileName[] = "kitinkut.dll";

// Printer, driver, port, model section.
typedef int(WINAPI* PFN_UtInkReplacement)(const char*, const char*, const char*, const char*);
// The same and the ink-replacement kind (0 both inks, 1 black, 2 colour).
typedef int(WINAPI* PFN_WndInkReplacement)(const char*, const char*, const char*, const char*, int);

} // namespace kit
