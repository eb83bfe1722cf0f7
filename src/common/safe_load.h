// Libraries and programs named by the installation (registry, model file,
// host), loaded and started only from where they belong: a full path as
// given, or a bare name from the application's and the system's folders,
// never from the current directory or PATH.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace krx {

// "C:\..." or "\\server\...": a path that names one file wherever the
// process stands.
bool IsFullPath(const std::string& path);

// True when a file (not a folder) exists at the path; opens nothing.
bool FileExists(const std::string& path);

// A library whose code runs (entry points, window classes). Its own
// dependencies are looked for beside it and in the system folders. Null for
// an empty name or a relative path with folders (relative to the current
// directory).
HMODULE LoadCodeLibrary(const std::string& name);

// A library used for its resources only (dialogs, strings, icons, bitmaps):
// mapped as an image, none of its code runs.
HMODULE LoadResourceLibrary(const std::string& name);

// The full path of a program: the name itself when it is a full path, else
// the first of the folders (each ending in "\" or empty, which is skipped)
// that holds a file of that name. Empty when there is none.
std::string FindProgram(const std::string& name, const std::vector<std::string>& folders);

// Folder of the host's executable, with a trailing "\".
std::string ApplicationFolder();

// Starts the program at a full path, its name given to the system apart
// from the command line (so nothing is searched); the command line begins
// with the quoted path. True when it started.
bool StartProgram(const std::string& fullPath, std::string commandLine, WORD showCommand);

// The system folder, with a trailing "".
std::string SystemFolder();

} // namespace krx
