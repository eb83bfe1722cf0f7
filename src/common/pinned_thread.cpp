// Threads that pin the module containing their code while they run.
#include "common/pinned_thread.h"

#include <memory>
#include <utility>

namespace krx {

namespace {

struct PinnedStart {
    std::function<DWORD()> body;
    HMODULE module = nullptr;
};

DWORD WINAPI PinnedEntry(void* parameter) {
    HMODULE module = static_cast<PinnedStart*>(parameter)->module;
    DWORD code = kPinnedThreadFailed;
    {
        std::unique_ptr<PinnedStart> start(static_cast<PinnedStart*>(parameter));
        try {
            code = start->body();
        } catch (...) {
            code = kPinnedThreadFailed; // an exception leaving a thread ends the host
        }
    } // the body's captures go while the code is still pinned
    FreeLibraryAndExitThread(module, code);
}

} // namespace

unique_handle StartPinnedThread(std::function<DWORD()> body) {
    auto start = std::make_unique<PinnedStart>();
    start->body = std::move(body);
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&PinnedEntry), &start->module)) {
        return unique_handle();
    }
    HMODULE module = start->module;
    DWORD threadId = 0;
    unique_handle thread(CreateThread(nullptr, 0, PinnedEntry, start.get(), 0, &threadId));
    if (!thread) {
        FreeLibrary(module);
        return unique_handle();
    }
    static_cast<void>(start.release()); // the thread owns it now
    return thread;
}

} // namespace krx
