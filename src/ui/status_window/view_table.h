// The status window's view table: for each view, which template items are
// shown, hidden, enabled or disabled. Pure data, read by SwitchView.
#pragma once

#include <cstddef>

namespace krx {

enum ViewType : int {
    kViewNone = 0,
    kViewPopup = 1,
    kViewDetail = 2,
    kViewProgress = 3,
};

// Visibility of an item in one view.
enum class ItemShow : signed char {
    Keep, // left as it is
    Show,
    Hide,
    ShowWhenRemoteInfo, // shown only with a status 4 reply and the remote channel open
};

// Enabled state of an item in one view.
enum class ItemEnable : signed char {
    Keep,
    Enable,
    Disable,
    EnableWhenTips,   // enabled only while tips are displayed
    EnableWhenD4Info, // enabled only with a status 4 reply and the D4 channel open
};

struct ViewItemRule {
    int item;
    ItemShow show[3];     // Popup, Detail, Progress
    ItemEnable enable[3]; // Popup, Detail, Progress
};

// The rules in the order SwitchView applies them.
const ViewItemRule* ViewRules(size_t* count);

// What the conditional entries depend on.
struct ViewConditions {
    bool tipsEnabled;
    bool d4InfoAvailable;
    bool remoteInfoAvailable;
};

// The resolved state of one rule for one view: show/hide/keep as
// +1 / 0 / -1, likewise for enable.
struct ItemState {
    int show;
    int enable;
};
ItemState ResolveRule(const ViewItemRule& rule, int viewType, const ViewConditions& conditions);

} // namespace krx
