// The data pass-through exports: the host's status channel choice, the
// collection of data the printer sent on a channel.
#pragma once

#include "comm/receive_data.h"

namespace krx {

// Chooses the status channel among the host's entries. 1 for a count below
// 1, a null array or entries that cannot be copied; else 0, with *channelId
// set (and *out5, *out6 cleared) only when a channel was chosen.
int SelectStatusChannel(const void* entries, int count, int* channelId, int* out5, int* out6);

// Collects pending data on the channel into *buffer (freeing the buffer it
// held); an empty or failed receive cancels the pending receive instead.
// 1 library not ready, -1 handle 0, else 0 with *out4 := 0.
int CollectPrinterData(int handle, int* out4, void** buffer);

} // namespace krx
