// Gallery page "animation": the three frames of the progress animation as
// the control steps through them (the pause icon blinks on every other
// step), and the same animation running.
#include "common/dialog.h"
#include "gallery.h"
#include "gallery_ids.h"
#include "graphics/BMP256Ctrl.h"
#include "resource_ids.h"

namespace {

constexpr int kPauseIconRightOffset = 32;

class AnimationPage : public krx::Dialog {
  public:
    explicit AnimationPage(HMODULE pictures) : Dialog(IDD_PAGE_ANIMATION), pictures_(pictures) {}

  protected:
    BOOL OnInitDialog() override {
        static const uint32_t kFrames[3] = {IDB_PRINTING_1, IDB_PRINTING_2, IDB_PRINTING_3};
        for (int i = 0; i < 4; ++i) {
            krx::BMP256Ctrl& c = frames_[i];
            c.Attach(Hwnd(), i < 3 ? IDC_FRAME_FIRST + i : IDC_FRAME_LIVE);
            c.SetResourceModule(pictures_);
            c.SetBitmapSize(100, 85);
            c.SetBlinkIcon(MAKEINTRESOURCEA(IDI_JOB_PAUSED), kPauseIconRightOffset);
            c.StartAnimation(3, kFrames);
        }
        // The stills: step each as its timer would, then hold it there.
        for (int i = 1; i < 3; ++i) {
            for (int step = 0; step < i; ++step) {
                SendMessageA(frames_[i].Hwnd(), WM_TIMER, krx::BMP256Ctrl::kAnimationTimerId, 0);
            }
        }
        for (int i = 0; i < 3; ++i) {
            frames_[i].StopAnimation();
        }
        return TRUE;
    }

  private:
    HMODULE pictures_;
    krx::BMP256Ctrl frames_[4];
};

int Run(const gallery::PageContext& context) {
    AnimationPage page(context.pictures);
    return page.DoModal(nullptr, context.gallery) < 0 ? 1 : 0;
}

gallery::PageRegistration registration("animation",
                                       "progress animation: three frames, blinking icon", Run);

} // namespace
