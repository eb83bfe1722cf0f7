// Pure logic of the status window: where it goes, which items each view
// shows, the settings tool's command line and the status interval.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/library_recovery.h"
#include "common/resource_ids.h"
#include "krxstat.h"
#include "ui/status_window/recovery_command.h"
#include "ui/status_window/view_table.h"
#include "ui/status_window/window_exports.h"
#include "ui/status_window/window_placement.h"

namespace {

using krx::ComputePlacement;
using krx::Placement;
using krx::PlacementInput;

constexpr krx::WorkArea kScreen = {0, 0, 1024, 768};

PlacementInput Input(int view, int32_t candX, int32_t candY, bool force = false,
                     krx::WorkArea work = kScreen) {
    PlacementInput in = {};
    in.viewType = view;
    in.forceDefault = force;
    in.work = work;
    in.currentWidth = 300;
    in.currentHeight = 400; // the template's height, before the view's size
    in.newWidth = 300;
    in.newHeight = 200;
    in.candidateX = candX;
    in.candidateY = candY;
    return in;
}

TEST(WindowPlacement, CandidatesOnAndOffTheWorkArea) {
    struct Case {
        const char* label;
        PlacementInput in;
        int32_t x, y;
        bool xDefault, yDefault, clamped;
    };
    const int32_t unset = krx::kUnsetWindowPosition;
    const krx::WorkArea taskbarTop = {0, 40, 1024, 768};
    const krx::WorkArea taskbarLeft = {60, 0, 1024, 768};
    const krx::WorkArea small = {0, 0, 800, 600};
    const krx::WorkArea low = {0, 0, 800, 150};
    const krx::WorkArea second = {1024, 0, 2048, 768};
    const Case cases[] = {
        // Centred by the current (template) size, not the new one.
        {"popup, nothing stored", Input(1, unset, unset), 362, 184, true, true, false},
        {"detail forced", Input(2, 10, 10, true), 362, 184, true, true, false},
        {"popup kept", Input(1, 100, 120), 100, 120, false, false, false},
        // A window that merely reaches the area is moved wholly inside it.
        {"left edge at the area's width", Input(1, 1024, 0), 724, 0, false, false, true},
        {"corner on 800x600", Input(1, 700, 500, false, small), 500, 400, false, false, true},
        {"left edge beyond the area", Input(1, 1025, 50), 362, 50, true, false, false},
        {"right edge exactly at 0", Input(1, -300, 5), 0, 5, false, false, true},
        {"wholly left of the area", Input(1, -301, 5), 362, 5, true, false, false},
        {"below the area", Input(1, 5, 769), 5, 184, false, true, false},
        // The meter goes to the bottom-right corner by its new size.
        {"meter, nothing stored", Input(3, unset, unset), 724, 568, true, true, false},
        {"meter kept", Input(3, 600, 500), 600, 500, false, false, false},
        {"meter grown past the bottom", Input(3, 724, 600), 724, 568, false, false, true},
        // The work area need not start at the screen's corner.
        {"taskbar at the top", Input(1, unset, unset, false, taskbarTop), 362, 204, true, true,
         false},
        {"above a top taskbar", Input(3, 10, 20, false, taskbarTop), 10, 40, false, false, true},
        {"taskbar at the left", Input(1, unset, unset, false, taskbarLeft), 392, 184, true, true,
         false},
        {"meter on a second monitor", Input(3, unset, unset, false, second), 1748, 568, true, true,
         false},
        // Larger than the area: the caption stays in it.
        {"meter taller than the area", Input(3, unset, unset, false, low), 500, 0, true, true,
         true},
        // Near the 32-bit limit the far edge must not wrap to a negative.
        {"huge negative", Input(1, INT32_MIN, INT32_MIN), 362, 184, true, true, false},
        {"huge positive", Input(1, INT32_MAX, 5), 362, 5, true, false, false},
    };
    for (const Case& c : cases) {
        const Placement p = ComputePlacement(c.in);
        EXPECT_TRUE(p.place) << c.label;
        EXPECT_EQ(c.x, p.x) << c.label;
        EXPECT_EQ(c.y, p.y) << c.label;
        EXPECT_EQ(c.xDefault, p.xDefault) << c.label;
        EXPECT_EQ(c.yDefault, p.yDefault) << c.label;
        EXPECT_EQ(c.clamped, p.clamped) << c.label;
    }
}

TEST(WindowPlacement, OnlyTheThreeViewsArePlaced) {
    for (int view : {0, 4, -1}) {
        EXPECT_FALSE(ComputePlacement(Input(view, 5, 5)).place) << "view " << view;
    }
}

krx::ItemState StateOf(int item, int view, const krx::ViewConditions& conditions) {
    size_t count = 0;
    const krx::ViewItemRule* rules = krx::ViewRules(&count);
    for (size_t i = 0; i < count; ++i) {
        if (rules[i].item == item) {
            return krx::ResolveRule(rules[i], view, conditions);
        }
    }
    ADD_FAILURE() << "item " << item << " has no rule";
    return {-2, -2};
}

TEST(ViewTable, ConditionalItems) {
    const krx::ViewConditions none = {false, false, false};
    const krx::ViewConditions all = {true, true, true};
    // Tip text and help follow the tips setting, only in the meter.
    EXPECT_EQ(0, StateOf(IDC_TIP_TEXT, krx::kViewProgress, none).enable);
    EXPECT_EQ(1, StateOf(IDC_TIP_TEXT, krx::kViewProgress, all).enable);
    EXPECT_EQ(0, StateOf(IDC_TIP_HELP, krx::kViewPopup, all).enable);
    // The information button and line need a status 4 reply and a channel.
    EXPECT_EQ(0, StateOf(IDC_INFO_BUTTON, krx::kViewDetail, none).enable);
    EXPECT_EQ(1, StateOf(IDC_INFO_BUTTON, krx::kViewDetail, all).enable);
    EXPECT_EQ(1, StateOf(IDC_INFO_BUTTON, krx::kViewDetail, none).show);
    EXPECT_EQ(0, StateOf(IDC_INFO_LINE, krx::kViewDetail, none).show);
    EXPECT_EQ(1, StateOf(IDC_INFO_LINE, krx::kViewDetail, all).show);
    EXPECT_EQ(0, StateOf(IDC_INFO_BUTTON, krx::kViewPopup, all).enable);
    // Trouble help is left to the status in Popup and Detail.
    EXPECT_EQ(-1, StateOf(IDC_TROUBLE_HELP, krx::kViewPopup, all).show);
    EXPECT_EQ(0, StateOf(IDC_TROUBLE_HELP, krx::kViewProgress, all).enable);
}

TEST(ViewTable, EachViewShowsExactlyOneCloseWayAndOneMarker) {
    const krx::ViewConditions c = {true, true, true};
    struct Row {
        int view;
        int cancelPrinting, close, popupMarker, detailMarker, jobCancel;
    };
    const Row rows[] = {
        {krx::kViewPopup, 1, 0, 1, 0, 0},
        {krx::kViewDetail, 0, 1, 0, 1, 0},
        {krx::kViewProgress, 0, 0, 1, 0, 1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.cancelPrinting, StateOf(IDC_CANCEL_PRINTING, r.view, c).show) << r.view;
        EXPECT_EQ(r.cancelPrinting, StateOf(IDC_CANCEL_PRINTING, r.view, c).enable) << r.view;
        EXPECT_EQ(r.close, StateOf(1, r.view, c).show) << r.view;
        EXPECT_EQ(r.close, StateOf(1, r.view, c).enable) << r.view;
        EXPECT_EQ(r.popupMarker, StateOf(IDC_POPUP_MARKER, r.view, c).show) << r.view;
        EXPECT_EQ(r.detailMarker, StateOf(IDC_DETAIL_MARKER, r.view, c).show) << r.view;
        EXPECT_EQ(r.jobCancel, StateOf(IDC_JOB_CANCEL, r.view, c).enable) << r.view;
    }
    size_t count = 0;
    EXPECT_EQ(-1, krx::ResolveRule(krx::ViewRules(&count)[0], 0, c).show);
}

TEST(RecoveryCommand, CommandLineNamesDriverWindowAndMessage) {
    EXPECT_EQ("C:\\kit\\bxapiset.exe /Act=Ch /AN=\"Kit KX500 Series\" "
              "/Ret=WM:0001ABCD;000004C8 /BXP=A:On",
              krx::BuildRecoveryCommandLine("C:\\kit\\bxapiset.exe", "Kit KX500 Series", 0x1abcd,
                                            KRX_MSG_RECOVERY_REPORT));
    EXPECT_EQ(" /Act=Ch /AN=\"\" /Ret=WM:FFFFFFFF;00000000 /BXP=A:On",
              krx::BuildRecoveryCommandLine("", "", 0xFFFFFFFFu, 0));
}

TEST(RecoveryCommand, DriverNameThatWouldLeaveItsQuotesIsRefused) {
    for (const char* name : {"Evil\" /Act=Del", "\"", "two\nlines", "tab\there"}) {
        EXPECT_EQ("", krx::BuildRecoveryCommandLine("tool.exe", name, 1, 2)) << name;
    }
    // Backslashes and other punctuation are harmless inside the quotes.
    EXPECT_NE("", krx::BuildRecoveryCommandLine("tool.exe", "\\\\server\\Kit 'A' & B", 1, 2));
}

TEST(RecoveryCommand, RoutedPorts) {
    struct Case {
        std::vector<std::string> ports;
        bool noRecovery;
    };
    const Case cases[] = {
        {{"LPT1:", "SHARE01"}, true},
        {{"SHARE01", "", "LPT2"}, true},
        {{"LPT1:"}, false},
        {{"SHARE01"}, false},
        {{"LPT1:", "BXPIPSHARE"}, false},
        {{"LPT1:", "IPXSHARE"}, false},
        {{"lpt1:", "share01"}, false}, // compared case-sensitively
        {{}, false},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const auto& p : c.ports) {
            label += p + ",";
        }
        EXPECT_EQ(c.noRecovery, krx::RoutedPortsNeedNoRecovery(c.ports)) << label;
    }
}

TEST(StatusInterval, RangeAndFallback) {
    struct Case {
        const char* text;
        int seconds;
    };
    const Case cases[] = {{"2", 2},  {"60", 60}, {"15", 15},  {"1", 10}, {"61", 10},
                          {"0", 10}, {"-5", 10}, {"abc", 10}, {"", 10},  {nullptr, 10}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.seconds, krx::StatusIntervalFromText(c.text)) << (c.text ? c.text : "null");
    }
}

} // namespace
