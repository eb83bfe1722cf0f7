// Waiting and the jobs fixture.
#include "jobs_fixture.h"

#include <winspool.h>

#include <cstring>

#include "comm/spooler.h"

namespace jobstest {

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return condition();
        }
        Sleep(1);
    }
    return true;
}

krx::JobMonitorSettings FastSettings(const std::string& pipeName) {
    krx::JobMonitorSettings settings;
    settings.pollInterval = 2;
    settings.retryInterval = 1;
    settings.pipeName = pipeName;
    return settings;
}

void JobsTest::SetUp() {
    CleanRegistryTest::SetUp();
    kit::SimPort::Reset();
    logPath_ = kit::ExecutableFolder() + "simport_calls.log";
    DeleteFileA(logPath_.c_str());
    kit::SimPort::SetText("CallLog", logPath_);
    spooler_ = new krxtest::SpoolerJobs(krxtest::SpoolerJobs::Printers::Fake);
}

void JobsTest::TearDown() {
    delete spooler_;
    spooler_ = nullptr;
    kit::SimPort::Reset();
    DeleteFileA(logPath_.c_str());
    CleanRegistryTest::TearDown();
}

std::string JobsTest::CallLog() const {
    return kit::ReadTextFile(logPath_);
}

int JobsTest::CountInLog(const std::string& text) const {
    std::string log = CallLog();
    int count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++count;
    }
    return count;
}

kit::SimPortJob JobsTest::Job(int spoolerId, int polls) {
    kit::SimPortJob job;
    job.spoolerId = spoolerId;
    job.polls = polls;
    return job;
}

} // namespace jobstest
