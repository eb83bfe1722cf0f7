// The step-by-step guide dialog: walks the user through an operation such
// as replacing an ink cartridge, one text and animated picture per step,
// with Back, Next, OK and finish buttons as each step offers them.
#pragma once

#include <windows.h>

#include "common/dialog.h"
#include "graphics/BMP256Ctrl.h"
#include "graphics/guide_steps.h"

namespace krx {

class GuideDialog : public Dialog {
  public:
    // The picture's drawing area.
    static constexpr int kPictureWidth = 160;
    static constexpr int kPictureHeight = 120;

    GuideDialog();

    // Runs the guide of a step-table resource of the current resource
    // module, owned by `parent` (disabled meanwhile); 1 when it ends (also
    // when the table cannot be read).
    INT_PTR ShowGuide(HRSRC stepResource, HWND parent = nullptr);

    int CurrentStep() const { return m_nStep; }
    const GuideTable& Table() const { return m_Table; }
    const BMP256Ctrl& Picture() const { return m_Picture; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;
    bool OnClose() override;

  private:
    bool LoadTable();
    void ShowStep(int step);
    void GoTo(int step);

    HRSRC m_hResource = nullptr;
    GuideTable m_Table;
    BMP256Ctrl m_Picture;
    int m_nStep = 0;
};

// Finds guide `category`'s step table in the current resource module.
HRSRC FindGuideResource(int category);

} // namespace krx
