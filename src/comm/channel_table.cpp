// Channel entry decoding and lookup.
#include "comm/channel_table.h"

namespace krx {

std::vector<ChannelEntry> DecodeChannelEntries(const void* bytes, size_t byteCount,
                                               size_t entryCount) {
    std::vector<ChannelEntry> entries;
    if (bytes == nullptr) {
        return entries;
    }
    size_t fit = byteCount / kChannelEntrySize;
    size_t count = entryCount < fit ? entryCount : fit;
    entries.reserve(count);
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < count; ++i, p += kChannelEntrySize) {
        ChannelEntry e;
        e.id = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        e.attributes = static_cast<uint16_t>(p[4] | p[5] << 8);
        e.parameter = static_cast<uint16_t>(p[6] | p[7] << 8);
        entries.push_back(e);
    }
    return entries;
}

bool FindChannel(const std::vector<ChannelEntry>& entries, const uint32_t* wanted,
                 size_t wantedCount, uint16_t required, ChannelEntry* found) {
    for (size_t w = 0; w < wantedCount; ++w) {
        for (const ChannelEntry& e : entries) {
            if (e.id != wanted[w]) {
                continue;
            }
            if ((e.attributes & required) == required) {
                if (found != nullptr) {
                    *found = e;
                }
                return true;
            }
            break; // only the first entry with this id counts
        }
    }
    return false;
}

} // namespace krx
