// Starting and stopping the status window's timers.
#include "ui/status_window/window_timers.h"

namespace krx {

void WindowTimers::Start(HWND window, UINT_PTR id, UINT periodMs) {
    if (SetTimer(window, id, periodMs, nullptr) == 0) {
        return;
    }
    if (id == kStatusTimerId) {
        m_nStatusTimer = id;
    } else {
        m_nProgressTimer = id;
    }
}

void WindowTimers::Stop(HWND window, UINT_PTR id) {
    UINT_PTR& running = id == kStatusTimerId ? m_nStatusTimer : m_nProgressTimer;
    if (running != 0) {
        KillTimer(window, running);
        running = 0;
    }
}

} // namespace krx
