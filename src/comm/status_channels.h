// StatusChannels: the channel fields of a status window (status channel,
// D4 and remote information channels, the port's attribute word) with the
// choice that opens them and the close that ends them. A status window owns
// one, together with the CBxApi it refers to.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "comm/bxapi.h"
#include "comm/channel_table.h"

namespace krx {

// ChannelSelect results.
enum ChannelSelectResult : int {
    kChannelSelectFailed = -1,  // library not ready, no name, or the list failed
    kChannelSelectNoStatus = 0, // no channel offered, none qualifies, or it did not open
    kChannelSelectOpen = 1,     // the status channel is open
};

struct StatusChannels {
    explicit StatusChannels(CBxApi& bx) : m_BxApi(bx) {}
    StatusChannels(const StatusChannels&) = delete;
    StatusChannels& operator=(const StatusChannels&) = delete;

    CBxApi& m_BxApi;       // the window's library wrapper
    HWND m_hWnd = nullptr; // window the library notifies
    std::string m_PrinterName;
    std::string m_PortName;
    bool m_bUsePortName = false; // set when the window was made without a printer name

    int m_Stat = 0;      // status channel id; 0 when none
    int m_StatParam = 0; // the parameter the library reported with it
    int m_hStat = 0;     // its handle
    int m_Info = 0;      // D4 information channel id; 0 when none or not opened
    int m_hInfo = 0;
    int m_Info2 = 0; // remote information channel id; 0 when none or not opened
    int m_hInfo2 = 0;
    uint16_t m_PortAttr = 0; // attributes of the printer's first channel entry

    // Sets the names and the use-port-name flag as a window does when it is
    // made: the port name stands for the printer when the printer name is
    // empty.
    void SetNames(const char* printerName, const char* portName);

    // The information channels are open (a failed open leaves no handle,
    // a library's error code is no channel either).
    bool InfoOpen() const { return m_hInfo > 0; }
    bool RemoteInfoOpen() const { return m_hInfo2 > 0; }

    // True when the first entry asked for less frequent polling.
    bool SlowPolling() const { return (m_PortAttr & KRX_CHANNEL_ATTR_SLOW) != 0; }
};

// Lists the printer's channels and opens the status channel (registering
// the window for status news) and, unless the printer asks to be polled
// less often, the information channels (registering for their data).
int ChannelSelect(StatusChannels& channels);

// Cancels and closes every open channel, status channel first, and forgets
// them.
void CloseChannels(StatusChannels& channels);

} // namespace krx
