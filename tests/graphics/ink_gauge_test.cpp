// The ink library: loading it provides the gauge class of items 314 and 315,
// which follows the status window's commands; unloading takes it away.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "graphics_window.h"
#include "common/resource_ids.h"

namespace {

using graphicstest::Canvas;
using graphicstest::Hex;
using graphicstest::Px;

constexpr int kWidth = 160, kHeight = 32;
// Tanks of 22 pixels with 6 between, from the left; marks over the top 10.
int BarCentre(int i) {
    return i * 28 + 11;
}
constexpr int kMarkY = 6;

class InkGaugeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ink_ = LoadLibraryA("kitink.dll");
        ASSERT_NE(ink_, nullptr) << GetLastError();
        gauge_ = CreateWindowExA(0, KRX_INK_GAUGE_CLASS, "", WS_POPUP, 0, 0, kWidth, kHeight,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(gauge_, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (gauge_ != nullptr) {
            DestroyWindow(gauge_);
        }
        if (ink_ != nullptr) {
            FreeLibrary(ink_);
        }
    }
    LRESULT Command(WPARAM command, LPARAM parameter) {
        return SendMessageA(gauge_, KRX_INK_MESSAGE, command, parameter);
    }
    // Level shown by bar i: the share of its inside that is not white.
    int LevelOf(const Canvas& canvas, int i) {
        int filled = 0, inside = 0;
        for (int y = 13; y < kHeight - 1; ++y, ++inside) {
            filled += canvas.At(BarCentre(i), y) != RGB(255, 255, 255) ? 1 : 0;
        }
        return filled * 100 / inside;
    }
    HMODULE ink_ = nullptr;
    HWND gauge_ = nullptr;
};

TEST_F(InkGaugeTest, BlackGaugeShowsItsLevelAndMarks) {
    ASSERT_EQ(Command(KRX_INK_BLACK_INIT, 6), 1);
    LONG block[7] = {6, 50, 0, 0, 0, 0, 0};
    ASSERT_EQ(Command(KRX_INK_BLACK_LEVELS, reinterpret_cast<LPARAM>(block)), 1);
    Canvas canvas(kWidth, kHeight);
    canvas.PrintClient(gauge_);
    EXPECT_NEAR(LevelOf(canvas, 0), 50, 6);
    EXPECT_EQ(canvas.At(BarCentre(0), kHeight - 3), RGB(0x1d, 0x1f, 0x23))
        << Hex(canvas.At(BarCentre(0), kHeight - 3));
    EXPECT_EQ(canvas.At(BarCentre(1), kHeight - 3), GetSysColor(COLOR_BTNFACE)) << "one bar only";
    EXPECT_EQ(canvas.At(BarCentre(0), kMarkY), GetSysColor(COLOR_BTNFACE)) << "no mark yet";

    ASSERT_EQ(Command(KRX_INK_BLACK_LOW, 0), 1);
    canvas.PrintClient(gauge_);
    EXPECT_EQ(canvas.At(BarCentre(0) + 3, kMarkY + 2), RGB(0xff, 0xcc, 0x00))
        << "low mark " << Hex(canvas.At(BarCentre(0) + 3, kMarkY + 2));
    ASSERT_EQ(Command(KRX_INK_BLACK_EMPTY, 0), 1);
    canvas.PrintClient(gauge_);
    EXPECT_EQ(canvas.At(BarCentre(0) - 3, kMarkY), RGB(0xe0, 0x26, 0x2b))
        << "empty mark " << Hex(canvas.At(BarCentre(0) - 3, kMarkY));

    // New levels clear the mark; levels above 100 show as full.
    block[1] = 150;
    Command(KRX_INK_BLACK_LEVELS, reinterpret_cast<LPARAM>(block));
    canvas.PrintClient(gauge_);
    EXPECT_EQ(LevelOf(canvas, 0), 100);
    EXPECT_EQ(canvas.At(BarCentre(0) - 3, kMarkY), GetSysColor(COLOR_BTNFACE));
}

TEST_F(InkGaugeTest, ColourGaugeTakesFiveLevelsInItsOwnOrder) {
    ASSERT_EQ(Command(KRX_INK_COLOR_INIT, 6), 1);
    // {count, black, then the bars: cyan, light cyan, magenta, light magenta, yellow}
    LONG block[7] = {6, 77, 100, 80, 60, 40, 20};
    ASSERT_EQ(Command(KRX_INK_COLOR_LEVELS, reinterpret_cast<LPARAM>(block)), 1);
    Canvas canvas(kWidth, kHeight);
    canvas.PrintClient(gauge_);
    const COLORREF inks[5] = {RGB(0x14, 0xa3, 0xdc), RGB(0x8f, 0xd6, 0xf3), RGB(0xd4, 0x18, 0x7a),
                              RGB(0xf3, 0x9c, 0xc9), RGB(0xf4, 0xcf, 0x16)};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(canvas.At(BarCentre(i), kHeight - 3), inks[i])
            << "bar " << i << ": " << Hex(canvas.At(BarCentre(i), kHeight - 3));
        EXPECT_NEAR(LevelOf(canvas, i), block[2 + i], 6) << "bar " << i;
    }
    // A low mark stands over the bar with the least ink only.
    ASSERT_EQ(Command(KRX_INK_COLOR_LOW, 0), 1);
    canvas.PrintClient(gauge_);
    for (int i = 0; i < 5; ++i) {
        bool marked = canvas.At(BarCentre(i) + 3, kMarkY + 2) == RGB(0xff, 0xcc, 0x00);
        EXPECT_EQ(marked, i == 4) << "bar " << i;
    }
}

// Tanks of 22 pixels with 6 between at 96 DPI, grown by the DPI above it.
TEST(InkGaugeDpi, TanksGrowWithTheDpi) {
    HMODULE ink = LoadLibraryA("kitink.dll");
    ASSERT_NE(ink, nullptr) << GetLastError();
    const int width = Px(kWidth), height = Px(40);
    HWND gauge = CreateWindowExA(0, KRX_INK_GAUGE_CLASS, "", WS_POPUP, 0, 0, width, height, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(gauge, nullptr) << GetLastError();
    SendMessageA(gauge, KRX_INK_MESSAGE, KRX_INK_COLOR_INIT, 6);
    LONG block[7] = {6, 0, 100, 100, 100, 100, 100};
    SendMessageA(gauge, KRX_INK_MESSAGE, KRX_INK_COLOR_LEVELS, reinterpret_cast<LPARAM>(block));
    Canvas canvas(width, height);
    canvas.PrintClient(gauge);
    // Runs of tank (anything but the face) along a row near the bottom.
    std::vector<std::pair<int, int>> tanks; // first column, width
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int x = 0; x < width; ++x) {
        if (canvas.At(x, height - 3) == face) {
            continue;
        }
        if (tanks.empty() || tanks.back().first + tanks.back().second != x) {
            tanks.push_back({x, 0});
        }
        ++tanks.back().second;
    }
    DestroyWindow(gauge);
    FreeLibrary(ink);
    ASSERT_EQ(tanks.size(), 5u);
    for (size_t i = 0; i < tanks.size(); ++i) {
        EXPECT_EQ(tanks[i].second, Px(22)) << "tank " << i;
        EXPECT_EQ(tanks[i].first, static_cast<int>(i) * (Px(22) + Px(6))) << "tank " << i;
    }
}

TEST_F(InkGaugeTest, DisabledGaugeShowsNoLevels) {
    Command(KRX_INK_COLOR_INIT, 6);
    LONG block[7] = {6, 0, 90, 90, 90, 90, 90};
    Command(KRX_INK_COLOR_LEVELS, reinterpret_cast<LPARAM>(block));
    EnableWindow(gauge_, FALSE);
    Canvas canvas(kWidth, kHeight);
    canvas.PrintClient(gauge_);
    EXPECT_EQ(canvas.At(BarCentre(0), kHeight - 3), GetSysColor(COLOR_BTNFACE))
        << Hex(canvas.At(BarCentre(0), kHeight - 3));
}

TEST_F(InkGaugeTest, UnknownCommandsAndMissingBlocksAreRefused) {
    Command(KRX_INK_BLACK_INIT, 6);
    EXPECT_EQ(Command(KRX_INK_BLACK_LEVELS, 0), 0);
    EXPECT_EQ(Command(KRX_INK_COLOR_LEVELS, 0), 0);
    LONG wrongCount[7] = {4, 50, 0, 0, 0, 0, 0};
    EXPECT_EQ(Command(KRX_INK_BLACK_LEVELS, reinterpret_cast<LPARAM>(wrongCount)), 0);
    EXPECT_EQ(Command(4, 0), 0);
    EXPECT_EQ(Command(9, 0), 0);
}

TEST(InkLibrary, ClassExistsOnlyWhileTheLibraryIsLoaded) {
    WNDCLASSA info;
    HMODULE ink = LoadLibraryA("kitink.dll");
    ASSERT_NE(ink, nullptr);
    EXPECT_TRUE(GetClassInfoA(ink, KRX_INK_GAUGE_CLASS, &info));
    // Global: a template of another module (the language library) finds it.
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), KRX_INK_GAUGE_CLASS, &info));
    FreeLibrary(ink);
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), KRX_INK_GAUGE_CLASS, &info));
}

} // namespace
