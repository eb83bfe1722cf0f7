// LibraryCallThread: the printer library's calls of one window, made one at a
// time on a thread of their own, so that a call the library never returns
// from fails after a limit instead of holding the window's thread (the
// host's thread) for good. A call that outlives its limit is abandoned: it
// goes on on the thread with what it owns, and later calls fail at once
// until it has returned. The thread keeps the plug-in and every library it
// was handed loaded while it runs, so that neither is unloaded under a call.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "common/win_handles.h"

namespace krx {

// How long a window waits for one call of the printer's library.
constexpr DWORD kLibraryCallLimitMs = 2000;

class LibraryCallThread {
  public:
    explicit LibraryCallThread(DWORD limitMs = kLibraryCallLimitMs);
    // Tells the thread to end. An idle thread ends at once; one inside an
    // abandoned call ends by itself when the call returns.
    ~LibraryCallThread();
    LibraryCallThread(const LibraryCallThread&) = delete;
    LibraryCallThread& operator=(const LibraryCallThread&) = delete;

    // Runs call on the thread and waits for it within the limit. False when
    // it did not return in time (it is abandoned) or an earlier call has not
    // returned yet (call does not run). call must own everything it uses: an
    // abandoned call outlives its caller. Where no thread can be started,
    // call runs on the caller's thread.
    bool Run(std::function<void()> call);

    // Keeps the module loaded for as long as the thread may run in it.
    void HoldModule(HMODULE module);

  private:
    struct Shared;
    bool StartThread();
    // The thread's loop; the thread holds the shared part until it ends.
    static DWORD Serve(Shared& shared);

    DWORD m_nLimitMs;
    std::shared_ptr<Shared> m_pShared;
    unique_handle m_hThread;
    bool m_bStartFailed = false;
};

} // namespace krx
