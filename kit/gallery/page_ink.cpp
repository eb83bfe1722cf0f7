// Gallery page "ink": the ink library's gauges driven exactly as the status
// window drives items 314 and 315: set-up, levels, low and empty marks.
#include "common/dialog.h"
#include "gallery.h"
#include "gallery_ids.h"
#include "resource_ids.h"

namespace {

class InkPage : public krx::Dialog {
  public:
    InkPage() : Dialog(IDD_PAGE_INK) {}

  protected:
    BOOL OnInitDialog() override {
        // Reply order: black, then colours 1..5; the colour gauge takes them
        // as {6, black, c1, c4, c2, c5, c3}.
        struct Row {
            LONG black;
            LONG colour[5];
            int blackMark; // 0, KRX_INK_BLACK_LOW or KRX_INK_BLACK_EMPTY
            int colourMark;
        };
        const Row rows[3] = {
            {80, {70, 55, 90, 35, 60}, 0, 0},
            {0, {45, 8, 65, 50, 70}, KRX_INK_BLACK_EMPTY, KRX_INK_COLOR_LOW},
            {0, {0, 0, 0, 0, 0}, 0, 0},
        };
        for (int r = 0; r < 3; ++r) {
            const Row& row = rows[r];
            HWND black = GetDlgItem(Hwnd(), IDC_GAUGE_FIRST + 2 * r);
            HWND colour = GetDlgItem(Hwnd(), IDC_GAUGE_FIRST + 2 * r + 1);
            SendMessageA(black, KRX_INK_MESSAGE, KRX_INK_BLACK_INIT, 6);
            SendMessageA(colour, KRX_INK_MESSAGE, KRX_INK_COLOR_INIT, 6);
            LONG blackBlock[7] = {6, row.black, 0, 0, 0, 0, 0};
            LONG colourBlock[7] = {6,
                                   row.black,
                                   row.colour[0],
                                   row.colour[3],
                                   row.colour[1],
                                   row.colour[4],
                                   row.colour[2]};
            SendMessageA(black, KRX_INK_MESSAGE, KRX_INK_BLACK_LEVELS,
                         reinterpret_cast<LPARAM>(blackBlock));
            SendMessageA(colour, KRX_INK_MESSAGE, KRX_INK_COLOR_LEVELS,
                         reinterpret_cast<LPARAM>(colourBlock));
            if (row.blackMark != 0) {
                SendMessageA(black, KRX_INK_MESSAGE, row.blackMark, 0);
            }
            if (row.colourMark != 0) {
                SendMessageA(colour, KRX_INK_MESSAGE, row.colourMark, 0);
            }
        }
        return TRUE;
    }
};

int Run(const gallery::PageContext& context) {
    if (context.ink == nullptr) {
        return 1; // no gauge class to show
    }
    InkPage page;
    return page.DoModal(nullptr, context.gallery) < 0 ? 1 : 0;
}

gallery::PageRegistration registration("ink", "ink gauges of the ink library", Run);

} // namespace
