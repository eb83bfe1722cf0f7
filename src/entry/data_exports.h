// The data pass-through exports: the host's status channel choice, the
// collection of data the printer sent on a channel, and the shared receive
// that the status window also uses for command replies.
#pragma once

#include "comm/bxapi.h"

namespace krx {

enum ReceiveResult : int {
    kReceiveError = -1,
    kReceiveNothing = 0,
    kReceiveData = 1,
};

// Two-call read of what the printer sent on the channel. 1: *buffer holds
// *length bytes (followed by one zero byte so that a reader looking for a
// text end stays inside it); the caller frees it with LocalFree. 0: nothing
// to read, *buffer := null. -1: error, *buffer := null, except for a zero
// handle or a library that is not ready, where *buffer is not touched.
int ReceivePrinterData(const CBxApi& bx, int handle, void** buffer, int* length);

// Chooses the status channel among the host's entries. 1 for a count below
// 1, a null array or entries that cannot be copied; else 0, with *channelId
// set (and *out5, *out6 cleared) only when a channel was chosen.
int SelectStatusChannel(const void* entries, int count, int* channelId, int* out5, int* out6);

// Collects pending data on the channel into *buffer (freeing the buffer it
// held); an empty or failed receive cancels the pending receive instead.
// 1 library not ready, -1 handle 0, else 0 with *out4 := 0.
int CollectPrinterData(int handle, int* out4, void** buffer);

} // namespace krx
