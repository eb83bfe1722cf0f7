// Channel list: two-call read of the library's entries, copies of the
// host's entries, and the remembered lookups.
#include "comm/channel_list.h"

#include <memory>
#include <new>

#include "comm/bxapi.h"

namespace krx {

ChannelList::ChannelList(const std::string& libraryPrinter, const char* name, int mode,
                         uint32_t preferredId, LibraryCallThread* calls)
    : m_nPreferredId(preferredId) {
    CBxApi bx(libraryPrinter, calls);
    if (!bx.IsEnabled() || name == nullptr || *name == '\0') {
        m_nState = kListFailed;
        return;
    }
    int size = 0;
    int rc = bx.BXGetAvailableChannel(mode, name, nullptr, &size);
    if (rc == bx::kNoChannelA || rc == bx::kNoChannelB) {
        m_nState = kListNoChannel;
        return;
    }
    if (rc != bx::kBufferTooSmall) {
        m_nState = kListFailed;
        return;
    }
    // A size that cannot be allocated counts as a failed allocation.
    if (size <= 0) {
        m_nState = kListNoChannel;
        return;
    }
    if (size > kMaxChannelListSize * static_cast<int>(kChannelEntrySize)) {
        m_nState = kListFailed;
        return;
    }
    const size_t allocated = static_cast<size_t>(size) + 1;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[allocated]());
    if (!buffer) {
        m_nState = kListNoChannel;
        return;
    }
    int length = size;
    rc = bx.BXGetAvailableChannel(mode, name, buffer.get(), &length);
    if (rc <= 0) {
        m_nState = kListNoChannel;
        return;
    }
    // The count is the library's word, but only whole entries inside the
    // buffer it filled are read.
    try {
        m_Entries =
            DecodeChannelEntries(buffer.get(), static_cast<size_t>(size), static_cast<size_t>(rc));
    } catch (const std::bad_alloc&) {
        m_Entries.clear();
    }
    m_nState = m_Entries.empty() ? kListNoChannel : kListAvailable;
}

ChannelList::ChannelList(const void* entries, int count, uint32_t preferredId)
    : m_nPreferredId(preferredId) {
    m_nState = kListNoChannel;
    if (entries == nullptr || count < 1 ||
        static_cast<size_t>(count) > SIZE_MAX / kChannelEntrySize) {
        return;
    }
    try {
        m_Entries = DecodeChannelEntries(entries, static_cast<size_t>(count) * kChannelEntrySize,
                                         static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        m_Entries.clear();
        return;
    }
    m_nState = kListAvailable;
}

int ChannelList::Lookup(Answer& answer, const uint32_t* wanted, size_t wantedCount,
                        uint16_t required, int* id, int* parameter) {
    if (m_nState != kListAvailable) {
        return m_nState;
    }
    if (!answer.asked) {
        answer.asked = true;
        answer.found = FindChannel(m_Entries, wanted, wantedCount, required, &answer.entry);
    }
    if (!answer.found) {
        return 1;
    }
    if (id != nullptr) {
        *id = static_cast<int>(answer.entry.id);
    }
    if (parameter != nullptr) {
        *parameter = answer.entry.parameter;
    }
    return 0;
}

int ChannelList::GetStatChannel(int* id, int* parameter) {
    const uint32_t wanted[] = {KRX_CHANNEL_STATUS_FIRST, m_nPreferredId, KRX_CHANNEL_STATUS_THIRD,
                               KRX_CHANNEL_REMOTE};
    return Lookup(m_StatAnswer, wanted, 4, KRX_CHANNEL_ATTR_STATUS, id, parameter);
}

int ChannelList::GetInfoChannelD4(int* id, int* parameter) {
    const uint32_t wanted[] = {KRX_CHANNEL_INFO_D4};
    return Lookup(m_InfoD4Answer, wanted, 1, KRX_CHANNEL_ATTR_INFO, id, parameter);
}

int ChannelList::GetInfoChannelRemote(int* id, int* parameter) {
    // The remote information channel has the preferred status channel's id.
    const uint32_t wanted[] = {KRX_CHANNEL_PREFERRED};
    return Lookup(m_InfoRemoteAnswer, wanted, 1, KRX_CHANNEL_ATTR_INFO, id, parameter);
}

int ChannelList::HasInfoChannelD4() const {
    if (m_nState != kListAvailable) {
        return 0;
    }
    for (const ChannelEntry& e : m_Entries) {
        if (e.id == KRX_CHANNEL_INFO_D4) {
            return 1;
        }
    }
    return 0;
}

} // namespace krx
