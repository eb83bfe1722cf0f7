// Script loading for the simulated printer.
#include "sim_script.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "kit_paths.h"

namespace kit {

namespace {

int ReadInt(HKEY key, const char* name, int fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(value)) {
        return fallback;
    }
    return static_cast<int>(value);
}

std::vector<unsigned char> ReadBinary(HKEY key, const char* name) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0) {
        return {};
    }
    std::vector<unsigned char> data(size);
    if (RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    data.resize(size);
    return data;
}

std::string ReadString(HKEY key, const char* name) {
    std::vector<unsigned char> data = ReadBinary(key, name);
    std::string text(data.begin(), data.end());
    size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    return text;
}

} // namespace

SimScript& Script() {
    static SimScript script;
    return script;
}

void SimScript::Load() {
    *this = SimScript{};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimPrinterKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    initResult = ReadInt(key, "InitResult", 0);
    releaseResult = ReadInt(key, "ReleaseResult", 1);
    live = ReadInt(key, "Live", 0) != 0;
    callLog = ReadString(key, "CallLog");
    statusReply = ReadBinary(key, "StatusReply");
    statusFirstResult = ReadInt(key, "StatusFirstResult", kUnset);
    statusSecondResult = ReadInt(key, "StatusSecondResult", kUnset);
    statusAnnouncedSize = ReadInt(key, "StatusAnnouncedSize", kUnset);
    statusReturnedLength = ReadInt(key, "StatusReturnedLength", kUnset);
    RegCloseKey(key);
}

void LogCall(const char* format, ...) {
    const std::string& path = Script().callLog;
    if (path.empty()) {
        return;
    }
    FILE* file = fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputc('\n', file);
    fclose(file);
}

} // namespace kit
