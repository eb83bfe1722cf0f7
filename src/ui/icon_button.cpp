// IconButton: owner drawing of the tips button.
#include "ui/icon_button.h"

#include "base/module/module_state.h"
#include "base/module/resource_string.h"

namespace krx {

namespace {

void Frame(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    RECT r{left, top, right, bottom};
    FrameRect(dc, &r, brush);
}

} // namespace

bool IconButton::AttachButton(HWND dialog, int itemId) {
    if (!Attach(dialog, itemId)) {
        return false;
    }
    LONG_PTR style = GetWindowLongPtrA(Hwnd(), GWL_STYLE);
    SetWindowLongPtrA(Hwnd(), GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return true;
}

void IconButton::SetButtonIcon(UINT iconId, int32_t width, int32_t height, int32_t margin) {
    m_nIconWidth = width;
    m_nIconHeight = height;
    m_nMargin = margin;
    // Loaded at exactly this size, so the button owns the icon and frees it.
    m_hIcon.reset();
    if (iconId != 0 && ThisCall().resourceModule != nullptr) {
        m_hIcon.reset(
            static_cast<HICON>(LoadImageA(ThisCall().resourceModule, MAKEINTRESOURCEA(iconId),
                                          IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
    }
    if (Hwnd() != nullptr) {
        InvalidateRect(Hwnd(), nullptr, TRUE);
    }
}

void IconButton::SetButtonCaption(UINT stringId) {
    SetCaptionText(ResourceString(stringId));
}

void IconButton::SetCaptionText(const std::string& caption) {
    m_strCaption = caption;
    if (Hwnd() != nullptr) {
        // The window text is what the dialog manager looks in for the
        // mnemonic and what a screen reader reads as the button's name.
        SetWindowTextA(Hwnd(), caption.c_str());
        InvalidateRect(Hwnd(), nullptr, TRUE);
    }
}

bool IconButton::DrawItem(const DRAWITEMSTRUCT& item) {
    if (Hwnd() == nullptr || item.hwndItem != Hwnd()) {
        return false;
    }
    HDC dc = item.hDC;
    const int l = item.rcItem.left, t = item.rcItem.top;
    const int r = item.rcItem.right, b = item.rcItem.bottom;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;

    unique_hbrush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    unique_hbrush highlight(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
    unique_hbrush dark(CreateSolidBrush(GetSysColor(COLOR_3DDKSHADOW)));
    unique_hbrush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    unique_hpen darkPen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW)));

    RECT inner{l + 1, t + 1, r - 1, b - 1};
    FillRect(dc, &inner, face.get());
    Frame(dc, l, t, r - 1, b - 1, shadow.get());
    Frame(dc, l, t, r, b, highlight.get());
    {
        SelectObjectScope pen(dc, darkPen.get());
        MoveToEx(dc, r - 1, t, nullptr);
        LineTo(dc, r - 1, b);
        MoveToEx(dc, l, b - 1, nullptr);
        LineTo(dc, r, b - 1);
    }
    if (pressed) {
        // Sunken.
        Frame(dc, l, t, r, b, dark.get());
        Frame(dc, l + 1, t + 1, r - 1, b - 1, shadow.get());
    } else if (focused) {
        // The default-button look.
        Frame(dc, l, t, r - 2, b - 2, shadow.get());
        Frame(dc, l + 1, t + 1, r, b, highlight.get());
        Frame(dc, l, t, r, b, dark.get());
        Frame(dc, l, t, r - 1, b - 1, dark.get());
    }

    RECT focusRect{l + kFocusInset, t + kFocusInset, r - kFocusInset, b - kFocusInset};
    if ((item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0) {
        if (m_nIconWidth != 0 && m_nIconHeight != 0) {
            const int x = l + m_nMargin;
            const int y = (b - m_nIconHeight - t) / 2;
            const int s = pressed ? 1 : 0;
            RECT behind{x, y, x + m_nIconWidth + 1, y + m_nIconHeight + 1};
            FillRect(dc, &behind, face.get());
            if (m_hIcon) {
                DrawIconEx(dc, x + 2 + s, y + s, m_hIcon.get(), m_nIconWidth, m_nIconHeight, 0,
                           nullptr, DI_NORMAL);
            }
        }
        if (!m_strCaption.empty()) {
            RECT area{l + m_nMargin + m_nIconWidth, t, r - m_nMargin, b};
            if (pressed) {
                area.left += 2;
                area.top += 2;
            }
            int oldMode = SetBkMode(dc, TRANSPARENT);
            COLORREF oldColour = SetTextColor(
                dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
            DrawTextA(dc, m_strCaption.c_str(), static_cast<int>(m_strCaption.size()), &area,
                      DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            SetTextColor(dc, oldColour);
            SetBkMode(dc, oldMode);
        }
        if (focused) {
            DrawFocusRect(dc, &focusRect);
        }
    } else if ((item.itemAction & ODA_FOCUS) != 0 && focused) {
        DrawFocusRect(dc, &focusRect);
    }
    return true;
}

LRESULT IconButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kReflectedDrawItem:
        return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        LRESULT result = CallOriginal(message, wParam, lParam);
        // The focus look lives in the frame: have the window draw it afresh.
        HWND parent = GetParent(Hwnd());
        if (parent != nullptr) {
            InvalidateRect(parent, nullptr, TRUE);
        }
        InvalidateRect(Hwnd(), nullptr, TRUE);
        return result;
    }
    default:
        return CallOriginal(message, wParam, lParam);
    }
}

} // namespace krx
