// The progress meter, the fitted label and the icon button on real dialog
// items: what they lay out, show and draw.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "graphics/fitted_label.h"
#include "graphics/progress_meter.h"
#include "graphics_test_ids.h"
#include "graphics_window.h"
#include "ui/icon_button.h"

namespace {

using graphicstest::Canvas;
using graphicstest::Hex;
using krx::MeterDirection;

constexpr COLORREF kBar = RGB(0, 0, 128);
constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

class MeterTest : public graphicstest::GraphicsWindowTest {};

struct MeterPaintCase {
    const char* label;
    MeterDirection direction;
    int width, height;
    int32_t position, maximum;
    POINT barPixel, backPixel; // either side of the bar's edge
};

TEST_F(MeterTest, PaintsBarAndRestOnEitherSideOfTheEdgeInEachDirection) {
    const MeterPaintCase cases[] = {
        {"left to right", MeterDirection::LeftToRight, 101, 10, 5, 10, {50, 5}, {51, 5}},
        {"top to bottom", MeterDirection::TopToBottom, 10, 101, 3, 10, {5, 30}, {5, 31}},
        {"right to left", MeterDirection::RightToLeft, 101, 10, 1, 3, {67, 5}, {66, 5}},
        {"bottom to top", MeterDirection::BottomToTop, 10, 101, 3, 4, {5, 25}, {5, 24}},
    };
    for (const MeterPaintCase& c : cases) {
        krx::ProgressMeter meter(c.direction);
        ASSERT_TRUE(meter.Attach(Dialog(), IDC_TEST_METER));
        graphicstest::SetClientSize(meter.Hwnd(), c.width, c.height);
        meter.SetMeterBarColor(kBar, FALSE);
        meter.SetMeterBackColor(kBack, FALSE);
        meter.SetMeterRange(0, c.maximum, FALSE);
        meter.SetMeterPosition(c.position, FALSE);
        Canvas canvas(c.width, c.height);
        canvas.PrintClient(meter.Hwnd());
        EXPECT_EQ(canvas.At(c.barPixel.x, c.barPixel.y), kBar)
            << c.label << ": " << Hex(canvas.At(c.barPixel.x, c.barPixel.y));
        EXPECT_EQ(canvas.At(c.backPixel.x, c.backPixel.y), kBack)
            << c.label << ": " << Hex(canvas.At(c.backPixel.x, c.backPixel.y));
        meter.Detach();
    }
}

TEST_F(MeterTest, EmptyMeterPaintsOnlyTheBackground) {
    krx::ProgressMeter meter;
    ASSERT_TRUE(meter.Attach(Dialog(), IDC_TEST_METER));
    graphicstest::SetClientSize(meter.Hwnd(), 101, 10);
    meter.SetMeterBarColor(kBar, FALSE);
    meter.SetMeterBackColor(kBack, FALSE);
    for (int32_t position : {0, -3}) {
        meter.SetMeterRange(0, 10, FALSE);
        meter.SetMeterPosition(position, FALSE);
        Canvas canvas(101, 10);
        canvas.PrintClient(meter.Hwnd());
        RECT bar = canvas.BoundsOf(kBar);
        EXPECT_EQ(bar.right, 0) << "position " << position;
        EXPECT_EQ(canvas.At(0, 0), kBack) << "position " << position;
    }
    // An empty range never divides; it shows an empty meter.
    meter.SetMeterRange(4, 4, FALSE);
    meter.SetMeterPosition(9, FALSE);
    Canvas canvas(101, 10);
    canvas.PrintClient(meter.Hwnd());
    EXPECT_EQ(canvas.BoundsOf(kBar).right, 0);
}

TEST_F(MeterTest, SettersRedrawOnlyWhenAskedAndSizeChangesRelayout) {
    krx::ProgressMeter meter;
    EXPECT_EQ(meter.BarColor(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(meter.BackColor(), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(meter.Maximum(), 100);
    ASSERT_TRUE(meter.Attach(Dialog(), IDC_TEST_METER));
    ShowDialog();
    graphicstest::SetClientSize(meter.Hwnd(), 101, 10);
    EXPECT_EQ(meter.Layout().rest.right, 101) << "laid out again on size";
    Pump();
    ValidateRect(meter.Hwnd(), nullptr);
    EXPECT_EQ(meter.SetMeterRange(0, 10, FALSE), 0);
    EXPECT_EQ(meter.SetMeterPosition(5, FALSE), 0);
    EXPECT_FALSE(GetUpdateRect(meter.Hwnd(), nullptr, FALSE));
    EXPECT_EQ(meter.Layout().bar.right, 51) << "laid out on every setter";
    EXPECT_NE(meter.SetMeterPosition(6, TRUE), 0);
    EXPECT_TRUE(GetUpdateRect(meter.Hwnd(), nullptr, FALSE));
    EXPECT_EQ(meter.Layout().bar.right, 61);

    graphicstest::SetClientSize(meter.Hwnd(), 201, 10);
    EXPECT_EQ(meter.Layout().bar.right, 121);
}

class LabelTest : public graphicstest::GraphicsWindowTest {
  protected:
    void SetUp() override {
        GraphicsWindowTest::SetUp();
        ASSERT_TRUE(label_.Attach(Dialog(), IDC_TEST_LABEL));
        graphicstest::SetClientSize(label_.Hwnd(), 100, 14);
    }
    std::string Shown() {
        char text[512] = "";
        GetWindowTextA(label_.Hwnd(), text, sizeof text);
        return text;
    }
    long Extent(const std::string& s) {
        HDC dc = GetDC(label_.Hwnd());
        HGDIOBJ old = SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label_.Hwnd(), WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(label_.Hwnd(), dc);
        return size.cx;
    }
    krx::FittedLabel label_;
};

TEST_F(LabelTest, TextThatFitsIsShownUnchanged) {
    label_.SetFittedText("Memo.txt");
    EXPECT_EQ(Shown(), "Memo.txt");
    label_.SetFittedText("");
    EXPECT_EQ(Shown(), "");
    label_.SetFittedText(nullptr);
    EXPECT_EQ(Shown(), "");
}

TEST_F(LabelTest, LongTextKeepsTheLongestPrefixThatFitsWithTheDots) {
    const std::string text = "Minutes of the annual general meeting, final version.pdf";
    label_.SetFittedText(text.c_str());
    std::string shown = Shown();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...") << shown;
    std::string kept = shown.substr(0, shown.size() - 3);
    EXPECT_EQ(text.compare(0, kept.size(), kept), 0) << shown;
    EXPECT_LT(Extent(shown), 100) << shown;
    EXPECT_GE(Extent(text.substr(0, kept.size() + 1) + "..."), 100) << "a longer prefix fits too";
}

TEST_F(LabelTest, LabelTooNarrowForAnythingShowsTheDots) {
    graphicstest::SetClientSize(label_.Hwnd(), 4, 14);
    label_.SetFittedText("Memo.txt");
    EXPECT_EQ(Shown(), "...");
}

TEST_F(LabelTest, DoubleByteTextIsCutBetweenCharacters) {
    CPINFO info;
    if (!GetCPInfo(932, &info)) {
        GTEST_SKIP() << "code page 932 is not installed";
    }
    label_.SetLeadBytePredicate([](unsigned char b) { return IsDBCSLeadByteEx(932, b) != FALSE; });
    // Twenty double-byte characters whose trail bytes are lead-byte values.
    std::string text;
    for (int i = 0; i < 20; ++i) {
        text += "\x88\x9F";
    }
    label_.SetFittedText(text.c_str());
    std::string shown = Shown();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ((shown.size() - 3) % 2, 0u) << "half a character kept: " << shown.size() - 3;
}

class IconButtonTest : public graphicstest::GraphicsWindowTest {
  protected:
    void SetUp() override {
        GraphicsWindowTest::SetUp();
        ASSERT_TRUE(button_.AttachButton(Dialog(), IDC_TEST_BUTTON));
        graphicstest::SetClientSize(button_.Hwnd(), 90, 24);
        button_.SetButtonCaption(IDS_TEST_CAPTION);
    }
    // Draws the button as WM_DRAWITEM would ask it to.
    void Draw(Canvas& canvas, UINT state, UINT action = ODA_DRAWENTIRE) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = IDC_TEST_BUTTON;
        item.itemAction = action;
        item.itemState = state;
        item.hwndItem = button_.Hwnd();
        item.hDC = canvas.dc();
        item.rcItem = RECT{0, 0, 90, 24};
        ASSERT_TRUE(button_.DrawItem(item));
    }
    // Bounds of the caption's pixels: anything but the face inside the frame,
    // right of the icon.
    RECT CaptionBounds(const Canvas& canvas) {
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        RECT r{90, 24, 0, 0};
        for (int y = 3; y < 21; ++y) {
            for (int x = 25; x < 86; ++x) {
                COLORREF c = canvas.At(x, y);
                if (c != face && c != kMagenta) {
                    r.left = x < r.left ? x : r.left;
                    r.top = y < r.top ? y : r.top;
                    r.right = x + 1 > r.right ? x + 1 : r.right;
                    r.bottom = y + 1 > r.bottom ? y + 1 : r.bottom;
                }
            }
        }
        return r;
    }
    krx::IconButton button_;
};

TEST_F(IconButtonTest, IsOwnerDrawnWithIconAndCaptionOfTheLanguageLibrary) {
    EXPECT_EQ(GetWindowLongA(button_.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(button_.Caption(), "Tips");
    button_.SetButtonIcon(IDI_TEST_SMALL, 18, 18, 3);
    EXPECT_NE(button_.Icon(), nullptr);
    button_.SetButtonIcon(0, 18, 18, 3);
    EXPECT_EQ(button_.Icon(), nullptr);
}

struct EdgeCase {
    const char* label;
    int x, y;
    int sysColour;
};

TEST_F(IconButtonTest, FrameColoursForNormalPressedAndFocusedLooks) {
    const EdgeCase normal[] = {
        {"left", 0, 10, COLOR_BTNHIGHLIGHT},      {"top", 10, 0, COLOR_BTNHIGHLIGHT},
        {"right", 89, 10, COLOR_3DDKSHADOW},      {"bottom", 10, 23, COLOR_3DDKSHADOW},
        {"inner right", 88, 10, COLOR_BTNSHADOW}, {"inner bottom", 10, 22, COLOR_BTNSHADOW},
        {"face", 86, 2, COLOR_BTNFACE},
    };
    const EdgeCase pressed[] = {
        {"left", 0, 10, COLOR_3DDKSHADOW},      {"top", 10, 0, COLOR_3DDKSHADOW},
        {"inner left", 1, 10, COLOR_BTNSHADOW}, {"inner top", 10, 1, COLOR_BTNSHADOW},
        {"right", 89, 10, COLOR_3DDKSHADOW},    {"inner right", 88, 10, COLOR_BTNSHADOW},
    };
    const EdgeCase focused[] = {
        {"left", 0, 10, COLOR_3DDKSHADOW},        {"inner left", 1, 10, COLOR_BTNHIGHLIGHT},
        {"right", 89, 10, COLOR_3DDKSHADOW},      {"second right", 88, 10, COLOR_3DDKSHADOW},
        {"third right", 87, 10, COLOR_BTNSHADOW}, {"bottom", 10, 23, COLOR_3DDKSHADOW},
    };
    const struct {
        const char* look;
        UINT state;
        const EdgeCase* edges;
        size_t count;
    } looks[] = {
        {"normal", 0, normal, sizeof normal / sizeof normal[0]},
        {"pressed", ODS_SELECTED, pressed, sizeof pressed / sizeof pressed[0]},
        {"focused", ODS_FOCUS, focused, sizeof focused / sizeof focused[0]},
    };
    for (const auto& look : looks) {
        Canvas canvas(90, 24);
        Draw(canvas, look.state);
        for (size_t i = 0; i < look.count; ++i) {
            const EdgeCase& e = look.edges[i];
            EXPECT_EQ(canvas.At(e.x, e.y), GetSysColor(e.sysColour))
                << look.look << " " << e.label << ": " << Hex(canvas.At(e.x, e.y));
        }
    }
}

TEST_F(IconButtonTest, PressingMovesIconAndCaptionRightAndDown) {
    button_.SetButtonIcon(IDI_TEST_SMALL, 18, 18, 3);
    Canvas up(90, 24), down(90, 24);
    Draw(up, 0);
    Draw(down, ODS_SELECTED);
    // Icon at x = L + margin + 2, y = (B - height - T) / 2.
    RECT iconUp = up.BoundsOf(kMagenta), iconDown = down.BoundsOf(kMagenta);
    EXPECT_EQ(iconUp.left, 5);
    EXPECT_EQ(iconUp.top, 3);
    EXPECT_EQ(iconUp.right - iconUp.left, 18);
    EXPECT_EQ(iconDown.left, 6);
    EXPECT_EQ(iconDown.top, 4);
    // The caption's area loses 2 pixels at its left and top: centred in it,
    // the text moves by one.
    RECT textUp = CaptionBounds(up), textDown = CaptionBounds(down);
    ASSERT_GT(textUp.right, textUp.left) << "no caption drawn";
    EXPECT_EQ(textDown.left - textUp.left, 1);
    EXPECT_EQ(textDown.top - textUp.top, 1);
}

TEST_F(IconButtonTest, WithoutIconTheCaptionStillStartsAfterTheIconWidth) {
    Canvas withIcon(90, 24), noHeight(90, 24), noWidth(90, 24);
    button_.SetButtonIcon(IDI_TEST_SMALL, 18, 18, 3);
    Draw(withIcon, 0);
    button_.SetButtonIcon(IDI_TEST_SMALL, 18, 0, 3);
    Draw(noHeight, 0);
    button_.SetButtonIcon(0, 0, 18, 3);
    Draw(noWidth, 0);
    EXPECT_EQ(noHeight.BoundsOf(kMagenta).right, 0) << "no icon drawn with height 0";
    RECT a = CaptionBounds(withIcon), b = CaptionBounds(noHeight), c = CaptionBounds(noWidth);
    EXPECT_EQ(b.left, a.left) << "caption area starts at L + margin + width";
    EXPECT_LT(c.left, a.left) << "with width 0 the caption centres in a wider area";
}

TEST_F(IconButtonTest, FocusOnlyDrawingShowsJustTheFocusRectangle) {
    button_.SetButtonIcon(IDI_TEST_SMALL, 18, 18, 3);
    Canvas plain(90, 24), focus(90, 24);
    Draw(plain, ODS_FOCUS, ODA_FOCUS);
    EXPECT_EQ(plain.BoundsOf(kMagenta).right, 0) << "icon drawn for a focus change";
    Draw(focus, ODS_FOCUS, ODA_DRAWENTIRE);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int marked = 0;
    for (int x = 30; x < 80; ++x) {
        marked += plain.At(x, 4) != face ? 1 : 0;
    }
    EXPECT_GT(marked, 10) << "no focus rectangle 4 pixels inside";
    Canvas unfocused(90, 24);
    Draw(unfocused, 0, ODA_FOCUS);
    marked = 0;
    for (int x = 30; x < 80; ++x) {
        marked += unfocused.At(x, 4) != face ? 1 : 0;
    }
    EXPECT_EQ(marked, 0);
}

TEST_F(IconButtonTest, GainingAndLosingFocusRepaintsTheWindow) {
    ShowDialog();
    SetFocus(Item(IDC_TEST_LABEL));
    Pump();
    ValidateRect(Dialog(), nullptr);
    SetFocus(button_.Hwnd());
    ASSERT_EQ(GetFocus(), button_.Hwnd());
    EXPECT_TRUE(GetUpdateRect(Dialog(), nullptr, FALSE)) << "not repainted on focus";
    Pump();
    ValidateRect(Dialog(), nullptr);
    SetFocus(Item(IDC_TEST_LABEL));
    EXPECT_TRUE(GetUpdateRect(Dialog(), nullptr, FALSE)) << "not repainted on losing focus";
}

} // namespace
