// Repair of the library's port settings through its settings tool: whether
// a repair was tried, the tool's report, and the one-time look at the
// library's error flags after the first failed exchange.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace krx {

// Recovery of the library through its settings tool.
enum RecoveryState : int {
    kRecoveryNotTried = 0,
    kRecoveryAwaitingReport = 1, // the tool runs; status polling waits
    kRecoveryNotNeeded = 2,
    kRecoveryFailed = 3, // declined, impossible or failed
};

// Flag bits of the settings tool's report.
constexpr uint32_t kReportFreplace = 0x200000;
constexpr uint32_t kReportInUse = 0x400;
constexpr uint32_t kReportOthers = 0x80000;
constexpr uint32_t kReportDone = 0x1;

class LibraryRecovery {
  public:
    // Offers the repair from a Detail window (the meter never offers one,
    // a Popup only says so); the tool reports back to window.
    void Try(HWND window, int viewType, const std::string& printerName);
    void OnReport(HWND window, LPARAM flags);
    // After an exchange failed: the library's error flags once (not from the
    // meter), then one repair attempt.
    void AfterCommunicationFailure(HWND window, int viewType, const std::string& printerName);
    // A status was read: the error flags need no look any more.
    void OnStatusRead() { m_nFlagsShown = 2; }

    int State() const { return m_nState; }
    bool AwaitingReport() const { return m_nState == kRecoveryAwaitingReport; }

  private:
    int m_nState = kRecoveryNotTried;
    int m_nFlagsShown = 0; // 1 once shown, 2 once a status was read
};

} // namespace krx
