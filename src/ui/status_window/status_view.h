// The status window's status message (item 212) and printer picture (item
// 210), each changed on screen only when it differs from what is shown; and
// what a Detail window offers of the printer's extended information: the
// information button (321) with the dialog it opens, and the line (260).
#pragma once

#include <windows.h>

#include <string>

#include "common/resource_ids.h"
#include "graphics/BMP256Ctrl.h"
#include "graphics/resource_text.h"
#include "status/status_messages.h"
#include "ui/status_window/information_dialog.h"

namespace krx {

class StatusView {
  public:
    // Binds the picture control of the window; the information dialog may
    // be shown from now on.
    void Attach(HWND window);

    // "Checking the status" as the message; the message id stays.
    void ShowChecking();
    // The message of the id; a blank message shows the blank text.
    void ShowMessage(int messageId);
    // The picture, or the animation, of the category.
    void ShowPicture(int category);
    // Records the category without changing the picture.
    void NotePicture(int category) { m_nPictureCategory = category; }
    // Back to the state of a window just made: "no answer", "checking".
    void Reset();

    // The information button works only while the printer offers its
    // information; when it stops, a dialog still open ends.
    void OfferInformation(bool offered);
    // The information line, empty until its text comes.
    void ShowInformationLine() const;
    void SetInformationLine(const std::string& text) const;
    void HideInformationLine() const;
    InformationDialog& Information() { return m_Information; }

    int MessageId() const { return m_nMessageId; }
    int PictureCategory() const { return m_nPictureCategory; }
    const BMP256Ctrl& Picture() const { return m_Picture; }
    BMP256Ctrl& Picture() { return m_Picture; }

  private:
    HWND m_hWnd = nullptr;
    BMP256Ctrl m_Picture;   // 210
    ResourceText m_Message; // loads status messages by number
    int m_nMessageId = IDS_STATUS_NO_ANSWER;
    std::string m_strLastText; // text now in item 212
    int m_nPictureCategory = 1;
    int m_nLastPictureCategory = 0;
    InformationDialog m_Information; // opened by 321
};

} // namespace krx
