// The printer library's call thread: one call at a time, each waited for
// within the limit, an overdue call left to finish on its own.
#include "comm/library_calls.h"

#include <utility>
#include <vector>

#include "common/critical_section.h"
#include "common/pinned_thread.h"
#include "base/trace/debug_trace.h"

namespace krx {

namespace {
// An idle thread ends as soon as it is told; this only bounds the wait.
constexpr DWORD kIdleThreadEndMs = 1000;
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
};

LibraryCallThread::LibraryCallThread(DWORD limitMs)
    : m_nLimitMs(limitMs), m_pShared(std::make_shared<Shared>()) {}

LibraryCallThread::~LibraryCallThread() {
    bool idle = false;
    {
        CriticalSectionLock hold(m_pShared->lock);
        m_pShared->stopping = true;
        idle = !m_pShared->busy;
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

bool LibraryCallThread::Run(std::function<void()> call) {
    if (!StartThread()) {
        call(); // no thread to bound it: as good as the library is
        return true;
    }
    {
        CriticalSectionLock hold(m_pShared->lock);
        if (m_pShared->busy) {
            return false;
        }
        m_pShared->busy = true;
        m_pShared->call = std::move(call);
        ResetEvent(m_pShared->done.get());
    }
    SetEvent(m_pShared->wake.get());
    if (WaitForSingleObject(m_pShared->done.get(), m_nLimitMs) == WAIT_OBJECT_0) {
        return true;
    }
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

DWORD LibraryCallThread::Serve(Shared& shared) {
    for (;;) {
        // The owner's destructor always wakes the thread to stop it.
        WaitForSingleObject(shared.wake.get(), INFINITE);
        std::function<void()> call;
        {
            CriticalSectionLock hold(shared.lock);
            if (shared.stopping) {
                return 0;
            }
            call.swap(shared.call);
        }
        if (!call) {
            continue;
        }
        try {
            call();
        } catch (...) {
            // The call's own result stays at its failure value.
        }
        call = nullptr; // what the call owned goes before the window hears
        CriticalSectionLock hold(shared.lock);
        shared.busy = false;
        SetEvent(shared.done.get());
    }
}

} // namespace krx
