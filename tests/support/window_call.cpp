#include "window_call.h"

#include <utility>

namespace krxtest {

namespace {

struct Search {
    HWND besides;
    int item; // when non-zero: only a dialog that holds this item
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (hwnd == search->besides) {
        return TRUE;
    }
    // A dialog whose set-up is done carries a title. (Wine's hidden
    // input-method window has a title too, but is no dialog.)
    char title[8] = {};
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    if (lstrcmpA(className, "#32770") == 0 && GetWindowTextA(hwnd, title, sizeof(title)) > 0 &&
        (search->item == 0 || GetDlgItem(hwnd, search->item) != nullptr)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// lParam: a dialog item whose window is spared; 0 spares none.
BOOL CALLBACK PostClose(HWND hwnd, LPARAM spare) {
    if (spare == 0 || GetDlgItem(hwnd, static_cast<int>(spare)) == nullptr) {
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

} // namespace

WindowCall::WindowCall(std::function<int()> body) : body_(std::move(body)) {
    thread_ = CreateThread(nullptr, 0, Entry, this, 0, &threadId_);
}

WindowCall::~WindowCall() {
    if (thread_ == nullptr) {
        return;
    }
    for (int attempt = 0; attempt < 50 && !Ended(); ++attempt) {
        CloseWindows();
        WaitForSingleObject(thread_, 200);
    }
    CloseHandle(thread_);
}

DWORD WINAPI WindowCall::Entry(void* self) {
    auto* call = static_cast<WindowCall*>(self);
    call->result_ = call->body_();
    return 0;
}

HWND WindowCall::WaitForWindow(DWORD timeoutMs, int withItem) {
    return Find(nullptr, withItem, timeoutMs);
}

HWND WindowCall::WaitForOtherWindow(HWND besides, DWORD timeoutMs) {
    return Find(besides, 0, timeoutMs);
}

HWND WindowCall::Find(HWND besides, int withItem, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        Search search = {besides, withItem, nullptr};
        EnumThreadWindows(threadId_, FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            Sleep(100); // the placement that follows the title
            return search.found;
        }
        if (Ended()) {
            return nullptr;
        }
        Sleep(10);
    }
    return nullptr;
}

void WindowCall::CloseWindows(int sparingItem) {
    EnumThreadWindows(threadId_, PostClose, sparingItem);
}

void WindowCall::PostQuit(int code) {
    PostThreadMessageA(threadId_, WM_QUIT, static_cast<WPARAM>(code), 0);
}

int WindowCall::Wait(DWORD timeoutMs) {
    if (thread_ == nullptr || WaitForSingleObject(thread_, timeoutMs) != WAIT_OBJECT_0) {
        return kStillRunning;
    }
    return result_;
}

bool WindowCall::Ended() const {
    return thread_ == nullptr || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
}

} // namespace krxtest
