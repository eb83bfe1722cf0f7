// Gallery pages "guide" and "guide_finish": the step-by-step guide of the
// English library, at its first step (ink cartridge) and at the last step of
// the paper-jam guide, where the finish button appears.
#include "common/resource_ids.h"
#include "gallery.h"
#include "graphics/guide_dialog.h"

namespace {

// Walks a number of steps forward once the guide is up.
class SteppedGuide : public krx::GuideDialog {
  public:
    explicit SteppedGuide(int steps) : steps_(steps) {}

  protected:
    BOOL OnInitDialog() override {
        BOOL result = GuideDialog::OnInitDialog();
        for (int i = 0; i < steps_; ++i) {
            PostMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_GUIDE_NEXT, BN_CLICKED),
                         reinterpret_cast<LPARAM>(Item(IDC_GUIDE_NEXT)));
        }
        return result;
    }

  private:
    int steps_;
};

int RunGuide(int resourceId, int steps) {
    HRSRC table = krx::FindGuideResource(resourceId - KRX_GUIDE_RESOURCE_BASE);
    if (table == nullptr) {
        return 1;
    }
    SteppedGuide guide(steps);
    guide.ShowGuide(table);
    return 0;
}

int RunFirst(const gallery::PageContext&) {
    return RunGuide(IDR_GUIDE_INK, 0);
}
int RunFinish(const gallery::PageContext&) {
    return RunGuide(IDR_GUIDE_PAPER, 3);
}

gallery::PageRegistration first("guide", "step-by-step guide, first step", RunFirst);
gallery::PageRegistration finish("guide_finish", "step-by-step guide, last step", RunFinish);

} // namespace
