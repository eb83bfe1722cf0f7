// Loading libraries and starting programs without the current directory or
// PATH.
#include "common/safe_load.h"

#include "common/win_handles.h"

namespace krx {

namespace {

// Search flags of newer systems; older ones refuse them as an invalid
// parameter, and then the folders are searched here.
constexpr DWORD kSearchDllLoadDir = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchDefaultDirs = 0x00001000; // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
constexpr DWORD kAsImageResource = 0x00000020;   // LOAD_LIBRARY_AS_IMAGE_RESOURCE

bool HasFolder(const std::string& name) {
    return name.find_first_of("\\/:") != std::string::npos;
}

// Full path first; a bare name through the safe folders.
HMODULE Load(const std::string& name, DWORD kind, DWORD olderKind) {
    if (name.empty()) {
        return nullptr;
    }
    const bool full = IsFullPath(name);
    if (!full && HasFolder(name)) {
        return nullptr;
    }
    const DWORD search = full ? kSearchDllLoadDir | kSearchDefaultDirs : kSearchDefaultDirs;
    HMODULE module = LoadLibraryExA(name.c_str(), nullptr, kind | search);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    // A system without the search flags.
    if (full) {
        return LoadLibraryExA(name.c_str(), nullptr, olderKind);
    }
    for (const std::string& folder : {ApplicationFolder(), SystemFolder()}) {
        if (!folder.empty() && FileExists(folder + name)) {
            return LoadLibraryExA((folder + name).c_str(), nullptr, olderKind);
        }
    }
    return nullptr;
}

} // namespace

bool IsFullPath(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/') &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    const bool unc = path.size() >= 3 && path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

bool FileExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HMODULE LoadCodeLibrary(const std::string& name) {
    return Load(name, 0, IsFullPath(name) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
}

HMODULE LoadResourceLibrary(const std::string& name) {
    return Load(name, kAsImageResource | LOAD_LIBRARY_AS_DATAFILE, LOAD_LIBRARY_AS_DATAFILE);
}

std::string FindProgram(const std::string& name, const std::vector<std::string>& folders) {
    if (name.empty()) {
        return std::string();
    }
    if (IsFullPath(name)) {
        return FileExists(name) ? name : std::string();
    }
    for (const std::string& folder : folders) {
        if (!folder.empty() && IsFullPath(folder) && FileExists(folder + name)) {
            return folder + name;
        }
    }
    return std::string();
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return std::string();
    }
    return std::string(path, n) + "\\";
}

std::string ApplicationFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return std::string();
    }
    const std::string file(path, n);
    const size_t slash = file.rfind('\\');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

bool StartProgram(const std::string& fullPath, std::string commandLine, WORD showCommand) {
    if (!IsFullPath(fullPath) || commandLine.empty()) {
        return false;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(fullPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        return false;
    }
    unique_handle process(started.hProcess);
    unique_handle thread(started.hThread);
    return true;
}

} // namespace krx
