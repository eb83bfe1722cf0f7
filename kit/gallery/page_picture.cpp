// Gallery page "picture": the picture control with four printer pictures of
// the picture library, one of them stored with the old bitmap header.
#include "common/dialog.h"
#include "gallery.h"
#include "gallery_ids.h"
#include "graphics/BMP256Ctrl.h"
#include "resource_ids.h"

namespace {

class PicturePage : public krx::Dialog {
  public:
    explicit PicturePage(HMODULE pictures) : Dialog(IDD_PAGE_PICTURE), pictures_(pictures) {}

  protected:
    BOOL OnInitDialog() override {
        static const uint32_t kShown[4] = {IDB_PRINTER_READY, IDB_INK_BLACK, IDB_PAPER_OUT_1,
                                           IDB_PRINTER_ERROR_1};
        for (int i = 0; i < 4; ++i) {
            pictures_ctl_[i].Attach(Hwnd(), IDC_PICTURE_FIRST + i);
            pictures_ctl_[i].SetResourceModule(pictures_);
            pictures_ctl_[i].SetBitmapSize(109, 86);
            pictures_ctl_[i].ShowBitmap(kShown[i]);
        }
        return TRUE;
    }

  private:
    HMODULE pictures_;
    krx::BMP256Ctrl pictures_ctl_[4];
};

int Run(const gallery::PageContext& context) {
    PicturePage page(context.pictures);
    return page.DoModal(nullptr, context.gallery) < 0 ? 1 : 0;
}

gallery::PageRegistration registration("picture", "picture control with printer pictures", Run);

} // namespace
