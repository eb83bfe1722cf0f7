// The status window's two timers: the status timer (8) and the progress
// timer (9), which of them runs, and the flag that drops a timer event
// arriving while a tick is still running (a tick may pump messages).
#pragma once

#include <windows.h>

namespace krx {

// Window timers and their periods.
constexpr UINT_PTR kStatusTimerId = 8;
constexpr UINT_PTR kProgressTimerId = 9;
constexpr UINT kFirstStatusPeriodMs = 500;
constexpr UINT kFirstProgressPeriodMs = 400;
constexpr UINT kPrintingStatusPeriodMs = 1000; // while a job is being sent
constexpr UINT kProgressPeriodMs = 2000;

class WindowTimers {
  public:
    static bool Owns(UINT_PTR id) { return id == kStatusTimerId || id == kProgressTimerId; }
    void Start(HWND window, UINT_PTR id, UINT periodMs);
    void Stop(HWND window, UINT_PTR id);

    // False while a tick runs: the event is dropped.
    bool EnterTick() {
        if (m_bBusy) {
            return false;
        }
        m_bBusy = 1;
        return true;
    }
    void LeaveTick() { m_bBusy = 0; }

  private:
    UINT_PTR m_nStatusTimer = 0;   // timer 8 while running
    UINT_PTR m_nProgressTimer = 0; // timer 9 while running
    int m_bBusy = 0;
};

} // namespace krx
