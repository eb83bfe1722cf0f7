// The two-call receive of what the printer sent on a channel.
#pragma once

#include "comm/bxapi.h"

namespace krx {

// Far above any command reply; a larger announced size is a fault.
constexpr int kMaxReceivedDataSize = 1024 * 1024;

enum ReceiveResult : int {
    kReceiveError = -1,
    kReceiveNothing = 0,
    kReceiveData = 1,
};

// Two-call read of what the printer sent on the channel. 1: *buffer holds
// *length bytes (followed by one zero byte so that a reader looking for a
// text end stays inside it); the caller frees it with LocalFree. 0: nothing
// to read, *buffer := null. -1: error (a size announced beyond
// kMaxReceivedDataSize among them), *buffer := null, except for a zero
// handle or a library that is not ready, where *buffer is not touched.
int ReceivePrinterData(const CBxApi& bx, int handle, void** buffer, int* length);

} // namespace krx
