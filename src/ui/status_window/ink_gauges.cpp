// The status window's ink gauges and their commands.
#include "ui/status_window/ink_gauges.h"

#include <oleacc.h>

#include "common/resource_ids.h"
#include "base/module/resource_string.h"
#include "graphics/tip_list.h"
#include "krxstat.h"
#include "status/status_eval.h"
#include "ui/status_tables.h"
#include "ui/status_window/view_table.h"

namespace krx {

namespace {

constexpr int kInkCount = 6;
constexpr int kInkBlockSize = 7;

const int kInkItems[] = {IDC_INK_FRAME,       IDC_DETAIL_INK_FRAME, IDC_INK_BLACK_LABEL,
                         IDC_INK_COLOR_LABEL, IDC_INK_BLACK,        IDC_INK_COLOR};

constexpr int kColourTanks = 5;

// A label's text as a name: without the mnemonic mark.
std::string LabelName(HWND window, int id) {
    char text[128] = {};
    GetDlgItemTextA(window, id, text, sizeof(text));
    std::string name;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '&' && c[1] != '\0') {
            ++c;
        }
        name += *c;
    }
    return name;
}

std::string Percent(int32_t level) {
    return FormatResourceNumbers(ResourceString(IDS_ACC_PERCENT), {static_cast<long>(level)});
}

} // namespace

void InkGauges::Attach(HWND window) {
    m_hWnd = window;
    m_Black.Attach(window, IDC_INK_BLACK);
    m_Colour.Attach(window, IDC_INK_COLOR);
    m_Black.SetAccessibleName(LabelName(window, IDC_INK_BLACK_LABEL));
    m_Colour.SetAccessibleName(LabelName(window, IDC_INK_COLOR_LABEL));
    m_Black.SetAccessibleRole(ROLE_SYSTEM_PROGRESSBAR);
    m_Colour.SetAccessibleRole(ROLE_SYSTEM_PROGRESSBAR);
}

void InkGauges::SetValues(const int32_t (&block)[7], bool blackKnown, bool colourKnown) {
    m_Black.SetAccessibleValue(blackKnown ? Percent(block[1]) : std::string());
    std::string colours;
    for (int i = 0; colourKnown && i < kColourTanks; ++i) {
        colours += (i == 0 ? "" : ", ") +
                   ResourceString(static_cast<UINT>(IDS_ACC_INK_TANK_FIRST + i)) + " " +
                   Percent(block[2 + i]);
    }
    m_Colour.SetAccessibleValue(colours);
}

void InkGauges::FollowView(int oldViewType, int newViewType) const {
    const int before = oldViewType == kViewDetail ? IDC_DETAIL_INK_FRAME : IDC_INK_FRAME;
    const int now = newViewType == kViewDetail ? IDC_DETAIL_INK_FRAME : IDC_INK_FRAME;
    if (oldViewType != kViewNone && before != now) {
        EnableWindow(GetDlgItem(m_hWnd, now), IsWindowEnabled(GetDlgItem(m_hWnd, before)));
    }
}

void InkGauges::Initialise() {
    SendDlgItemMessageA(m_hWnd, IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_INIT, kInkCount);
    SendDlgItemMessageA(m_hWnd, IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_INIT, kInkCount);
    ShowEmpty();
}

void InkGauges::ShowEmpty() {
    int32_t levels[kInkBlockSize] = {kInkCount};
    SetValues(levels, true, true);
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

void InkGauges::ShowLevels(const uint8_t (&levels)[6], bool detail) {
    auto enable = [&](int id, bool on) { EnableWindow(GetDlgItem(m_hWnd, id), on ? TRUE : FALSE); };
    enable(IDC_INK_FRAME, !detail);
    enable(IDC_DETAIL_INK_FRAME, detail);

    int32_t shownBlack = 0;
    InkBlock values = {kInkCount};
    if (InkLevelUnknown(levels[0])) {
        enable(IDC_INK_BLACK_LABEL, false);
        enable(IDC_INK_BLACK, false);
    } else {
        InkBlock block;
        BlackInkBlock(levels, block);
        shownBlack = block[1];
        values[1] = block[1];
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
        for (int i = 2; i < kInkBlockSize; ++i) {
            values[i] = block[i];
        }
        enable(IDC_INK_COLOR_LABEL, true);
        enable(IDC_INK_COLOR, true);
        SendDlgItemMessageA(m_hWnd, IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_LEVELS,
                            reinterpret_cast<LPARAM>(block));
    }
    SetValues(values, !InkLevelUnknown(levels[0]), colourKnown);
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
