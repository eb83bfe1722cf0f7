// Channel choice and close for a status window. The traces name the fields
// as the field diagnosis reads them.
#include "comm/status_channels.h"

#include "comm/channel_list.h"
#include "base/trace/debug_trace.h"

namespace krx {

void StatusChannels::SetNames(const char* printerName, const char* portName) {
    m_PrinterName = printerName != nullptr ? printerName : "";
    m_PortName = portName != nullptr ? portName : "";
    m_bUsePortName = m_PrinterName.empty();
}

namespace {

// Opens an information channel found by the lookup; a channel that does not
// open is forgotten.
void OpenInfoChannel(StatusChannels& c, int mode, const char* name, int* id, int* handle,
                     const char* trace) {
    if (*id == 0) {
        return;
    }
    *handle = c.m_BxApi.BXOpenChannel(mode, name, *id);
    DebugTrace(trace, *handle);
    if (*handle == 0) {
        *id = 0;
        return;
    }
    c.m_BxApi.BXSetOption(*handle, bx::kOptionNotifyInfo, &c.m_hWnd);
}

void CloseChannel(const CBxApi& bx, int* handle) {
    bx.BXReceiveCancel(*handle);
    bx.BXCloseChannel(*handle);
    *handle = 0;
}

} // namespace

int ChannelSelect(StatusChannels& c) {
    const int mode = c.m_bUsePortName ? bx::kModePortName : bx::kModePrinterName;
    const char* name = c.m_bUsePortName ? c.m_PortName.c_str() : c.m_PrinterName.c_str();
    DebugTrace("ChannelSelect\n");

    ChannelList ChanSel(c.m_BxApi.PrinterName(), name, mode, KRX_CHANNEL_PREFERRED,
                        c.m_BxApi.CallThread());
    DebugTrace("ChannelSelect Result=%d\n", ChanSel.State());
    if (ChanSel.State() < 0) {
        return kChannelSelectFailed;
    }
    if (ChanSel.State() > 0) {
        return kChannelSelectNoStatus;
    }

    DebugTrace("ChanSel.GetStatChannel()\n");
    int id = 0;
    int parameter = 0;
    if (ChanSel.GetStatChannel(&id, &parameter) != 0) {
        return kChannelSelectNoStatus;
    }
    c.m_Stat = id;
    c.m_StatParam = parameter;

    DebugTrace("BXOpenChannel()\n");
    c.m_hStat = c.m_BxApi.BXOpenChannel(mode, name, c.m_Stat);
    DebugTrace("BXOpenChannel() m_hStat=%d\n", c.m_hStat);
    if (c.m_hStat == 0) {
        c.m_Stat = 0;
        return kChannelSelectNoStatus;
    }
    c.m_BxApi.BXSetOption(c.m_hStat, bx::kOptionNotifyStatus, &c.m_hWnd);

    c.m_PortAttr = ChanSel.Entries().front().attributes;
    if (c.SlowPolling()) {
        return kChannelSelectOpen;
    }

    c.m_Info = 0;
    ChanSel.GetInfoChannelD4(&c.m_Info, nullptr);
    DebugTrace("GetInfoChannelD4() m_Info=%x\n", c.m_Info);
    OpenInfoChannel(c, mode, name, &c.m_Info, &c.m_hInfo, "BXOpenChannel() m_hInfo=%d\n");

    c.m_Info2 = 0;
    ChanSel.GetInfoChannelRemote(&c.m_Info2, nullptr);
    DebugTrace("GetInfoChannelRemote() m_Info2=%x\n", c.m_Info2);
    OpenInfoChannel(c, mode, name, &c.m_Info2, &c.m_hInfo2, "BXOpenChannel() m_hInfo2=%d\n");
    return kChannelSelectOpen;
}

void CloseChannels(StatusChannels& c) {
    if (c.m_hStat != 0) {
        CloseChannel(c.m_BxApi, &c.m_hStat);
        c.m_Stat = 0;
    }
    if (c.InfoOpen()) {
        CloseChannel(c.m_BxApi, &c.m_hInfo);
        c.m_Info = 0;
    }
    if (c.RemoteInfoOpen()) {
        CloseChannel(c.m_BxApi, &c.m_hInfo2);
        c.m_Info2 = 0;
    }
}

} // namespace krx
