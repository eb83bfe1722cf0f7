// JobMonitor and its worker against the simulated port through the local
// library: the worker's life cycle, following a job into the record, the
// pause, resume and cancel rules, failed reads, job texts of every shape,
// and pruning by the spooler's answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/spooler.h"
#include "base/module/module_state.h"
#include "jobs/job_monitor.h"
#include "jobs_fixture.h"

using jobstest::WaitFor;
using krx::JobMonitor;
using krx::JobRecord;

namespace {

constexpr char kPrinter[] = "Kit Printer KX500";
constexpr char kPort[] = "KITPORT1:";
constexpr int kLong = 1000000; // polls: the job runs until cancelled

class JobMonitorTest : public jobstest::JobsTest {
  protected:
    void TearDown() override {
        monitor_.reset(); // waits for the worker
        krx::Spooler() = krx::DefaultSpooler();
        krx::SetSelfModule(nullptr);
        JobsTest::TearDown();
    }

    JobMonitor& Monitor() {
        if (!monitor_) {
            monitor_.reset(new JobMonitor(jobstest::FastSettings()));
            monitor_->SetNames(kPrinter, kPort);
        }
        return *monitor_;
    }

    // The record once it is valid; fails the test when it never is.
    JobRecord ValidRecord(uint32_t jobId) {
        JobRecord record = {};
        bool valid =
            WaitFor([&] { return Monitor().GetJobRecord(&record) == 1 && record.jobId == jobId; });
        EXPECT_TRUE(valid) << "no valid record for job " << jobId;
        return record;
    }

    // Waits until the worker has taken the last request and finished the pass
    // that handled it: a request for another job is taken on the next pass.
    void Settle() {
        ASSERT_TRUE(WaitFor([&] { return Monitor().PendingCommand() == 0; }));
        Monitor().RequestCommand(999999, krx::kJobCommandCancel);
        ASSERT_TRUE(WaitFor([&] { return Monitor().PendingCommand() == 0; }));
    }

    void WaitForWorkerEnd() {
        EXPECT_TRUE(WaitFor([&] { return !Monitor().IsWorkerRunning(); }))
            << "the worker did not end";
    }

    std::unique_ptr<JobMonitor> monitor_;
};

TEST_F(JobMonitorTest, NamesAreSetOnce) {
    JobMonitor monitor(jobstest::FastSettings());
    EXPECT_EQ(monitor.SetNames(kPrinter, kPort), 1);
    EXPECT_EQ(monitor.SetNames("Other", "OTHER:"), 0);
    JobMonitor portOnly(jobstest::FastSettings());
    EXPECT_EQ(portOnly.SetNames(nullptr, kPort), 1);
    EXPECT_EQ(portOnly.SetNames(kPrinter, nullptr), 0);
}

TEST_F(JobMonitorTest, FollowsJobIntoRecordAndEnds) {
    kit::SimPortJob job = Job(11, 40);
    job.text = "Quarterly report.doc";
    job.paper[0] = 7;
    job.paper[1] = 2;
    job.paper[2] = 9;
    job.sheets = 4;
    job.secondsPerPoll = 3;
    kit::SimPort::AddJob(job);
    spooler_->Know(11);

    EXPECT_EQ(Monitor().GetJobRecord(nullptr), 0);
    EXPECT_EQ(Monitor().FollowJob(11), 1);
    EXPECT_EQ(Monitor().FollowJob(11), 0) << "announced twice";
    EXPECT_EQ(Monitor().GetJobCount(), 1);
    EXPECT_TRUE(Monitor().IsWorkerRunning());

    JobRecord record = ValidRecord(11);
    EXPECT_STREQ(record.jobText, "Quarterly report.doc");
    EXPECT_EQ(record.paperWord0, 7);
    EXPECT_EQ(record.mediaType, 2);
    EXPECT_EQ(record.paperSize, 9);
    EXPECT_EQ(record.sheets, 4u);
    EXPECT_EQ(record.progressRange, 40u);
    EXPECT_GE(record.sheet, 1u);
    EXPECT_NE(record.timeKnown, 0u);
    EXPECT_EQ(record.time, (40 - record.progress) * 3);
    EXPECT_EQ(record.jobStatus, 0u);

    // The job ends by itself; the list empties and the worker ends although
    // the spooler still knows the job.
    EXPECT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }));
    WaitForWorkerEnd();
    EXPECT_EQ(Monitor().GetJobRecord(nullptr), 0);
    EXPECT_EQ(CountInLog("local BeginJobWatch"), 1) << CallLog();
    EXPECT_EQ(CountInLog("local EndJobWatch"), 1) << CallLog();
    EXPECT_EQ(CountInLog("local ClosePort -> 1"), 1) << CallLog();
}

TEST_F(JobMonitorTest, LaterAnnouncementIsFollowedBySameWorker) {
    kit::SimPort::AddJob(Job(21, kLong));
    kit::SimPort::AddJob(Job(22, 50));
    spooler_->Know(21);
    spooler_->Know(22);
    ASSERT_EQ(Monitor().FollowJob(21), 1);
    ValidRecord(21);
    EXPECT_EQ(Monitor().FollowJob(22), 1);
    EXPECT_EQ(Monitor().GetJobCount(), 2);
    Monitor().RequestCommand(21, krx::kJobCommandCancel);
    ValidRecord(22);
    EXPECT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }));
    WaitForWorkerEnd();
    EXPECT_EQ(CountInLog("local OpenPort"), 1) << "one worker, one port\n" << CallLog();
    EXPECT_EQ(CountInLog("local BeginJobWatch"), 2) << CallLog();
}

TEST_F(JobMonitorTest, EndsWhenSpoolerForgotEveryJobAndRestartsOnNextAnnouncement) {
    kit::SimPort::AddJob(Job(32, 50));
    ASSERT_EQ(Monitor().FollowJob(31), 1); // unknown to the spooler
    WaitForWorkerEnd();
    EXPECT_EQ(Monitor().GetJobCount(), 0);
    EXPECT_EQ(CountInLog("OpenPort"), 0) << CallLog();

    spooler_->Know(32);
    ASSERT_EQ(Monitor().FollowJob(32), 1);
    ValidRecord(32);
    EXPECT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }));
    WaitForWorkerEnd();
}

// A port that cannot be opened is tried again for as long as the spooler
// knows a listed job.
TEST_F(JobMonitorTest, RetriesPortWhileSpoolerKnowsJob) {
    kit::SimPort::SetNumber("OpenPortResult", 0);
    spooler_->Know(41);
    ASSERT_EQ(Monitor().FollowJob(41), 1);
    EXPECT_TRUE(WaitFor([&] { return CountInLog("local OpenPort") >= 3; })) << CallLog();
    EXPECT_TRUE(Monitor().IsWorkerRunning());
    EXPECT_EQ(Monitor().GetJobCount(), 1);
    spooler_->Forget(41);
    WaitForWorkerEnd();
    EXPECT_EQ(Monitor().GetJobCount(), 0);
}

// Many short lives of the worker, with announcements that meet a worker
// about to end: every announced job is followed, no worker is left behind.
// The port's script is written only while no thread of the monitor runs:
// Wine's registry does not take a tree deleted under a reader's feet.
TEST_F(JobMonitorTest, ManyShortCycles) {
    kit::SimPort::Remove("CallLog");
    for (int cycle = 0; cycle < 100; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        ASSERT_TRUE(WaitFor([&] { return !Monitor().IsWorkerRunning(); }, 5000));
        const int first = 1000 + 2 * cycle;
        const int second = first + 1;
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kSimPortJobsKey);
        kit::SimPort::AddJob(Job(first, 2));
        kit::SimPort::AddJob(Job(second, 2));
        spooler_->Know(first);
        spooler_->Know(second);
        ASSERT_EQ(Monitor().FollowJob(first), 1);
        if (cycle % 3 == 0) {
            JobRecord record;
            Monitor().GetJobRecord(&record);
        }
        ASSERT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }, 5000))
            << "job " << first << " was not followed";
        // The worker has just finished its job and is about to end.
        ASSERT_EQ(Monitor().FollowJob(second), 1);
        ASSERT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }, 5000))
            << "job " << second << " was not followed";
        spooler_->Forget(first);
        spooler_->Forget(second);
    }
}

TEST_F(JobMonitorTest, RequestForAnotherJobIsDropped) {
    kit::SimPort::AddJob(Job(51, kLong));
    spooler_->Know(51);
    ASSERT_EQ(Monitor().FollowJob(51), 1);
    ValidRecord(51);
    Monitor().RequestCommand(52, krx::kJobCommandCancel);
    Settle();
    EXPECT_EQ(CountInLog("SetJobProperty"), 0) << CallLog();
    EXPECT_EQ(Monitor().GetJobRecord(nullptr), 1) << "still followed";
    Monitor().RequestCommand(51, krx::kJobCommandCancel);
    EXPECT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }));
    EXPECT_EQ(CountInLog("local SetJobProperty job=28672 property=201 value=3 -> 1"), 1)
        << CallLog();
}

// Pause goes out only for a running job and resume only for a paused one;
// a job with bit 0x08 takes neither.
TEST_F(JobMonitorTest, PauseAndResumeFollowThePausedState) {
    const struct {
        int status;
        bool startPaused;
        int command;
        int sentValue; // 0: nothing sent
    } cases[] = {
        {0, false, krx::kJobCommandPause, 1},     {0, true, krx::kJobCommandPause, 0},
        {0, true, krx::kJobCommandResume, 2},     {0, false, krx::kJobCommandResume, 0},
        {0x08, false, krx::kJobCommandPause, 0},  {0x08, true, krx::kJobCommandResume, 0},
        {0x08, false, krx::kJobCommandCancel, 3},
    };
    int id = 60;
    for (const auto& c : cases) {
        ++id;
        SCOPED_TRACE("status " + std::to_string(c.status) + (c.startPaused ? " paused" : "") +
                     " command " + std::to_string(c.command));
        monitor_.reset();
        DeleteFileA(logPath_.c_str());
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kSimPortJobsKey);
        kit::SimPortJob job = Job(id, kLong);
        job.status = c.status;
        job.paused = c.startPaused;
        kit::SimPort::AddJob(job);
        spooler_->Know(id);
        ASSERT_EQ(Monitor().FollowJob(id), 1);
        JobRecord before = ValidRecord(static_cast<uint32_t>(id));
        EXPECT_EQ((before.jobStatus & krx::kJobStatusPaused) != 0, c.startPaused);
        Monitor().RequestCommand(id, c.command);
        if (c.command == krx::kJobCommandCancel) {
            EXPECT_TRUE(WaitFor([&] { return CountInLog("property=201") > 0; })) << CallLog();
        } else {
            Settle();
        }
        EXPECT_EQ(CountInLog("property=201"), c.sentValue != 0 ? 1 : 0) << CallLog();
        if (c.sentValue != 0) {
            EXPECT_EQ(CountInLog("value=" + std::to_string(c.sentValue)), 1) << CallLog();
        }
        if (c.sentValue == 1 || c.sentValue == 2) {
            bool nowPaused = c.sentValue == 1;
            JobRecord after = {};
            EXPECT_TRUE(WaitFor([&] {
                return Monitor().GetJobRecord(&after) == 1 &&
                       ((after.jobStatus & krx::kJobStatusPaused) != 0) == nowPaused;
            }));
        }
        spooler_->Forget(id);
        Monitor().RequestCommand(id, krx::kJobCommandCancel);
        EXPECT_TRUE(WaitFor([&] { return !Monitor().IsWorkerRunning(); }));
    }
}

// Failed reads of the properties a progress update needs keep the record as
// it was; a failed time or paper read only leaves those parts out.
TEST_F(JobMonitorTest, FailedReadsKeepThePreviousRecord) {
    const struct {
        const char* failing;
        bool updates;
        bool timeKnown;
    } cases[] = {
        {"102", false, true}, {"103", false, true}, {"101", false, true},
        {"104", true, false}, {"21", true, true},
    };
    int id = 80;
    for (const auto& c : cases) {
        ++id;
        SCOPED_TRACE(std::string("failing ") + c.failing);
        monitor_.reset();
        kit::SimPort::Remove("FailProps");
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kSimPortJobsKey);
        kit::SimPortJob job = Job(id, kLong);
        job.paper[2] = 5;
        kit::SimPort::AddJob(job);
        spooler_->Know(id);
        ASSERT_EQ(Monitor().FollowJob(id), 1);
        JobRecord before = ValidRecord(static_cast<uint32_t>(id));
        ASSERT_EQ(before.paperSize, 5);
        kit::SimPort::SetText("FailProps", c.failing);
        // Wait until the port's progress has moved on by several polls.
        JobRecord after = {};
        if (c.updates) {
            EXPECT_TRUE(WaitFor([&] {
                Monitor().GetJobRecord(&after);
                return after.progress > before.progress + 3 &&
                       (after.timeKnown != 0) == c.timeKnown;
            }));
            if (!c.timeKnown) {
                EXPECT_EQ(after.time, 0u);
            }
            EXPECT_EQ(after.paperSize, 5) << "paper words kept";
        } else {
            // Let a pass that read before the failure began finish.
            Sleep(20);
            ASSERT_EQ(Monitor().GetJobRecord(&before), 1);
            Sleep(60);
            ASSERT_EQ(Monitor().GetJobRecord(&after), 1) << "the record stays visible";
            EXPECT_EQ(after.progress, before.progress);
            EXPECT_EQ(after.sheet, before.sheet);
            kit::SimPort::Remove("FailProps");
            EXPECT_TRUE(WaitFor([&] {
                Monitor().GetJobRecord(&after);
                return after.progress > before.progress + 3;
            })) << "the port went on meanwhile";
        }
        kit::SimPort::Remove("FailProps");
        spooler_->Forget(id);
        Monitor().RequestCommand(id, krx::kJobCommandCancel);
        EXPECT_TRUE(WaitFor([&] { return !Monitor().IsWorkerRunning(); }));
    }
}

// Job texts as a faulty port monitor may deliver them.
TEST_F(JobMonitorTest, JobTextOfAnyShapeIsStoredSafely) {
    const std::string eighty =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-0123456789_0123456";
    const struct {
        const char* name;
        std::string text;
        bool terminated;
        int needed;
        std::string stored;
    } cases[] = {
        {"80 characters", eighty, true, kit::kUnset, eighty.substr(0, 63)},
        {"no terminator", "ABCDEFGH", false, kit::kUnset, "ABCDEFGH"},
        {"size smaller than the text", eighty, true, 5, "01234"},
        {"size larger than the text", "Short", true, 400, "Short"},
        {"negative size", "Hidden", true, -1, ""},
        {"huge size", "Hidden", true, 0x7FFFFFF0, ""},
        {"zero size", "Hidden", true, 0, ""},
    };
    int id = 90;
    for (const auto& c : cases) {
        ++id;
        SCOPED_TRACE(c.name);
        monitor_.reset();
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kSimPortJobsKey);
        kit::SimPortJob job = Job(id, kLong);
        job.text = c.text;
        job.terminated = c.terminated;
        job.textNeeded = c.needed;
        kit::SimPort::AddJob(job);
        spooler_->Know(id);
        ASSERT_EQ(Monitor().FollowJob(id), 1);
        JobRecord record = ValidRecord(static_cast<uint32_t>(id));
        EXPECT_EQ(std::string(record.jobText), c.stored);
        EXPECT_EQ(record.jobText[krx::kJobTextSize - 1], '\0');
        spooler_->Forget(id);
        Monitor().RequestCommand(id, krx::kJobCommandCancel);
        EXPECT_TRUE(WaitFor([&] { return !Monitor().IsWorkerRunning(); }));
    }
}

// Without a session (the library is not beside this module) the list still
// follows the spooler's answers, and the monitor runs for as long as ids are
// left; the next announcement tries the session again.
TEST_F(JobMonitorTest, ListFollowsTheSpoolerWithoutASession) {
    krx::SetSelfModule(GetModuleHandleA("kernel32.dll"));
    const struct {
        bool skip;
        bool openFails;
        std::vector<int> known;
        int remaining;
    } cases[] = {
        {false, false, {1, 4}, 2}, // 2 and 3 vanished side by side
        {false, false, {}, 0},     {false, false, {1, 2, 3, 4}, 4},
        {false, true, {}, 4}, // printer cannot be opened: nothing removed
        {true, false, {}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("remaining " + std::to_string(c.remaining));
        monitor_.reset();
        spooler_->SetOpenFails(c.openFails);
        for (int id = 1; id <= 4; ++id) {
            spooler_->Forget(id);
        }
        for (int id : c.known) {
            spooler_->Know(id);
        }
        Monitor().SetSkipSpoolerCheck(c.skip ? 1 : 0);
        for (int id = 1; id <= 4; ++id) {
            ASSERT_EQ(Monitor().FollowJob(id), 1);
        }
        EXPECT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == c.remaining; }, 2000));
        Sleep(20);
        EXPECT_EQ(Monitor().GetJobCount(), c.remaining) << "and stays so";
        EXPECT_EQ(Monitor().IsWorkerRunning(), c.remaining > 0);
        EXPECT_EQ(Monitor().PruneJobs(), c.remaining > 0 ? 1 : 0);
    }
    spooler_->SetOpenFails(false);
    krx::SetSelfModule(nullptr);
    kit::SimPort::AddJob(Job(4, 50));
    spooler_->Know(4);
    Monitor().SetSkipSpoolerCheck(0);
    EXPECT_EQ(Monitor().FollowJob(4), 0) << "still listed";
    EXPECT_EQ(Monitor().FollowJob(5), 1) << "tries the session again";
    ValidRecord(4);
    EXPECT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }));
    WaitForWorkerEnd();
}

// Whatever the port does, the port is looked at once a period and the list
// empties once the spooler forgets the job.
TEST_F(JobMonitorTest, PortLookedAtOnceAPeriodUntilTheSpoolerForgetsTheJob) {
    const struct {
        const char* label;
        void (*script)();
    } cases[] = {
        {"port does not open", [] { kit::SimPort::SetNumber("OpenPortResult", 0); }},
        {"port idle at once", [] { kit::SimPort::SetNumber("PortInactive", 1); }},
        {"port busy with a foreign job", [] { kit::SimPort::AddJob(Job(99, kLong)); }},
        {"progress reads fail",
         [] {
             kit::SimPort::AddJob(Job(7, kLong));
             kit::SimPort::SetText("FailProps", "102");
         }},
    };
    constexpr DWORD kPeriod = 20;
    constexpr DWORD kWatch = 400;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        monitor_.reset();
        kit::SimPort::Reset();
        DeleteFileA(logPath_.c_str());
        kit::SimPort::SetText("CallLog", logPath_);
        c.script();
        krx::JobMonitorSettings settings = jobstest::FastSettings();
        settings.pollInterval = kPeriod;
        monitor_.reset(new JobMonitor(settings));
        monitor_->SetNames(kPrinter, kPort);
        spooler_->Know(7);
        ASSERT_EQ(Monitor().FollowJob(7), 1);
        Sleep(kWatch);
        const int opens = CountInLog("local OpenPort");
        EXPECT_LE(opens, static_cast<int>(kWatch / kPeriod) + 2) << CallLog();
        spooler_->Forget(7);
        EXPECT_TRUE(WaitFor([&] { return Monitor().GetJobCount() == 0; }, 4 * kPeriod + 500));
        WaitForWorkerEnd();
    }
}

// Wine's own spooler answers for a job of this process: while it knows the
// job the worker keeps trying the port; once the job is done the worker ends.
TEST_F(JobMonitorTest, WineSpoolerDecidesWhenTheWorkerEnds) {
    delete spooler_;
    spooler_ = nullptr;
    ASSERT_TRUE(kit::AddSpoolerPrinter(kPrinter, kit::kDriverName));
    std::string output = kit::ExecutableFolder() + "jobs_spooled.prn";
    {
        kit::SpoolerJob job(kPrinter, output);
        ASSERT_NE(job.Id(), 0) << "spooler job not started, error " << GetLastError();
        kit::SimPort::SetNumber("OpenPortResult", 0);
        ASSERT_EQ(Monitor().FollowJob(job.Id()), 1);
        EXPECT_TRUE(WaitFor([&] { return CountInLog("local OpenPort") >= 3; })) << CallLog();
        EXPECT_TRUE(Monitor().IsWorkerRunning());
        EXPECT_EQ(Monitor().GetJobCount(), 1);
        job.End();
        WaitForWorkerEnd();
        EXPECT_EQ(Monitor().GetJobCount(), 0);
    }
    kit::RemoveSpoolerPrinter(kPrinter);
    DeleteFileA(output.c_str());
}

// Destruction while a job is followed does not wait for the job to end.
TEST_F(JobMonitorTest, DestructionEndsAFollowingWorker) {
    kit::SimPort::AddJob(Job(71, kLong));
    spooler_->Know(71);
    krx::JobMonitorSettings settings; // the product's intervals
    JobMonitor* monitor = new JobMonitor(settings);
    monitor->SetNames(kPrinter, kPort);
    ASSERT_EQ(monitor->FollowJob(71), 1);
    EXPECT_TRUE(WaitFor([&] { return monitor->GetJobRecord(nullptr) == 1; }));
    DWORD start = GetTickCount();
    delete monitor;
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(CountInLog("local EndJobWatch"), 1) << CallLog();
    EXPECT_EQ(CountInLog("local ClosePort -> 1"), 1) << CallLog();
}

} // namespace
