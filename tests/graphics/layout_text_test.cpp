// Progress meter layout in its four directions and the fitted label's
// cutting rule, single- and double-byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "graphics/fitted_text.h"
#include "graphics/meter_layout.h"

namespace {

using krx::MeterDirection;
using krx::MeterRect;

std::string Show(const MeterRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

struct MeterCase {
    const char* label;
    MeterDirection direction;
    MeterRect client;
    int32_t position, minimum, maximum;
    bool empty;
    MeterRect bar, rest;
};

TEST(MeterLayout, BarAndRestInEachDirection) {
    const MeterRect wide{0, 0, 101, 10};
    const MeterRect tall{0, 0, 10, 101};
    const MeterCase cases[] = {
        // p = 0 + 5 * 100 / 10 = 50, bar right edge 51.
        {"left to right, half",
         MeterDirection::LeftToRight,
         wide,
         5,
         0,
         10,
         false,
         {0, 0, 51, 10},
         {51, 0, 101, 10}},
        {"left to right, full",
         MeterDirection::LeftToRight,
         wide,
         10,
         0,
         10,
         false,
         {0, 0, 101, 10},
         {101, 0, 101, 10}},
        {"top to bottom, 3 of 10",
         MeterDirection::TopToBottom,
         tall,
         3,
         0,
         10,
         false,
         {0, 0, 10, 31},
         {0, 31, 10, 101}},
        // p = 100 + 4 * (0 - 100) / 4 = 0.
        {"right to left, full",
         MeterDirection::RightToLeft,
         wide,
         4,
         0,
         4,
         false,
         {0, 0, 101, 10},
         {0, 0, 0, 10}},
        // -100 / 3 truncates toward zero to -33: p = 67.
        {"right to left, a third",
         MeterDirection::RightToLeft,
         wide,
         1,
         0,
         3,
         false,
         {67, 0, 101, 10},
         {0, 0, 67, 10}},
        {"bottom to top, 3 of 4",
         MeterDirection::BottomToTop,
         tall,
         3,
         0,
         4,
         false,
         {0, 25, 10, 101},
         {0, 0, 10, 25}},
        {"bottom to top, a third",
         MeterDirection::BottomToTop,
         tall,
         1,
         0,
         3,
         false,
         {0, 67, 10, 101},
         {0, 0, 10, 67}},
        // The range need not start at 0; the client need not either.
        {"offset range and client",
         MeterDirection::LeftToRight,
         {20, 5, 121, 15},
         15,
         10,
         20,
         false,
         {20, 5, 71, 15},
         {71, 5, 121, 15}},
        // Past the maximum: not clamped, reaches beyond the far edge.
        {"past the maximum",
         MeterDirection::LeftToRight,
         wide,
         20,
         0,
         10,
         false,
         {0, 0, 201, 10},
         {201, 0, 101, 10}},
        {"at the minimum",
         MeterDirection::LeftToRight,
         wide,
         0,
         0,
         10,
         true,
         {0, 0, 1, 10},
         {1, 0, 101, 10}},
        {"below the minimum",
         MeterDirection::RightToLeft,
         wide,
         -5,
         0,
         10,
         true,
         {150, 0, 101, 10},
         {0, 0, 150, 10}},
        // min(position, maximum) <= minimum: a range upside down is empty.
        {"maximum below minimum",
         MeterDirection::LeftToRight,
         wide,
         5,
         10,
         0,
         true,
         {0, 0, 51, 10},
         {51, 0, 101, 10}},
    };
    for (const MeterCase& c : cases) {
        krx::MeterLayout l =
            krx::ComputeMeterLayout(c.client, c.direction, c.position, c.minimum, c.maximum);
        EXPECT_EQ(l.empty, c.empty) << c.label;
        EXPECT_EQ(Show(l.bar), Show(c.bar)) << c.label;
        EXPECT_EQ(Show(l.rest), Show(c.rest)) << c.label;
    }
}

TEST(MeterLayout, EmptyRangeAndHugeCountsDoNotFault) {
    // An empty range would divide by zero; it lays out as an empty meter.
    krx::MeterLayout l =
        krx::ComputeMeterLayout({0, 0, 101, 10}, MeterDirection::LeftToRight, 7, 5, 5);
    EXPECT_TRUE(l.empty);
    // Page counts near the 32-bit limit: the product must not overflow.
    l = krx::ComputeMeterLayout({0, 0, 1001, 10}, MeterDirection::LeftToRight, 1500000000, 0,
                                2000000000);
    EXPECT_FALSE(l.empty);
    EXPECT_EQ(l.bar.right, 751) << Show(l.bar);
}

// A proportional stand-in for a font: a dot is 1 pixel wide, any other
// byte 6 (so a double-byte character is 12).
long NarrowDots(const std::string& s) {
    long width = 0;
    for (char c : s) {
        width += c == '.' ? 1 : 6;
    }
    return width;
}
bool NoLeadBytes(unsigned char) {
    return false;
}
// Shift-JIS lead bytes, as a fixed table.
bool ShiftJisLead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

struct FitCase {
    const char* label;
    std::string text;
    long width;
    std::string shown;
};

TEST(FittedText, CutsFromTheEndUntilStrictlyNarrower) {
    // "Report.doc" measures 55.
    const FitCase cases[] = {
        {"fits", "Report.doc", 56, "Report.doc"},
        {"exactly as wide does not fit: loses one character", "Report.doc", 55, "Report.do..."},
        {"much too long", "Quarterly report.doc", 40, "Quarte..."},
        {"empty stays empty", "", 5, ""},
        {"too narrow for anything", "Report.doc", 3, "..."},
        {"zero width", "Report.doc", 0, "..."},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(krx::FitText(c.text, c.width, NarrowDots, NoLeadBytes), c.shown) << c.label;
    }
}

TEST(FittedText, NeverSplitsADoubleByteCharacter) {
    // "AB" then three double-byte characters (48 pixels in all); the last
    // one's trail byte is itself a lead-byte value (0x81), which only a scan
    // from the start tells apart.
    const std::string text = "AB\x82\xA0\x83\x40\x81\x81";
    const FitCase cases[] = {
        {"fits whole", text, 49, text},
        {"lead byte at the cut point", text, 48, "AB\x82\xA0\x83\x40..."},
        {"two characters cut", text, 39, "AB\x82\xA0..."},
        {"down to single bytes", text, 27, "AB..."},
        {"one byte left", text, 15, "A..."},
        {"nothing left", text, 9, "..."},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(krx::FitText(c.text, c.width, NarrowDots, ShiftJisLead), c.shown) << c.label;
    }
    // Byte by byte, the same width would have kept half a character.
    EXPECT_EQ(krx::FitText(text, 48, NarrowDots, NoLeadBytes), "AB\x82\xA0\x83\x40\x81...");
}

// The cut as the label made it before it had prefix widths: one
// measurement per character from the end.
std::string FitByMeasuringEachCut(const std::string& text, long width,
                                  const krx::TextMeasure& measure,
                                  const krx::LeadBytePredicate& isLead) {
    std::string shown = text;
    size_t cut = text.size();
    while (cut > 0) {
        if (measure(shown) < width) {
            break;
        }
        cut = krx::PreviousCharacterStart(text, cut, isLead);
        shown.assign(text, 0, cut);
        shown += "...";
    }
    return shown;
}

TEST(FittedText, PrefixWidthsGiveTheCutOfMeasuringEachOne) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    krx::TextMeasure measure = [dc](const std::string& s) -> long {
        SIZE extent{};
        GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &extent);
        return extent.cx;
    };
    krx::PrefixMeasure prefixes = [dc](const std::string& s, std::vector<long>* widths) {
        std::vector<INT> dx(2 * s.size() + 2, 0);
        SIZE extent{};
        if (!GetTextExtentExPointA(dc, s.c_str(), static_cast<int>(s.size()), 0, nullptr, dx.data(),
                                   &extent)) {
            return false;
        }
        widths->assign(dx.begin(), dx.begin() + static_cast<long>(s.size()));
        return true;
    };
    // Widths that do not match the font: the confirmation must catch them.
    krx::PrefixMeasure wrong = [](const std::string& s, std::vector<long>* widths) {
        widths->assign(s.size(), 3);
        return true;
    };
    std::mt19937 random(62);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int i = 0; i < 400; ++i) {
        const bool doubleByte = i % 2 == 1;
        const krx::LeadBytePredicate isLead =
            doubleByte ? krx::LeadBytePredicate(ShiftJisLead) : NoLeadBytes;
        std::string text;
        const int length = pick(4) == 0 ? 240 : pick(70);
        while (static_cast<int>(text.size()) < length) {
            if (doubleByte && pick(3) == 0) {
                text += static_cast<char>(0x81 + pick(0x1F));
                text += static_cast<char>(0x40 + pick(0xBC));
            } else {
                text += static_cast<char>(pick(5) == 0 ? '.' : 0x20 + pick(0x5F));
            }
        }
        const long width = pick(400);
        const std::string expected = FitByMeasuringEachCut(text, width, measure, isLead);
        EXPECT_EQ(krx::FitText(text, width, measure, isLead, prefixes), expected)
            << "text " << i << " width " << width << ": " << text;
        EXPECT_EQ(krx::FitText(text, width, measure, isLead, wrong), expected)
            << "text " << i << " width " << width << ": " << text;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(FittedText, PreviousCharacterFollowsTheCodePage) {
    const std::string text = "A\x81\x81\x81\x40Z";
    // Characters start at 0 (A), 1 (0x81 0x81), 3 (0x81 0x40), 5 (Z).
    EXPECT_EQ(krx::PreviousCharacterStart(text, 6, ShiftJisLead), 5u);
    EXPECT_EQ(krx::PreviousCharacterStart(text, 5, ShiftJisLead), 3u);
    EXPECT_EQ(krx::PreviousCharacterStart(text, 3, ShiftJisLead), 1u);
    EXPECT_EQ(krx::PreviousCharacterStart(text, 1, ShiftJisLead), 0u);
    EXPECT_EQ(krx::PreviousCharacterStart(text, 0, ShiftJisLead), 0u);
    // Single-byte code page: every byte is a character.
    EXPECT_EQ(krx::PreviousCharacterStart(text, 5, NoLeadBytes), 4u);
    // A lead byte cut off at the very end is a character of its own.
    EXPECT_EQ(krx::PreviousCharacterStart("AB\x82", 3, ShiftJisLead), 2u);
}

TEST(FittedText, SystemLeadBytesOfCodePage932AgreeWithTheTable) {
    CPINFO info;
    if (!GetCPInfo(932, &info)) {
        GTEST_SKIP() << "code page 932 is not installed";
    }
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != FALSE,
                  ShiftJisLead(static_cast<unsigned char>(b)))
            << "byte " << b;
    }
}

} // namespace
