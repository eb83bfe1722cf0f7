// The view table of the status window.
#include "ui/status_window/view_table.h"

#include "common/resource_ids.h"

namespace krx {

namespace {

using S = ItemShow;
using E = ItemEnable;

// The close (OK) button of the Detail view.
constexpr int kCloseItem = 1;

constexpr ViewItemRule kRules[] = {
    {IDC_STATUS_PICTURE, {S::Show, S::Show, S::Hide}, {E::Keep, E::Keep, E::Keep}},
    {IDC_STATUS_TEXT, {S::Show, S::Show, S::Hide}, {E::Keep, E::Keep, E::Keep}},
    {IDC_POPUP_JOB_NAME, {S::Show, S::Hide, S::Hide}, {E::Keep, E::Keep, E::Keep}},
    {IDC_TROUBLE_LABEL, {S::Keep, S::Keep, S::Hide}, {E::Keep, E::Keep, E::Keep}},
    {IDC_TROUBLE_HELP, {S::Keep, S::Keep, S::Hide}, {E::Keep, E::Keep, E::Disable}},
    {IDC_CANCEL_PRINTING, {S::Show, S::Hide, S::Hide}, {E::Enable, E::Disable, E::Disable}},
    {kCloseItem, {S::Hide, S::Show, S::Hide}, {E::Disable, E::Enable, E::Disable}},
    {IDC_JOB_DOCUMENT, {S::Hide, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_JOB_SHEETS, {S::Hide, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_JOB_TIME, {S::Hide, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_JOB_FRAME, {S::Hide, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_JOB_METER, {S::Hide, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_JOB_DETAILS, {S::Hide, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_JOB_ANIMATION, {S::Hide, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_JOB_CANCEL, {S::Hide, S::Hide, S::Show}, {E::Disable, E::Disable, E::Enable}},
    {IDC_JOB_PAUSE, {S::Hide, S::Hide, S::Show}, {E::Disable, E::Disable, E::Enable}},
    {IDC_TIPS_BUTTON, {S::Hide, S::Hide, S::Show}, {E::Disable, E::Disable, E::Enable}},
    {IDC_TIP_TEXT, {S::Keep, S::Keep, S::Keep}, {E::Disable, E::Disable, E::EnableWhenTips}},
    {IDC_TIP_HELP, {S::Keep, S::Keep, S::Keep}, {E::Disable, E::Disable, E::EnableWhenTips}},
    {IDC_INK_FRAME, {S::Show, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_DETAIL_INK_FRAME, {S::Hide, S::Show, S::Hide}, {E::Keep, E::Keep, E::Keep}},
    {IDC_INFO_BUTTON, {S::Hide, S::Show, S::Hide}, {E::Disable, E::EnableWhenD4Info, E::Disable}},
    {IDC_INFO_LINE, {S::Hide, S::ShowWhenRemoteInfo, S::Hide}, {E::Keep, E::Keep, E::Keep}},
    {IDC_POPUP_MARKER, {S::Show, S::Hide, S::Show}, {E::Keep, E::Keep, E::Keep}},
    {IDC_DETAIL_MARKER, {S::Hide, S::Show, S::Hide}, {E::Keep, E::Keep, E::Keep}},
};

} // namespace

const ViewItemRule* ViewRules(size_t* count) {
    *count = sizeof(kRules) / sizeof(kRules[0]);
    return kRules;
}

ItemState ResolveRule(const ViewItemRule& rule, int viewType, const ViewConditions& conditions) {
    ItemState state = {-1, -1};
    if (viewType < kViewPopup || viewType > kViewProgress) {
        return state;
    }
    switch (rule.show[viewType - 1]) {
    case S::Keep:
        break;
    case S::Show:
        state.show = 1;
        break;
    case S::Hide:
        state.show = 0;
        break;
    case S::ShowWhenRemoteInfo:
        state.show = conditions.remoteInfoAvailable ? 1 : 0;
        break;
    }
    switch (rule.enable[viewType - 1]) {
    case E::Keep:
        break;
    case E::Enable:
        state.enable = 1;
        break;
    case E::Disable:
        state.enable = 0;
        break;
    case E::EnableWhenTips:
        state.enable = conditions.tipsEnabled ? 1 : 0;
        break;
    case E::EnableWhenD4Info:
        state.enable = conditions.d4InfoAvailable ? 1 : 0;
        break;
    }
    return state;
}

} // namespace krx
