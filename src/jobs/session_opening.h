// SessionOpening: opens a print server's session on a thread of its own, so
// that the worker can stop waiting whatever the server does. Inside the RPC
// run time neither a pipe held busy (the run time waits the time-out the
// server chose) nor a wait for the bind's answer can be given up; the
// thread can. An opening given up runs on by itself: it keeps its binding
// and whatever session it gets, and frees both when it ends. At most
// kMaxOpeningsPerBinding openings run for one binding at a time, so that a
// server that never lets go cannot collect threads.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

constexpr int kMaxOpeningsPerBinding = 2;

struct OpenedSession {
    void* binding = nullptr; // the binding, now the caller's; null when none was kept
    void* context = nullptr; // the session's context handle
    long session = 0;        // the server's answer; 0 when nothing was opened
    unsigned long failure = 0;
};

// Opens a session over binding (an RPC binding handle, the opening's from
// now on) and waits at most limitMs for it, or until stopEvent (may be null)
// is set. bindingKey names the binding among the module's openings.
OpenedSession OpenSessionWithin(const std::string& bindingKey, void* binding,
                                const char* libraryName, DWORD limitMs, HANDLE stopEvent);

} // namespace krx
