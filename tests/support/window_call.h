// One window-opening export call on a thread of its own, as a host makes it:
// the test finds the call's window, sends it messages, closes it or quits the
// thread, and waits for the call's result.
#pragma once

#include <windows.h>

#include <functional>

namespace krxtest {

class WindowCall {
  public:
    explicit WindowCall(std::function<int()> body);
    // Closes any window the call still shows, again and again for up to 10 s,
    // and waits for the call: a window that would not close must not hang
    // the test run.
    ~WindowCall();
    WindowCall(const WindowCall&) = delete;
    WindowCall& operator=(const WindowCall&) = delete;

    // The call's dialog once its set-up is done (it carries a title); null
    // when none appeared in time or the call ended first. withItem: only a
    // dialog that holds that item (the window itself, not a message box it
    // shows first).
    HWND WaitForWindow(DWORD timeoutMs = 5000, int withItem = 0);
    // Another dialog of the call's thread (one the window opened).
    HWND WaitForOtherWindow(HWND besides, DWORD timeoutMs = 5000);
    // Posts WM_CLOSE to every window of the thread, except one holding the
    // dialog item sparingItem when that is not 0.
    void CloseWindows(int sparingItem = 0);
    // Posts WM_QUIT with the code to the call's thread, as a host that quits
    // its thread does.
    void PostQuit(int code);
    // The call's result; kStillRunning when it did not end in time.
    int Wait(DWORD timeoutMs = 10000);
    bool Ended() const;
    DWORD ThreadId() const { return threadId_; }
    static constexpr int kStillRunning = -1000;

  private:
    static DWORD WINAPI Entry(void* self);
    HWND Find(HWND besides, int withItem, DWORD timeoutMs);
    std::function<int()> body_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    volatile int result_ = kStillRunning;
};

} // namespace krxtest
