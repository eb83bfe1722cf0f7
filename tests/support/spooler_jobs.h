// The spooler as the tests need it: the spooler of a test process knows only
// its own jobs (and Wine's cannot report a job's data type), so the product's
// spooler seam is pointed here for the life of the object, and the previous
// entries are put back when it goes.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "comm/spooler.h"

namespace krxtest {

class SpoolerJobs {
  public:
    enum class Printers {
        Real, // the spooler's own printers are opened; only job look-ups are answered here
        Fake, // opening and closing printers are answered here too (any name opens)
    };
    explicit SpoolerJobs(Printers printers = Printers::Real);
    ~SpoolerJobs();
    SpoolerJobs(const SpoolerJobs&) = delete;
    SpoolerJobs& operator=(const SpoolerJobs&) = delete;

    void Know(int jobId);
    void Forget(int jobId);
    // Every job id is known from now on.
    void KnowEvery();
    void SetDataType(const std::string& dataType); // reported by a fake printer
    void SetOpenFails(bool fails);                 // of a fake printer
    int OpenCount();
    std::string LastOpenedName();

  private:
    static BOOL WINAPI OpenPrinter(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA defaults);
    static BOOL WINAPI GetJob(HANDLE printer, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                              LPDWORD needed);
    static BOOL WINAPI ClosePrinter(HANDLE printer);

    krx::SpoolerApi previous_;
    Printers printers_;
    CRITICAL_SECTION lock_;
    std::set<int> jobs_;
    bool every_ = false;
    std::string dataType_ = "RAW";
    bool openFails_ = false;
    int opens_ = 0;
    std::string lastName_;
};

} // namespace krxtest
