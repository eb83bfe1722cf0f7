// Liveness of the window exports, whatever the port monitor, the spooler,
// the printer's library and the host do. Each row is a state of the outside
// world; each column a window export: the progress meter opened for a job,
// and a Detail window (announced the job and then closed, so that it goes on
// as a hidden meter, where the job's leaving ends the row). For every cell
// the export must stay open while its reason to stay lasts (the spooler holds
// the job, or the user has not closed it), return within its bound once that
// reason ends, and meanwhile open the port at most about once a second and
// keep its memory. The jobs are real jobs of Wine's spooler in this process,
// ended with EndDocPrinter as a host's print job ends. The rows of a printer
// shared from a print server run the window in this process (the spooler
// must say the job is spooled as EMF, which Wine's cannot): the server is
// the kit's RPC stand-in, gone, holding its pipe busy, never answering the
// bind, or slow.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "base/registry/registry_paths.h"
#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "jobs/job_monitor.h"
#include "ui/status_window/monitor_session.h"
#include "hardening_support.h"
#include "kit_install.h"
#include "krxstat.h"
#include "process_memory.h"
#include "sim_port_script.h"
#include "test_support.h"
#include "ui/status_window/view_layout.h"

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
// The bound within which an export returns once the user closed its window
// or the host quit its thread: a library call the window may be waiting for
// (2 s), the job monitor's end (1 s), and Wine's X11 driver, which waits up
// to 2 s for every shown window it withdraws when no window manager answers
// (the version dialog, then the window).
constexpr DWORD kCloseBoundMs = 6000;
// Private memory a cell may add while it runs (the window's own objects).
constexpr SIZE_T kMaxExtraPrivateBytes = 32u << 20;
constexpr int kNeverKnownJob = 4242;
constexpr int kQuitCode = 7;

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
// What ends the export's reason to stay open.
enum class Ending {
    kJobLeaves,  // the job leaves the spooler
    kUserCloses, // the user closes the window
    kHostQuits,  // the host posts WM_QUIT to its thread while the version dialog is open
};

struct LivenessRow {
    const char* label;
    Library library;
    SpoolerJobLife job;
    // Scripts the simulated port; gets the spooler's id of the job.
    std::function<void(int jobId)> port;
};

// How a cell ends, and what it scripts beyond the row's port.
struct Closing {
    Ending ending = Ending::kJobLeaves;
    // Scripts the simulated printer over its resting state; the meter then
    // polls it too.
    std::function<void()> printer;
    // How long the outside world stays hung once asked: the next cell waits
    // for it to answer again.
    DWORD hangMs = 0;
};

kit::SimPortJob PortJob(int spoolerId) {
    kit::SimPortJob job;
    job.spoolerId = spoolerId;
    job.polls = 1000000; // the port prints it for as long as the test runs
    return job;
}

// A library that announces 256 MiB for one kind of answer and takes its time
// over every call of the entry point, so that a block made for the
// announcement lives long enough to be seen.
std::function<void()> Announces256MiB(const char* sizeValue, const char* entry) {
    return [=] {
        kit::SimPrinter::SetNumber(sizeValue, 256 << 20);
        kit::SimPrinter::SetText("HangIn", entry);
        kit::SimPrinter::SetNumber("HangMs", 300);
    };
}

// The printer's library stuck in one entry point for longer than a user
// waits.
constexpr int kLibraryHangMs = 10000;
std::function<void()> LibraryHangsIn(const char* entry) {
    return [=] {
        kit::SimPrinter::SetText("HangIn", entry);
        kit::SimPrinter::SetNumber("HangMs", kLibraryHangMs);
    };
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

// Rows whose reason to stay open is the user's (or the host's): the window is
// closed, or its thread quit, while the spooler still holds the job and the
// port prints it.
struct ClosingRow {
    const char* label;
    Ending ending;
    std::function<void()> printer; // null: at rest, and the meter does not poll
    std::function<void(int jobId)> port;
    DWORD hangMs;
};

std::vector<std::pair<LivenessRow, Closing>> ClosingRows() {
    auto printed = [](int jobId) { kit::SimPort::AddJob(PortJob(jobId)); };
    const ClosingRow rows[] = {
        {"host quits its thread under a dialog", Ending::kHostQuits, nullptr, printed, 0},
        {"library announces a 256 MiB channel list", Ending::kUserCloses,
         Announces256MiB("ChannelAnnouncedSize", "BXGetAvailableChannel"), printed, 0},
        {"library announces a 256 MiB device ID", Ending::kUserCloses,
         Announces256MiB("DeviceIDAnnouncedSize", "BXGetDeviceID"), printed, 0},
        {"library announces 256 MiB of received data", Ending::kUserCloses,
         Announces256MiB("ReceiveAnnouncedSize", "BXReceive"), printed, 0},
        {"printer's library hung in BXGetStatus", Ending::kUserCloses,
         LibraryHangsIn("BXGetStatus"), printed, kLibraryHangMs},
        {"printer's library hung in BXOpenChannel", Ending::kUserCloses,
         LibraryHangsIn("BXOpenChannel"), printed, kLibraryHangMs},
    };
    std::vector<std::pair<LivenessRow, Closing>> out;
    for (const ClosingRow& c : rows) {
        LivenessRow row;
        row.label = c.label;
        row.library = Library::kPresent;
        row.job = SpoolerJobLife::kLives;
        row.port = c.port;
        Closing closing;
        closing.ending = c.ending;
        closing.printer = c.printer;
        closing.hangMs = c.hangMs;
        out.emplace_back(row, closing);
    }
    return out;
}

enum class Column { kMeter, kDetailTurnedMeter };
const char* ColumnName(Column column, Ending ending) {
    if (column == Column::kMeter) {
        return "PrStartKRX_PM";
    }
    return ending == Ending::kJobLeaves ? "PrStartKRX_D, then a job and closed" : "PrStartKRX_D";
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

    // A printer at rest (a condition that calls for the user would keep a
    // Detail window open for the user, job or no job), then the row's own
    // script. Unless the row scripts the printer, the meter follows its job
    // only: the printer's own state would switch it to another view.
    static void ScriptPrinter(const Closing& closing) {
        kit::SimPrinter::Reset();
        kit::SimPrinter::ScriptTypicalPrinter();
        kit::SimPrinter::SetStatusReply(krxtest::StatusReply("ST:04;IQ:5A4B3C5A463C;"));
        if (closing.printer) {
            closing.printer();
        }
        krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "ERR_OSVERNOTSUPPORT",
                            closing.printer ? 0 : 1);
    }

    // Ends the window's reason to stay open as the row says; the time it
    // ended.
    static DWORD EndReason(const Closing& closing, krxtest::WindowCall& call, HWND window,
                           kit::SpoolerJob* job) {
        switch (closing.ending) {
        case Ending::kUserCloses:
            PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        case Ending::kHostQuits:
            PostMessageA(window, WM_SYSCOMMAND, krx::kSysMenuVersion, 0);
            EXPECT_NE(call.WaitForWindow(5000, IDC_VERSION_PLUGIN), nullptr) << "no version dialog";
            call.PostQuit(kQuitCode);
            break;
        case Ending::kJobLeaves:
            job->End();
            break;
        }
        return GetTickCount();
    }

    // One cell: the export runs while its reason to stay lasts, then that
    // reason ends.
    void RunCell(const LivenessRow& row, Column column, const Closing& closing) {
        SCOPED_TRACE(std::string(row.label) + " / " + ColumnName(column, closing.ending));
        ScriptPrinter(closing);
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
        // What the host's loop finds in its queue after the export returned.
        auto quitSeen = std::make_shared<volatile WPARAM>(0);
        krxtest::PrivateBytesPeak memory;
        krxtest::WindowCall call([=] {
            int result = 0;
            if (column == Column::kMeter) {
                result = startPM_(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                                  "krxres_en.dll", jobId);
            } else {
                result = startD_(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                                 "krxres_en.dll");
            }
            MSG msg;
            if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
                *quitSeen = msg.wParam;
            }
            return result;
        });
        const DWORD opened = GetTickCount();
        HWND window = nullptr;
        if (column == Column::kDetailTurnedMeter || closing.ending != Ending::kJobLeaves) {
            window = call.WaitForWindow(5000, IDC_STATUS_TEXT);
            ASSERT_NE(window, nullptr);
        }
        if (column == Column::kDetailTurnedMeter && closing.ending == Ending::kJobLeaves) {
            PostMessageA(window, KRX_MSG_ADD_JOB, 0, jobId);
            // The user presses Close: with a job listed the window goes on as
            // a hidden meter.
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }

        DWORD ended = opened;
        if (row.job == SpoolerJobLife::kLives) {
            EXPECT_EQ(call.Wait(kJobLifeMs), krxtest::WindowCall::kStillRunning)
                << "returned before its reason to stay open ended";
            const double seconds = (GetTickCount() - opened) / 1000.0;
            const int opens = CountOpens();
            const int calls = CountInLog(log_, "\n");
            EXPECT_LE(opens / seconds, kMaxOpensPerSecond)
                << opens << " port openings in " << seconds << " s";
            EXPECT_LE(calls / seconds, kMaxPortMonitorCallsPerSecond)
                << calls << " port-monitor calls in " << seconds << " s";
            printf("  %-42s %-36s %5.1f port openings/s %5.1f calls/s", row.label,
                   ColumnName(column, closing.ending), opens / seconds, calls / seconds);
            ended = EndReason(closing, call, window, job.get());
        } else {
            printf("  %-42s %-36s %5s                %5s        ", row.label,
                   ColumnName(column, closing.ending), "-", "-");
        }
        // A notice the window shows on the way (a message box about the
        // printer) is dismissed as a user would; the window itself is not.
        while (!call.Ended() && GetTickCount() - ended < kReturnBoundMs + 8000) {
            call.CloseWindows(IDC_STATUS_TEXT);
            call.Wait(200);
        }
        const int result = call.Wait(0);
        const DWORD took = GetTickCount() - ended;
        const SIZE_T extra = memory.Stop();
        static const char* const kReasons[] = {"the job left", "the close", "the quit"};
        printf("  returned %5lu ms after %-12s peak +%4lu MiB\n", static_cast<unsigned long>(took),
               kReasons[static_cast<int>(closing.ending)], static_cast<unsigned long>(extra >> 20));
        EXPECT_EQ(result, 0) << "export result (" << krxtest::WindowCall::kStillRunning
                             << ": still running)";
        EXPECT_LE(took, closing.ending == Ending::kJobLeaves ? kReturnBoundMs : kCloseBoundMs);
        EXPECT_LE(extra, kMaxExtraPrivateBytes)
            << "private memory grew by " << (extra >> 20) << " MiB";
        if (closing.ending == Ending::kHostQuits) {
            EXPECT_EQ(*quitSeen, static_cast<WPARAM>(kQuitCode))
                << "the host's loop did not get its WM_QUIT back";
        }
        if (!call.Ended()) {
            call.CloseWindows(); // let the test end; the row has failed already
        }
        call.Wait(kReturnBoundMs);
        job.reset();
        // The outside world answers again before the next cell asks it.
        while (GetTickCount() - opened < closing.hangMs + 500) {
            Sleep(100);
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
    // The rows that the user or the host ends first: the last of the others
    // leaves workers inside the port monitor's library for a while.
    std::vector<std::pair<LivenessRow, Closing>> rows = ClosingRows();
    for (const LivenessRow& row : Rows()) {
        rows.emplace_back(row, Closing());
    }
    for (const auto& row : rows) {
        for (Column column : {Column::kMeter, Column::kDetailTurnedMeter}) {
            RunCell(row.first, column, row.second);
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
        krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "ERR_OSVERNOTSUPPORT", 1);
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
        krxtest::WindowCall call([=] {
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
        EXPECT_EQ(call.Wait(row.lifeMs), krxtest::WindowCall::kStillRunning)
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
        EXPECT_EQ(result, 0) << "export result (" << krxtest::WindowCall::kStillRunning
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
