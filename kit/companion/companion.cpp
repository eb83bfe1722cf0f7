// The simulated companion program of the status monitor. It has no window:
// it records the command line it was started with (when the registry names a
// log file) and ends. Its version resource is what the version dialog shows.
#include <windows.h>

#include <cstdio>

#include "kit_companion.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kit::kCompanionKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 0;
    }
    char path[MAX_PATH] = {};
    DWORD size = sizeof(path) - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, kit::kCompanionLogValue, nullptr, &type,
                               reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ || path[0] == '\0') {
        return 0;
    }
    FILE* file = fopen(path, "ab");
    if (file != nullptr) {
        fprintf(file, "%s\r\n", commandLine != nullptr ? commandLine : "");
        fclose(file);
    }
    return 0;
}
