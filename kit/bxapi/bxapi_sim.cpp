// Simulated bidirectional library: a printer behind the eleven entry points,
// answering as its script says and recording each call when asked to.
// Variable-length answers follow the library's two-call protocol: without a
// buffer (or with one too small) -4 and the size, then the data; a buffer
// too small never gets part of it. A "misbehaving" printer (script value
// "Misbehave") copies what fits and reports it as read, so that the fault
// tests can check the plug-in's own defences.
// The script and the printer's state are shared by every thread of the
// process (two windows poll it at once): every entry point holds one lock.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "comm/bxapi_abi.h"
#include "common/critical_section.h"
#include "sim_script.h"

using kit::kUnset;
using kit::LogCall;
using kit::Script;
using kit::SimChannel;
using kit::State;

#define BX_EXPORT extern "C" __declspec(dllexport) int WINAPI

namespace {

constexpr int kOptionInfo = bx::kOptionNotifyInfo;
constexpr int kOptionStatus = bx::kOptionNotifyStatus;

const char* NameOf(const char* name) {
    return name != nullptr ? name : "(null)";
}

// The two-call protocol over one block of bytes with its scripted overrides.
struct Answer {
    const std::vector<unsigned char>& data;
    int firstResult;
    int secondResult;
    int announcedSize;
    int returnedLength;
};

// One lock for the script and the state: a status read may reload the
// script while another window's thread reads from it.
krx::CriticalSection g_lock;

int Serve(const Answer& a, void* buffer, int* size, int emptyResult) {
    const int length = static_cast<int>(a.data.size());
    if (buffer != nullptr && !Script().misbehave && (size == nullptr || *size < length)) {
        if (size != nullptr) {
            *size = length;
        }
        return -4;
    }
    if (buffer == nullptr) {
        if (a.firstResult != kUnset && a.firstResult != -4) {
            return a.firstResult;
        }
        if (length == 0 && a.firstResult == kUnset) {
            return emptyResult;
        }
        if (size != nullptr) {
            *size = a.announcedSize != kUnset ? a.announcedSize : length;
        }
        return -4;
    }
    const int capacity = size != nullptr ? *size : 0;
    const int copied = std::min(length, capacity);
    if (copied > 0) {
        memcpy(buffer, a.data.data(), static_cast<size_t>(copied));
    }
    if (size != nullptr) {
        *size = a.returnedLength != kUnset ? a.returnedLength : copied;
    }
    return a.secondResult != kUnset ? a.secondResult : copied;
}

bool OpenFails(int channelId) {
    const std::vector<unsigned char>& ids = Script().openFailIds;
    for (size_t i = 0; i + 4 <= ids.size(); i += 4) {
        int id = 0;
        memcpy(&id, ids.data() + i, 4);
        if (id == channelId) {
            return true;
        }
    }
    return false;
}

// The script's hang, before the entry point does anything else (after
// BXInitialize has read the script).
void HangIfScripted(const char* entry) {
    const kit::SimScript& s = Script();
    if (s.hangIn == entry && s.hangMs > 0) {
        LogCall("%s hangs %d ms", entry, s.hangMs);
        Sleep(static_cast<DWORD>(s.hangMs));
    }
}

void Post(HWND window, UINT message, int handle) {
    if (window != nullptr) {
        PostMessageA(window, message, 0, static_cast<LPARAM>(handle));
    }
}

} // namespace

BX_EXPORT BXInitialize() {
    krx::CriticalSectionLock guard(g_lock);
    Script().Load();
    HangIfScripted("BXInitialize");
    LogCall("BXInitialize");
    return Script().initResult;
}

BX_EXPORT BXRelease() {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXRelease");
    LogCall("BXRelease");
    return Script().releaseResult;
}

BX_EXPORT BXGetDeviceID(int mode, const char* name, char* buffer, int* size) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXGetDeviceID");
    LogCall("BXGetDeviceID %d %s %s", mode, NameOf(name), buffer != nullptr ? "buffer" : "none");
    const kit::SimScript& s = Script();
    if (!s.hasDeviceId && s.deviceIdFirstResult == kUnset) {
        return -1;
    }
    return Serve({s.deviceId, s.deviceIdFirstResult, s.deviceIdSecondResult,
                  s.deviceIdAnnouncedSize, kUnset},
                 buffer, size, -4);
}

BX_EXPORT BXGetAvailableChannel(int mode, const char* name, void* buffer, int* size) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXGetAvailableChannel");
    LogCall("BXGetAvailableChannel %d %s %s", mode, NameOf(name),
            buffer != nullptr ? "buffer" : "none");
    const kit::SimScript& s = Script();
    const int rc = Serve({s.channels, s.channelFirstResult, kUnset, s.channelAnnouncedSize, kUnset},
                         buffer, size, -3);
    if (buffer == nullptr || rc < 0) {
        return rc;
    }
    // The second call answers with the number of entries it wrote.
    return s.channelSecondResult != kUnset ? s.channelSecondResult : rc / 8;
}

BX_EXPORT BXOpenChannel(int mode, const char* name, int channelId) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXOpenChannel");
    LogCall("BXOpenChannel %d %s %08X", mode, NameOf(name), channelId);
    if (OpenFails(channelId)) {
        return 0;
    }
    SimChannel channel;
    channel.handle = State().nextHandle++;
    channel.id = channelId;
    channel.pending = Script().receiveReply;
    State().channels.push_back(channel);
    return channel.handle;
}

BX_EXPORT BXCloseChannel(int handle) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXCloseChannel");
    LogCall("BXCloseChannel %d", handle);
    auto& channels = State().channels;
    auto it = std::find_if(channels.begin(), channels.end(),
                           [handle](const SimChannel& c) { return c.handle == handle; });
    if (it == channels.end()) {
        return -1;
    }
    if (it->statusWindow != nullptr || it->infoWindow != nullptr) {
        kit::WithdrawRegistrations(handle);
    }
    channels.erase(it);
    return 0;
}

BX_EXPORT BXSetOption(int handle, int option, HWND* window) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXSetOption");
    LogCall("BXSetOption %d %d", handle, option);
    SimChannel* channel = State().Find(handle);
    if (channel == nullptr || window == nullptr) {
        return -1;
    }
    if (option == kOptionStatus || option == kOptionInfo) {
        (option == kOptionStatus ? channel->statusWindow : channel->infoWindow) = *window;
        kit::PublishRegistration(handle, option, *window);
        if (Script().postOnSetOption) {
            Post(*window, option == kOptionStatus ? KRX_MSG_STATUS_CHANGED : KRX_MSG_INFO_DATA,
                 handle);
        }
    }
    return 0;
}

BX_EXPORT BXReceiveCancel(int handle) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXReceiveCancel");
    LogCall("BXReceiveCancel %d", handle);
    if (SimChannel* channel = State().Find(handle)) {
        if (!Script().keepUnreadData) {
            channel->pending.clear();
        }
        channel->deferred = false;
    }
    return 0;
}

BX_EXPORT BXGetStatus(int handle, void* buffer, int* size) {
    krx::CriticalSectionLock guard(g_lock);
    kit::SimScript& s = Script();
    if (s.live) {
        s.Load();
    }
    HangIfScripted("BXGetStatus");
    LogCall("BXGetStatus %d %s", handle, buffer != nullptr ? "buffer" : "none");
    kit::SimState& state = State();
    if (buffer == nullptr && state.statusNotifiesPosted < s.notifyOnGetStatus) {
        ++state.statusNotifiesPosted;
        for (const SimChannel& c : state.channels) {
            Post(c.statusWindow, KRX_MSG_STATUS_CHANGED, c.handle);
        }
    }
    return Serve({s.statusReply, s.statusFirstResult, s.statusSecondResult, s.statusAnnouncedSize,
                  s.statusReturnedLength},
                 buffer, size, 0);
}

BX_EXPORT BXReceive(int handle, void* buffer, int* size, int reserved) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXReceive");
    LogCall("BXReceive %d %s %d", handle, buffer != nullptr ? "buffer" : "none", reserved);
    const kit::SimScript& s = Script();
    SimChannel* channel = State().Find(handle);
    static const std::vector<unsigned char> nothing;
    const std::vector<unsigned char>& pending = channel != nullptr ? channel->pending : nothing;
    if (channel != nullptr && channel->deferred && buffer == nullptr) {
        // The reply is on its way: nothing yet, the window hears when it is in.
        channel->deferred = false;
        Post(channel->infoWindow, KRX_MSG_INFO_DATA, handle);
        return -10;
    }
    const int rc = Serve({pending, s.receiveFirstResult, s.receiveSecondResult,
                          s.receiveAnnouncedSize, s.receiveReturnedLength},
                         buffer, size, -10);
    if (buffer != nullptr && rc > 0 && channel != nullptr) {
        channel->pending.clear(); // read once
    }
    return rc;
}

#ifndef KIT_BXAPI_WITHOUT_SEND
BX_EXPORT BXSend(int handle, const void* bytes, int length) {
    krx::CriticalSectionLock guard(g_lock);
    HangIfScripted("BXSend");
    LogCall("BXSend %d %d", handle, length);
    SimChannel* channel = State().Find(handle);
    if (channel != nullptr && bytes != nullptr && length >= 2) {
        const char* command = static_cast<const char*>(bytes);
        const kit::SimScript& s = Script();
        const std::vector<unsigned char>* reply = nullptr;
        if (command[0] == 'i' && command[1] == 'i') {
            reply = &s.infoReply;
        } else if (command[0] == 'I' && command[1] == 'R') {
            reply = &s.irReply;
        }
        if (reply != nullptr) {
            if (!s.keepUnreadData) {
                channel->pending.clear();
            }
            channel->pending.insert(channel->pending.end(), reply->begin(), reply->end());
        }
        channel->deferred = s.deferReply && !channel->pending.empty();
    }
    return length;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // Unloaded by FreeLibrary (not at process end): its windows are no longer
    // registered anywhere.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        for (const SimChannel& c : State().channels) {
            if (c.statusWindow != nullptr || c.infoWindow != nullptr) {
                kit::WithdrawRegistrations(c.handle);
            }
        }
    }
    return TRUE;
}

// The entry points have the very types the plug-in calls them through.
static_assert(std::is_same_v<decltype(&BXInitialize), bx::PfnInitialize>);
static_assert(std::is_same_v<decltype(&BXRelease), bx::PfnRelease>);
static_assert(std::is_same_v<decltype(&BXGetDeviceID), bx::PfnGetDeviceID>);
static_assert(std::is_same_v<decltype(&BXGetAvailableChannel), bx::PfnGetAvailableChannel>);
static_assert(std::is_same_v<decltype(&BXOpenChannel), bx::PfnOpenChannel>);
static_assert(std::is_same_v<decltype(&BXCloseChannel), bx::PfnCloseChannel>);
static_assert(std::is_same_v<decltype(&BXSetOption), bx::PfnSetOption>);
static_assert(std::is_same_v<decltype(&BXReceiveCancel), bx::PfnReceiveCancel>);
static_assert(std::is_same_v<decltype(&BXGetStatus), bx::PfnGetStatus>);
static_assert(std::is_same_v<decltype(&BXReceive), bx::PfnReceive>);
#ifndef KIT_BXAPI_WITHOUT_SEND
static_assert(std::is_same_v<decltype(&BXSend), bx::PfnSend>);
#endif
