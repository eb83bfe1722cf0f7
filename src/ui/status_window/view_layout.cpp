// How the status window presents a view.
#include "ui/status_window/view_layout.h"

#include <string>

#include "common/resource_ids.h"
#include "base/module/resource_string.h"
#include "base/trace/debug_trace.h"
#include "ui/status_window/monitored_printer.h"

namespace krx {

namespace {

constexpr int kInkAreaItems[] = {IDC_INK_BLACK_LABEL, IDC_INK_COLOR_LABEL, IDC_INK_BLACK,
                                 IDC_INK_COLOR};
constexpr int kTipItems[] = {IDC_TIPS_BUTTON, IDC_TIP_TEXT, IDC_TIP_HEADING, IDC_TIP_HELP};

int Height(const RECT& r) {
    return r.bottom - r.top;
}

RECT ItemRectOnScreen(HWND window, int id) {
    RECT r = {};
    if (HWND item = GetDlgItem(window, id)) {
        GetWindowRect(item, &r);
    }
    return r;
}

RECT ItemRectInClient(HWND window, int id) {
    RECT r = ItemRectOnScreen(window, id);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MoveItemTo(HWND item, const RECT& r) {
    if (item != nullptr) {
        MoveWindow(item, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void MoveItemBy(HWND window, int id, int dy) {
    if (HWND item = GetDlgItem(window, id)) {
        RECT r = ItemRectInClient(window, id);
        MoveWindow(item, r.left, r.top + dy, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void GreyMenuCommand(HMENU menu, UINT command, bool grey) {
    if (menu != nullptr) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (grey ? MF_GRAYED : MF_ENABLED));
    }
}

void SetViewTitle(HWND window, int viewType, const MonitoredPrinter& printer) {
    std::string title;
    if (viewType == kViewProgress) {
        title = printer.ByPort() ? printer.Port() : printer.Name() + " - " + printer.Port();
    } else {
        title = ResourceString(IDS_MONITOR_CAPTION) + " : " + printer.NameOrPort();
    }
    SetWindowTextA(window, title.c_str());
}

void ApplyViewTable(HWND window, int viewType, const ViewConditions& conditions) {
    size_t count = 0;
    const ViewItemRule* rules = ViewRules(&count);
    for (size_t i = 0; i < count; ++i) {
        HWND item = GetDlgItem(window, rules[i].item);
        if (item == nullptr) {
            continue;
        }
        const ItemState state = ResolveRule(rules[i], viewType, conditions);
        if (state.show >= 0) {
            ShowWindow(item, state.show ? SW_SHOW : SW_HIDE);
        }
        if (state.enable >= 0) {
            EnableWindow(item, state.enable ? TRUE : FALSE);
        }
    }
}

void TraceViewType(int viewType) {
    switch (viewType) {
    case kViewPopup:
        DebugTrace("\n View Type : Popup\n");
        break;
    case kViewDetail:
        DebugTrace("\n View Type : Detail\n");
        break;
    case kViewProgress:
        DebugTrace("\n View Type : Progress meter dialog\n");
        break;
    default:
        break;
    }
}

} // namespace

void ViewLayout::SetUpSystemMenu() const {
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    if (menu == nullptr) {
        return;
    }
    std::string versionText = ResourceString(IDS_VERSION_MENU);
    if (!versionText.empty()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kSysMenuVersion, versionText.c_str());
    }
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
}

void ViewLayout::CaptureTemplate() {
    m_rcStatusText = ItemRectInClient(m_hWnd, IDC_STATUS_TEXT);
    m_rcMarker = ItemRectInClient(m_hWnd, IDC_POPUP_MARKER);
}

void ViewLayout::Prepare(int viewType, const MonitoredPrinter& printer,
                         const ViewConditions& conditions, bool statusPolling) {
    SetViewTitle(m_hWnd, viewType, printer);
    ApplyViewTable(m_hWnd, viewType, conditions);
    UpdateFrame(viewType, statusPolling);
}

void ViewLayout::Present(int viewType) const {
    if (viewType == kViewPopup || viewType == kViewDetail) {
        // Shown only now that it has its place and size: never for a moment
        // at the template's corner.
        ShowWindow(m_hWnd, SW_SHOW);
        SetFocus(GetDlgItem(m_hWnd, viewType == kViewPopup ? IDC_CANCEL_PRINTING : IDOK));
    }

    if (viewType == kViewProgress) {
        // Up in the z-order without taking the focus, and not left topmost.
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
        SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    } else {
        SetForegroundWindow(m_hWnd);
    }
    TraceViewType(viewType);
}

void ViewLayout::UpdateFrame(int viewType, bool statusPolling) {
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    LONG_PTR style = GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    if (viewType == kViewPopup || viewType == kViewDetail) {
        GreyMenuCommand(menu, SC_CLOSE, viewType == kViewPopup);
        GreyMenuCommand(menu, SC_MINIMIZE, true);
        SetWindowLongPtrA(m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MINIMIZEBOX));
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (IsIconic(m_hWnd)) {
            ShowWindow(m_hWnd, SW_RESTORE);
        }
        m_bKeepHidden = 0;
        ShowInkArea(viewType, 1);
    } else if (viewType == kViewProgress) {
        GreyMenuCommand(menu, SC_CLOSE, true);
        GreyMenuCommand(menu, SC_MINIMIZE, false);
        SetWindowLongPtrA(m_hWnd, GWL_STYLE, style | WS_MINIMIZEBOX);
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!statusPolling) {
            ShowInkArea(viewType, 0);
        }
    }
}

void ViewLayout::OnSize(WPARAM kind, int viewType) const {
    if (kind != SIZE_MINIMIZED && kind != SIZE_RESTORED) {
        return;
    }
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    if (kind == SIZE_MINIMIZED) {
        GreyMenuCommand(menu, SC_RESTORE, false);
        GreyMenuCommand(menu, SC_MINIMIZE, true);
    } else {
        GreyMenuCommand(menu, SC_RESTORE, true);
        GreyMenuCommand(menu, SC_MINIMIZE, viewType != kViewProgress);
    }
}

void ViewLayout::OnWindowPosChanging(WINDOWPOS* pos) const {
    if (m_bKeepHidden && pos != nullptr) {
        pos->flags &= ~SWP_SHOWWINDOW;
    }
}

SIZE ViewLayout::ViewSize(int viewType, bool tipsEnabled, const RECT& windowTemplate) const {
    SIZE size = {0, 0};
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    switch (viewType) {
    case kViewPopup:
        size = {width, ItemRectOnScreen(m_hWnd, IDC_POPUP_MARKER).bottom - window.top};
        break;
    case kViewDetail:
        size = {width, ItemRectOnScreen(m_hWnd, IDC_DETAIL_MARKER).bottom - window.top};
        break;
    case kViewProgress:
        if (tipsEnabled) {
            const int full = Height(windowTemplate);
            size = {width, m_bInkAreaShown
                               ? full
                               : full - Height(ItemRectOnScreen(m_hWnd, IDC_INK_FRAME))};
        } else {
            size = {width, ItemRectOnScreen(m_hWnd, IDC_TIP_TEXT).top - window.top};
        }
        break;
    default:
        break;
    }
    return size;
}

void ViewLayout::PlaceStatusText(int viewType) const {
    HWND text = GetDlgItem(m_hWnd, IDC_STATUS_TEXT);
    if (viewType == kViewPopup) {
        MoveItemTo(text, m_rcStatusText);
    } else if (viewType == kViewDetail) {
        RECT r = m_rcStatusText;
        r.top = ItemRectInClient(m_hWnd, IDC_STATUS_PICTURE).top;
        MoveItemTo(text, r);
    }
}

int ViewLayout::ShowInkArea(int viewType, int show) {
    show = show ? 1 : 0;
    if (show == m_bInkAreaShown) {
        return 0;
    }
    const int distance = m_rcMarker.top - ItemRectInClient(m_hWnd, IDC_INK_FRAME).top;
    const bool detail = viewType == kViewDetail;
    if (show) {
        ShowWindow(GetDlgItem(m_hWnd, IDC_INK_FRAME), detail ? SW_HIDE : SW_SHOW);
        ShowWindow(GetDlgItem(m_hWnd, IDC_DETAIL_INK_FRAME), detail ? SW_SHOW : SW_HIDE);
        for (int id : kInkAreaItems) {
            ShowWindow(GetDlgItem(m_hWnd, id), SW_SHOW);
        }
        for (int id : kTipItems) {
            MoveItemBy(m_hWnd, id, distance);
        }
        MoveItemTo(GetDlgItem(m_hWnd, IDC_POPUP_MARKER), m_rcMarker);
    } else {
        ShowWindow(GetDlgItem(m_hWnd, IDC_INK_FRAME), SW_HIDE);
        ShowWindow(GetDlgItem(m_hWnd, IDC_DETAIL_INK_FRAME), SW_HIDE);
        for (int id : kInkAreaItems) {
            ShowWindow(GetDlgItem(m_hWnd, id), SW_HIDE);
        }
        for (int id : kTipItems) {
            MoveItemBy(m_hWnd, id, -distance);
        }
        RECT marker = m_rcMarker;
        const int top = ItemRectInClient(m_hWnd, IDC_INK_FRAME).top;
        marker.bottom = top + Height(m_rcMarker);
        marker.top = top;
        MoveItemTo(GetDlgItem(m_hWnd, IDC_POPUP_MARKER), marker);
    }
    m_bInkAreaShown = show;
    return 1;
}

} // namespace krx
