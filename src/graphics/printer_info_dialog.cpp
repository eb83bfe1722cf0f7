// Printer information dialog.
#include "graphics/printer_info_dialog.h"

#include <string>

#include "comm/receive_data.h"
#include "common/resource_ids.h"
#include "common/win_handles.h"
#include "base/module/module_state.h"
#include "base/trace/debug_trace.h"
#include "graphics/printer_info_table.h"
#include "graphics/resource_text.h"

namespace krx {

namespace {

// The printer-information request of the information channel.
constexpr unsigned char kInfoRequest[] = {0x69, 0x69, 0x01, 0x00, 0x01};
constexpr int kCellsPerRow = 5;
// Replies discarded before a request at most: a library that always has
// data must not hold the dialog.
constexpr int kMaxStaleReplies = 8;

std::string Text(UINT id) {
    std::string text;
    LoadResourceString(id, &text);
    return text;
}

bool ResourceNumber(unsigned id, long* value) {
    return LoadResourceNumber(id, value);
}

} // namespace

PrinterInfoDialog::PrinterInfoDialog() : Dialog(IDD_PRINTER_INFO) {}

INT_PTR PrinterInfoDialog::ShowPrinterInformation(const CBxApi& library, int infoChannel,
                                                  HWND parent) {
    m_pLibrary = &library;
    m_nChannel = infoChannel;
    m_Record = PrinterInfoRecord{};
    m_nState = kIdle;
    return DoModal(parent, ThisCall().resourceModule);
}

bool PrinterInfoDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (message == KRX_MSG_INFO_DATA) {
        // The library names the channel that has data.
        const int channel = static_cast<int>(lParam);
        if (channel > 0 && channel == m_nChannel && m_nState == kWaiting) {
            ReadReply();
        }
        *result = 0;
        return true;
    }
    return Dialog::HandleMessage(message, wParam, lParam, result);
}

BOOL PrinterInfoDialog::OnInitDialog() {
    HWND self = Hwnd();
    if (m_pLibrary == nullptr ||
        m_pLibrary->BXSetOption(m_nChannel, bx::kOptionNotifyInfo, &self) != bx::kOk) {
        // Without notifications no reply could be read: ask nothing.
        return TRUE;
    }
    for (int id = IDC_INFO_HEADING_FIRST; id <= IDC_INFO_HEADING_LAST; ++id) {
        ShowWindow(Item(id), SW_SHOW);
    }
    for (int i = 0; i < 2 * kCellsPerRow; ++i) {
        ShowWindow(Item(IDC_INFO_ROW0_FIRST + i), SW_SHOW);
    }
    m_nTimer = SetTimer(Hwnd(), kRequestTimerId, kRequestPeriodMs, nullptr);
    return TRUE;
}

bool PrinterInfoDialog::OnCommand(int id, int /*notifyCode*/, HWND /*control*/) {
    if (id == IDCANCEL) {
        End(kCancelCode);
        return true;
    }
    return false;
}

bool PrinterInfoDialog::OnTimer(UINT_PTR timerId) {
    if (timerId != kRequestTimerId) {
        return false;
    }
    if (m_nState == kIdle) {
        DiscardWaitingData();
        m_pLibrary->BXSend(m_nChannel, kInfoRequest, sizeof(kInfoRequest));
        ReadReply();
    }
    return true;
}

void PrinterInfoDialog::DiscardWaitingData() {
    // Data already waiting before the request is sent cannot answer it (a
    // reply nobody read, to an earlier request or another command), but the
    // read right after the request would take it for the answer.
    for (int i = 0; i < kMaxStaleReplies; ++i) {
        if (ReceivePrinterData(*m_pLibrary, m_nChannel, nullptr, nullptr) != kReceiveData) {
            break;
        }
    }
}

void PrinterInfoDialog::OnDestroy() {
    if (m_nTimer != 0) {
        KillTimer(Hwnd(), kRequestTimerId);
        m_nTimer = 0;
    }
    if (m_pLibrary != nullptr) {
        m_pLibrary->BXReceiveCancel(m_nChannel);
    }
    m_nState = kIdle;
}

void PrinterInfoDialog::ReadReply() {
    void* buffer = nullptr;
    int length = 0;
    const int result = ReceivePrinterData(*m_pLibrary, m_nChannel, &buffer, &length);
    if (result == kReceiveNothing) {
        m_nState = kWaiting;
        return;
    }
    unique_hlocal owned(static_cast<HLOCAL>(buffer));
    if (result != kReceiveData || buffer == nullptr || length <= 0) {
        // A receive error: in state 0 the next tick asks again, in state 1
        // the next notification reads again.
        return;
    }
    m_nState = kReceived;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    // Traced by its length: exactly the bytes the printer sent.
    DebugTrace("GetPrnData:Return Buffer=%.*s\r\n", length, reinterpret_cast<const char*>(bytes));
    // A reply that breaks off leaves the table as it was rather than showing
    // half-read fields.
    if (ParsePrinterInfoReply(bytes, static_cast<size_t>(length), &m_Record) == 1) {
        FillTable();
    }
}

void PrinterInfoDialog::FillRow(int firstItem, const PrinterInfoEntry& entry) {
    const std::string none = Text(IDS_INFO_NONE);
    const std::string date = InfoHasDate(entry.pdy)
                                 ? FormatInfoDate(Text(IDS_INFO_DATE_FORMAT), entry.pdy, entry.pdm)
                                 : none;
    const InfoKindCells kind = LookUpInfoKind(entry.ic1, entry.ic2, ResourceNumber);
    SetDlgItemTextA(Hwnd(), firstItem, date.c_str());
    SetDlgItemTextA(Hwnd(), firstItem + 1, Text(kind.kindTextId).c_str());
    SetDlgItemTextA(Hwnd(), firstItem + 2, Text(kind.detailTextId).c_str());
    SetDlgItemTextA(Hwnd(), firstItem + 3, Text(InfoStateTextId(entry.ik2)).c_str());
    SetDlgItemTextA(Hwnd(), firstItem + 4, entry.log.empty() ? none.c_str() : entry.log.c_str());
}

void PrinterInfoDialog::FillTable() {
    FillRow(IDC_INFO_ROW0_FIRST, m_Record.entry[0]);
    FillRow(IDC_INFO_ROW1_FIRST, m_Record.entry[1]);
}

} // namespace krx
