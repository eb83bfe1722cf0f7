// The progress meter of a printer shared from a print server whose port
// monitor stops answering: once the job has left the spooler the meter
// closes and the window's export returns, well within 30 s.
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <string>

#include "base/registry/registry_paths.h"
#include "comm/spooler.h"
#include "jobs/port_monitor_rules.h"
#include "kit_install.h"
#include "sim_port_script.h"
#include "ui/status_window/window_exports.h"

#include "../ui/status_window/window_fixture.h"

namespace {

constexpr char kShared[] = "\\\\KITSERVER\\Kit Printer KX500";

// The shared printer is the kit's printer on this computer; its jobs are
// the ones the test says exist, spooled as EMF.
std::mutex g_lock;
std::set<DWORD> g_jobs;

BOOL WINAPI OpenShared(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA defaults) {
    std::string local =
        name != nullptr && std::string(name) == kShared ? kit::kPrinterName : std::string(name);
    return krx::DefaultSpooler().openPrinter(&local[0], handle, defaults);
}

BOOL WINAPI KnownEmfJobs(HANDLE, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                         LPDWORD needed) {
    std::lock_guard<std::mutex> hold(g_lock);
    static char emf[] = "NT EMF 1.008";
    *needed = 0;
    if (g_jobs.count(jobId) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *needed = sizeof(JOB_INFO_2A);
    if (buffer == nullptr || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(buffer, 0, *needed);
    if (level == 2) {
        reinterpret_cast<JOB_INFO_2A*>(buffer)->pDatatype = emf;
    }
    return TRUE;
}

class MeterRpcTest : public windowtest::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Install(true);
        // A meter that follows the job only: the printer's own state would
        // switch it to another view.
        krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "ERR_OSVERNOTSUPPORT", 1);
        kit::SimPort::Reset();
        log_ = kit::ExecutableFolder() + "meter_rpc_calls.log";
        DeleteFileA(log_.c_str());
        kit::SimPort::SetText("CallLog", log_);
        krx::Spooler().openPrinter = OpenShared;
        krx::Spooler().getJob = KnownEmfJobs;
        // The product's own pipe: the meter's job monitor knows no other.
        server_.reset(new kit::PortMonitorServer(krx::pm::kPipeName));
        ASSERT_TRUE(server_->Start());
    }
    void TearDown() override {
        server_.reset();
        krx::Spooler() = krx::DefaultSpooler();
        kit::SimPort::Reset();
        DeleteFileA(log_.c_str());
        WindowTest::TearDown();
    }
    std::string Log() const { return kit::ReadTextFile(log_); }

    std::string log_;
    std::unique_ptr<kit::PortMonitorServer> server_;
};

TEST_F(MeterRpcTest, HungServerLetsTheMeterCloseOnceItsJobLeft) {
    kit::SimPortJob job;
    job.spoolerId = 61;
    job.polls = 1000000;
    kit::SimPort::AddJob(job);
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_jobs.insert(61);
    }
    windowtest::WindowCall call([&] {
        return krx::StartMonitorWindow(krx::kViewProgress, kShared, kit::kPortName, kit::kModelName,
                                       modelFile_.c_str(), resources_.c_str(), 61);
    });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd);
    // Shown once the job's progress came over the server.
    DWORD start = GetTickCount();
    while (!IsWindowVisible(hwnd) && GetTickCount() - start < 10000) {
        Sleep(20);
    }
    ASSERT_TRUE(IsWindowVisible(hwnd)) << Log();

    kit::SimPort::SetText("HangInCall", "GetJobProperty");
    start = GetTickCount();
    while (Log().find("rpc GetJobProperty: hangs") == std::string::npos &&
           GetTickCount() - start < 10000) {
        Sleep(20);
    }
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_jobs.clear();
    }
    start = GetTickCount();
    EXPECT_EQ(0, call.Wait(40000)) << Log();
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 30000u);
    printf("meter export returned %lu ms after its job left (server hung)\n",
           static_cast<unsigned long>(took));
}

} // namespace
