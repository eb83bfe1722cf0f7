// IconButton: the owner-drawn push button over the status window's tips
// button: a flat 3D face in the system colours, a small icon at the left
// and a one-line caption centred in the rest. The owning dialog passes its
// WM_DRAWITEM on, either by calling DrawItem or by sending
// kReflectedDrawItem to the button with the same parameters.
#pragma once

#include <windows.h>

#include <string>

#include "common/dialog.h"
#include "common/gdi.h"

namespace krx {

class IconButton : public SubclassedControl {
  public:
    // WM_DRAWITEM reflected to the control (OCM_DRAWITEM).
    static constexpr UINT kReflectedDrawItem = 0x2000 + WM_DRAWITEM;
    static constexpr int kFocusInset = 4;

    IconButton() = default;

    // Binds to the dialog's item and makes it owner-drawn.
    bool AttachButton(HWND dialog, int itemId);

    // Icon of the language resource library at width x height, `margin`
    // pixels from the left edge (and the caption as far from the right
    // edge); id 0 shows no icon. The sizes and margin are kept either way.
    void SetButtonIcon(UINT iconId, int32_t width, int32_t height, int32_t margin);
    // Caption from the language resource library's string table.
    void SetButtonCaption(UINT stringId);
    void SetCaptionText(const std::string& caption);

    // Draws the button for one WM_DRAWITEM; false when it is another item's.
    bool DrawItem(const DRAWITEMSTRUCT& item);

    const std::string& Caption() const { return m_strCaption; }
    HICON Icon() const { return m_hIcon.get(); }

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    int32_t m_nMargin = 0;
    int32_t m_nIconHeight = 0;
    int32_t m_nIconWidth = 0;
    unique_hicon m_hIcon;
    std::string m_strCaption;
};

} // namespace krx
