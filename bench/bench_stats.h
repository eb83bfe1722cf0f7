// Figures of the benchmarks: each is taken over several runs and printed as
// its minimum and median beside the floor it is measured against and the
// ratio of the two medians.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

constexpr int kRuns = 5;

inline double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Figure {
    double min = 0;
    double median = 0;
};

inline Figure Summarise(std::vector<double> samples) {
    Figure f;
    if (samples.empty()) {
        return f;
    }
    std::sort(samples.begin(), samples.end());
    f.min = samples.front();
    f.median = samples[samples.size() / 2];
    return f;
}

// Runs `once` kRuns times; each run returns its own figure.
template <typename F> Figure Runs(F once) {
    std::vector<double> samples;
    for (int r = 0; r < kRuns; ++r) {
        samples.push_back(once());
    }
    return Summarise(samples);
}

// "label: min / median unit | floor (what): min / median unit | ratio r"
inline void Print(const char* label, const Figure& figure, const char* floorLabel,
                  const Figure& floor, const char* unit) {
    const double ratio = floor.median > 0 ? figure.median / floor.median : 0;
    std::printf("%-52s min %9.3f med %9.3f %s | floor %-34s min %9.3f med %9.3f %s | ratio %6.2f\n",
                label, figure.min, figure.median, unit, floorLabel, floor.min, floor.median, unit,
                ratio);
}

// Runs this program again with the arguments and returns what it printed.
inline std::string RunSelf(const std::string& arguments) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" " + arguments;
    std::string output;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
        return output;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    const BOOL started =
        CreateProcessA(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            output.append(buffer, got);
        }
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

} // namespace bench
