// A thread that keeps the plug-in loaded for as long as it runs. A thread of
// ours may be left inside an outside call that cannot be cancelled (a
// library that never returns) when the window that started it closes; the
// host may then unload the plug-in. The thread holds its own reference to the
// module that contains this code and drops it as its very last act
// (FreeLibraryAndExitThread), so the code it returns into is still there.
#pragma once

#include <windows.h>

#include <functional>

#include "common/win_handles.h"

namespace krx {

// Exit code of a pinned thread whose body threw: nothing leaves the thread.
constexpr DWORD kPinnedThreadFailed = 0xFFFFFFFFu;

// Runs body on a new thread; what body captures is destroyed on that thread,
// before the module reference is dropped. The handle may be closed at any
// time without affecting the thread. Null when the thread could not start
// (body is then destroyed on the caller's thread).
unique_handle StartPinnedThread(std::function<DWORD()> body);

} // namespace krx
