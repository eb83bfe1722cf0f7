// The printer information dialog: asks the printer for its information
// reply on the information channel and shows the reply's two entries (date,
// part, work done, state, log) as a table.
#pragma once

#include <windows.h>

#include "comm/bxapi.h"
#include "common/dialog.h"
#include "status/info_reply.h"

namespace krx {

class PrinterInfoDialog : public Dialog {
  public:
    static constexpr UINT_PTR kRequestTimerId = 10;
    static constexpr UINT kRequestPeriodMs = 1000;
    static constexpr INT_PTR kCancelCode = 2;

    enum ReplyState : int {
        kIdle = 0,     // nothing asked (or asked again on the next tick)
        kWaiting = 1,  // asked; the reply is not complete yet
        kReceived = 2, // reply read
    };

    PrinterInfoDialog();

    // Runs the dialog modally from the current resource module on the
    // caller's library and open information channel, owned by `parent`.
    INT_PTR ShowPrinterInformation(const CBxApi& library, int infoChannel, HWND parent = nullptr);

    int State() const { return m_nState; }
    const PrinterInfoRecord& Record() const { return m_Record; }

  protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;
    bool OnTimer(UINT_PTR timerId) override;
    void OnDestroy() override;

  private:
    void DiscardWaitingData();
    void ReadReply();
    void FillTable();
    void FillRow(int firstItem, const PrinterInfoEntry& entry);

    const CBxApi* m_pLibrary = nullptr;
    int m_nChannel = 0;
    int m_nState = kIdle;
    UINT_PTR m_nTimer = 0;
    PrinterInfoRecord m_Record;
};

} // namespace krx
