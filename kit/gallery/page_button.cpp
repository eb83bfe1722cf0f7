// Gallery page "button": the icon push button of the tips, normal, with the
// keyboard focus (the default-button look), held down, and without icon.
#include "common/dialog.h"
#include "base/module/module_state.h"
#include "gallery.h"
#include "gallery_ids.h"
#include "resource_ids.h"
#include "ui/icon_button.h"

namespace {

class ButtonPage : public krx::Dialog {
  public:
    ButtonPage() : Dialog(IDD_PAGE_BUTTON) {}

  protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override {
        if (message == WM_DRAWITEM) {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (krx::IconButton& b : buttons_) {
                if (b.DrawItem(*item)) {
                    *result = TRUE;
                    return true;
                }
            }
        }
        return Dialog::HandleMessage(message, wParam, lParam, result);
    }

    BOOL OnInitDialog() override {
        for (int i = 0; i < 4; ++i) {
            krx::IconButton& b = buttons_[i];
            b.AttachButton(Hwnd(), IDC_BUTTON_FIRST + i);
            b.SetButtonIcon(i < 3 ? IDI_TIPS : 0, 18, 18, 3);
            b.SetButtonCaption(IDS_TIPS_BUTTON);
            if (b.Caption().empty()) {
                b.SetCaptionText("Tips"); // a language library without the string
            }
        }
        // Held down: the button draws itself pressed until released.
        SendMessageA(buttons_[2].Hwnd(), BM_SETSTATE, TRUE, 0);
        SetFocus(buttons_[1].Hwnd());
        return FALSE; // the focus is set
    }

  private:
    krx::IconButton buttons_[4];
};

int Run(const gallery::PageContext& context) {
    ButtonPage page;
    return page.DoModal(nullptr, context.gallery) < 0 ? 1 : 0;
}

gallery::PageRegistration registration("button", "icon push button in its states", Run);

} // namespace
