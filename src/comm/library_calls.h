// LibraryCallThread: the printer library's calls of one window, made one at a
// time on a thread of their own, so that a call the library never returns
// from fails after a limit instead of holding the window's thread (the
// host's thread) for good. A call that outlives its limit is abandoned: it
// goes on on the thread with what it owns, and later calls fail at once
// until it has returned. The thread keeps the plug-in and every library it
// was handed loaded while it runs, so that neither is unloaded under a call.
// An overdue call holds its library for every call thread of the module: a
// call of any thread that holds the same library fails at once until the
// overdue one has returned, so that a hung library gathers no more threads
// (and no more waits) however often the exports are called meanwhile.
// A window keeps one thread of its own for its whole life; the exports that
// return at once (the status query, the data collection) make their few
// calls on the system's thread pool instead, since a thread started and
// ended at every export call would cost more than the call itself.
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
    enum class Place {
        kOwnThread,  // one pinned thread, started at the first call
        kSystemPool, // each call on a thread of the system's pool (own thread
                     // where the system has no pool)
    };
    explicit LibraryCallThread(DWORD limitMs = kLibraryCallLimitMs,
                               Place place = Place::kOwnThread);
    // Tells the thread to end. An idle thread ends at once; one inside an
    // abandoned call ends by itself when the call returns.
    ~LibraryCallThread();
    LibraryCallThread(const LibraryCallThread&) = delete;
    LibraryCallThread& operator=(const LibraryCallThread&) = delete;

    // Runs call on the thread and waits for it within the limit. False when
    // it did not return in time (it is abandoned) or an earlier call, of this
    // thread or of another one holding the same library, has not returned
    // yet (call does not run). call must own everything it uses: an
    // abandoned call outlives its caller. Where no thread can be started,
    // call runs on the caller's thread.
    bool Run(std::function<void()> call);

    // Keeps the module loaded for as long as the thread may run in it, and
    // makes the module's overdue calls on other threads refuse this
    // thread's calls.
    void HoldModule(HMODULE module);

    // True once a call of this thread failed for time: overdue, or refused
    // because a call of the same library was. The callers tell a library
    // that does not answer from one that answers a failure by it.
    bool Overdue() const { return m_bOverdue; }

  private:
    struct Shared;
    struct PoolWork;
    bool StartThread();
    bool SubmitToPool();
    // The thread's loop; the thread holds the shared part until it ends.
    static DWORD Serve(Shared& shared);
    // Makes the call handed over, if any, and tells the caller it returned.
    static void Answer(Shared& shared);
    static void WINAPI PoolEntry(void* instance, void* context);

    DWORD m_nLimitMs;
    Place m_Place;
    std::shared_ptr<Shared> m_pShared;
    unique_handle m_hThread;
    bool m_bStartFailed = false;
    bool m_bOverdue = false;
};

} // namespace krx
