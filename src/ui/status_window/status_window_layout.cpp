// StatusWindow: views, window size, placement and position memory, the ink
// area, and the system menu as the view and size change.
#include "common/resource_ids.h"
#include "entry/module/message_box.h"
#include "entry/trace/debug_trace.h"
#include "ui/status_window/status_window.h"

namespace krx {

namespace {

constexpr int kAnimationWidth = 100;
constexpr int kAnimationHeight = 85;
constexpr uint32_t kPrintingFrames[] = {IDB_PRINTING_1, IDB_PRINTING_2, IDB_PRINTING_3};
constexpr int kStatusReplyWithInformation = 4;

constexpr int kInkAreaItems[] = {IDC_INK_BLACK_LABEL, IDC_INK_COLOR_LABEL, IDC_INK_BLACK,
                                 IDC_INK_COLOR};
constexpr int kTipItems[] = {IDC_TIPS_BUTTON, IDC_TIP_TEXT, IDC_TIP_HEADING, IDC_TIP_HELP};

int Height(const RECT& r) {
    return r.bottom - r.top;
}

void MoveItemTo(HWND item, const RECT& r) {
    if (item != nullptr) {
        MoveWindow(item, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void GreyMenuCommand(HMENU menu, UINT command, bool grey) {
    if (menu != nullptr) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (grey ? MF_GRAYED : MF_ENABLED));
    }
}

} // namespace

RECT StatusWindow::ItemRectOnScreen(int id) const {
    RECT r = {};
    if (HWND item = Item(id)) {
        GetWindowRect(item, &r);
    }
    return r;
}

RECT StatusWindow::ItemRectInClient(int id) const {
    RECT r = ItemRectOnScreen(id);
    MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool StatusWindow::InformationAvailable(bool remote) const {
    if (m_Poll.Status().st != kStatusReplyWithInformation || !m_pChannels) {
        return false;
    }
    return remote ? m_pChannels->m_hInfo2 != 0 : m_pChannels->m_hInfo != 0;
}

void StatusWindow::SwitchView(int viewType, int forceDefaultPosition) {
    if (viewType == m_nViewType) {
        return;
    }
    SetViewTitle(viewType);
    ApplyViewTable(viewType);
    UpdateFrameForView(viewType);

    if (viewType != kViewDetail) {
        m_Poll.Information().EndShown();
    }

    if (viewType == kViewProgress) {
        m_JobView.Animation().SetBitmapSize(kAnimationWidth, kAnimationHeight);
        m_JobView.Animation().StartAnimation(3, kPrintingFrames);
    } else {
        m_JobView.Animation().StopAnimation();
    }

    m_nViewType = viewType;
    PlaceWindow(viewType, forceDefaultPosition);
    if (viewType == kViewPopup || viewType == kViewDetail) {
        // Shown only now that it has its place and size: never for a moment
        // at the template's corner.
        ShowWindow(Hwnd(), SW_SHOW);
        SetFocus(Item(viewType == kViewPopup ? IDC_CANCEL_PRINTING : IDOK));
    }

    if (viewType == kViewProgress) {
        // Up in the z-order without taking the focus, and not left topmost.
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, flags);
        SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    } else {
        SetForegroundWindow(Hwnd());
    }
    TraceViewType();
}

void StatusWindow::TraceViewType() const {
    switch (m_nViewType) {
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

void StatusWindow::SetViewTitle(int viewType) {
    std::string title;
    if (viewType == kViewProgress) {
        title = m_Printer.ByPort() ? m_Printer.Port() : m_Printer.Name() + " - " + m_Printer.Port();
    } else {
        title = ResourceString(IDS_MONITOR_CAPTION) + " : " + m_Printer.NameOrPort();
    }
    SetWindowTextA(Hwnd(), title.c_str());
}

void StatusWindow::ApplyViewTable(int viewType) {
    const ViewConditions conditions = {m_bTipsEnabled != 0, InformationAvailable(false),
                                       InformationAvailable(true)};
    size_t count = 0;
    const ViewItemRule* rules = ViewRules(&count);
    for (size_t i = 0; i < count; ++i) {
        HWND item = Item(rules[i].item);
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

void StatusWindow::UpdateFrameForView(int viewType) {
    HMENU menu = GetSystemMenu(Hwnd(), FALSE);
    LONG_PTR style = GetWindowLongPtrA(Hwnd(), GWL_STYLE);
    if (viewType == kViewPopup || viewType == kViewDetail) {
        GreyMenuCommand(menu, SC_CLOSE, viewType == kViewPopup);
        GreyMenuCommand(menu, SC_MINIMIZE, true);
        SetWindowLongPtrA(Hwnd(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MINIMIZEBOX));
        SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (IsIconic(Hwnd())) {
            ShowWindow(Hwnd(), SW_RESTORE);
        }
        m_bKeepHidden = 0;
        ShowInkAreaIn(viewType, 1);
    } else if (viewType == kViewProgress) {
        GreyMenuCommand(menu, SC_CLOSE, true);
        GreyMenuCommand(menu, SC_MINIMIZE, false);
        SetWindowLongPtrA(Hwnd(), GWL_STYLE, style | WS_MINIMIZEBOX);
        SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!m_bStatusPolling) {
            ShowInkArea(0);
        }
    }
}

void StatusWindow::UpdateSystemMenuForSize(bool minimised) {
    HMENU menu = GetSystemMenu(Hwnd(), FALSE);
    if (minimised) {
        GreyMenuCommand(menu, SC_RESTORE, false);
        GreyMenuCommand(menu, SC_MINIMIZE, true);
    } else {
        GreyMenuCommand(menu, SC_RESTORE, true);
        GreyMenuCommand(menu, SC_MINIMIZE, m_nViewType != kViewProgress);
    }
}

SIZE StatusWindow::ViewSize(int viewType) const {
    SIZE size = {0, 0};
    RECT window = {};
    GetWindowRect(Hwnd(), &window);
    const int width = window.right - window.left;
    switch (viewType) {
    case kViewPopup:
        size = {width, ItemRectOnScreen(IDC_POPUP_MARKER).bottom - window.top};
        break;
    case kViewDetail:
        size = {width, ItemRectOnScreen(IDC_DETAIL_MARKER).bottom - window.top};
        break;
    case kViewProgress:
        if (m_bTipsEnabled) {
            const int full = Height(m_Position.Template());
            size = {width, m_bInkAreaShown ? full : full - Height(ItemRectOnScreen(IDC_INK_FRAME))};
        } else {
            size = {width, ItemRectOnScreen(IDC_TIP_TEXT).top - window.top};
        }
        break;
    default:
        break;
    }
    return size;
}

void StatusWindow::PlaceWindow(int viewType, int forceDefaultPosition) {
    if (m_Position.Place(Hwnd(), viewType, ViewSize(viewType), forceDefaultPosition, m_Printer)) {
        PlaceStatusText(viewType);
    }
}

void StatusWindow::PlaceStatusText(int viewType) {
    HWND text = Item(IDC_STATUS_TEXT);
    if (viewType == kViewPopup) {
        MoveItemTo(text, m_rcStatusText);
    } else if (viewType == kViewDetail) {
        RECT r = m_rcStatusText;
        r.top = ItemRectInClient(IDC_STATUS_PICTURE).top;
        MoveItemTo(text, r);
    }
}

void StatusWindow::MoveItemBy(int id, int dy) {
    if (HWND item = Item(id)) {
        RECT r = ItemRectInClient(id);
        MoveWindow(item, r.left, r.top + dy, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

int StatusWindow::ShowInkArea(int show) {
    return ShowInkAreaIn(m_nViewType, show);
}

int StatusWindow::ShowInkAreaIn(int viewType, int show) {
    show = show ? 1 : 0;
    if (show == m_bInkAreaShown) {
        return 0;
    }
    const int distance = m_rcMarker.top - ItemRectInClient(IDC_INK_FRAME).top;
    const bool detail = viewType == kViewDetail;
    if (show) {
        ShowWindow(Item(IDC_INK_FRAME), detail ? SW_HIDE : SW_SHOW);
        ShowWindow(Item(IDC_DETAIL_INK_FRAME), detail ? SW_SHOW : SW_HIDE);
        for (int id : kInkAreaItems) {
            ShowWindow(Item(id), SW_SHOW);
        }
        for (int id : kTipItems) {
            MoveItemBy(id, distance);
        }
        MoveItemTo(Item(IDC_POPUP_MARKER), m_rcMarker);
    } else {
        ShowWindow(Item(IDC_INK_FRAME), SW_HIDE);
        ShowWindow(Item(IDC_DETAIL_INK_FRAME), SW_HIDE);
        for (int id : kInkAreaItems) {
            ShowWindow(Item(id), SW_HIDE);
        }
        for (int id : kTipItems) {
            MoveItemBy(id, -distance);
        }
        RECT marker = m_rcMarker;
        const int top = ItemRectInClient(IDC_INK_FRAME).top;
        marker.bottom = top + Height(m_rcMarker);
        marker.top = top;
        MoveItemTo(Item(IDC_POPUP_MARKER), marker);
    }
    m_bInkAreaShown = show;
    return 1;
}

} // namespace krx
