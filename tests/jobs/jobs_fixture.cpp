// Fake spooler, waiting and the jobs fixture.
#include "jobs_fixture.h"

#include <winspool.h>

#include <cstring>

#include "comm/spooler.h"

namespace jobstest {

namespace {
FakeSpooler* g_spooler = nullptr; // the one installed in the seam
HANDLE const kFakePrinter = reinterpret_cast<HANDLE>(0x5150);

class Hold {
  public:
    explicit Hold(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
    ~Hold() { LeaveCriticalSection(cs_); }

  private:
    CRITICAL_SECTION* cs_;
};
} // namespace

FakeSpooler::FakeSpooler() {
    InitializeCriticalSection(&lock_);
    g_spooler = this;
    krx::Spooler().openPrinter = OpenPrinter;
    krx::Spooler().getJob = GetJob;
    krx::Spooler().closePrinter = ClosePrinter;
}

FakeSpooler::~FakeSpooler() {
    krx::Spooler() = krx::DefaultSpooler();
    g_spooler = nullptr;
    DeleteCriticalSection(&lock_);
}

void FakeSpooler::Know(int jobId) {
    Hold hold(&lock_);
    jobs_.insert(jobId);
}

void FakeSpooler::Forget(int jobId) {
    Hold hold(&lock_);
    jobs_.erase(jobId);
}

void FakeSpooler::SetDataType(const std::string& dataType) {
    Hold hold(&lock_);
    dataType_ = dataType;
}

void FakeSpooler::SetOpenFails(bool fails) {
    Hold hold(&lock_);
    openFails_ = fails;
}

int FakeSpooler::OpenCount() {
    Hold hold(&lock_);
    return opens_;
}

std::string FakeSpooler::LastOpenedName() {
    Hold hold(&lock_);
    return lastName_;
}

BOOL WINAPI FakeSpooler::OpenPrinter(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA) {
    Hold hold(&g_spooler->lock_);
    ++g_spooler->opens_;
    g_spooler->lastName_ = name != nullptr ? name : "(null)";
    if (g_spooler->openFails_) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    *handle = kFakePrinter;
    return TRUE;
}

BOOL WINAPI FakeSpooler::GetJob(HANDLE printer, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                                LPDWORD needed) {
    Hold hold(&g_spooler->lock_);
    *needed = 0;
    if (printer != kFakePrinter || g_spooler->jobs_.count(static_cast<int>(jobId)) == 0 ||
        (level != 1 && level != 2)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string& type = g_spooler->dataType_;
    DWORD fixed = level == 1 ? sizeof(JOB_INFO_1A) : sizeof(JOB_INFO_2A);
    *needed = fixed + static_cast<DWORD>(type.size()) + 1;
    if (buffer == nullptr || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(buffer, 0, *needed);
    char* text = reinterpret_cast<char*>(buffer + fixed);
    memcpy(text, type.c_str(), type.size() + 1);
    if (level == 1) {
        auto* info = reinterpret_cast<JOB_INFO_1A*>(buffer);
        info->JobId = jobId;
        info->pDatatype = text;
    } else {
        auto* info = reinterpret_cast<JOB_INFO_2A*>(buffer);
        info->JobId = jobId;
        info->pDatatype = text;
    }
    return TRUE;
}

BOOL WINAPI FakeSpooler::ClosePrinter(HANDLE printer) {
    return printer == kFakePrinter;
}

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
    spooler_ = new FakeSpooler;
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
