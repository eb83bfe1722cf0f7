// The printer's channel entries as the bidirectional library lists them
// (8 bytes each, little-endian: 32-bit id, 16-bit attributes, 16-bit
// parameter) and the lookup that picks a channel from them. Pure code (no
// Windows headers, hence krxchannels.h rather than krxstat.h): the entries
// come from the library or the host and are fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "krxchannels.h"

namespace krx {

struct ChannelEntry {
    uint32_t id = 0;
    uint16_t attributes = 0;
    uint16_t parameter = 0;
};

constexpr size_t kChannelEntrySize = 8;

// The ids and attribute bits are those of the host interface.
static_assert(sizeof(KrxChannelEntry) == kChannelEntrySize, "channel entry layout");

// The entries held in the first byteCount bytes, at most entryCount of them:
// a count that promises more than the bytes hold is cut to what they hold.
std::vector<ChannelEntry> DecodeChannelEntries(const void* bytes, size_t byteCount,
                                               size_t entryCount);

// Walks the wanted ids in order; for each, only the first entry with that id
// is considered, and it answers when it has every required attribute bit.
// True and *found set when an entry answered.
bool FindChannel(const std::vector<ChannelEntry>& entries, const uint32_t* wanted,
                 size_t wantedCount, uint16_t required, ChannelEntry* found);

} // namespace krx
