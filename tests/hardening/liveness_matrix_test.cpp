// Liveness of the window exports, whatever the port monitor and the spooler
// do. Each row is a state of the outside world; each column a window export
// that ends up waiting for a print job: the progress meter opened for the
// job, and a Detail window that was announced the job and then closed (it
// goes on as a hidden meter). For every cell the export must stay open while
// the spooler holds the job, return within its bound once the job has left
// the spooler, and meanwhile open the port at most about once a second.
// The jobs are real jobs of Wine's spooler in this process, ended with
// EndDocPrinter as a host's print job ends. The rows of a printer shared
// from a print server run the window in this process (the spooler must say
// the job is spooled as EMF, which Wine's cannot): the server is the kit's
// RPC stand-in, gone, holding its pipe busy, never answering the bind, or
// slow.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "jobs/job_monitor.h"
#include "ui/status_window/monitor_session.h"
#include "hardening_support.h"
#include "kit_install.h"
#include "krxstat.h"
#include "sim_port_script.h"
#include "test_support.h"

namespace hardening {
namespace {

// How long a cell keeps its job in the spooler before ending it.
constexpr DWORD kJobLifeMs = 3000;
// The bound within which an export returns once its job has left the
// spooler: a look at the spooler (1 s), the progress tick that shows the
// ended job complete and the one that closes (2 s each), and the host's
// slack.
constexpr DWORD kReturnBoundMs = 7000;
// Port openings allowed per second while the job waits (one a period).
constexpr double kMaxOpensPerSecond = 1.5;
// Port-monitor calls (one call-log line each) and spooler calls allowed per
// second while the job lives: a followed job costs about seven calls a
// period, a failing read ten quick retries before it goes to once a period.
constexpr double kMaxPortMonitorCallsPerSecond = 30;
constexpr double kMaxSpoolerCallsPerSecond = 10;
constexpr int kNeverKnownJob = 4242;

// The network-status library beside the plug-in moved away for the life of
// the object, optionally replaced by a file that is no library.
class NetworkLibraryAway {
  public:
    explicit NetworkLibraryAway(bool replaceWithJunk)
        : path_(kit::ExecutableFolder() + "nvnetq10.dll"), away_(path_ + ".away") {
        moved_ = MoveFileExA(path_.c_str(), away_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        if (moved_ && replaceWithJunk) {
            HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                DWORD written = 0;
                WriteFile(file, "not a library", 13, &written, nullptr);
                CloseHandle(file);
            }
        }
    }
    ~NetworkLibraryAway() {
        if (moved_) {
            DeleteFileA(path_.c_str());
            MoveFileExA(away_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    NetworkLibraryAway(const NetworkLibraryAway&) = delete;
    NetworkLibraryAway& operator=(const NetworkLibraryAway&) = delete;
    bool Moved() const { return moved_; }

  private:
    std::string path_;
    std::string away_;
    bool moved_ = false;
};

enum class Library { kPresent, kMissing, kJunk };
enum class SpoolerJobLife { kLives, kGoneBeforeTheCall, kNeverKnown };

struct LivenessRow {
    const char* label;
    Library library;
    SpoolerJobLife job;
    // Scripts the simulated port; gets the spooler's id of the job.
    std::function<void(int jobId)> port;
};

kit::SimPortJob PortJob(int spoolerId) {
    kit::SimPortJob job;
    job.spoolerId = spoolerId;
    job.polls = 1000000; // the port prints it for as long as the test runs
    return job;
}

std::vector<LivenessRow> Rows() {
    auto none = [](int) {};
    return {
        {"network-status library missing", Library::kMissing, SpoolerJobLife::kLives, none},
        {"network-status library fails to load", Library::kJunk, SpoolerJobLife::kLives, none},
        {"port does not open", Library::kPresent, SpoolerJobLife::kLives,
         [](int) { kit::SimPort::SetNumber("OpenPortResult", 0); }},
        {"port idle at once", Library::kPresent, SpoolerJobLife::kLives,
         [](int) { kit::SimPort::SetNumber("PortInactive", 1); }},
        {"port busy with a foreign job", Library::kPresent, SpoolerJobLife::kLives,
         [](int) { kit::SimPort::AddJob(PortJob(99)); }},
        {"job followed, then gone from the spooler", Library::kPresent, SpoolerJobLife::kLives,
         [](int jobId) { kit::SimPort::AddJob(PortJob(jobId)); }},
        {"job progress unreadable", Library::kPresent, SpoolerJobLife::kLives,
         [](int jobId) {
             kit::SimPort::AddJob(PortJob(jobId));
             kit::SimPort::SetText("FailProps", "102,103,101");
         }},
        {"job gone before the first poll", Library::kPresent, SpoolerJobLife::kGoneBeforeTheCall,
         none},
        {"job never known to the spooler", Library::kPresent, SpoolerJobLife::kNeverKnown, none},
        // Last: its workers are left inside the library for a while.
        {"port monitor hung in a call", Library::kPresent, SpoolerJobLife::kLives,
         [](int jobId) {
             kit::SimPort::AddJob(PortJob(jobId));
             kit::SimPort::SetNumber("HangMs", 30000);
             kit::SimPort::SetText("HangInCall", "IsJobActive");
         }},
    };
}

enum class Column { kMeter, kDetailTurnedMeter };
const char* ColumnName(Column column) {
    return column == Column::kMeter ? "PrStartKRX_PM" : "PrStartKRX_D, then a job and closed";
}

int CountInLog(const std::string& path, const std::string& text) {
    const std::string log = kit::ReadTextFile(path);
    int count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++count;
    }
    return count;
}

class LivenessMatrixTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        ASSERT_TRUE(InstallTypicalPrinter());
        // A printer at rest: a condition that calls for the user would keep
        // a Detail window open for the user, job or no job.
        kit::SimPrinter::SetStatusReply(krxtest::StatusReply("ST:04;IQ:5A4B3C5A463C;"));
        // The meter follows its job only: the printer's own state would
        // switch it to another view.
        krxtest::WriteDword(HKEY_LOCAL_MACHINE, "software\\NORVA\\KRX3\\KRXCommon",
                            "ERR_OSVERNOTSUPPORT", 1);
        modelFile_ = kit::ExecutableFolder() + "KX500.ini";
        log_ = kit::ExecutableFolder() + "liveness_calls.log";
        output_ = kit::ExecutableFolder() + "liveness_job.prn";
        plugin_.reset(new Plugin);
        ASSERT_TRUE(plugin_->Loaded());
        startD_ = plugin_->Get<PFN_PrStartKRX_D>("PrStartKRX_D");
        startPM_ = plugin_->Get<PFN_PrStartKRX_PM>("PrStartKRX_PM");
        ASSERT_TRUE(startD_ && startPM_);
    }
    void TearDown() override {
        plugin_.reset();
        kit::SimPort::Reset();
        DeleteFileA(log_.c_str());
        DeleteFileA(output_.c_str());
        kit::RemoveSimulatedSystem();
        CleanRegistryTest::TearDown();
    }

    int CountOpens() const { return CountInLog(log_, "OpenPort"); }

    // One cell: the export runs while the job lives, then the job ends.
    void RunCell(const LivenessRow& row, Column column) {
        SCOPED_TRACE(std::string(row.label) + " / " + ColumnName(column));
        kit::SimPort::Reset();
        DeleteFileA(log_.c_str());
        kit::SimPort::SetText("CallLog", log_);
        std::unique_ptr<NetworkLibraryAway> away;
        if (row.library != Library::kPresent) {
            away.reset(new NetworkLibraryAway(row.library == Library::kJunk));
            ASSERT_TRUE(away->Moved());
        }
        std::unique_ptr<kit::SpoolerJob> job;
        int jobId = kNeverKnownJob;
        if (row.job != SpoolerJobLife::kNeverKnown) {
            job.reset(new kit::SpoolerJob(kit::kPrinterName, output_));
            ASSERT_NE(job->Id(), 0) << "spooler job not started, error " << GetLastError();
            jobId = job->Id();
        }
        row.port(jobId);
        if (row.job == SpoolerJobLife::kGoneBeforeTheCall) {
            job->End();
        }

        const std::string model = modelFile_;
        WindowThread call([=] {
            if (column == Column::kMeter) {
                return startPM_(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                                "krxres_en.dll", jobId);
            }
            return startD_(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                           "krxres_en.dll");
        });
        const DWORD opened = GetTickCount();
        if (column == Column::kDetailTurnedMeter) {
            HWND hwnd = call.WaitForWindow(5000, IDC_STATUS_TEXT);
            ASSERT_NE(hwnd, nullptr);
            PostMessageA(hwnd, KRX_MSG_ADD_JOB, 0, jobId);
            // The user presses Close: with a job listed the window goes on as
            // a hidden meter.
            PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }

        DWORD ended = opened;
        if (row.job == SpoolerJobLife::kLives) {
            EXPECT_EQ(call.Wait(kJobLifeMs), WindowThread::kStillRunning)
                << "returned while its job was still in the spooler";
            const double seconds = (GetTickCount() - opened) / 1000.0;
            const int opens = CountOpens();
            const int calls = CountInLog(log_, "\n");
            EXPECT_LE(opens / seconds, kMaxOpensPerSecond)
                << opens << " port openings in " << seconds << " s";
            EXPECT_LE(calls / seconds, kMaxPortMonitorCallsPerSecond)
                << calls << " port-monitor calls in " << seconds << " s";
            printf("  %-42s %-36s %5.1f port openings/s %5.1f calls/s", row.label,
                   ColumnName(column), opens / seconds, calls / seconds);
            job->End();
            ended = GetTickCount();
        } else {
            printf("  %-42s %-36s %5s                %5s        ", row.label, ColumnName(column),
                   "-", "-");
        }
        // A notice the window shows on the way (a message box about the
        // printer) is dismissed as a user would; the window itself is not.
        while (!call.Ended() && GetTickCount() - ended < kReturnBoundMs + 8000) {
            call.CloseWindows(IDC_STATUS_TEXT);
            call.Wait(200);
        }
        const int result = call.Wait(0);
        const DWORD took = GetTickCount() - ended;
        printf("  returned %5lu ms after the job left\n", static_cast<unsigned long>(took));
        EXPECT_EQ(result, 0) << "export result (" << WindowThread::kStillRunning
                             << ": still running)";
        EXPECT_LE(took, kReturnBoundMs);
        if (!call.Ended()) {
            call.CloseWindows(); // let the test end; the row has failed already
        }
    }

    std::unique_ptr<Plugin> plugin_;
    PFN_PrStartKRX_D startD_ = nullptr;
    PFN_PrStartKRX_PM startPM_ = nullptr;
    std::string modelFile_;
    std::string log_;
    std::string output_;
};

TEST_F(LivenessMatrixTest, WindowExportsReturnOnceTheirJobHasLeft) {
    for (const LivenessRow& row : Rows()) {
        for (Column column : {Column::kMeter, Column::kDetailTurnedMeter}) {
            RunCell(row, column);
        }
    }
}

// The rows of a printer shared from a print server. Column: the progress
// meter opened for the job (in this process, with the product's settings
// except a call limit short enough for the test and a pipe of the cell's
// own server).
constexpr char kSharedPrinter[] = "\\\\KITSERVER\\Kit Printer KX500";
constexpr DWORD kRemoteCallLimitMs = 1500;
// How long a followed cell waits for the meter to show its job.
constexpr DWORD kShowBoundMs = 15000;

volatile LONG g_spoolerCalls = 0;

BOOL WINAPI OpenShared(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA defaults) {
    InterlockedIncrement(&g_spoolerCalls);
    std::string local = name != nullptr && std::string(name) == kSharedPrinter
                            ? std::string(kit::kPrinterName)
                            : std::string(name != nullptr ? name : "");
    return krx::DefaultSpooler().openPrinter(&local[0], handle, defaults);
}

// Wine's spooler knows the job; the print server would report it as EMF.
BOOL WINAPI GetJobAsEmf(HANDLE printer, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                        LPDWORD needed) {
    InterlockedIncrement(&g_spoolerCalls);
    if (level != 2) {
        return krx::DefaultSpooler().getJob(printer, jobId, level, buffer, size, needed);
    }
    DWORD known = 0;
    krx::DefaultSpooler().getJob(printer, jobId, 1, nullptr, 0, &known);
    *needed = known != 0 ? sizeof(JOB_INFO_2A) : 0;
    if (known == 0 || buffer == nullptr || size < *needed) {
        SetLastError(known == 0 ? ERROR_INVALID_PARAMETER : ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    static char emf[] = "NT EMF 1.008";
    memset(buffer, 0, *needed);
    reinterpret_cast<JOB_INFO_2A*>(buffer)->pDatatype = emf;
    return TRUE;
}

struct RemoteRow {
    const char* label;
    kit::PortMonitorServer::Pipe pipe;
    std::function<void()> script;
    // Once the meter shows the job (null: the job is never shown).
    std::function<void(kit::PortMonitorServer& server)> whileShown;
    DWORD lifeMs;     // how long the job stays in the spooler after that
    int beginWatches; // job watches the server must have seen by then
    // Meanwhile another printer's meter waits on a print server that holds
    // its pipe busy.
    bool busyNeighbour = false;
};

std::vector<RemoteRow> RemoteRows() {
    using Pipe = kit::PortMonitorServer::Pipe;
    auto none = [] {};
    return {
        {"print server gone while its job is shown", Pipe::kServe, none,
         [](kit::PortMonitorServer& server) { server.Kill(); }, kJobLifeMs, 1},
        {"print server holds its pipe busy", Pipe::kHoldBusy,
         [] { kit::SimPort::SetNumber("HoldPipeWaitMs", 60000); }, nullptr, kJobLifeMs, 0},
        {"print server never answers the bind", Pipe::kSilentBind, none, nullptr, kJobLifeMs, 0},
        {"print server slow, one call past its limit", Pipe::kServe,
         [] { kit::SimPort::SetNumber("SlowCallMs", 100); },
         [](kit::PortMonitorServer&) {
             kit::SimPort::SetNumber("HangMs", kRemoteCallLimitMs + 700);
             kit::SimPort::SetNumber("HangCount", 1);
             kit::SimPort::SetText("HangInCall", "IsJobActive");
         },
         9000, 2},
        // Last: the neighbour's opening is left waiting on its pipe.
        {"another print server holds its pipe busy", Pipe::kServe,
         [] { kit::SimPort::SetNumber("HoldPipeWaitMs", 60000); }, [](kit::PortMonitorServer&) {},
         kJobLifeMs, 1, true},
    };
}

class RemoteLivenessTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        ASSERT_TRUE(InstallTypicalPrinter());
        kit::SimPrinter::SetStatusReply(krxtest::StatusReply("ST:04;IQ:5A4B3C5A463C;"));
        krxtest::WriteDword(HKEY_LOCAL_MACHINE, "software\\NORVA\\KRX3\\KRXCommon",
                            "ERR_OSVERNOTSUPPORT", 1);
        bin_ = kit::ExecutableFolder();
        log_ = bin_ + "liveness_rpc_calls.log";
        output_ = bin_ + "liveness_rpc_job.prn";
        krx::Spooler().openPrinter = OpenShared;
        krx::Spooler().getJob = GetJobAsEmf;
    }
    void TearDown() override {
        krx::Spooler() = krx::DefaultSpooler();
        kit::SimPort::Reset();
        DeleteFileA(log_.c_str());
        DeleteFileA(output_.c_str());
        kit::RemoveSimulatedSystem();
        CleanRegistryTest::TearDown();
    }

    void RunCell(const RemoteRow& row) {
        SCOPED_TRACE(row.label);
        static int cell = 0;
        char endpoint[64];
        snprintf(endpoint, sizeof(endpoint), "KITPML_%lu_%d", GetCurrentProcessId(), ++cell);
        kit::SimPort::Reset();
        DeleteFileA(log_.c_str());
        kit::SimPort::SetText("CallLog", log_);
        row.script();
        kit::PortMonitorServer server(endpoint, row.pipe);
        ASSERT_TRUE(server.Start());
        kit::SpoolerJob job(kit::kPrinterName, output_);
        ASSERT_NE(job.Id(), 0) << "spooler job not started, error " << GetLastError();
        const int jobId = job.Id();
        kit::SimPort::AddJob(PortJob(jobId));

        std::unique_ptr<kit::PortMonitorServer> busy;
        std::unique_ptr<krx::JobMonitor> neighbour;
        if (row.busyNeighbour) {
            const std::string busyEndpoint = std::string(endpoint) + "_BUSY";
            busy.reset(
                new kit::PortMonitorServer(busyEndpoint, kit::PortMonitorServer::Pipe::kHoldBusy));
            ASSERT_TRUE(busy->Start());
            krx::JobMonitorSettings busySettings;
            busySettings.pipeName = busyEndpoint;
            neighbour.reset(new krx::JobMonitor(busySettings));
            neighbour->SetNames(kSharedPrinter, kit::kPortName);
            ASSERT_EQ(neighbour->FollowJob(jobId), 1);
            Sleep(300); // its session opening now waits on the busy pipe
        }

        krx::JobMonitorSettings settings;
        settings.pipeName = endpoint;
        settings.callLimit = kRemoteCallLimitMs;
        const std::string model = bin_ + "KX500.ini";
        const std::string resources = bin_ + "krxres_en.dll";
        WindowThread call([=] {
            krx::MonitorRequest request;
            request.viewType = krx::kViewProgress;
            request.printerName = kSharedPrinter;
            request.portName = kit::kPortName;
            request.modelSection = kit::kModelName;
            request.modelFile = model.c_str();
            request.resourcePath = resources.c_str();
            request.jobId = jobId;
            krx::MonitorSession session(request, settings);
            return session.Run();
        });
        HWND hwnd = call.WaitForWindow(5000, IDC_STATUS_TEXT);
        ASSERT_NE(hwnd, nullptr);
        if (row.whileShown) {
            const DWORD start = GetTickCount();
            while (!IsWindowVisible(hwnd) && GetTickCount() - start < kShowBoundMs) {
                Sleep(20);
            }
            ASSERT_TRUE(IsWindowVisible(hwnd)) << "the job was never shown\n"
                                               << kit::ReadTextFile(log_);
            row.whileShown(server);
        }
        const DWORD from = GetTickCount();
        const int callsBefore = CountInLog(log_, "\n");
        InterlockedExchange(&g_spoolerCalls, 0);
        EXPECT_EQ(call.Wait(row.lifeMs), WindowThread::kStillRunning)
            << "returned while its job was still in the spooler\n"
            << kit::ReadTextFile(log_);
        const double seconds = (GetTickCount() - from) / 1000.0;
        const int calls = CountInLog(log_, "\n") - callsBefore;
        const LONG spooler = g_spoolerCalls;
        EXPECT_GE(CountInLog(log_, "rpc BeginJobWatch"), row.beginWatches)
            << kit::ReadTextFile(log_);
        EXPECT_LE(calls / seconds, kMaxPortMonitorCallsPerSecond);
        EXPECT_LE(spooler / seconds, kMaxSpoolerCallsPerSecond);
        job.End();
        const DWORD ended = GetTickCount();
        const int result = call.Wait(kReturnBoundMs + 8000);
        const DWORD took = GetTickCount() - ended;
        printf("  %-44s %5.1f server calls/s %5.1f spooler calls/s  returned %5lu ms after the "
               "job left\n",
               row.label, calls / seconds, spooler / seconds, static_cast<unsigned long>(took));
        EXPECT_EQ(result, 0) << "export result (" << WindowThread::kStillRunning
                             << ": still running)";
        EXPECT_LE(took, kReturnBoundMs);
    }

    std::string bin_;
    std::string log_;
    std::string output_;
};

TEST_F(RemoteLivenessTest, MeterReturnsOnceItsJobHasLeftWhateverThePrintServerDoes) {
    for (const RemoteRow& row : RemoteRows()) {
        RunCell(row);
    }
}

} // namespace
} // namespace hardening
