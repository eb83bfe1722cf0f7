#include "spooler_jobs.h"

#include <winspool.h>

#include <cstring>

namespace krxtest {

namespace {

SpoolerJobs* g_spooler = nullptr; // the one installed in the seam
HANDLE const kFakePrinter = reinterpret_cast<HANDLE>(0x5150);

class Hold {
  public:
    explicit Hold(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
    ~Hold() { LeaveCriticalSection(cs_); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

  private:
    CRITICAL_SECTION* cs_;
};

} // namespace

SpoolerJobs::SpoolerJobs(Printers printers) : previous_(krx::Spooler()), printers_(printers) {
    InitializeCriticalSection(&lock_);
    g_spooler = this;
    krx::Spooler().getJob = GetJob;
    if (printers_ == Printers::Fake) {
        krx::Spooler().openPrinter = OpenPrinter;
        krx::Spooler().closePrinter = ClosePrinter;
    }
}

SpoolerJobs::~SpoolerJobs() {
    krx::Spooler() = previous_;
    g_spooler = nullptr;
    DeleteCriticalSection(&lock_);
}

void SpoolerJobs::Know(int jobId) {
    Hold hold(&lock_);
    jobs_.insert(jobId);
}

void SpoolerJobs::Forget(int jobId) {
    Hold hold(&lock_);
    jobs_.erase(jobId);
}

void SpoolerJobs::KnowEvery() {
    Hold hold(&lock_);
    every_ = true;
}

void SpoolerJobs::SetDataType(const std::string& dataType) {
    Hold hold(&lock_);
    dataType_ = dataType;
}

void SpoolerJobs::SetOpenFails(bool fails) {
    Hold hold(&lock_);
    openFails_ = fails;
}

int SpoolerJobs::OpenCount() {
    Hold hold(&lock_);
    return opens_;
}

std::string SpoolerJobs::LastOpenedName() {
    Hold hold(&lock_);
    return lastName_;
}

BOOL WINAPI SpoolerJobs::OpenPrinter(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA) {
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

BOOL WINAPI SpoolerJobs::GetJob(HANDLE printer, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                                LPDWORD needed) {
    Hold hold(&g_spooler->lock_);
    const bool known = g_spooler->every_ || g_spooler->jobs_.count(static_cast<int>(jobId)) != 0;
    if (needed != nullptr) {
        *needed = 0;
    }
    if (!known || (g_spooler->printers_ == Printers::Fake &&
                   (printer != kFakePrinter || (level != 1 && level != 2)))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (g_spooler->printers_ == Printers::Real) {
        // A real printer's job: its size is all a look-up asks for.
        if (needed != nullptr) {
            *needed = 64;
        }
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const std::string& type = g_spooler->dataType_;
    const DWORD fixed = level == 1 ? sizeof(JOB_INFO_1A) : sizeof(JOB_INFO_2A);
    const DWORD total = fixed + static_cast<DWORD>(type.size()) + 1;
    if (needed != nullptr) {
        *needed = total;
    }
    if (buffer == nullptr || size < total) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(buffer, 0, total);
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

BOOL WINAPI SpoolerJobs::ClosePrinter(HANDLE printer) {
    return printer == kFakePrinter;
}

} // namespace krxtest
