// The printer's channel entries as the bidirectional library lists them
// (8 bytes each, little-endian: 32-bit id, 16-bit attributes, 16-bit
// parameter) and the lookup that picks a channel from them. Pure code (no
// Windows headers): the entries come from the library or the host and are
// fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace krx {

struct ChannelEntry {
    uint32_t id = 0;
    uint16_t attributes = 0;
    uint16_t parameter = 0;
};

constexpr size_t kChannelEntrySize = 8;

// Channel ids the plug-in knows.
constexpr uint32_t kChannelStatusFirst = 0x00000004;
constexpr uint32_t kChannelPreferred = 0x10010003; // also the remote information channel
constexpr uint32_t kChannelStatusThird = 0x10000003;
constexpr uint32_t kChannelStatusFourth = 0x02000001;
constexpr uint32_t kChannelInfoD4 = 0x10000005;
constexpr uint32_t kChannelInfoRemote = 0x10010003;

// Attribute bits.
constexpr uint16_t kChannelAttrInfo = 0x0003;     // both bits: usable for information
constexpr uint16_t kChannelAttrStatus = 0x0004;   // usable for status
constexpr uint16_t kChannelAttrSlowPoll = 0x8000; // first entry only: ask less often

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
