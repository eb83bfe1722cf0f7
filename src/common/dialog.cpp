// Dialog and SubclassedControl plumbing.
#include "common/dialog.h"

#include "common/thread_frame.h"

namespace krx {

INT_PTR Dialog::DoModal(HWND parent, HINSTANCE resources) {
    m_bOwnLoop = false;
    m_bEnded = false;
    m_pFrame = CurrentFrame();
    return DialogBoxParamA(resources, MAKEINTRESOURCEA(m_nTemplateId), parent, Thunk,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::DoModalOwnLoop(HWND parent, HINSTANCE resources, bool activate) {
    m_bOwnLoop = true;
    m_bEnded = false;
    m_nEndCode = -1;
    m_pFrame = CurrentFrame();
    HWND hwnd = CreateDialogParamA(resources, MAKEINTRESOURCEA(m_nTemplateId), parent, Thunk,
                                   reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) {
        return -1;
    }
    if (parent != nullptr) {
        EnableWindow(parent, FALSE);
    }
    bool shown = false;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (!m_bEnded && IsWindow(hwnd)) {
        if (!shown && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // First idle moment: show, taking the focus only when asked.
            shown = true;
            if (IsWindow(hwnd)) {
                ShowWindow(hwnd, activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
            }
            continue;
        }
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The host quits its thread: the window closes as the user
            // would close it, so that its clean-up runs, and the quit goes
            // on to the host's own loop once the window is gone.
            quit = true;
            quitCode = msg.wParam;
            if (IsWindow(hwnd)) {
                SendMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            if (!m_bEnded) {
                m_nEndCode = IDCANCEL;
            }
            break;
        }
        if (got == -1) {
            break;
        }
        if (PreTranslateMessage(msg)) {
            continue;
        }
        if (!IsWindow(hwnd) || !IsDialogMessageA(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (parent != nullptr) {
        EnableWindow(parent, TRUE);
    }
    if (IsWindow(hwnd)) {
        DestroyWindow(hwnd);
    }
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
    return m_nEndCode;
}

void Dialog::End(INT_PTR code) {
    if (m_hWnd == nullptr) {
        return;
    }
    m_nEndCode = code;
    m_bEnded = true;
    if (!m_bOwnLoop) {
        EndDialog(m_hWnd, code);
    } else {
        // Wake the loop so that it sees the end at once.
        PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
}

bool Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
    case WM_INITDIALOG:
        *result = OnInitDialog();
        return true;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
            *result = TRUE;
            return true;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            End(LOWORD(wParam));
            *result = TRUE;
            return true;
        }
        return false;
    case WM_TIMER:
        if (OnTimer(wParam)) {
            *result = TRUE;
            return true;
        }
        return false;
    case WM_CLOSE:
        if (OnClose()) {
            *result = TRUE;
            return true;
        }
        End(IDCANCEL);
        *result = TRUE;
        return true;
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_DISPLAYCHANGE:
    case WM_PALETTECHANGED:
    case WM_QUERYNEWPALETTE:
    case WM_SYSCOLORCHANGE:
        TellItems(message, wParam, lParam);
        return false;
    default:
        return false;
    }
}

void Dialog::TellItems(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (m_hWnd == nullptr) {
        return;
    }
    for (HWND item = GetWindow(m_hWnd, GW_CHILD); item != nullptr;
         item = GetWindow(item, GW_HWNDNEXT)) {
        SendMessageA(item, message, wParam, lParam);
    }
}

INT_PTR CALLBACK Dialog::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    // A window whose call is suspended under a nested call keeps its values.
    FrameSwitch frame(self->m_pFrame);
    bool handled = false;
    // An exception cannot pass through the system's frames above us (the
    // host would be ended): a message whose handler threw counts as not
    // handled, and a dialog that could not initialise itself ends.
    try {
        handled = self->HandleMessage(message, wParam, lParam, &result);
    } catch (...) {
        handled = false;
        if (message == WM_INITDIALOG) {
            self->End(-1);
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    if (!handled) {
        return FALSE;
    }
    if (message == WM_INITDIALOG) {
        return result;
    }
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

SubclassedControl::~SubclassedControl() {
    Detach();
}

bool SubclassedControl::Attach(HWND dialog, int itemId) {
    return AttachWindow(GetDlgItem(dialog, itemId));
}

bool SubclassedControl::AttachWindow(HWND hwnd) {
    Detach();
    if (hwnd == nullptr) {
        return false;
    }
    m_hWnd = hwnd;
    m_pFrame = CurrentFrame();
    // The item's user data finds the control: unlike a window property it is
    // read without a call to the window server, and every message of the
    // item (each paint of a picture) looks it up.
    m_nPreviousUserData = SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pOriginal = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Thunk)));
    return true;
}

void SubclassedControl::Detach() {
    if (m_hWnd == nullptr) {
        return;
    }
    if (IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pOriginal));
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, m_nPreviousUserData);
    }
    m_hWnd = nullptr;
    m_pOriginal = nullptr;
    m_nPreviousUserData = 0;
}

LRESULT SubclassedControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallOriginal(message, wParam, lParam);
}

LRESULT SubclassedControl::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_pOriginal != nullptr ? CallWindowProcA(m_pOriginal, m_hWnd, message, wParam, lParam)
                                  : DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SubclassedControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        WNDPROC original = self->m_pOriginal;
        self->Detach();
        return CallWindowProcA(original, hwnd, message, wParam, lParam);
    }
    FrameSwitch frame(self->m_pFrame);
    // No exception may pass through the system's frames above us: a message
    // whose handler threw gets the default handling.
    try {
        LRESULT answer = 0;
        if (message == WM_GETOBJECT && self->m_Accessible.Answer(hwnd, wParam, lParam, &answer)) {
            return answer;
        }
        return self->WndProc(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace krx
