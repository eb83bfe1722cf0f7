// Status message and printer picture of the status window.
#include "ui/status_window/status_view.h"

#include <oleacc.h>

#include <vector>

#include "common/resource_ids.h"
#include "base/module/resource_string.h"
#include "status/status_messages.h"
#include "ui/status_tables.h"

namespace krx {

void StatusView::Attach(HWND window) {
    m_hWnd = window;
    m_Picture.Attach(window, IDC_STATUS_PICTURE);
    m_Picture.SetAccessibleName(ResourceString(IDS_ACC_STATUS_PICTURE));
    m_Picture.SetAccessibleRole(ROLE_SYSTEM_GRAPHIC);
    m_Information.OwnerOpened();
}

void StatusView::Reset() {
    m_nMessageId = IDS_STATUS_NO_ANSWER;
    ShowChecking();
}

void StatusView::ShowChecking() {
    m_Message.LoadText(IDS_STATUS_CHECKING);
    m_strLastText = m_Message.String();
    SetDlgItemTextA(m_hWnd, IDC_STATUS_TEXT, m_strLastText.c_str());
}

void StatusView::ShowMessage(int messageId) {
    m_nMessageId = messageId;
    std::string text;
    if (m_Message.LoadText(static_cast<UINT>(messageId))) {
        text = m_Message.String();
    }
    if (IsBlankMessage(text) && m_Message.LoadText(IDS_STATUS_BLANK)) {
        text = m_Message.String();
    }
    if (text != m_strLastText) {
        SetDlgItemTextA(m_hWnd, IDC_STATUS_TEXT, text.c_str());
        HideCaret(GetDlgItem(m_hWnd, IDC_STATUS_TEXT));
        m_strLastText = text;
    }
}

void StatusView::ShowPicture(int category) {
    m_nPictureCategory = category;
    if (category == m_nLastPictureCategory) {
        return;
    }
    m_nLastPictureCategory = category;
    const std::vector<uint32_t> ids = PictureBitmaps(category);
    m_Picture.StopAnimation();
    if (ids.size() > 1) {
        m_Picture.StartAnimation(static_cast<uint32_t>(ids.size()), ids.data());
    } else {
        m_Picture.ShowBitmap(ids[0]);
    }
}

void StatusView::OfferInformation(bool offered) {
    EnableWindow(GetDlgItem(m_hWnd, IDC_INFO_BUTTON), offered ? TRUE : FALSE);
    if (!offered) {
        m_Information.EndShown();
    }
}

void StatusView::ShowInformationLine() const {
    ShowWindow(GetDlgItem(m_hWnd, IDC_INFO_LINE), SW_SHOW);
}

void StatusView::SetInformationLine(const std::string& text) const {
    SetDlgItemTextA(m_hWnd, IDC_INFO_LINE, text.c_str());
}

void StatusView::HideInformationLine() const {
    SetDlgItemTextA(m_hWnd, IDC_INFO_LINE, "");
    ShowWindow(GetDlgItem(m_hWnd, IDC_INFO_LINE), SW_HIDE);
}

} // namespace krx
