// Fuzz target: what the library and the host hand over about a printer,
// the device ID and the channel entries, and the texts made from them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "comm/channel_table.h"
#include "comm/device_id.h"
#include "ui/status_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    krx::ExtractModelId(text, size);
    krx::FormatResourceNumbers(std::string(text, size), {42, -1});

    // The first byte is the entry count the library claims.
    if (size > 0) {
        std::vector<krx::ChannelEntry> entries =
            krx::DecodeChannelEntries(data + 1, size - 1, data[0]);
        const uint32_t wanted[] = {KRX_CHANNEL_STATUS_FIRST, KRX_CHANNEL_PREFERRED,
                                   KRX_CHANNEL_STATUS_THIRD, KRX_CHANNEL_REMOTE};
        krx::ChannelEntry found;
        krx::FindChannel(entries, wanted, 4, KRX_CHANNEL_ATTR_STATUS, &found);
    }
    return 0;
}
