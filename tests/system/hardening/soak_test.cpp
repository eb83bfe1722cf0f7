// A shortened soak: a Detail window and a progress meter against the
// simulated printer and a stream of jobs. The process's handles, private
// memory and GDI and USER objects must not grow with the number of ticks.
#include <gtest/gtest.h>

#include "kit_install.h"
#include "soak_session.h"
#include "test_support.h"

namespace hardening {
namespace {

// Warm-up ticks before the first figures: pictures, texts and the tips
// list are loaded once, on first use.
constexpr int kWarmUpStatusTicks = 200;
constexpr int kWarmUpProgressTicks = 80;
constexpr int kStatusTicks = 1000;
constexpr int kProgressTicks = 400;

// What "flat" allows: a few objects, and memory that the allocator may keep
// around, far below what one leaked object per tick would cost.
constexpr long kHandleSlack = 8;
constexpr long kObjectSlack = 4;
constexpr long long kPrivateSlackBytes = 1024 * 1024;

class SoakTest : public krxtest::CleanRegistryTest {};

TEST_F(SoakTest, ResourcesStayFlatOverManyTicks) {
    SoakSession session;
    std::string error;
    ASSERT_TRUE(session.Open(&error)) << error;
    ASSERT_TRUE(session.StatusTicks(kWarmUpStatusTicks));
    ASSERT_TRUE(session.ProgressTicks(kWarmUpProgressTicks));
    const ResourceCounts start = MeasureResources();

    // Interleaved, as the two windows' timers would be.
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(session.StatusTicks(kStatusTicks / 10)) << "round " << round;
        ASSERT_TRUE(session.ProgressTicks(kProgressTicks / 10)) << "round " << round;
    }
    const ResourceCounts end = MeasureResources();
    EXPECT_TRUE(session.DetailOpen());
    EXPECT_TRUE(session.MeterOpen());

    const std::string figures = "start: " + Describe(start) + "; end: " + Describe(end);
    EXPECT_LE(static_cast<long>(end.handles) - static_cast<long>(start.handles), kHandleSlack)
        << figures;
    EXPECT_LE(static_cast<long>(end.gdiObjects) - static_cast<long>(start.gdiObjects), kObjectSlack)
        << figures;
    EXPECT_LE(static_cast<long>(end.userObjects) - static_cast<long>(start.userObjects),
              kObjectSlack)
        << figures;
    EXPECT_LE(static_cast<long long>(end.privateBytes) - static_cast<long long>(start.privateBytes),
              kPrivateSlackBytes)
        << figures;
    std::printf("soak (%d + %d ticks) %s\n", kStatusTicks, kProgressTicks, figures.c_str());
    // Whether the utility is usable is asked once per window, not at every
    // ink trouble shown.
    std::printf("ink-replacement utility loaded %d times\n", session.UtilityLoads());
    EXPECT_LE(session.UtilityLoads(), 2) << "utility loads";
    EXPECT_TRUE(session.CloseAndCheckLibraries())
        << "the windows kept the ink-replacement utility loaded";
}

} // namespace
} // namespace hardening
