// The two-call receive of what the printer sent on a channel, shared by the
// data export and by the windows that read command replies.
#include "comm/receive_data.h"

#include <windows.h>

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
    // "Buffer too small" with no usable size is a library fault, not data;
    // so is a size beyond any reply, for which no room is made.
    if (rc != bx::kBufferTooSmall || size <= 0 || size > kMaxReceivedDataSize) {
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

} // namespace krx
