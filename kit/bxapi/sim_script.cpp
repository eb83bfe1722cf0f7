// Script loading, the printer's running state and the call log of the
// simulated printer.
#include "sim_script.h"
#include "call_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "kit_paths.h"

namespace kit {

namespace {

// The script key's values, read in one pass: a status read may reload the
// script, and the benchmark counts every load of the library.
class ScriptValues {
  public:
    explicit ScriptValues(HKEY key) {
        // A test may rewrite a value while it is read: a value that grew
        // since the sizes were asked means reading the whole key again.
        for (int attempt = 0; attempt < 5 && !ReadAll(key); ++attempt) {
            values_.clear();
        }
    }

    int Int(const char* name, int fallback) const {
        const Value* v = Find(name);
        if (v == nullptr || v->data.size() != sizeof(DWORD)) {
            return fallback;
        }
        DWORD value = 0;
        memcpy(&value, v->data.data(), sizeof(value));
        return static_cast<int>(value);
    }

    // The value's bytes; *exists tells an empty value from a missing one.
    std::vector<unsigned char> Bytes(const char* name, bool* exists = nullptr) const {
        const Value* v = Find(name);
        if (exists != nullptr) {
            *exists = v != nullptr;
        }
        return v != nullptr ? v->data : std::vector<unsigned char>();
    }

    std::string Text(const char* name) const {
        std::vector<unsigned char> data = Bytes(name);
        std::string text(data.begin(), data.end());
        size_t nul = text.find('\0');
        if (nul != std::string::npos) {
            text.resize(nul);
        }
        return text;
    }

  private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<unsigned char> data;
    };
    bool ReadAll(HKEY key) {
        DWORD count = 0;
        DWORD maxName = 0;
        DWORD maxData = 0;
        if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                             &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
            return true;
        }
        std::vector<char> name(maxName + 1);
        std::vector<unsigned char> data(maxData + 1);
        for (DWORD i = 0; i < count; ++i) {
            DWORD nameLength = maxName + 1;
            DWORD size = maxData + 1;
            DWORD type = 0;
            const LONG rc =
                RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
            if (rc == ERROR_MORE_DATA) {
                return false;
            }
            if (rc != ERROR_SUCCESS) {
                continue;
            }
            values_.push_back({std::string(name.data(), nameLength), type,
                               std::vector<unsigned char>(data.begin(), data.begin() + size)});
        }
        return true;
    }
    const Value* Find(const char* name) const {
        for (const Value& v : values_) {
            if (_stricmp(v.name.c_str(), name) == 0) {
                return &v;
            }
        }
        return nullptr;
    }
    std::vector<Value> values_;
};

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
    const ScriptValues v(key);
    RegCloseKey(key);
    initResult = v.Int("InitResult", 0);
    releaseResult = v.Int("ReleaseResult", 1);
    live = v.Int("Live", 0) != 0;
    callLog = v.Text("CallLog");
    statusReply = v.Bytes("StatusReply");
    statusFirstResult = v.Int("StatusFirstResult", kUnset);
    statusSecondResult = v.Int("StatusSecondResult", kUnset);
    statusAnnouncedSize = v.Int("StatusAnnouncedSize", kUnset);
    statusReturnedLength = v.Int("StatusReturnedLength", kUnset);
    notifyOnGetStatus = v.Int("NotifyOnGetStatus", 0);

    channels = v.Bytes("Channels");
    channelFirstResult = v.Int("ChannelFirstResult", kUnset);
    channelSecondResult = v.Int("ChannelSecondResult", kUnset);
    channelAnnouncedSize = v.Int("ChannelAnnouncedSize", kUnset);
    openFailIds = v.Bytes("OpenFailIds");

    deviceId = v.Bytes("DeviceID", &hasDeviceId);
    deviceIdFirstResult = v.Int("DeviceIDFirstResult", kUnset);
    deviceIdSecondResult = v.Int("DeviceIDSecondResult", kUnset);
    deviceIdAnnouncedSize = v.Int("DeviceIDAnnouncedSize", kUnset);

    infoReply = v.Bytes("InfoReply");
    irReply = v.Bytes("IRReply");
    receiveReply = v.Bytes("ReceiveReply");
    deferReply = v.Int("DeferReply", 0) != 0;
    receiveFirstResult = v.Int("ReceiveFirstResult", kUnset);
    receiveSecondResult = v.Int("ReceiveSecondResult", kUnset);
    receiveAnnouncedSize = v.Int("ReceiveAnnouncedSize", kUnset);
    receiveReturnedLength = v.Int("ReceiveReturnedLength", kUnset);
    keepUnreadData = v.Int("KeepUnreadData", 0) != 0;

    hangIn = v.Text("HangIn");
    hangMs = v.Int("HangMs", 10000);

    postOnSetOption = v.Int("PostOnSetOption", 0) != 0;
    misbehave = v.Int("Misbehave", 0) != 0;
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
    va_list args;
    va_start(args, format);
    AppendCallLogLine(path, format, args);
    va_end(args);
}

} // namespace kit
