// Step-by-step guide: the step table reader on good and broken data, and
// the dialog's buttons, texts and picture step by step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/resource_ids.h"
#include "dialog_probe.h"
#include "graphics/guide_dialog.h"
#include "graphics/guide_steps.h"

namespace {

std::vector<unsigned char> Table(std::vector<uint16_t> words, const std::string& tail) {
    std::vector<unsigned char> bytes;
    for (uint16_t w : words) {
        bytes.push_back(static_cast<unsigned char>(w & 0xFF));
        bytes.push_back(static_cast<unsigned char>(w >> 8));
    }
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

} // namespace

TEST(GuideSteps, ReadsStepsAndTitle) {
    std::vector<unsigned char> data =
        Table({2, 1801, 2, 701, 0x2, 1802, 0, 0, 0x5}, std::string("Replace\0junk", 12));
    krx::GuideTable table;
    ASSERT_TRUE(krx::ParseGuideTable(data.data(), data.size(), &table));
    ASSERT_EQ(table.steps.size(), 2u);
    EXPECT_EQ(table.steps[0].textId, 1801);
    EXPECT_EQ(table.steps[0].frameCount, 2);
    EXPECT_EQ(table.steps[0].firstBitmap, 701);
    EXPECT_EQ(table.steps[1].flags, 0x5);
    EXPECT_EQ(table.title, "Replace");
    EXPECT_EQ(krx::GuideFrameIds(table.steps[0]), (std::vector<unsigned>{701, 702}));
    EXPECT_TRUE(krx::GuideFrameIds(table.steps[1]).empty());
}

TEST(GuideSteps, BrokenTablesStayInsideTheirData) {
    struct Case {
        const char* label;
        std::vector<unsigned char> data;
        bool ok;
        size_t steps;
        const char* title;
    } cases[] = {
        {"count beyond the data", Table({9, 1, 0, 0, 2, 2, 0, 0, 4}, ""), true, 2, ""},
        {"count beyond the data, half a step", Table({3, 1, 0, 0, 2, 2, 0}, ""), true, 1, ""},
        {"huge count", Table({0xFFFF, 1, 0, 0, 1}, "T"), true, 1, ""},
        {"title without terminator", Table({1, 1, 0, 0, 1}, "Title"), true, 1, "Title"},
        {"no title", Table({1, 1, 0, 0, 1}, ""), true, 1, ""},
        {"no steps", Table({0}, "Empty"), false, 0, ""},
        {"only half a count", {0x01}, false, 0, ""},
        {"nothing", {}, false, 0, ""},
    };
    for (const Case& c : cases) {
        // Copied to a block of exactly its size, so that reading past it
        // would be caught by the heap checks of a sanitiser build.
        std::vector<unsigned char> exact(c.data);
        krx::GuideTable table;
        EXPECT_EQ(
            krx::ParseGuideTable(exact.empty() ? nullptr : exact.data(), exact.size(), &table),
            c.ok)
            << c.label;
        EXPECT_EQ(table.steps.size(), c.steps) << c.label;
        EXPECT_EQ(table.title, c.title) << c.label;
    }
}

namespace {

class GuideDialogTest : public dlgtest::ResourceLibraryTest {
  protected:
    GuideDialogTest() : ResourceLibraryTest("dlgtest_res_a.dll") {}

    struct StepView {
        std::string text;
        bool picture, animating;
        uint32_t bitmap;
        bool finishShown, backEnabled, nextShown, nextEnabled, okShown, okEnabled;
        bool nextDefault, okDefault, nextFocused, okFocused;
    };
    static StepView View(krx::GuideDialog& d) {
        HWND h = d.Hwnd();
        HWND focus = GetFocus();
        return {dlgtest::ItemText(h, IDC_GUIDE_TEXT),
                dlgtest::IsShown(h, IDC_GUIDE_PICTURE),
                d.Picture().IsAnimating(),
                d.Picture().CurrentBitmap(),
                dlgtest::IsShown(h, IDC_GUIDE_FINISH),
                dlgtest::IsEnabled(h, IDC_GUIDE_BACK),
                dlgtest::IsShown(h, IDC_GUIDE_NEXT),
                dlgtest::IsEnabled(h, IDC_GUIDE_NEXT),
                dlgtest::IsShown(h, IDOK),
                dlgtest::IsEnabled(h, IDOK),
                dlgtest::IsDefaultButton(h, IDC_GUIDE_NEXT),
                dlgtest::IsDefaultButton(h, IDOK),
                focus == d.Item(IDC_GUIDE_NEXT),
                focus == d.Item(IDOK)};
    }
};

} // namespace

TEST_F(GuideDialogTest, WalksThroughTheSteps) {
    dlgtest::Probed<krx::GuideDialog> dialog;
    std::vector<StepView> views;
    std::vector<int> steps;
    std::string caption;
    // The status window that opens the guide is disabled while it runs.
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    bool ownerEnabled = true;
    dialog.probe = [&](krx::GuideDialog& d) {
        ownerEnabled = IsWindowEnabled(owner) != 0;
        caption = dlgtest::WindowText(d.Hwnd());
        views.push_back(View(d));
        dlgtest::Click(d.Hwnd(), IDC_GUIDE_BACK); // at step 0: stays
        steps.push_back(d.CurrentStep());
        dlgtest::Click(d.Hwnd(), IDC_GUIDE_NEXT);
        views.push_back(View(d));
        dlgtest::Click(d.Hwnd(), IDC_GUIDE_NEXT);
        views.push_back(View(d));
        dlgtest::Click(d.Hwnd(), IDC_GUIDE_NEXT); // past the last step: stays
        steps.push_back(d.CurrentStep());
        dlgtest::Click(d.Hwnd(), IDC_GUIDE_BACK);
        steps.push_back(d.CurrentStep());
        dlgtest::Click(d.Hwnd(), IDC_GUIDE_FINISH);
    };
    HRSRC guide = krx::FindGuideResource(0);
    ASSERT_NE(guide, nullptr);
    EXPECT_EQ(dialog.ShowGuide(guide, owner), 1);
    ASSERT_TRUE(dialog.probed);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
    EXPECT_EQ(caption, "Test Guide");
    EXPECT_EQ(steps, (std::vector<int>{0, 2, 1}));
    ASSERT_EQ(views.size(), 3u);

    // Step 0 offers Next, without Back: Next is the default and has the focus.
    const StepView& first = views[0];
    EXPECT_EQ(first.text, "Open the cover.");
    EXPECT_TRUE(first.picture);
    EXPECT_TRUE(first.animating);
    EXPECT_EQ(first.bitmap, 701u);
    EXPECT_FALSE(first.backEnabled);
    EXPECT_FALSE(first.finishShown);
    EXPECT_TRUE(first.nextShown && first.nextEnabled);
    EXPECT_FALSE(first.okShown);
    EXPECT_TRUE(first.nextDefault);
    EXPECT_TRUE(first.nextFocused);

    // Step 1: one frame shown still; Next, Back and finish.
    const StepView& second = views[1];
    EXPECT_EQ(second.text, "Take out the old cartridge.");
    EXPECT_TRUE(second.picture);
    EXPECT_FALSE(second.animating);
    EXPECT_EQ(second.bitmap, 703u);
    EXPECT_TRUE(second.backEnabled);
    EXPECT_TRUE(second.finishShown);
    EXPECT_TRUE(second.nextShown && second.nextEnabled);

    // Step 2: no picture; OK and Back, OK the default with the focus.
    const StepView& third = views[2];
    EXPECT_EQ(third.text, "Close the cover.");
    EXPECT_FALSE(third.picture);
    EXPECT_FALSE(third.animating);
    EXPECT_TRUE(third.backEnabled);
    EXPECT_FALSE(third.finishShown);
    EXPECT_FALSE(third.nextShown);
    EXPECT_TRUE(third.okShown && third.okEnabled);
    EXPECT_TRUE(third.okDefault);
    EXPECT_TRUE(third.okFocused);
}

TEST_F(GuideDialogTest, StepCountBeyondTheResourceShowsOnlyItsSteps) {
    dlgtest::Probed<krx::GuideDialog> dialog;
    std::vector<int> steps;
    StepView last{};
    dialog.probe = [&](krx::GuideDialog& d) {
        for (int i = 0; i < 4; ++i) {
            dlgtest::Click(d.Hwnd(), IDC_GUIDE_NEXT);
            steps.push_back(d.CurrentStep());
        }
        last = View(d);
        PostMessageA(d.Hwnd(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog.ShowGuide(krx::FindGuideResource(1)), 1);
    EXPECT_EQ(dialog.Table().declaredSteps, 9);
    EXPECT_EQ(dialog.Table().steps.size(), 2u);
    EXPECT_EQ(steps, (std::vector<int>{1, 1, 1, 1}));
    // Step 1 offers neither Next nor OK: Next is shown disabled.
    EXPECT_TRUE(last.nextShown);
    EXPECT_FALSE(last.nextEnabled);
    EXPECT_FALSE(last.okShown);
    EXPECT_FALSE(last.picture);
}

TEST_F(GuideDialogTest, MissingOrEmptyTableEndsAtOnce) {
    for (HRSRC resource : {krx::FindGuideResource(2), static_cast<HRSRC>(nullptr)}) {
        dlgtest::Probed<krx::GuideDialog> dialog;
        EXPECT_EQ(dialog.ShowGuide(resource), 1);
        EXPECT_FALSE(dialog.probed) << "the dialog never ran";
    }
    EXPECT_EQ(krx::FindGuideResource(7), nullptr);
}

TEST_F(GuideDialogTest, SingleOkStepKeepsTheFocusOnOk) {
    dlgtest::Probed<krx::GuideDialog> dialog;
    StepView view{};
    dialog.probe = [&](krx::GuideDialog& d) {
        view = View(d);
        dlgtest::Click(d.Hwnd(), IDOK);
    };
    EXPECT_EQ(dialog.ShowGuide(krx::FindGuideResource(3)), 1);
    EXPECT_TRUE(view.okShown);
    EXPECT_FALSE(view.nextShown);
    EXPECT_TRUE(view.okDefault);
    EXPECT_TRUE(view.okFocused) << "not moved to the hidden Next";
}
