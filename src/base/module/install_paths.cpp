// Installed files and their version resources.
#include "base/module/install_paths.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/safe_load.h"
#include "base/module/message_box.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"

namespace krx {

const char kDriverKeyMissingText[] =
    "CommonKey\x82\xAA\x8E\xE6\x93\xBE\x82\xC5\x82\xAB\x82\xC8\x82\xA2\x81\x49";

namespace {

constexpr char kHostModuleName[] = "N_QHUB05.DLL";
constexpr char kCompanionName[] = "N_QRLY02.EXE";

// Releases a global memory block that is locked.
struct LockedGlobal {
    HGLOBAL handle;
    void* data;
    explicit LockedGlobal(SIZE_T size)
        : handle(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)),
          data(handle != nullptr ? GlobalLock(handle) : nullptr) {}
    ~LockedGlobal() {
        if (handle != nullptr) {
            if (data != nullptr) {
                GlobalUnlock(handle);
            }
            GlobalFree(handle);
        }
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
};

constexpr DWORD kFolderTextSize = 257; // 256 characters and the terminator

std::string InstalledFile(const char* fileName) {
    const std::string folder = DriverInstallFolder();
    if (folder.empty()) {
        return std::string();
    }
    const std::string path = folder + fileName;
    return FileExists(path) ? path : std::string();
}

} // namespace

bool CheckDriverKey() {
    if (!ThisCall().driverKey.empty()) {
        return true;
    }
    ShowTextMessageBox(nullptr, kDriverKeyMissingText, nullptr, MB_OK);
    return false;
}

std::string DriverKeyFolder(const std::string& driverKey, const char* valueName) {
    if (driverKey.empty()) {
        return std::string();
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, driverKey.c_str());
    if (!key.IsOpen()) {
        return std::string();
    }
    const std::string folder = key.ReadText(valueName, "", kFolderTextSize);
    return IsFullPath(folder) ? folder + "\\" : std::string();
}

std::string DriverInstallFolder() {
    return DriverKeyFolder(ThisCall().driverKey, kInstallPathValue);
}

std::string FindHostModule() {
    CheckDriverKey();
    if (!ThisCall().driverKey.empty()) {
        RegistryKey key(HKEY_LOCAL_MACHINE, ThisCall().driverKey.c_str());
        std::string configured = key.ReadText("N_QHUB", "");
        if (!configured.empty()) {
            return configured;
        }
    }
    return InstalledFile(kHostModuleName);
}

std::string FindCompanionProgram() {
    CheckDriverKey();
    return InstalledFile(kCompanionName);
}

std::string VersionStringQuery(unsigned language, unsigned codePage, const char* name) {
    char query[64];
    snprintf(query, sizeof(query), "\\StringFileInfo\\%04X%04X\\", language & 0xFFFF,
             codePage & 0xFFFF);
    return std::string(query) + (name != nullptr ? name : "");
}

int ReadFileVersionString(const char* path, std::string* out) {
    if (out == nullptr) {
        return 0;
    }
    out->clear();
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        return 0;
    }
    LockedGlobal block(size);
    if (block.data == nullptr || !GetFileVersionInfoA(path, 0, size, block.data)) {
        return 0;
    }
    void* translation = nullptr;
    UINT translationLength = 0;
    if (!VerQueryValueA(block.data, "\\VarFileInfo\\Translation", &translation,
                        &translationLength) ||
        translation == nullptr || translationLength < 2 * sizeof(WORD)) {
        return 0;
    }
    const WORD* pair = static_cast<const WORD*>(translation);
    std::string query = VersionStringQuery(pair[0], pair[1], "ProductVersion");
    void* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueA(block.data, query.c_str(), &value, &valueLength) || value == nullptr) {
        return 0;
    }
    // The length counts characters within the block; stop at the terminator
    // or there, whichever comes first.
    const char* text = static_cast<const char*>(value);
    size_t length = strnlen(text, valueLength);
    out->assign(text, length);
    return 1;
}

} // namespace krx
