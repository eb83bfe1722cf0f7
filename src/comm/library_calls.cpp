// The printer library's call thread: one call at a time, each waited for
// within the limit, an overdue call left to finish on its own, on a thread
// of the window's own or of the system's pool.
#include "comm/library_calls.h"

#include <memory>
#include <utility>
#include <vector>

#include "common/critical_section.h"
#include "common/pinned_thread.h"
#include "base/trace/debug_trace.h"

namespace krx {

namespace {
// An idle thread ends as soon as it is told; this only bounds the wait.
constexpr DWORD kIdleThreadEndMs = 1000;

// The libraries that an overdue call of some call thread is still inside,
// once per such call. Taken after a thread's own lock, never before it.
struct LibrariesWithCallOut {
    CriticalSection lock;
    std::vector<HMODULE> modules;
};
LibrariesWithCallOut g_callsOut;

bool AnyHasCallOut(const std::vector<unique_hmodule>& held) {
    CriticalSectionLock hold(g_callsOut.lock);
    for (const unique_hmodule& module : held) {
        for (HMODULE out : g_callsOut.modules) {
            if (out == module.get()) {
                return true;
            }
        }
    }
    return false;
}

void MarkCallsOut(const std::vector<HMODULE>& modules) {
    CriticalSectionLock hold(g_callsOut.lock);
    g_callsOut.modules.insert(g_callsOut.modules.end(), modules.begin(), modules.end());
}

void EndCallsOut(const std::vector<HMODULE>& modules) {
    CriticalSectionLock hold(g_callsOut.lock);
    for (HMODULE module : modules) {
        for (auto at = g_callsOut.modules.begin(); at != g_callsOut.modules.end(); ++at) {
            if (*at == module) {
                g_callsOut.modules.erase(at);
                break;
            }
        }
    }
}
// The system's thread pool, where there is one (not before Windows Vista).
// A pool thread waits in the system's code, not in the plug-in's, so an idle
// one needs no reference to the plug-in; a call holds one until it returns.
using PfnSubmitCallback = BOOL(WINAPI*)(void(WINAPI*)(void*, void*), void*, void*);
using PfnFreeWhenCallbackReturns = void(WINAPI*)(void*, HMODULE);
struct SystemPool {
    PfnSubmitCallback submit = nullptr;
    PfnFreeWhenCallbackReturns freeWhenReturns = nullptr;
};

template <typename Fn> Fn Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const SystemPool& Pool() {
    static const SystemPool pool = [] {
        SystemPool found;
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (kernel != nullptr) {
            found.submit = Resolve<PfnSubmitCallback>(kernel, "TrySubmitThreadpoolCallback");
            found.freeWhenReturns =
                Resolve<PfnFreeWhenCallbackReturns>(kernel, "FreeLibraryWhenCallbackReturns");
        }
        if (found.submit == nullptr || found.freeWhenReturns == nullptr) {
            found = SystemPool();
        }
        return found;
    }();
    return pool;
}
} // namespace

// What the window and the thread share; the last of the two to let go frees
// it, and with it the module references.
struct LibraryCallThread::Shared {
    CriticalSection lock;
    unique_handle wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)}; // a call or the stop
    unique_handle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};  // the call returned
    std::function<void()> call;                                       // handed over, not yet taken
    bool busy = false; // a call was handed over and has not returned
    bool stopping = false;
    std::vector<unique_hmodule> modules;
    // What the overdue call marked as having a call out, to be ended when it
    // returns (kept alive by the references above until then).
    std::vector<HMODULE> overdueIn;
};

// One call handed to a pool thread: the shared part, and the reference to
// the plug-in that the pool drops once the call's code has returned.
struct LibraryCallThread::PoolWork {
    std::shared_ptr<Shared> shared;
    HMODULE self = nullptr;
};

LibraryCallThread::LibraryCallThread(DWORD limitMs, Place place)
    : m_nLimitMs(limitMs), m_Place(place), m_pShared(std::make_shared<Shared>()) {}

LibraryCallThread::~LibraryCallThread() {
    bool idle = false;
    std::vector<unique_hmodule> released; // freed here, after the lock
    {
        CriticalSectionLock hold(m_pShared->lock);
        m_pShared->stopping = true;
        idle = !m_pShared->busy;
        if (idle && !m_hThread) {
            // A pool thread may still be leaving the last call: the library
            // is freed by its caller as the export ends, not later on it.
            released.swap(m_pShared->modules);
        }
    }
    if (m_hThread) {
        SetEvent(m_pShared->wake.get());
        if (idle) {
            WaitForSingleObject(m_hThread.get(), kIdleThreadEndMs);
        }
    }
}

bool LibraryCallThread::StartThread() {
    if (m_hThread || m_bStartFailed) {
        return static_cast<bool>(m_hThread);
    }
    if (m_pShared->wake && m_pShared->done) {
        std::shared_ptr<Shared> shared = m_pShared;
        m_hThread = StartPinnedThread([shared] { return Serve(*shared); });
    }
    m_bStartFailed = !m_hThread;
    return static_cast<bool>(m_hThread);
}

bool LibraryCallThread::SubmitToPool() {
    auto work = std::make_unique<PoolWork>();
    work->shared = m_pShared;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&PoolEntry), &work->self)) {
        return false;
    }
    if (!Pool().submit(&PoolEntry, work.get(), nullptr)) {
        FreeLibrary(work->self);
        return false;
    }
    static_cast<void>(work.release()); // the pool thread owns it now
    return true;
}

bool LibraryCallThread::Run(std::function<void()> call) {
    const bool pooled = m_Place == Place::kSystemPool && Pool().submit != nullptr;
    const bool threaded = pooled || StartThread();
    {
        CriticalSectionLock hold(m_pShared->lock);
        if (m_pShared->busy || AnyHasCallOut(m_pShared->modules)) {
            m_bOverdue = true;
            DebugTrace("Library call: refused, an earlier call has not returned\n");
            return false;
        }
        if (threaded) {
            m_pShared->busy = true;
            m_pShared->call.swap(call);
            ResetEvent(m_pShared->done.get());
        }
    }
    if (!threaded) {
        call(); // no thread to bound it: as good as the library is
        return true;
    }
    if (!pooled) {
        SetEvent(m_pShared->wake.get());
    } else if (!SubmitToPool()) {
        std::function<void()> back; // no pool thread to be had: as without a thread
        {
            CriticalSectionLock hold(m_pShared->lock);
            back.swap(m_pShared->call);
            m_pShared->busy = false;
        }
        back();
        return true;
    }
    if (WaitForSingleObject(m_pShared->done.get(), m_nLimitMs) == WAIT_OBJECT_0) {
        return true;
    }
    {
        CriticalSectionLock hold(m_pShared->lock);
        if (!m_pShared->busy) {
            return true; // it answered as the wait ended
        }
        for (const unique_hmodule& module : m_pShared->modules) {
            m_pShared->overdueIn.push_back(module.get());
        }
        MarkCallsOut(m_pShared->overdueIn);
    }
    m_bOverdue = true;
    DebugTrace("Library call: no answer within %lu ms\n", static_cast<unsigned long>(m_nLimitMs));
    return false;
}

void LibraryCallThread::HoldModule(HMODULE module) {
    HMODULE held = nullptr;
    if (module == nullptr || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                                 reinterpret_cast<LPCSTR>(module), &held)) {
        return;
    }
    unique_hmodule reference(held);
    CriticalSectionLock hold(m_pShared->lock);
    for (const unique_hmodule& known : m_pShared->modules) {
        if (known.get() == held) {
            return; // one reference per module is enough
        }
    }
    m_pShared->modules.push_back(std::move(reference));
}

void LibraryCallThread::Answer(Shared& shared) {
    std::function<void()> call;
    {
        CriticalSectionLock hold(shared.lock);
        call.swap(shared.call);
    }
    if (!call) {
        return;
    }
    try {
        call();
    } catch (...) {
        // The call's own result stays at its failure value.
    }
    call = nullptr; // what the call owned goes before the caller hears
    CriticalSectionLock hold(shared.lock);
    shared.busy = false;
    EndCallsOut(shared.overdueIn);
    shared.overdueIn.clear();
    SetEvent(shared.done.get());
}

DWORD LibraryCallThread::Serve(Shared& shared) {
    for (;;) {
        // The owner's destructor always wakes the thread to stop it.
        WaitForSingleObject(shared.wake.get(), INFINITE);
        {
            CriticalSectionLock hold(shared.lock);
            if (shared.stopping) {
                return 0;
            }
        }
        Answer(shared);
    }
}

void WINAPI LibraryCallThread::PoolEntry(void* instance, void* context) {
    HMODULE self = nullptr;
    {
        std::unique_ptr<PoolWork> work(static_cast<PoolWork*>(context));
        self = work->self;
        Answer(*work->shared);
    } // the library's references may go here, while the plug-in is still held
    Pool().freeWhenReturns(instance, self);
}

} // namespace krx
