// The simulated printer's script: what each entry point answers, read from
// the registry so that a test or the demo can set the printer's state from
// outside the library. Read at every BXInitialize (and again before every
// status read when "Live" is set, for long-lived users such as a status
// window). What the printer is doing right now (open channels, registered
// windows, pending replies) lives in SimState and lasts while the library
// stays loaded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "kit_paths.h"

namespace kit {

struct SimScript {
    int initResult = 0;
    int releaseResult = 1;
    bool live = false;
    std::string callLog; // file that receives one line per call, when set

    std::vector<unsigned char> statusReply;
    int statusFirstResult = kUnset;    // default: -4 with a reply, 0 without
    int statusSecondResult = kUnset;   // default: the number of bytes copied
    int statusAnnouncedSize = kUnset;  // default: the reply's length
    int statusReturnedLength = kUnset; // default: the number of bytes copied
    int notifyOnGetStatus = 0;         // the first N status reads post 1026 to status windows

    // Channel list: 8-byte entries back to back; none means "no channel".
    std::vector<unsigned char> channels;
    int channelFirstResult = kUnset;        // default: -4 with entries, -3 without
    int channelSecondResult = kUnset;       // default: the number of entries copied
    int channelAnnouncedSize = kUnset;      // default: the entries' size in bytes
    std::vector<unsigned char> openFailIds; // 32-bit ids that do not open

    // Device ID bytes (no terminator is added); none: BXGetDeviceID fails.
    std::vector<unsigned char> deviceId;
    bool hasDeviceId = false;
    int deviceIdFirstResult = kUnset;   // default: -4
    int deviceIdSecondResult = kUnset;  // default: the number of bytes copied
    int deviceIdAnnouncedSize = kUnset; // default: the device ID's length

    // Replies to BXSend commands, served by BXReceive on the same channel.
    std::vector<unsigned char> infoReply;    // for "ii" (printer information)
    std::vector<unsigned char> irReply;      // for "IR"
    std::vector<unsigned char> receiveReply; // pending on every channel once opened
    bool deferReply = false;                 // the first receive after a send finds nothing
                                             // and posts 1025; the reply is there on the next
    int receiveFirstResult = kUnset;         // default: -4 with data, -10 without
    int receiveSecondResult = kUnset;        // default: the number of bytes copied
    int receiveAnnouncedSize = kUnset;       // default: the pending data's length
    int receiveReturnedLength = kUnset;      // default: the number of bytes copied
    bool keepUnreadData = false;             // a channel is a byte stream: a reply queues
                                             // behind unread data, cancelling keeps it

    // A library stuck inside one entry point: every call of the entry point
    // named "HangIn" answers only after "HangMs" milliseconds, holding the
    // library's one lock meanwhile.
    std::string hangIn;
    int hangMs = 10000;

    bool postOnSetOption = false; // BXSetOption posts its message at once
    bool misbehave = false;       // a buffer too small gets what fits, reported as read

    void Load();
};

SimScript& Script();

struct SimChannel {
    int handle = 0;
    int id = 0;
    std::vector<unsigned char> pending;
    bool deferred = false;
    HWND statusWindow = nullptr; // registered with option 4
    HWND infoWindow = nullptr;   // registered with option 3
};

struct SimState {
    std::vector<SimChannel> channels;
    int nextHandle = 101;
    int statusNotifiesPosted = 0;

    SimChannel* Find(int handle);
};

SimState& State();

// Records a window registration where kit::PostSimNotification (another
// process, or a test) can find it, and forgets it again.
void PublishRegistration(int handle, int option, HWND window);
void WithdrawRegistrations(int handle);

// Appends one line to the call log when one is configured.
void LogCall(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace kit
