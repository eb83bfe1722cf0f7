// Where the monitor's cooperating files are installed (the host module and
// the companion program, found through the driver key) and the
// product versions in their version resources.
#pragma once

#include <string>

namespace krx {

// The message shown when the driver key is not known yet, in the
// Japanese (Shift-JIS) code page: "CommonKey cannot be obtained!".
extern const char kDriverKeyMissingText[];

// Shows kDriverKeyMissingText when Module().driverKey is empty; true when
// the key is known.
bool CheckDriverKey();

// True when a file (not a folder) exists at the path; opens nothing.
bool FileExists(const char* path);

// The driver key's "N_QHUB" when set (unchanged, even when no file exists
// there); else "InstallPath\N_QHUB05.DLL" (".\N_QHUB05.DLL" without a
// folder) when that file exists; else empty text.
std::string FindHostModule();

// "InstallPath\N_QRLY02.EXE" (or ".\N_QRLY02.EXE") when it exists, else
// empty text.
std::string FindCompanionProgram();

// 1 and the "ProductVersion" string of the file's first translation; 0 and
// empty text when the file has no version resource or no such string.
int ReadFileVersionString(const char* path, std::string* out);

// "\StringFileInfo\" + language and code page as eight upper-case hex
// digits + "\" + name.
std::string VersionStringQuery(unsigned language, unsigned codePage, const char* name);

} // namespace krx
