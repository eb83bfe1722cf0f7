// Soak of the monitoring windows: a Detail window and a progress meter open
// against the simulated printer and a stream of jobs for 5,000 status ticks
// and 2,000 progress ticks. Prints the process's handles, private memory and
// GDI and USER objects after the warm-up and at the end, and the ratio of
// each count at the end to its count after the warm-up (its floor).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/module/module_state.h"
#include "kit_install.h"
#include "soak_session.h"

int main(int argc, char** argv) {
    const int statusTicks = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int progressTicks = argc > 2 ? std::atoi(argv[2]) : 2000;
    krx::InitializeModuleState();
    std::string error;
    hardening::SoakSession session;
    const bool withMeter = !(argc > 3 && std::string(argv[3]) == "nometer");
    if (!session.Open(&error, withMeter)) {
        std::printf("soak: %s\n", error.c_str());
        return 1;
    }
    // Warm-up: pictures, texts and tips are loaded on first use.
    session.StatusTicks(200);
    if (withMeter) {
        session.ProgressTicks(80);
    }
    const hardening::ResourceCounts start = hardening::MeasureResources();
    std::printf("soak handle kinds at the start: %s\n", hardening::DescribeHandleKinds().c_str());
    const DWORD began = GetTickCount();
    const int rounds = 50;
    for (int round = 0; round < rounds; ++round) {
        // Without a meter there is nothing to take the progress ticks.
        if (!session.StatusTicks(statusTicks / rounds) ||
            (withMeter && !session.ProgressTicks(progressTicks / rounds))) {
            std::printf("soak: a window went away in round %d\n", round);
            return 1;
        }
        if (round == rounds / 2) {
            std::printf("soak middle: %s\n",
                        hardening::Describe(hardening::MeasureResources()).c_str());
        }
    }
    const hardening::ResourceCounts end = hardening::MeasureResources();
    std::printf("soak: %d status ticks, %d progress ticks in %lu ms\n", statusTicks,
                withMeter ? progressTicks : 0, static_cast<unsigned long>(GetTickCount() - began));
    std::printf("soak start: %s\n", hardening::Describe(start).c_str());
    std::printf("soak end:   %s\n", hardening::Describe(end).c_str());
    auto ratio = [](double end, double start) { return start > 0 ? end / start : 0.0; };
    std::printf(
        "soak end / start (the floor is the count after the warm-up): handles %.2f, "
        "private %.2f, GDI %.2f, USER %.2f\n",
        ratio(end.handles, start.handles),
        ratio(static_cast<double>(end.privateBytes), static_cast<double>(start.privateBytes)),
        ratio(end.gdiObjects, start.gdiObjects), ratio(end.userObjects, start.userObjects));
    std::printf("soak handle kinds at the end: %s\n", hardening::DescribeHandleKinds().c_str());
    std::printf("soak windows still open: detail %d, meter %d\n", session.DetailOpen() ? 1 : 0,
                session.MeterOpen() ? 1 : 0);
    return 0;
}
