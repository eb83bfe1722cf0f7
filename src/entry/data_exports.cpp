// Data pass-through: channel choice from the host's entries and the
// two-call receive.
#include "entry/data_exports.h"

#include <windows.h>

#include "comm/channel_list.h"
#include "base/module/module_state.h"

namespace krx {

namespace {

void Set(int* p, int value) {
    if (p != nullptr) {
        *p = value;
    }
}

} // namespace

int SelectStatusChannel(const void* entries, int count, int* channelId, int* out5, int* out6) {
    if (count <= 0) {
        return 1;
    }
    ChannelList list(entries, count, KRX_CHANNEL_PREFERRED);
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
    CBxApi bx(RememberedPrinterName());
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
