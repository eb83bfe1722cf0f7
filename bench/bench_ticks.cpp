// Cost of one status tick (Detail window, the printer changing its state)
// and of one progress tick (meter following a stream of jobs), each posted
// to the window as its timer would be. Prints the mean of several rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "entry/module/module_state.h"
#include "soak_session.h"

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

constexpr int kRounds = 5;
constexpr int kTicksPerRound = 200;

template <typename F> double MedianMicroseconds(F ticks) {
    std::vector<double> rounds;
    for (int r = 0; r < kRounds; ++r) {
        const double start = Now();
        ticks(kTicksPerRound);
        rounds.push_back((Now() - start) * 1e6 / kTicksPerRound);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[kRounds / 2];
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
    const double status = MedianMicroseconds([&](int n) { session.StatusTicks(n); });
    const double progress = MedianMicroseconds([&](int n) { session.ProgressTicks(n); });
    std::printf("status tick (Detail window, library read, display): %.1f us\n", status);
    std::printf("progress tick (meter, job record, display): %.1f us\n", progress);
    return 0;
}
