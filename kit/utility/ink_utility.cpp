// The simulated ink-replacement utility: the two entry points the status
// window calls for ink troubles. The direct one only records its call; the
// windowed one records it and shows a small dialog that walks the user to the
// cartridge named by the kind. Every call appends one line to the log file
// named in the registry, so that tests can see the arguments.
#include <windows.h>

#include <cstdio>
#include <string>

#include "kit_utility.h"
#include "utility_resource.h"

namespace {

HINSTANCE g_module = nullptr;

std::string Text(const char* s) {
    return s != nullptr ? std::string(s) : std::string("(null)");
}

bool ReadSettingString(const char* name, std::string& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kit::kUtilityKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[MAX_PATH] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    out.assign(buffer);
    return !out.empty();
}

DWORD ReadSettingNumber(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kit::kUtilityKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? value : 0;
}

// Tests see how often the utility's code was run by a load.
void CountLoad() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kit::kUtilityKey, 0, KEY_READ | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    DWORD count = ReadSettingNumber(kit::kUtilityLoadsValue) + 1;
    RegSetValueExA(key, kit::kUtilityLoadsValue, 0, REG_DWORD, reinterpret_cast<BYTE*>(&count),
                   sizeof(count));
    RegCloseKey(key);
}

void Record(const std::string& line) {
    std::string path;
    if (!ReadSettingString(kit::kUtilityLogValue, path)) {
        return;
    }
    FILE* file = fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return;
    }
    fprintf(file, "%s\r\n", line.c_str());
    fclose(file);
}

// What the dialog shows for one call.
struct ReplacementRequest {
    std::string printer;
    int kind;
    UINT autoCloseMs;
};

constexpr UINT_PTR kAutoCloseTimer = 1;

int InkTextId(int kind) {
    switch (kind) {
    case 0:
        return IDS_UT_BOTH_INKS;
    case 1:
        return IDS_UT_BLACK_INK;
    case 2:
        return IDS_UT_COLOR_INK;
    default:
        return IDS_UT_ANY_INK;
    }
}

INT_PTR CALLBACK ReplacementDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* request = reinterpret_cast<const ReplacementRequest*>(lParam);
        char ink[256] = {};
        LoadStringA(g_module, InkTextId(request->kind), ink, sizeof(ink));
        SetDlgItemTextA(dialog, IDC_UT_INK, ink);
        SetDlgItemTextA(dialog, IDC_UT_PRINTER, request->printer.c_str());
        if (request->autoCloseMs != 0) {
            SetTimer(dialog, kAutoCloseTimer, request->autoCloseMs, nullptr);
        }
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == kAutoCloseTimer) {
            KillTimer(dialog, kAutoCloseTimer);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            KillTimer(dialog, kAutoCloseTimer);
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

extern "C" {

// Replaces the cartridges the printer itself reports, without a window.
int WINAPI UtInkReplacement(const char* printer, const char* driver, const char* port,
                            const char* model) {
    Record("UtInkReplacement|" + Text(printer) + "|" + Text(driver) + "|" + Text(port) + "|" +
           Text(model));
    return 1;
}

// Guides the user through replacing the cartridges of the given kind.
int WINAPI WndInkReplacement(const char* printer, const char* driver, const char* port,
                             const char* model, int kind) {
    Record("WndInkReplacement|" + Text(printer) + "|" + Text(driver) + "|" + Text(port) + "|" +
           Text(model) + "|" + std::to_string(kind));
    ReplacementRequest request{printer != nullptr && printer[0] != '\0' ? printer : Text(port),
                               kind, ReadSettingNumber(kit::kUtilityAutoCloseValue)};
    INT_PTR result =
        DialogBoxParamA(g_module, MAKEINTRESOURCEA(IDD_UT_REPLACEMENT), GetActiveWindow(),
                        ReplacementDialogProc, reinterpret_cast<LPARAM>(&request));
    return result == IDOK ? 1 : 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        CountLoad();
    }
    return TRUE;
}

} // extern "C"
