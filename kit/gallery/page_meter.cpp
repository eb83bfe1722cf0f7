// Gallery page "meter": the progress meter in its four directions, coloured
// as the progress view colours it, and the fitted label with a text that
// fits, one that is cut and a label too narrow for anything.
#include "common/dialog.h"
#include "gallery.h"
#include "gallery_ids.h"
#include "graphics/fitted_label.h"
#include "graphics/progress_meter.h"

namespace {

struct MeterSample {
    krx::MeterDirection direction;
    int32_t done;
    int32_t total;
};
constexpr MeterSample kMeters[4] = {
    {krx::MeterDirection::LeftToRight, 4, 10},
    {krx::MeterDirection::TopToBottom, 3, 10},
    {krx::MeterDirection::RightToLeft, 13, 20},
    {krx::MeterDirection::BottomToTop, 3, 4},
};
constexpr const char* kLabelTexts[3] = {
    "Quarterly report.doc",
    "Minutes of the annual meeting, final version.pdf",
    "Holiday photos.jpg",
};

class MeterPage : public krx::Dialog {
  public:
    MeterPage()
        : Dialog(IDD_PAGE_METER), meters_{krx::ProgressMeter(kMeters[0].direction),
                                          krx::ProgressMeter(kMeters[1].direction),
                                          krx::ProgressMeter(kMeters[2].direction),
                                          krx::ProgressMeter(kMeters[3].direction)} {}

  protected:
    BOOL OnInitDialog() override {
        for (int i = 0; i < 4; ++i) {
            krx::ProgressMeter& m = meters_[i];
            m.Attach(Hwnd(), IDC_METER_FIRST + i);
            m.SetMeterBarColor(GetSysColor(COLOR_ACTIVECAPTION), FALSE);
            m.SetMeterBackColor(RGB(0xFF, 0xFF, 0xFF), FALSE);
            m.SetMeterRange(0, kMeters[i].total, FALSE);
            m.SetMeterPosition(kMeters[i].done, TRUE);
        }
        for (int i = 0; i < 3; ++i) {
            labels_[i].Attach(Hwnd(), IDC_LABEL_FIRST + i);
            labels_[i].SetFittedText(kLabelTexts[i]);
            SetDlgItemTextA(Hwnd(), IDC_FULLTEXT_FIRST + i, kLabelTexts[i]);
        }
        return TRUE;
    }

  private:
    krx::ProgressMeter meters_[4];
    krx::FittedLabel labels_[3];
};

int Run(const gallery::PageContext& context) {
    MeterPage page;
    return page.DoModal(nullptr, context.gallery) < 0 ? 1 : 0;
}

gallery::PageRegistration registration("meter", "progress meter and fitted label", Run);

} // namespace
