// Script loading, the printer's running state and the call log of the
// simulated printer.
#include "sim_script.h"

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

// The value's bytes; *exists tells an empty value from a missing one.
std::vector<unsigned char> ReadBinary(HKEY key, const char* name, bool* exists = nullptr) {
    DWORD size = 0;
    bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    if (exists != nullptr) {
        *exists = found;
    }
    if (!found || size == 0) {
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

SimState& State() {
    static SimState state;
    return state;
}

SimChannel* SimState::Find(int handle) {
    for (SimChannel& c : channels) {
        if (c.handle == handle) {
            return &c;
        }
    }
    return nullptr;
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
    notifyOnGetStatus = ReadInt(key, "NotifyOnGetStatus", 0);

    channels = ReadBinary(key, "Channels");
    channelFirstResult = ReadInt(key, "ChannelFirstResult", kUnset);
    channelSecondResult = ReadInt(key, "ChannelSecondResult", kUnset);
    channelAnnouncedSize = ReadInt(key, "ChannelAnnouncedSize", kUnset);
    openFailIds = ReadBinary(key, "OpenFailIds");

    deviceId = ReadBinary(key, "DeviceID", &hasDeviceId);
    deviceIdFirstResult = ReadInt(key, "DeviceIDFirstResult", kUnset);
    deviceIdSecondResult = ReadInt(key, "DeviceIDSecondResult", kUnset);
    deviceIdAnnouncedSize = ReadInt(key, "DeviceIDAnnouncedSize", kUnset);

    infoReply = ReadBinary(key, "InfoReply");
    irReply = ReadBinary(key, "IRReply");
    receiveReply = ReadBinary(key, "ReceiveReply");
    deferReply = ReadInt(key, "DeferReply", 0) != 0;
    receiveFirstResult = ReadInt(key, "ReceiveFirstResult", kUnset);
    receiveSecondResult = ReadInt(key, "ReceiveSecondResult", kUnset);
    receiveAnnouncedSize = ReadInt(key, "ReceiveAnnouncedSize", kUnset);
    receiveReturnedLength = ReadInt(key, "ReceiveReturnedLength", kUnset);

    postOnSetOption = ReadInt(key, "PostOnSetOption", 0) != 0;
    RegCloseKey(key);
}

void PublishRegistration(int handle, int option, HWND window) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSimWindowsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    char name[32];
    snprintf(name, sizeof(name), "%d-%d", handle, option);
    DWORD value = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window));
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

void WithdrawRegistrations(int handle) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimWindowsKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    for (int option : {3, 4}) {
        char name[32];
        snprintf(name, sizeof(name), "%d-%d", handle, option);
        RegDeleteValueA(key, name);
    }
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
