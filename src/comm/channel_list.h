// ChannelList: the channels one printer offers, asked of the bidirectional
// library (or copied from the host's entries), and the lookups that choose
// the status channel and the information channels among them. Each lookup
// remembers its answer, so asking twice gives the same channel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "comm/channel_table.h"

namespace krx {

class LibraryCallThread;

// Far more channels than a printer offers; a list announced larger is a
// library fault.
constexpr int kMaxChannelListSize = 512;

class ChannelList {
  public:
    enum ListState : int {
        kListAvailable = 0,
        kListNoChannel = 1, // the printer offers no channel
        kListFailed = -1,
    };

    // Asks the library (through a CBxApi of its own, for libraryPrinter's
    // driver) for the channels of the printer or port named, in the
    // library's name mode. A list announced beyond kMaxChannelListSize
    // entries fails without room being made for it. With calls, the list's
    // wrapper calls the library there (a window's calls, bounded).
    ChannelList(const std::string& libraryPrinter, const char* name, int mode, uint32_t preferredId,
                LibraryCallThread* calls = nullptr);

    // A copy of count entries of 8 bytes each; state 1 when the count is
    // below 1, the pointer is null or the copy cannot be made.
    ChannelList(const void* entries, int count, uint32_t preferredId);

    int State() const { return m_nState; }
    const std::vector<ChannelEntry>& Entries() const { return m_Entries; }

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

    std::vector<ChannelEntry> m_Entries;
    uint32_t m_nPreferredId;
    int m_nState = kListFailed;
    Answer m_StatAnswer;
    Answer m_InfoD4Answer;
    Answer m_InfoRemoteAnswer;
};

} // namespace krx
