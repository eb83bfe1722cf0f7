// Session openings on abandonable threads.
#include "jobs/session_opening.h"

#include <rpc.h>

#include <map>
#include <memory>
#include <utility>

#include "common/critical_section.h"
#include "common/pinned_thread.h"
#include "jobs/pm_remote_calls.h"

namespace krx {

namespace {

// What one opening owns; shared by the waiting worker and the opening
// thread, freed by whichever lets go last.
struct Opening {
    std::string key;
    std::string library;
    CriticalSection lock;
    // Guarded by lock once the thread runs:
    RPC_BINDING_HANDLE binding = nullptr;
    void* context = nullptr;
    long session = 0;
    unsigned long failure = 0;
    bool finished = false;

    Opening(std::string bindingKey, std::string libraryName, RPC_BINDING_HANDLE handle)
        : key(std::move(bindingKey)), library(std::move(libraryName)), binding(handle) {}
    ~Opening() {
        if (context != nullptr) {
            // Nobody took the session: free our side; the server runs it down
            // when the connection goes.
            KrxPmDropSession(&context);
        }
        if (binding != nullptr) {
            RpcBindingFree(&binding);
        }
    }
    Opening(const Opening&) = delete;
    Opening& operator=(const Opening&) = delete;
};

// Openings running per binding. The lock is held only to count.
CriticalSection& CountLock() {
    static CriticalSection section;
    return section;
}

std::map<std::string, int>& Running() {
    static std::map<std::string, int> running;
    return running;
}

bool TakeSlot(const std::string& key) {
    CriticalSectionLock hold(CountLock());
    int& count = Running()[key];
    if (count >= kMaxOpeningsPerBinding) {
        return false;
    }
    ++count;
    return true;
}

void ReleaseSlot(const std::string& key) {
    CriticalSectionLock hold(CountLock());
    auto it = Running().find(key);
    if (it != Running().end() && --it->second <= 0) {
        Running().erase(it);
    }
}

DWORD RunOpening(const std::shared_ptr<Opening>& opening) {
    // The binding and the library name stay the opening's for the whole
    // call: the worker touches neither until the call has returned.
    void* context = nullptr;
    unsigned long failure = 0;
    const long session =
        KrxPmOpenSession(opening->binding, &context, opening->library.c_str(), &failure);
    {
        CriticalSectionLock hold(opening->lock);
        opening->context = context;
        opening->session = session;
        opening->failure = failure;
        opening->finished = true;
    }
    ReleaseSlot(opening->key);
    return 0;
}

} // namespace

OpenedSession OpenSessionWithin(const std::string& bindingKey, void* binding,
                                const char* libraryName, DWORD limitMs, HANDLE stopEvent) {
    OpenedSession result;
    auto opening = std::make_shared<Opening>(bindingKey, libraryName != nullptr ? libraryName : "",
                                             static_cast<RPC_BINDING_HANDLE>(binding));
    if (!TakeSlot(bindingKey)) {
        // Earlier openings of this binding are still stuck on the server.
        result.failure = RPC_S_SERVER_TOO_BUSY;
        return result;
    }
    unique_handle thread = StartPinnedThread([opening]() { return RunOpening(opening); });
    if (!thread) {
        ReleaseSlot(bindingKey);
        result.failure = RPC_S_OUT_OF_RESOURCES;
        return result;
    }
    HANDLE waits[2] = {thread.get(), stopEvent};
    WaitForMultipleObjects(stopEvent != nullptr ? 2 : 1, waits, FALSE, limitMs);

    CriticalSectionLock hold(opening->lock);
    if (!opening->finished) {
        // Given up: the thread frees what it holds when it ends.
        result.failure = RPC_S_CALL_CANCELLED;
        return result;
    }
    result.binding = opening->binding;
    result.context = opening->context;
    result.session = opening->session;
    result.failure = opening->failure;
    opening->binding = nullptr;
    opening->context = nullptr;
    return result;
}

} // namespace krx
