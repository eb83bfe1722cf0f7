// The picture control on a real dialog item: size taken from the bitmap,
// rows and colours of every bitmap kind, clipping by the draw size, damaged
// resources, the animation's order and blink phase, and its timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "common/dialog.h"
#include "graphics/BMP256Ctrl.h"
#include "graphics_test_ids.h"
#include "graphics_window.h"

namespace {

using graphicstest::Canvas;
using graphicstest::Hex;
using graphicstest::Px;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 &&
           std::abs(GetGValue(a) - GetGValue(b)) <= 8 && std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

SIZE ClientSize(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

class PictureControlTest : public graphicstest::GraphicsWindowTest {
  protected:
    void SetUp() override {
        GraphicsWindowTest::SetUp();
        // The run at another DPI insists on getting it.
        if (const char* dpi = std::getenv("KRX_DISPLAY_DPI")) {
            ASSERT_EQ(Px(96), std::atoi(dpi));
        }
        ASSERT_TRUE(picture_.Attach(Dialog(), IDC_TEST_PICTURE));
        graphicstest::SetClientSize(picture_.Hwnd(), 40, 30);
    }
    void TearDown() override {
        picture_.StopAnimation();
        picture_.Detach();
        GraphicsWindowTest::TearDown();
    }
    void Tick(UINT_PTR id = krx::BMP256Ctrl::kAnimationTimerId) {
        SendMessageA(picture_.Hwnd(), WM_TIMER, id, 0);
    }
    krx::BMP256Ctrl picture_;
};

struct KindCase {
    const char* label;
    uint32_t id;
    COLORREF right; // the right quarter's colour
};

// Above 96 DPI the picture fills the area the DPI gives it: sizes and
// places below are those of 96 DPI, at the display's DPI.
TEST_F(PictureControlTest, TakesTheBitmapSizeAndShowsEveryKindTheRightWayUp) {
    const KindCase cases[] = {
        {"8 bit", IDB_TEST_8BIT, kGreen},
        {"8 bit, old header", IDB_TEST_8BIT_CORE, kGreen},
        {"4 bit, old header", IDB_TEST_4BIT_CORE, kGreen},
        {"4 bit", IDB_TEST_4BIT, kGreen},
        {"8 bit, 200 colours", IDB_TEST_200_COLOURS, kGreen},
        {"1 bit", IDB_TEST_1BIT, kBlue},
        {"16 bit", IDB_TEST_16BIT, kGreen},
        {"24 bit", IDB_TEST_24BIT, kGreen},
        {"32 bit with masks", IDB_TEST_32BIT_MASKS, kGreen},
    };
    picture_.SetBitmapSize(20, 10);
    for (const KindCase& c : cases) {
        graphicstest::SetClientSize(picture_.Hwnd(), 40, 30);
        picture_.ShowBitmap(c.id);
        Canvas canvas(40, 30, kSentinel);
        canvas.PrintClient(picture_.Hwnd());
        SIZE size = ClientSize(picture_.Hwnd());
        EXPECT_EQ(size.cx, Px(20)) << c.label;
        EXPECT_EQ(size.cy, Px(10)) << c.label;
        const COLORREF top = canvas.At(Px(2), Px(1)), bottom = canvas.At(Px(2), Px(8));
        const COLORREF right = canvas.At(Px(17), Px(1)), corner = canvas.At(Px(20) - 1, Px(10) - 1);
        EXPECT_PRED2(Near, top, kRed) << c.label << ": top " << Hex(top);
        EXPECT_PRED2(Near, bottom, kBlue) << c.label << ": bottom " << Hex(bottom);
        EXPECT_PRED2(Near, right, c.right) << c.label << ": right " << Hex(right);
        EXPECT_PRED2(Near, corner, c.right) << c.label << ": bottom right " << Hex(corner);
        EXPECT_EQ(canvas.At(Px(20), Px(5)), kSentinel) << c.label << ": painted past the bitmap";
        EXPECT_EQ(canvas.At(Px(5), Px(10)), kSentinel) << c.label << ": painted below the bitmap";
    }
}

TEST_F(PictureControlTest, DrawSizeClipsThePictureButNotTheControl) {
    picture_.SetBitmapSize(10, 5);
    picture_.ShowBitmap(IDB_TEST_8BIT);
    Canvas canvas(40, 30, kSentinel);
    canvas.PrintClient(picture_.Hwnd());
    SIZE size = ClientSize(picture_.Hwnd());
    EXPECT_EQ(size.cx, Px(20));
    EXPECT_EQ(size.cy, Px(10));
    EXPECT_EQ(canvas.At(Px(2), Px(1)), kRed);
    EXPECT_EQ(canvas.At(Px(10), Px(1)), kSentinel) << Hex(canvas.At(Px(10), Px(1)));
    EXPECT_EQ(canvas.At(Px(2), Px(5)), kSentinel) << Hex(canvas.At(Px(2), Px(5)));
}

TEST_F(PictureControlTest, MissingOrDamagedBitmapsLeaveItBlankAndUnchangedInSize) {
    const std::pair<const char*, uint32_t> cases[] = {
        {"missing", IDB_TEST_MISSING},
        {"header size past the resource", IDB_TEST_BAD_HEADER_SIZE},
        {"colour count past the resource", IDB_TEST_BAD_COLOUR_COUNT},
        {"pixel bits cut short", IDB_TEST_CUT_SHORT},
    };
    picture_.SetBitmapSize(40, 30);
    for (const auto& c : cases) {
        picture_.ShowBitmap(c.second);
        Canvas canvas(40, 30, kSentinel);
        canvas.PrintClient(picture_.Hwnd());
        SIZE size = ClientSize(picture_.Hwnd());
        EXPECT_EQ(size.cx, 40) << c.first;
        EXPECT_EQ(size.cy, 30) << c.first;
        RECT painted = canvas.BoundsOf(kSentinel);
        EXPECT_EQ(painted.right - painted.left, 40) << c.first;
        EXPECT_EQ(painted.bottom - painted.top, 30) << c.first;
        EXPECT_FALSE(picture_.LastPaintUsedPalette()) << c.first;
    }
}

TEST_F(PictureControlTest, KeepsTheDeviceCopyUntilThePictureOrTheDisplayChanges) {
    picture_.SetBitmapSize(20, 10);
    auto paint = [&] {
        Canvas canvas(40, 30, kSentinel);
        canvas.PrintClient(picture_.Hwnd());
        return canvas.At(Px(2), Px(1));
    };
    picture_.ShowBitmap(IDB_TEST_8BIT);
    paint();
    const uint32_t made = picture_.CopiesMade();
    // label, what happens before the paint, copies made by the paint
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"repaint", [] {}},
        {"another picture", [&] { picture_.ShowBitmap(IDB_TEST_24BIT); }},
        {"the first again", [&] { picture_.ShowBitmap(IDB_TEST_8BIT); }},
        {"display change", [&] { SendMessageA(picture_.Hwnd(), WM_DISPLAYCHANGE, 32, 0); }},
        {"own palette realised",
         [&] {
             SendMessageA(picture_.Hwnd(), WM_PALETTECHANGED,
                          reinterpret_cast<WPARAM>(picture_.Hwnd()), 0);
         }},
        {"another window's palette",
         [&] { SendMessageA(picture_.Hwnd(), WM_PALETTECHANGED, 0, 0); }},
    };
    const uint32_t expectMade[] = {0, 1, 0, 1, 0, 1};
    uint32_t before = made;
    for (size_t i = 0; i < sizeof expectMade / sizeof expectMade[0]; ++i) {
        steps[i].second();
        const COLORREF top = paint();
        EXPECT_EQ(picture_.CopiesMade() - before, expectMade[i]) << steps[i].first;
        EXPECT_PRED2(Near, top, kRed) << steps[i].first << ": " << Hex(top);
        before = picture_.CopiesMade();
    }
}

TEST_F(PictureControlTest, TheDialogTellsItsPicturesOfADisplayChange) {
    // Any dialog of the framework passes the change on to its items.
    struct Probe : krx::Dialog {
        Probe() : krx::Dialog(IDD_GRAPHICS_TEST) {}
        BOOL OnInitDialog() override {
            picture.Attach(Hwnd(), IDC_TEST_PICTURE);
            picture.SetBitmapSize(20, 10);
            picture.ShowBitmap(IDB_TEST_8BIT);
            Canvas canvas(40, 30);
            canvas.PrintClient(picture.Hwnd());
            made = picture.CopiesMade();
            SendMessageA(Hwnd(), WM_DISPLAYCHANGE, 32, 0);
            canvas.PrintClient(picture.Hwnd());
            made = picture.CopiesMade() - made;
            End(IDOK);
            return TRUE;
        }
        krx::BMP256Ctrl picture;
        uint32_t made = 0;
    } probe;
    ASSERT_EQ(probe.DoModal(nullptr, GetModuleHandleA(nullptr)), IDOK);
    EXPECT_EQ(probe.made, 1u);
}

TEST_F(PictureControlTest, PaletteOnlyOnAPaletteDisplay) {
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    bool paletteDisplay = bits > 4 && bits <= 8 && (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
    ReleaseDC(nullptr, screen);
    // The test command runs these tests once more on a 256-colour display.
    if (std::getenv("KRX_PALETTE_DISPLAY") != nullptr) {
        ASSERT_TRUE(paletteDisplay) << bits << " bits";
    }
    picture_.SetBitmapSize(20, 10);
    const std::pair<uint32_t, bool> cases[] = {
        {IDB_TEST_8BIT, paletteDisplay}, {IDB_TEST_8BIT_CORE, paletteDisplay},
        {IDB_TEST_200_COLOURS, false},   {IDB_TEST_4BIT, false},
        {IDB_TEST_24BIT, false},
    };
    for (const auto& c : cases) {
        picture_.ShowBitmap(c.first);
        Canvas canvas(40, 30);
        canvas.PrintClient(picture_.Hwnd());
        EXPECT_EQ(picture_.LastPaintUsedPalette(), c.second)
            << "bitmap " << c.first << ", display " << bits << " bits";
    }
    // Switched off (another program's modal window is up): never selected.
    picture_.EnablePalette(FALSE);
    picture_.ShowBitmap(IDB_TEST_8BIT);
    Canvas canvas(40, 30);
    canvas.PrintClient(picture_.Hwnd());
    EXPECT_FALSE(picture_.LastPaintUsedPalette());
}

TEST_F(PictureControlTest, EnablingThePaletteRepaintsDisablingDoesNot) {
    ShowDialog();
    picture_.ShowBitmap(IDB_TEST_8BIT);
    Pump();
    ValidateRect(picture_.Hwnd(), nullptr);
    picture_.EnablePalette(FALSE);
    EXPECT_FALSE(GetUpdateRect(picture_.Hwnd(), nullptr, FALSE));
    picture_.EnablePalette(TRUE);
    EXPECT_TRUE(GetUpdateRect(picture_.Hwnd(), nullptr, FALSE));
}

TEST_F(PictureControlTest, AnimationStepsInOrderAndTheIconBlinksEveryOtherStep) {
    const uint32_t frames[3] = {IDB_TEST_8BIT, IDB_TEST_24BIT, IDB_TEST_4BIT};
    ASSERT_EQ(picture_.StartAnimation(3, frames), 1);
    EXPECT_TRUE(picture_.IsAnimating());
    EXPECT_EQ(picture_.CurrentBitmap(), frames[0]);
    EXPECT_EQ(picture_.BlinkPhase(), 0);
    const uint32_t expectIndex[] = {1, 2, 0, 1, 2};
    const int expectPhase[] = {1, 0, 1, 0, 1};
    for (int step = 0; step < 5; ++step) {
        Tick();
        EXPECT_EQ(picture_.FrameIndex(), expectIndex[step]) << "step " << step;
        EXPECT_EQ(picture_.CurrentBitmap(), frames[expectIndex[step]]) << "step " << step;
        EXPECT_EQ(picture_.BlinkPhase(), expectPhase[step]) << "step " << step;
    }
    // Another timer's tick is not the animation's.
    Tick(krx::BMP256Ctrl::kAnimationTimerId + 1);
    EXPECT_EQ(picture_.FrameIndex(), 2u);

    picture_.StopAnimation();
    EXPECT_FALSE(picture_.IsAnimating());
    EXPECT_EQ(picture_.CurrentBitmap(), frames[2]);
    EXPECT_FALSE(KillTimer(picture_.Hwnd(), krx::BMP256Ctrl::kAnimationTimerId))
        << "the animation timer outlived StopAnimation";
    Tick();
    EXPECT_EQ(picture_.CurrentBitmap(), frames[2]);
    EXPECT_EQ(picture_.BlinkPhase(), 1) << "the blink phase stays as it was";
}

TEST_F(PictureControlTest, StartWithOneOrNoFramesRunsNoTimer) {
    const uint32_t frames[3] = {IDB_TEST_8BIT, IDB_TEST_24BIT, IDB_TEST_4BIT};
    ASSERT_EQ(picture_.StartAnimation(3, frames), 1);
    Tick(); // blink phase 1
    EXPECT_EQ(picture_.StartAnimation(0, frames), 0);
    EXPECT_EQ(picture_.StartAnimation(2, nullptr), 0);
    EXPECT_TRUE(picture_.IsAnimating()) << "a refused start changes nothing";
    EXPECT_EQ(picture_.CurrentBitmap(), frames[1]);

    const uint32_t single = IDB_TEST_1BIT;
    EXPECT_EQ(picture_.StartAnimation(1, &single), 1);
    EXPECT_FALSE(picture_.IsAnimating());
    EXPECT_FALSE(KillTimer(picture_.Hwnd(), krx::BMP256Ctrl::kAnimationTimerId));
    EXPECT_EQ(picture_.CurrentBitmap(), single);
    EXPECT_EQ(picture_.BlinkPhase(), 1);
    Tick();
    EXPECT_EQ(picture_.CurrentBitmap(), single);
}

TEST_F(PictureControlTest, TheWindowTimerDrivesTheFrames) {
    const uint32_t frames[2] = {IDB_TEST_8BIT, IDB_TEST_24BIT};
    ASSERT_EQ(picture_.StartAnimation(2, frames), 1);
    DWORD start = GetTickCount();
    while (picture_.FrameIndex() == 0 && GetTickCount() - start < 5000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        Pump();
    }
    EXPECT_EQ(picture_.FrameIndex(), 1u) << "no animation step within 5 s";
}

class BlinkIconTest : public PictureControlTest {
  protected:
    void SetUp() override {
        PictureControlTest::SetUp();
        pictures_ = LoadLibraryA("kitpict.dll");
        ASSERT_NE(pictures_, nullptr) << GetLastError();
        picture_.SetResourceModule(pictures_);
        picture_.SetBitmapSize(100, 85);
    }
    void TearDown() override {
        PictureControlTest::TearDown();
        if (pictures_ != nullptr) {
            FreeLibrary(pictures_);
        }
    }
    // The icon's left edge at x of a 96-DPI layout.
    bool IconAt(int x) {
        Canvas canvas(Px(120), Px(100));
        canvas.PrintClient(picture_.Hwnd());
        return canvas.At(Px(x), 1) == kMagenta && canvas.At(Px(x + 30), Px(30)) == kMagenta;
    }
    HMODULE pictures_ = nullptr;
};

TEST_F(BlinkIconTest, IconOfTheLanguageLibraryShowsOnEveryOtherFrame) {
    // The icon comes from the language library (the test program), the
    // frames from the picture library.
    ASSERT_EQ(picture_.SetBlinkIcon(MAKEINTRESOURCEA(IDI_TEST_BLINK), 32), 1);
    const uint32_t frames[3] = {589, 590, 591};
    ASSERT_EQ(picture_.StartAnimation(3, frames), 1);
    EXPECT_FALSE(IconAt(68)) << "phase 0 after construction";
    Tick();
    EXPECT_TRUE(IconAt(68)) << "32 pixels from the right edge of a 100-pixel picture";
    Tick();
    EXPECT_FALSE(IconAt(68));
}

TEST_F(BlinkIconTest, SameIconKeepsItsOffsetAndMissingIconsDrawNothing) {
    const uint32_t frames[2] = {589, 590};
    picture_.StartAnimation(2, frames);
    Tick(); // phase 1
    ASSERT_EQ(picture_.SetBlinkIcon(MAKEINTRESOURCEA(IDI_TEST_BLINK), 32), 1);
    EXPECT_EQ(picture_.SetBlinkIcon(MAKEINTRESOURCEA(IDI_TEST_BLINK), 60), 1);
    EXPECT_TRUE(IconAt(68)) << "the offset of a repeated icon is not updated";
    EXPECT_FALSE(IconAt(40));

    EXPECT_EQ(picture_.SetBlinkIcon(MAKEINTRESOURCEA(9999), 32), 0);
    EXPECT_FALSE(IconAt(68));
    EXPECT_EQ(picture_.SetBlinkIcon(nullptr, 32), 1);
    EXPECT_FALSE(IconAt(68));
    // A named icon is remembered by its name, not by the caller's buffer.
    char name[8] = "NOSUCH";
    EXPECT_EQ(picture_.SetBlinkIcon(name, 32), 0);
    name[0] = 'X';
    EXPECT_EQ(picture_.SetBlinkIcon("NOSUCH", 32), 1) << "the same name again";
}

} // namespace
