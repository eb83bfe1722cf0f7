// Data pass-through: channel choice from the host's entries and the
// two-call receive.
#include "entry/data_exports.h"

#include <windows.h>

#include "comm/channel_list.h"

namespace krx {

namespace {

void Set(int* p, int value) {
    if (p != nullptr) {
        *p = value;
    }
}

void SetBuffer(void** buffer, void* value) {
    if (buffer != nullptr) {
        *buffer = value;
    }
}

} // namespace

int ReceivePrinterData(const CBxApi& bx, int handle, void** buffer, int* length) {
    if (handle == 0 || !bx.IsEnabled()) {
        return kReceiveError;
    }
    int size = 0;
    int rc = bx.BXReceive(handle, nullptr, &size, 0);
    if (rc == bx::kOk || rc == bx::kNothingToReceive) {
        SetBuffer(buffer, nullptr);
        return kReceiveNothing;
    }
    // "Buffer too small" with no usable size is a library fault, not data.
    if (rc != bx::kBufferTooSmall || size <= 0) {
        SetBuffer(buffer, nullptr);
        return kReceiveError;
    }
    unique_hlocal data(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, static_cast<SIZE_T>(size) + 1));
    if (!data) {
        SetBuffer(buffer, nullptr);
        return kReceiveError;
    }
    int received = size;
    rc = bx.BXReceive(handle, data.get(), &received, 0);
    if (rc == bx::kOk || rc == bx::kNothingToReceive) {
        SetBuffer(buffer, nullptr);
        return kReceiveNothing;
    }
    if (rc < 0) {
        SetBuffer(buffer, nullptr);
        return kReceiveError;
    }
    // Never report more than the buffer the library was given.
    if (received > size) {
        received = size;
    }
    if (received < 0) {
        received = 0;
    }
    static_cast<char*>(data.get())[received] = '\0';
    Set(length, received);
    if (buffer == nullptr) {
        return kReceiveData; // nobody to hand it to: freed here
    }
    *buffer = data.release();
    return kReceiveData;
}

int SelectStatusChannel(const void* entries, int count, int* channelId, int* out5, int* out6) {
    if (count <= 0) {
        return 1;
    }
    ChannelList list(entries, count, kChannelPreferred);
    if (list.State() != ChannelList::kListAvailable) {
        return 1;
    }
    int id = 0;
    if (list.GetStatChannel(&id, nullptr) == 0) {
        Set(channelId, id);
        Set(out5, 0);
        Set(out6, 0);
    }
    return 0;
}

int CollectPrinterData(int handle, int* out4, void** buffer) {
    CBxApi bx;
    if (!bx.IsEnabled()) {
        return 1;
    }
    if (handle == 0) {
        return -1;
    }
    void* received = nullptr;
    int length = 0;
    if (ReceivePrinterData(bx, handle, &received, &length) == kReceiveData) {
        if (buffer != nullptr) {
            if (*buffer != nullptr) {
                LocalFree(*buffer);
            }
            *buffer = received;
        } else {
            LocalFree(received);
        }
    } else {
        // Leave no half-read reply in the library.
        bx.BXReceiveCancel(handle);
    }
    Set(out4, 0);
    return 0;
}

} // namespace krx
