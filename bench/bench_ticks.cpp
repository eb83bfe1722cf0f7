// Cost of one status tick (Detail window, the printer changing its state)
// and of one progress tick (meter following a stream of jobs), each posted
// to the window as its timer would be, against the floor of a timer message
// the window ignores. Every batch is followed by a posted sentinel, so the
// wait covers the ticks themselves.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_stats.h"
#include "entry/module/module_state.h"
#include "hardening_support.h"
#include "soak_session.h"

namespace {

constexpr int kTicksPerRun = 200;
// A timer id neither window uses: the message reaches the window procedure
// and is dropped there.
constexpr UINT_PTR kIgnoredTimer = 0x7A11;

template <typename F> bench::Figure MicrosecondsPerTick(F ticks) {
    return bench::Runs([&] {
        const double start = bench::Now();
        ticks(kTicksPerRun);
        return (bench::Now() - start) * 1e6 / kTicksPerRun;
    });
}

} // namespace

int main() {
    krx::InitializeModuleState();
    std::string error;
    hardening::SoakSession session;
    if (!session.Open(&error)) {
        std::printf("ticks: %s\n", error.c_str());
        return 1;
    }
    session.StatusTicks(100);
    session.ProgressTicks(40);
    const bench::Figure ignored = MicrosecondsPerTick(
        [&](int n) { hardening::PostTicks(session.Detail(), kIgnoredTimer, n); });
    const bench::Figure status = MicrosecondsPerTick([&](int n) { session.StatusTicks(n); });
    const bench::Figure progress = MicrosecondsPerTick([&](int n) { session.ProgressTicks(n); });
    bench::Print("status tick (Detail window, library read, display)", status, "(ignored timer)",
                 ignored, "us");
    bench::Print("progress tick (meter, job record, display)", progress, "(ignored timer)", ignored,
                 "us");
    return 0;
}
