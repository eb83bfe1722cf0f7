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

    int CurrentStep() const { return step_; }
    const GuideTable& Table() const { return table_; }
    const BMP256Ctrl& Picture() const { return picture_; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;
    bool OnClose() override;

  private:
    bool LoadTable();
    void ShowStep(int step);
    void GoTo(int step);

    HRSRC resource_ = nullptr;
    GuideTable table_;
    BMP256Ctrl picture_;
    int step_ = 0;
};

// Finds guide `category`'s step table in the current resource module.
HRSRC FindGuideResource(int category);

} // namespace krx
