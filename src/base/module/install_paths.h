// Where the driver's files are installed: the folders its driver key names
// (the install folder, the pages folder), the host module and the companion
// program found there, and the product versions in their version resources.
#pragma once

#include <string>

namespace krx {

// The message shown when the driver key is not known yet, in the
// Japanese (Shift-JIS) code page: "CommonKey cannot be obtained!".
extern const char kDriverKeyMissingText[];

// Shows kDriverKeyMissingText when ThisCall().driverKey is empty; true when
// the key is known.
bool CheckDriverKey();

// Values of a driver key that name a folder.
constexpr char kInstallPathValue[] = "InstallPath";
constexpr char kPagesPathValue[] = "HTMLInstallPath";

// The folder that a value of the driver key names (at most 256 characters),
// with a trailing "\". Empty when the key or the value is missing or empty,
// and when the value is not a full path: such a folder would be looked for
// from the host's current folder, where anyone may have put a file.
std::string DriverKeyFolder(const std::string& driverKey, const char* valueName);

// The install folder ("InstallPath") of the module's driver key, as above;
// every file of the install folder is looked for through it.
std::string DriverInstallFolder();

// The driver key's "N_QHUB" when set (unchanged, even when no file exists
// there); else "N_QHUB05.DLL" of the install folder when that file exists;
// else empty text.
std::string FindHostModule();

// "N_QRLY02.EXE" of the install folder when it exists, else empty text.
std::string FindCompanionProgram();

// 1 and the "ProductVersion" string of the file's first translation; 0 and
// empty text when the file has no version resource or no such string.
int ReadFileVersionString(const char* path, std::string* out);

// "\StringFileInfo\" + language and code page as eight upper-case hex
// digits + "\" + name.
std::string VersionStringQuery(unsigned language, unsigned codePage, const char* name);

} // namespace krx
