// JobMonitor following a job of a shared printer through the simulated print
// server's RPC interface, and the server going away while a job is followed.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "jobs/job_monitor.h"
#include "jobs_fixture.h"

using jobstest::kSharedPrinter;
using jobstest::WaitFor;
using krx::JobMonitor;
using krx::JobRecord;

namespace {

constexpr char kPort[] = "KITPORT1:";
constexpr int kLong = 1000000;

class JobMonitorRpcTest : public jobstest::JobsTest {
  protected:
    void SetUp() override {
        JobsTest::SetUp();
        spooler_->SetDataType("NT EMF 1.008");
        StartServerAndMonitor();
    }
    // Every server gets an endpoint of its own: a new server on the endpoint
    // of one that died is not reliably reached.
    void StartServerAndMonitor(DWORD callLimit = krx::pm::kCallLimitMs) {
        static int counter = 0;
        char endpoint[64];
        snprintf(endpoint, sizeof(endpoint), "KITPMJ_%lu_%d", GetCurrentProcessId(), ++counter);
        monitor_.reset();
        server_.reset(new kit::PortMonitorServer(endpoint));
        ASSERT_TRUE(server_->Start()) << "simulated port monitor did not start";
        krx::JobMonitorSettings settings = jobstest::FastSettings(endpoint);
        settings.callLimit = callLimit;
        monitor_.reset(new JobMonitor(settings));
        monitor_->SetNames(kSharedPrinter, kPort);
    }
    void TearDown() override {
        monitor_.reset();
        server_.reset();
        JobsTest::TearDown();
    }

    JobRecord ValidRecord(uint32_t jobId) {
        JobRecord record = {};
        EXPECT_TRUE(WaitFor([&] {
            return monitor_->GetJobRecord(&record) == 1 && record.jobId == jobId;
        })) << "no valid record for job "
            << jobId << "\n"
            << CallLog();
        return record;
    }

    std::unique_ptr<kit::PortMonitorServer> server_;
    std::unique_ptr<JobMonitor> monitor_;
};

TEST_F(JobMonitorRpcTest, FollowsJobAndPassesRequests) {
    kit::SimPortJob job = Job(7, kLong);
    job.text = "Shared.pdf";
    job.sheets = 2;
    kit::SimPort::AddJob(job);
    spooler_->Know(7);
    ASSERT_EQ(monitor_->FollowJob(7), 1);
    JobRecord record = ValidRecord(7);
    EXPECT_STREQ(record.jobText, "Shared.pdf");
    EXPECT_EQ(record.sheets, 2u);
    EXPECT_EQ(spooler_->LastOpenedName(), kSharedPrinter);

    monitor_->RequestCommand(7, krx::kJobCommandPause);
    EXPECT_TRUE(WaitFor([&] {
        return monitor_->GetJobRecord(&record) == 1 && (record.jobStatus & krx::kJobStatusPaused);
    }));
    monitor_->RequestCommand(7, krx::kJobCommandResume);
    EXPECT_TRUE(WaitFor([&] {
        return monitor_->GetJobRecord(&record) == 1 && !(record.jobStatus & krx::kJobStatusPaused);
    }));
    monitor_->RequestCommand(7, krx::kJobCommandCancel);
    EXPECT_TRUE(WaitFor([&] { return !monitor_->IsWorkerRunning(); }));
    EXPECT_EQ(monitor_->GetJobCount(), 0);

    EXPECT_EQ(CountInLog("rpc OpenSession library=nvnetq10.dll -> 1"), 1) << CallLog();
    EXPECT_EQ(CountInLog("rpc OpenPort printer=Kit Printer KX500 port=KITPORT1: flag=1 n=15 "
                         "data=NVMA_DUMMY_DATA"),
              1)
        << CallLog();
    for (int value = 1; value <= 3; ++value) {
        EXPECT_EQ(CountInLog("property=201 n=4 value=" + std::to_string(value) + " -> 1"), 1)
            << CallLog();
    }
    EXPECT_EQ(CountInLog("rpc CloseSession -> 1"), 1) << CallLog();
}

// However the server goes, every call answers 0 and the followed job's
// progress is no longer shown; the job stays listed (the worker goes on
// trying to open a session) until the spooler forgets it, and nothing
// reaches the test.
TEST_F(JobMonitorRpcTest, ServerGoingAwayMidJobKeepsTheJobUntilTheSpoolerForgetsIt) {
    const char* ways[] = {"killed", "GetJobProperty", "IsJobActive", "SetJobProperty"};
    int id = 10;
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        ++id;
        kit::SimPort::Remove("ExitInCall");
        kit::DeleteTree(HKEY_CURRENT_USER, kit::kSimPortJobsKey);
        StartServerAndMonitor();
        kit::SimPort::AddJob(Job(id, kLong));
        spooler_->Know(id);
        spooler_->Know(id + 100);
        ASSERT_EQ(monitor_->FollowJob(id), 1);
        ValidRecord(static_cast<uint32_t>(id));
        ASSERT_EQ(monitor_->FollowJob(id + 100), 1);

        if (std::string(way) == "killed") {
            server_->Kill();
        } else {
            kit::SimPort::SetText("ExitInCall", way);
            if (std::string(way) == "SetJobProperty") {
                monitor_->RequestCommand(id, krx::kJobCommandCancel);
            }
        }
        EXPECT_TRUE(WaitFor([&] { return !server_->Running(); }));
        EXPECT_TRUE(WaitFor([&] { return monitor_->GetJobRecord(nullptr) == 0; })) << CallLog();
        Sleep(50);
        EXPECT_TRUE(monitor_->IsWorkerRunning());
        EXPECT_EQ(monitor_->GetJobCount(), 2);
        spooler_->Forget(id);
        EXPECT_TRUE(WaitFor([&] { return monitor_->GetJobCount() == 1; }));
        EXPECT_TRUE(monitor_->IsWorkerRunning());
        spooler_->Forget(id + 100);
        EXPECT_TRUE(WaitFor([&] { return !monitor_->IsWorkerRunning(); })) << CallLog();
        EXPECT_EQ(monitor_->GetJobCount(), 0);
    }
}

// A call that outlives its limit ends the session, not the job: a period
// later the worker opens a new session and follows the job again.
TEST_F(JobMonitorRpcTest, LostSessionIsOpenedAgainAndItsJobFollowed) {
    StartServerAndMonitor(300);
    kit::SimPort::AddJob(Job(45, kLong));
    spooler_->Know(45);
    ASSERT_EQ(monitor_->FollowJob(45), 1);
    ValidRecord(45);
    kit::SimPort::SetNumber("HangMs", 800);
    kit::SimPort::SetNumber("HangCount", 1);
    kit::SimPort::SetText("HangInCall", "IsJobActive");
    EXPECT_TRUE(WaitFor([&] { return CountInLog("rpc OpenSession library=nvnetq10.dll") == 2; }))
        << CallLog();
    EXPECT_TRUE(WaitFor([&] { return CountInLog("rpc BeginJobWatch job=") == 2; })) << CallLog();
    ValidRecord(45);
    EXPECT_EQ(CountInLog("rpc IsJobActive: hangs"), 1) << CallLog();
    EXPECT_EQ(monitor_->GetJobCount(), 1);
    spooler_->Forget(45);
    EXPECT_TRUE(WaitFor([&] { return !monitor_->IsWorkerRunning(); }));
}

// Replies no honest port monitor gives never reach the record: arrays of
// another size than asked fail the read, and a needed size out of range
// leaves the job text empty.
TEST_F(JobMonitorRpcTest, HostileRepliesLeaveTheRecordSound) {
    struct Row {
        const char* name;
        int value;
        bool followed;
    } rows[] = {{"ReplyBytes", 64, false},
                {"ReplyNeeded", -1, true},
                {"ReplyNeeded", 0x7FFFFFFF, true},
                {"ReplyNeeded", static_cast<int>(0x80000001u), true}};
    int id = 30;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.value));
        ++id;
        kit::SimPort::Reset();
        kit::SimPort::SetText("CallLog", logPath_);
        StartServerAndMonitor();
        kit::SimPort::SetNumber(row.name, row.value);
        kit::SimPortJob job = Job(id, kLong);
        job.text = "Hostile.pdf";
        kit::SimPort::AddJob(job);
        spooler_->Know(id);
        ASSERT_EQ(monitor_->FollowJob(id), 1);
        if (row.followed) {
            JobRecord record = ValidRecord(static_cast<uint32_t>(id));
            EXPECT_STREQ(record.jobText, "");
        } else {
            EXPECT_TRUE(WaitFor([&] { return CountInLog("hostile reply") >= 3; })) << CallLog();
            EXPECT_EQ(monitor_->GetJobRecord(nullptr), 0);
        }
        EXPECT_TRUE(monitor_->IsWorkerRunning());
        monitor_.reset();
        spooler_->Forget(id);
    }
}

// A server that stops answering inside a call: the call is given up at its
// limit, the session with it, the worker lets go of the job once the
// spooler forgets it, and a later job gets a session of its own that the
// stuck call does not block.
TEST_F(JobMonitorRpcTest, ServerThatNeverAnswersReleasesTheWorker) {
    StartServerAndMonitor(300);
    kit::SimPort::AddJob(Job(41, kLong));
    spooler_->Know(41);
    ASSERT_EQ(monitor_->FollowJob(41), 1);
    ValidRecord(41);
    kit::SimPort::SetText("HangInCall", "IsJobActive");
    EXPECT_TRUE(WaitFor([&] { return CountInLog("rpc IsJobActive: hangs") == 1; }));
    spooler_->Forget(41);
    EXPECT_TRUE(WaitFor([&] { return !monitor_->IsWorkerRunning(); }, 5000)) << CallLog();
    EXPECT_EQ(monitor_->GetJobRecord(nullptr), 0);
    EXPECT_EQ(CountInLog("rpc EndJobWatch"), 0) << "nothing more on the dead session\n"
                                                << CallLog();

    kit::SimPort::Remove("HangInCall");
    kit::DeleteTree(HKEY_CURRENT_USER, kit::kSimPortJobsKey);
    kit::SimPort::AddJob(Job(42, kLong));
    spooler_->Know(42);
    ASSERT_EQ(monitor_->FollowJob(42), 1);
    ValidRecord(42);
    EXPECT_EQ(CountInLog("rpc OpenSession library=nvnetq10.dll -> 1"), 2) << CallLog();
    spooler_->Forget(42);
}

// With the product's own limit, a monitor whose server hangs for good is
// destroyed (the end of a window's export) well within 30 s.
TEST_F(JobMonitorRpcTest, HungServerLetsTheMonitorEndWithinTheProductLimit) {
    kit::SimPort::AddJob(Job(51, kLong));
    spooler_->Know(51);
    ASSERT_EQ(monitor_->FollowJob(51), 1);
    ValidRecord(51);
    kit::SimPort::SetText("HangInCall", "GetJobProperty");
    EXPECT_TRUE(WaitFor([&] { return CountInLog("rpc GetJobProperty: hangs") == 1; }));
    spooler_->Forget(51);
    DWORD start = GetTickCount();
    monitor_.reset();
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 30000u);
    printf("monitor destroyed %lu ms after its server hung (call limit %lu ms)\n",
           static_cast<unsigned long>(took), static_cast<unsigned long>(krx::pm::kCallLimitMs));
}

} // namespace
