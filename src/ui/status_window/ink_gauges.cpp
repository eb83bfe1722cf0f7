// The status window's ink gauges and their commands.
#include "ui/status_window/ink_gauges.h"

#include "common/resource_ids.h"
#include "graphics/tip_list.h"
#include "krxstat.h"
#include "status/status_eval.h"
#include "ui/status_tables.h"

namespace krx {

namespace {

constexpr int kInkCount = 6;
constexpr int kInkBlockSize = 7;

const int kInkItems[] = {IDC_INK_FRAME,       IDC_DETAIL_INK_FRAME, IDC_INK_BLACK_LABEL,
                         IDC_INK_COLOR_LABEL, IDC_INK_BLACK,        IDC_INK_COLOR};

} // namespace

void InkGauges::Initialise() const {
    SendDlgItemMessageA(m_hWnd, IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_INIT, kInkCount);
    SendDlgItemMessageA(m_hWnd, IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_INIT, kInkCount);
    ShowEmpty();
}

void InkGauges::ShowEmpty() const {
    int32_t levels[kInkBlockSize] = {kInkCount};
    SendDlgItemMessageA(m_hWnd, IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_LEVELS,
                        reinterpret_cast<LPARAM>(levels));
    SendDlgItemMessageA(m_hWnd, IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_LEVELS,
                        reinterpret_cast<LPARAM>(levels));
}

void InkGauges::Enable(bool enable) const {
    for (int id : kInkItems) {
        EnableWindow(GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE);
    }
}

void InkGauges::ShowLevels(const uint8_t (&levels)[6], bool detail) const {
    auto enable = [&](int id, bool on) { EnableWindow(GetDlgItem(m_hWnd, id), on ? TRUE : FALSE); };
    enable(IDC_INK_FRAME, !detail);
    enable(IDC_DETAIL_INK_FRAME, detail);

    int32_t shownBlack = 0;
    if (InkLevelUnknown(levels[0])) {
        enable(IDC_INK_BLACK_LABEL, false);
        enable(IDC_INK_BLACK, false);
    } else {
        InkBlock block;
        BlackInkBlock(levels, block);
        shownBlack = block[1];
        enable(IDC_INK_BLACK_LABEL, true);
        enable(IDC_INK_BLACK, true);
        SendDlgItemMessageA(m_hWnd, IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_LEVELS,
                            reinterpret_cast<LPARAM>(block));
    }
    bool colourKnown = true;
    for (int i = 1; i < kInkCount; ++i) {
        if (InkLevelUnknown(levels[i])) {
            colourKnown = false; // one unknown colour hides the whole gauge
        }
    }
    if (!colourKnown) {
        enable(IDC_INK_COLOR_LABEL, false);
        enable(IDC_INK_COLOR, false);
    } else {
        InkBlock block;
        ColourInkBlock(levels, shownBlack, block);
        enable(IDC_INK_COLOR_LABEL, true);
        enable(IDC_INK_COLOR, true);
        SendDlgItemMessageA(m_hWnd, IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_LEVELS,
                            reinterpret_cast<LPARAM>(block));
    }
}

void InkGauges::ShowWarnings(TipList& tips) const {
    if ((m_nWarnings & (kInkBlackLow | kInkBlackOut | kInkColourLow | kInkColourOut)) == 0) {
        tips.SetTipFlags(tips.TipFlags() & ~TipList::kSpecialTipFlag);
        return;
    }
    if (m_nWarnings & kInkBlackOut) {
        SendDlgItemMessageA(m_hWnd, IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_EMPTY, 0);
    } else if (m_nWarnings & kInkBlackLow) {
        SendDlgItemMessageA(m_hWnd, IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_LOW, 0);
        tips.SetTipFlags(tips.TipFlags() | TipList::kSpecialTipFlag);
    }
    if (m_nWarnings & kInkColourOut) {
        SendDlgItemMessageA(m_hWnd, IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_EMPTY, 0);
    } else if (m_nWarnings & kInkColourLow) {
        SendDlgItemMessageA(m_hWnd, IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_LOW, 0);
        tips.SetTipFlags(tips.TipFlags() | TipList::kSpecialTipFlag);
    }
}

} // namespace krx
