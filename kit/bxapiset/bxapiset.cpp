// The simulated settings tool of the bidirectional library. Started as
//   bxapiset.exe /Act=Ch /AN="<driver>" /Ret=WM:<hwnd>;<message> /BXP=A:On
// with the window and message as eight hexadecimal digits each, it records
// what it was given and posts the scripted report flags to that window.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "bxapiset_script.h"

namespace {

struct ToolRequest {
    std::string driver;
    HWND window = nullptr;
    UINT message = 0;
    bool valid = false;
};

bool ParseHex8(const char* text, unsigned long* value) {
    for (int i = 0; i < 8; ++i) {
        const char c = text[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!hex) {
            return false;
        }
    }
    char digits[9] = {};
    std::memcpy(digits, text, 8);
    *value = std::strtoul(digits, nullptr, 16);
    return true;
}

ToolRequest Parse(const char* line) {
    ToolRequest request;
    if (std::strstr(line, "/Act=Ch") == nullptr || std::strstr(line, "/BXP=A:On") == nullptr) {
        return request;
    }
    const char* name = std::strstr(line, "/AN=\"");
    if (name == nullptr) {
        return request;
    }
    name += 5;
    const char* end = std::strchr(name, '"');
    if (end == nullptr) {
        return request;
    }
    request.driver.assign(name, end);
    const char* ret = std::strstr(end, "/Ret=WM:");
    if (ret == nullptr) {
        return request;
    }
    ret += 8;
    unsigned long window = 0;
    unsigned long message = 0;
    if (!ParseHex8(ret, &window) || ret[8] != ';' || !ParseHex8(ret + 9, &message)) {
        return request;
    }
    request.window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(window));
    request.message = static_cast<UINT>(message);
    request.valid = true;
    return request;
}

void WriteText(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

void WriteNumber(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kit::kSettingsToolKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return 1;
    }
    const char* line = commandLine != nullptr ? commandLine : "";
    WriteText(key, kit::kSettingsToolCommandLine, line);
    const ToolRequest request = Parse(line);
    DWORD flags = 0;
    DWORD size = sizeof(flags);
    DWORD type = 0;
    const bool scripted =
        RegQueryValueExA(key, kit::kSettingsToolReport, nullptr, &type,
                         reinterpret_cast<BYTE*>(&flags), &size) == ERROR_SUCCESS &&
        type == REG_DWORD;
    bool posted = false;
    if (request.valid) {
        WriteText(key, kit::kSettingsToolDriver, request.driver);
        if (scripted && IsWindow(request.window)) {
            posted = PostMessageA(request.window, request.message, 0, static_cast<LPARAM>(flags));
        }
    }
    WriteNumber(key, kit::kSettingsToolPosted, posted ? 1 : 0);
    RegCloseKey(key);
    return request.valid ? 0 : 2;
}
