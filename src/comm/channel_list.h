// ChannelList: the channels one printer offers, asked of the bidirectional
// library (or copied from the host's entries), and the lookups that choose
// the status channel and the information channels among them. Each lookup
// remembers its answer, so asking twice gives the same channel.
#pragma once

#include <cstdint>
#include <vector>

#include "comm/channel_table.h"

namespace krx {

class ChannelList {
  public:
    enum ListState : int {
        kListAvailable = 0,
        kListNoChannel = 1, // the printer offers no channel
        kListFailed = -1,
    };

    // Asks the library (through a CBxApi of its own) for the channels of the
    // printer or port named, in the library's name mode.
    ChannelList(const char* name, int mode, uint32_t preferredId);

    // A copy of count entries of 8 bytes each; state 1 when the count is
    // below 1, the pointer is null or the copy cannot be made.
    ChannelList(const void* entries, int count, uint32_t preferredId);

    int State() const { return state_; }
    const std::vector<ChannelEntry>& Entries() const { return entries_; }

    // 0 with the id and parameter when found, 1 when not found, the list's
    // state when it is not available. Either output may be null.
    int GetStatChannel(int* id, int* parameter);
    int GetInfoChannelD4(int* id, int* parameter);
    int GetInfoChannelRemote(int* id, int* parameter);

    // 1 when any entry has the D4 information id, whatever its attributes.
    int HasInfoChannelD4() const;

  private:
    struct Answer {
        bool asked = false;
        bool found = false;
        ChannelEntry entry;
    };
    int Lookup(Answer& answer, const uint32_t* wanted, size_t wantedCount, uint16_t required,
               int* id, int* parameter);

    std::vector<ChannelEntry> entries_;
    uint32_t preferredId_;
    int state_ = kListFailed;
    Answer stat_;
    Answer infoD4_;
    Answer infoRemote_;
};

} // namespace krx
