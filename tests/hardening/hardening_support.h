// Helpers of the hardening tests and the soak benchmark: the plug-in loaded as
// the host loads it, the kit installed with its typical printer, a window export run
// on a thread of its own with a time limit, ticks posted to a window, the
// process's resource figures, and a spooler that knows every job.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "comm/spooler.h"
#include "loaded_plugin.h"

namespace hardening {

using Plugin = krxtest::LoadedPlugin;

// Installs the kit's system with the simulated printer in the spooler and
// scripts the printer's typical answers; false when the install failed.
bool InstallTypicalPrinter();

// The process's own resource figures at one moment.
struct ResourceCounts {
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};
ResourceCounts MeasureResources();
std::string Describe(const ResourceCounts& counts);
// How many handles of each kind the process holds (a leak's first clue).
std::string DescribeHandleKinds();

// One window-opening call on its own thread. The destructor closes any
// window the call still shows and waits for the call to end.
class WindowThread {
  public:
    explicit WindowThread(std::function<int()> body);
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    // The call's top-level window once it carries a title; null when none
    // appeared in time or the call ended first.
    // withItem: only a window holding that dialog item (the window itself, not
    // a message box it shows first).
    HWND WaitForWindow(DWORD timeoutMs = 5000, int withItem = 0);
    // Posts WM_CLOSE to every window of the thread, except one holding the
    // dialog item sparingItem when that is not 0.
    void CloseWindows(int sparingItem = 0);
    // Posts WM_QUIT with the code to the call's thread, as a host that quits
    // its thread does.
    void PostQuit(int code);
    // The call's result; kStillRunning when it did not end in time.
    int Wait(DWORD timeoutMs = 10000);
    bool Ended() const;
    static constexpr int kStillRunning = -1000;

  private:
    static DWORD WINAPI Entry(void* self);
    std::function<int()> body_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    volatile int result_ = kStillRunning;
};

// Posts count WM_TIMER messages for the timer to the window, as the system
// would, and waits until the window has handled them (a posted sentinel
// follows every batch; a sent message would overtake the posted ticks).
// False when the window went away meanwhile.
bool PostTicks(HWND window, UINT_PTR timerId, int count);

// Answers "the job exists" for every job (the spooler of a test process
// knows only its own jobs); puts the previous entry back when destroyed.
class EveryJobExists {
  public:
    EveryJobExists();
    ~EveryJobExists();
    EveryJobExists(const EveryJobExists&) = delete;
    EveryJobExists& operator=(const EveryJobExists&) = delete;

  private:
    static BOOL WINAPI GetJob(HANDLE, DWORD, DWORD, LPBYTE, DWORD, LPDWORD needed);
    decltype(krx::SpoolerApi::getJob) previous_;
};

} // namespace hardening
