// Shared pieces of the job-monitoring tests: a spooler that knows the jobs a
// test says it knows (Wine's spooler cannot report a job's data type or the
// jobs of another process), the simulated port's script and call log, and
// waiting for a condition a worker thread brings about.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "jobs/job_monitor.h"
#include "sim_port_script.h"
#include "spooler_jobs.h"
#include "test_support.h"

namespace jobstest {

// Polls every millisecond until the condition holds; false after the timeout.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// Intervals short enough for many cycles per test.
krx::JobMonitorSettings FastSettings(const std::string& pipeName = krx::pm::kPipeName);

// Clean registry, an empty port script with a call log, and the fake spooler.
class JobsTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string CallLog() const;
    int CountInLog(const std::string& text) const;
    static kit::SimPortJob Job(int spoolerId, int polls);

    std::string logPath_;
    krxtest::SpoolerJobs* spooler_ = nullptr;
};

constexpr char kSharedPrinter[] = "\\\\KITSERVER\\Kit Printer KX500";

} // namespace jobstest
