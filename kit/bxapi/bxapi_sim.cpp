// Simulated bidirectional library: a printer behind the eleven entry points,
// answering as its script says and recording each call when asked to.
#include <windows.h>

#include <cstring>

#include "sim_script.h"

using kit::kUnset;
using kit::LogCall;
using kit::Script;

#define BX_EXPORT extern "C" __declspec(dllexport) int WINAPI

BX_EXPORT BXInitialize() {
    LogCall("BXInitialize");
    return Script().initResult;
}

BX_EXPORT BXRelease() {
    LogCall("BXRelease");
    return Script().releaseResult;
}

BX_EXPORT BXGetDeviceID(int mode, const char* name, char* buffer, int* size) {
    LogCall("BXGetDeviceID %d %s", mode, name != nullptr ? name : "(null)");
    (void)buffer;
    (void)size;
    return -1;
}

BX_EXPORT BXGetAvailableChannel(int mode, const char* name, void* buffer, int* size) {
    LogCall("BXGetAvailableChannel %d %s", mode, name != nullptr ? name : "(null)");
    (void)buffer;
    (void)size;
    return -3;
}

BX_EXPORT BXOpenChannel(int mode, const char* name, int channelId) {
    LogCall("BXOpenChannel %d %s %08X", mode, name != nullptr ? name : "(null)", channelId);
    return 0;
}

BX_EXPORT BXCloseChannel(int handle) {
    LogCall("BXCloseChannel %d", handle);
    return 0;
}

BX_EXPORT BXSetOption(int handle, int option, HWND* window) {
    LogCall("BXSetOption %d %d", handle, option);
    (void)window;
    return 0;
}

BX_EXPORT BXReceiveCancel(int handle) {
    LogCall("BXReceiveCancel %d", handle);
    return 0;
}

BX_EXPORT BXGetStatus(int handle, void* buffer, int* size) {
    kit::SimScript& s = Script();
    if (s.live) {
        s.Load();
    }
    LogCall("BXGetStatus %d %s", handle, buffer != nullptr ? "buffer" : "none");
    const int replyLength = static_cast<int>(s.statusReply.size());
    if (buffer == nullptr) {
        if (s.statusFirstResult != kUnset && s.statusFirstResult != -4) {
            return s.statusFirstResult;
        }
        if (replyLength == 0 && s.statusFirstResult == kUnset) {
            return 0;
        }
        if (size != nullptr) {
            *size = s.statusAnnouncedSize != kUnset ? s.statusAnnouncedSize : replyLength;
        }
        return -4;
    }
    int capacity = size != nullptr ? *size : 0;
    int copied = replyLength < capacity ? replyLength : capacity;
    if (copied > 0) {
        memcpy(buffer, s.statusReply.data(), static_cast<size_t>(copied));
    }
    if (size != nullptr) {
        *size = s.statusReturnedLength != kUnset ? s.statusReturnedLength : copied;
    }
    return s.statusSecondResult != kUnset ? s.statusSecondResult : copied;
}

BX_EXPORT BXReceive(int handle, void* buffer, int* size, int reserved) {
    LogCall("BXReceive %d %s %d", handle, buffer != nullptr ? "buffer" : "none", reserved);
    (void)size;
    return -10;
}

#ifndef KIT_BXAPI_WITHOUT_SEND
BX_EXPORT BXSend(int handle, const void* bytes, int length) {
    LogCall("BXSend %d %d", handle, length);
    (void)bytes;
    return length;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        Script().Load();
    }
    return TRUE;
}
