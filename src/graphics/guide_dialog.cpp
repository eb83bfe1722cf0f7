// Step-by-step guide dialog.
#include "graphics/guide_dialog.h"

#include <string>

#include "common/resource_ids.h"
#include "base/module/module_state.h"
#include "graphics/resource_text.h"

namespace krx {

namespace {
constexpr int kFinishCode = 1;

void Show(HWND window, bool shown) {
    ShowWindow(window, shown ? SW_SHOW : SW_HIDE);
}

void SetButtonStyle(HWND button, DWORD style) {
    SendMessageA(button, BM_SETSTYLE, style, TRUE);
}
} // namespace

HRSRC FindGuideResource(int category) {
    HMODULE module = ThisCall().resourceModule;
    if (module == nullptr) {
        return nullptr;
    }
    return FindResourceA(module, MAKEINTRESOURCEA(KRX_GUIDE_RESOURCE_BASE + category),
                         MAKEINTRESOURCEA(10));
}

GuideDialog::GuideDialog() : Dialog(IDD_GUIDE) {}

INT_PTR GuideDialog::ShowGuide(HRSRC stepResource, HWND parent) {
    m_hResource = stepResource;
    return DoModal(parent, ThisCall().resourceModule);
}

bool GuideDialog::LoadTable() {
    HMODULE module = ThisCall().resourceModule;
    if (module == nullptr || m_hResource == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, m_hResource);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return false;
    }
    // The table is read only within the resource's own size.
    DWORD size = SizeofResource(module, m_hResource);
    return ParseGuideTable(static_cast<const unsigned char*>(data), size, &m_Table);
}

BOOL GuideDialog::OnInitDialog() {
    m_nStep = 0;
    if (!LoadTable()) {
        End(kFinishCode);
        return TRUE;
    }
    SetWindowTextA(Hwnd(), m_Table.title.c_str());
    m_Picture.Attach(Hwnd(), IDC_GUIDE_PICTURE);
    m_Picture.SetBitmapSize(kPictureWidth, kPictureHeight);
    ShowStep(0);
    // The focus was placed on a button; keep it there.
    return FALSE;
}

void GuideDialog::ShowStep(int step) {
    m_nStep = step;
    const GuideStep& s = m_Table.steps[static_cast<size_t>(step)];
    std::string text;
    LoadResourceString(s.textId, &text);
    SetDlgItemTextA(Hwnd(), IDC_GUIDE_TEXT, text.c_str());

    HWND picture = Item(IDC_GUIDE_PICTURE);
    if (s.frameCount != 0) {
        std::vector<unsigned> ids = GuideFrameIds(s);
        std::vector<uint32_t> frames(ids.begin(), ids.end());
        m_Picture.StartAnimation(static_cast<uint32_t>(frames.size()), frames.data());
        Show(picture, true);
    } else {
        m_Picture.StopAnimation();
        Show(picture, false);
    }

    HWND finish = Item(IDC_GUIDE_FINISH);
    HWND back = Item(IDC_GUIDE_BACK);
    HWND next = Item(IDC_GUIDE_NEXT);
    HWND ok = Item(IDOK);
    const bool offersFinish = (s.flags & kGuideShowFinish) != 0;
    Show(finish, offersFinish);
    EnableWindow(finish, offersFinish);
    EnableWindow(back, (s.flags & kGuideEnableBack) != 0);

    const bool offersNext = (s.flags & kGuideOfferNext) != 0;
    if (offersNext) {
        Show(next, true);
        EnableWindow(next, TRUE);
        Show(ok, false);
    } else if ((s.flags & kGuideOfferOk) != 0) {
        Show(ok, true);
        EnableWindow(ok, TRUE);
        SendMessageA(Hwnd(), DM_SETDEFID, IDOK, 0);
        SetButtonStyle(ok, BS_DEFPUSHBUTTON);
        SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
        Show(next, false);
    } else {
        Show(next, true);
        EnableWindow(next, FALSE);
        Show(ok, false);
    }

    // The first step leads on with Next. Only when Next is offered: the
    // default and the focus must not go to a hidden or disabled button.
    if (step == 0 && offersNext) {
        SetButtonStyle(finish, BS_PUSHBUTTON);
        SetButtonStyle(back, BS_PUSHBUTTON);
        SetButtonStyle(ok, BS_PUSHBUTTON);
        SendMessageA(Hwnd(), DM_SETDEFID, IDC_GUIDE_NEXT, 0);
        SetButtonStyle(next, BS_DEFPUSHBUTTON);
        SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    }
}

void GuideDialog::GoTo(int step) {
    if (step < 0 || step >= static_cast<int>(m_Table.steps.size())) {
        return;
    }
    ShowStep(step);
}

bool GuideDialog::OnCommand(int id, int /*notifyCode*/, HWND /*control*/) {
    switch (id) {
    case IDC_GUIDE_NEXT:
        GoTo(m_nStep + 1);
        return true;
    case IDC_GUIDE_BACK:
        GoTo(m_nStep - 1);
        return true;
    case IDC_GUIDE_FINISH:
    case IDOK:
    case IDCANCEL:
        // Every way out of the guide is the normal end.
        End(kFinishCode);
        return true;
    default:
        return false;
    }
}

bool GuideDialog::OnClose() {
    End(kFinishCode);
    return true;
}

} // namespace krx
