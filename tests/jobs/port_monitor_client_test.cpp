// PortMonitorClient against the simulated port: the local library by
// ordinal, and the RPC interface of the simulated print server, including a
// server that goes away between calls and inside one.
#include <gtest/gtest.h>
#include <rpc.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "base/module/module_state.h"
#include "jobs/port_monitor_client.h"
#include "jobs/session_opening.h"
#include "jobs_fixture.h"

using jobstest::kSharedPrinter;
using krx::PortMonitorClient;

namespace {

constexpr int kJob = 42;
constexpr char kPort[] = "KITPORT1:";

std::string UniqueEndpoint() {
    static int counter = 0;
    char name[64];
    snprintf(name, sizeof(name), "KITPM_%lu_%d", GetCurrentProcessId(), ++counter);
    return name;
}

class ClientTest : public jobstest::JobsTest {
  protected:
    void SetUp() override {
        JobsTest::SetUp();
        spooler_->Know(kJob);
        kit::SimPortJob job = Job(kJob, 100);
        job.text = std::string(80, 'T');
        kit::SimPort::AddJob(job);
    }
};

// The same client operations, once through the local library.
TEST_F(ClientTest, LocalLibraryByOrdinal) {
    PortMonitorClient client;
    EXPECT_EQ(client.OpenPort("p", kPort, 1, nullptr), 0) << "operations before Open do nothing";
    int session = client.Open(krx::kNetworkStatusLibrary, "Kit Printer KX500", kJob);
    ASSERT_NE(session, 0);
    EXPECT_EQ(client.GetMode(), PortMonitorClient::kModeLocal);

    int port = client.OpenPort("\\\\KITSERVER\\Kit Printer KX500", kPort, 1, nullptr);
    ASSERT_EQ(port, kit::kSimPortHandle);
    // The library gets the name unchanged and no data.
    EXPECT_EQ(CountInLog("local OpenPort printer=\\\\KITSERVER\\Kit Printer KX500 port=KITPORT1: "
                         "flag=1 data=(null)"),
              1)
        << CallLog();
    EXPECT_NE(client.IsPortActive(port), 0);
    int job = client.GetCurrentJob(port);
    int id = 0;
    int needed = 0;
    ASSERT_NE(client.GetJobProperty(port, job, 3, &id, sizeof(id), &needed), 0);
    EXPECT_EQ(id, kJob);
    EXPECT_EQ(client.GetJobProperty(port, job, 1, nullptr, 0, &needed), 0);
    EXPECT_EQ(needed, 81);
    int command = 3;
    EXPECT_EQ(client.SetJobProperty(port, job, 201, &command), 1);
    EXPECT_EQ(client.IsJobActive(port, job), 0) << "cancelled";
    EXPECT_EQ(client.ClosePort(port), 1);
    EXPECT_EQ(client.PortHandle(), 0);
    EXPECT_EQ(client.Close(session + 1), 0) << "another session is not closed";
    EXPECT_EQ(client.Close(session), 1);
    EXPECT_EQ(client.IsPortActive(port), 0) << "library unloaded";
}

TEST_F(ClientTest, MissingLibraryOpensNothing) {
    PortMonitorClient client;
    EXPECT_EQ(client.Open("nvmissing.dll", "Kit Printer KX500", kJob), 0);
    EXPECT_EQ(client.OpenPort("p", kPort, 1, nullptr), 0);
    // The library is looked for beside this module, not on the search path.
    krx::SetSelfModule(GetModuleHandleA("kernel32.dll"));
    PortMonitorClient elsewhere;
    EXPECT_EQ(elsewhere.Open(krx::kNetworkStatusLibrary, "Kit Printer KX500", kJob), 0);
    krx::SetSelfModule(nullptr);
}

// Which way a session goes, by printer name and the job's data type; the
// remote cases need no server to be chosen (the session then fails).
TEST_F(ClientTest, LocalOrRemoteByNameAndDataType) {
    const std::string longServer(300, 's');
    const std::string server259(259, 's');
    struct Case {
        std::string printer;
        const char* dataType;
        bool jobKnown;
        int mode;
    } cases[] = {
        {"Kit Printer KX500", "NT EMF 1.008", true, PortMonitorClient::kModeLocal},
        {kSharedPrinter, "RAW", true, PortMonitorClient::kModeLocal},
        {kSharedPrinter, "NT EMF 1.008", true, PortMonitorClient::kModeRemote},
        {kSharedPrinter, "NT EMF 1.008", false, PortMonitorClient::kModeLocal},
        {"\\\\KITSERVER", "NT EMF 1.008", true, PortMonitorClient::kModeLocal},
        {"\\\\" + server259 + "\\p", "NT EMF 1.008", true, PortMonitorClient::kModeRemote},
        {"\\\\" + longServer + "\\p", "NT EMF 1.008", true, PortMonitorClient::kModeLocal},
        {"\\\\" + longServer, "NT EMF 1.008", true, PortMonitorClient::kModeLocal},
        {std::string(300, '\\'), "NT EMF 1.008", true, PortMonitorClient::kModeLocal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printer.substr(0, 40) + " / " + c.dataType);
        spooler_->SetDataType(c.dataType);
        if (c.jobKnown) {
            spooler_->Know(kJob);
        } else {
            spooler_->Forget(kJob);
        }
        PortMonitorClient client(UniqueEndpoint());
        int session = client.Open(krx::kNetworkStatusLibrary, c.printer.c_str(), kJob);
        EXPECT_EQ(client.GetMode(), c.mode);
        if (c.mode == PortMonitorClient::kModeLocal) {
            EXPECT_NE(session, 0);
        } else {
            EXPECT_EQ(session, 0) << "no server listens on this endpoint";
            EXPECT_NE(client.LastRpcFailure(), 0u);
        }
    }
}

class RemoteClientTest : public ClientTest {
  protected:
    void SetUp() override {
        ClientTest::SetUp();
        spooler_->SetDataType("NT EMF 1.008");
        server_.reset(new kit::PortMonitorServer(UniqueEndpoint()));
        ASSERT_TRUE(server_->Start()) << "simulated port monitor did not start";
    }
    void TearDown() override {
        server_.reset(); // killed if still running
        ClientTest::TearDown();
    }
    std::unique_ptr<kit::PortMonitorServer> server_;
};

TEST_F(RemoteClientTest, OperationsGoOutInTheirWireShapes) {
    PortMonitorClient client(server_->Endpoint());
    int session = client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob);
    ASSERT_NE(session, 0) << "rpc failure " << client.LastRpcFailure();
    EXPECT_EQ(client.GetMode(), PortMonitorClient::kModeRemote);
    EXPECT_EQ(CountInLog("rpc OpenSession library=nvnetq10.dll -> 1"), 1) << CallLog();

    // The server part of the name stays behind; no data goes out as the marker.
    int port = client.OpenPort(kSharedPrinter, kPort, 1, nullptr);
    EXPECT_EQ(port, kit::kSimPortHandle);
    EXPECT_EQ(client.PortHandle(), port);
    EXPECT_EQ(CountInLog("rpc OpenPort printer=Kit Printer KX500 port=KITPORT1: flag=1 n=15 "
                         "data=NVMA_DUMMY_DATA"),
              1)
        << CallLog();
    EXPECT_NE(client.OpenPort("\\\\KITSERVER\\Kit Printer KX500", kPort, 1, "abc"), 0);
    EXPECT_EQ(CountInLog("flag=1 n=3 data=abc"), 1) << CallLog();

    int job = client.GetCurrentJob(port);
    EXPECT_NE(client.IsJobActive(port, job), 0);
    int id = 0;
    int needed = 0;
    EXPECT_NE(client.GetJobProperty(port, job, 3, &id, sizeof(id), &needed), 0);
    EXPECT_EQ(id, kJob);

    // A size query sends the marker in a scratch copy and learns the size.
    needed = 0;
    EXPECT_EQ(client.GetJobProperty(port, job, 1, nullptr, 0, &needed), 0);
    EXPECT_EQ(needed, 81);
    EXPECT_EQ(CountInLog("property=1 n=15 data=NVMA_DUMMY_DATA -> 0 needed=81"), 1) << CallLog();

    // Property sizes as sent with SetJobProperty.
    int pause = 1;
    unsigned char paper[6] = {1, 0, 2, 0, 3, 0};
    EXPECT_EQ(client.SetJobProperty(port, job, 201, &pause), 1);
    EXPECT_EQ(client.SetJobProperty(port, job, 21, paper), 0);
    EXPECT_EQ(client.SetJobProperty(port, job, 77, paper), 0);
    EXPECT_EQ(client.SetJobProperty(port, job, 201, nullptr), 0);
    EXPECT_EQ(CountInLog("property=201 n=4 value=1 -> 1"), 1) << CallLog();
    EXPECT_EQ(CountInLog("property=21 n=6"), 1) << CallLog();
    EXPECT_EQ(CountInLog("property=77 n=15"), 1) << CallLog();
    EXPECT_EQ(CountInLog("property=201 n=15"), 1) << CallLog();
    EXPECT_NE(client.BeginJobWatch(port, job), 0);
    EXPECT_NE(client.EndJobWatch(port, job), 0);

    EXPECT_EQ(client.ClosePort(port), 1);
    EXPECT_EQ(client.PortHandle(), 0);
    EXPECT_EQ(client.Close(session), 1);
    EXPECT_EQ(client.SessionValue(), 0);
    EXPECT_EQ(CountInLog("rpc CloseSession -> 1"), 1) << CallLog();
}

// The reply can never write past the caller's buffer, whatever size the
// server claims.
TEST_F(RemoteClientTest, BufferBoundsHoldAgainstWrongSizes) {
    kit::SimPort::Reset();
    kit::SimPort::SetText("CallLog", logPath_);
    kit::SimPortJob liar = Job(kJob, 100);
    liar.text = std::string(80, 'L');
    liar.textNeeded = 1000;
    kit::SimPort::AddJob(liar);

    PortMonitorClient client(server_->Endpoint());
    ASSERT_NE(client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob), 0);
    int port = client.OpenPort(kSharedPrinter, kPort, 1, nullptr);
    int job = client.GetCurrentJob(port);
    struct {
        char buffer[16];
        char guard[16];
    } area;
    memset(&area, '#', sizeof(area));
    int needed = 0;
    EXPECT_NE(client.GetJobProperty(port, job, 1, area.buffer, sizeof(area.buffer), &needed), 0);
    EXPECT_EQ(needed, 1000);
    EXPECT_EQ(std::string(area.buffer, 16), std::string(16, 'L'));
    EXPECT_EQ(std::string(area.guard, 16), std::string(16, '#'));
    // A negative buffer size goes out as a size query.
    EXPECT_EQ(client.GetJobProperty(port, job, 1, area.buffer, -5, &needed), 0);
    EXPECT_EQ(std::string(area.guard, 16), std::string(16, '#'));
}

// A hostile server's array reply of any other size or place than asked is
// refused before a byte of it reaches the caller's memory.
TEST_F(RemoteClientTest, OversizedOrMisplacedReplyArraysAreRefused) {
    PortMonitorClient client(server_->Endpoint());
    ASSERT_NE(client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob), 0);
    int port = client.OpenPort(kSharedPrinter, kPort, 1, nullptr);
    int job = client.GetCurrentJob(port);
    struct {
        int bytes;
        int offset;
    } replies[] = {{64, 0}, {5, 0}, {2, 0}, {4, 4}, {4, 0x100000}, {0x10000, 0}};
    for (const auto& reply : replies) {
        SCOPED_TRACE(std::to_string(reply.bytes) + " at " + std::to_string(reply.offset));
        kit::SimPort::SetNumber("ReplyBytes", reply.bytes);
        kit::SimPort::SetNumber("ReplyOffset", reply.offset);
        struct {
            int value = 0x5A5A5A5A;
            char guard[128];
        } area;
        memset(area.guard, '#', sizeof(area.guard));
        int needed = 0;
        EXPECT_EQ(client.GetJobProperty(port, job, 3, &area.value, sizeof(area.value), &needed), 0);
        EXPECT_EQ(client.LastRpcFailure(), static_cast<unsigned long>(RPC_X_BAD_STUB_DATA));
        EXPECT_FALSE(client.SessionDead()) << "the connection is still there";
        EXPECT_EQ(area.value, 0x5A5A5A5A);
        EXPECT_EQ(std::string(area.guard, sizeof(area.guard)),
                  std::string(sizeof(area.guard), '#'));
    }
    EXPECT_EQ(CountInLog("hostile reply of 64 bytes at 0"), 1) << CallLog();
    // The same wire shapes, honestly sized, are taken.
    kit::SimPort::SetNumber("ReplyBytes", 4);
    kit::SimPort::SetNumber("ReplyOffset", 0);
    kit::SimPort::SetNumber("ReplyNeeded", -7);
    int value = 0;
    int needed = 0;
    EXPECT_EQ(client.GetJobProperty(port, job, 3, &value, sizeof(value), &needed), 1);
    EXPECT_EQ(value, 0x58585858);
    EXPECT_EQ(needed, -7);
    EXPECT_EQ(client.Close(client.SessionValue()), 1);
}

// A call the server never answers is cancelled at the limit: it fails, the
// session is dead, and nothing more goes out on it (the server still holds
// the session's context for the stuck call).
TEST_F(RemoteClientTest, CallOutlastingItsLimitKillsTheSession) {
    const DWORD limit = 500;
    PortMonitorClient client(server_->Endpoint(), limit);
    int session = client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob);
    ASSERT_NE(session, 0);
    int port = client.OpenPort(kSharedPrinter, kPort, 1, nullptr);
    ASSERT_NE(port, 0);
    kit::SimPort::SetText("HangInCall", "GetCurrentJob");
    DWORD start = GetTickCount();
    EXPECT_EQ(client.GetCurrentJob(port), 0);
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, limit - 20);
    EXPECT_LT(took, limit + 3000);
    EXPECT_TRUE(client.SessionDead());
    EXPECT_EQ(client.LastRpcFailure(), static_cast<unsigned long>(RPC_S_CALL_CANCELLED));

    kit::SimPort::Remove("HangInCall");
    start = GetTickCount();
    int value = 0;
    int needed = 0;
    EXPECT_EQ(client.IsPortActive(port), 0);
    EXPECT_EQ(client.GetJobProperty(port, 0x7000, 3, &value, sizeof(value), &needed), 0);
    EXPECT_EQ(client.ClosePort(port), 0);
    EXPECT_EQ(client.Close(session), 0);
    EXPECT_LT(GetTickCount() - start, 200u);
    EXPECT_EQ(CountInLog("rpc ClosePort"), 0) << CallLog();
    EXPECT_EQ(CountInLog("rpc CloseSession"), 0) << CallLog();
}

// A slow but honest server (an answer after 3 s) is waited for.
TEST_F(RemoteClientTest, SlowServerIsWaitedFor) {
    PortMonitorClient client(server_->Endpoint());
    ASSERT_NE(client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob), 0);
    int port = client.OpenPort(kSharedPrinter, kPort, 1, nullptr);
    kit::SimPort::SetText("HangInCall", "GetCurrentJob");
    kit::SimPort::SetNumber("HangMs", 3000);
    EXPECT_NE(client.GetCurrentJob(port), 0) << "rpc failure " << client.LastRpcFailure();
    EXPECT_FALSE(client.SessionDead());
    kit::SimPort::Remove("HangInCall");
    EXPECT_NE(client.IsPortActive(port), 0);
}

TEST_F(RemoteClientTest, ServerGoneBetweenCallsGivesZeroEverywhere) {
    PortMonitorClient client(server_->Endpoint());
    int session = client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob);
    ASSERT_NE(session, 0);
    int port = client.OpenPort(kSharedPrinter, kPort, 1, nullptr);
    ASSERT_NE(port, 0);
    int job = client.GetCurrentJob(port);
    ASSERT_NE(job, 0);
    server_->Kill();

    int value = 1;
    int needed = 0;
    EXPECT_EQ(client.IsPortActive(port), 0);
    EXPECT_EQ(client.LastRpcFailure(), static_cast<unsigned long>(RPC_S_SERVER_UNAVAILABLE));
    EXPECT_TRUE(client.SessionDead());
    EXPECT_EQ(client.GetCurrentJob(port), 0);
    EXPECT_EQ(client.IsJobActive(port, job), 0);
    EXPECT_EQ(client.GetJobProperty(port, job, 3, &value, sizeof(value), &needed), 0);
    EXPECT_EQ(client.SetJobProperty(port, job, 201, &value), 0);
    EXPECT_EQ(client.BeginJobWatch(port, job), 0);
    EXPECT_EQ(client.EndJobWatch(port, job), 0);
    EXPECT_EQ(client.OpenPort(kSharedPrinter, kPort, 1, nullptr), 0);
    EXPECT_EQ(client.ClosePort(port), 0);
    EXPECT_EQ(client.Close(session), 0);
    // The destructor closes the port and the session once more: still quiet.
}

TEST_F(RemoteClientTest, ServerDyingInsideACallGivesZero) {
    PortMonitorClient client(server_->Endpoint());
    ASSERT_NE(client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob), 0);
    int port = client.OpenPort(kSharedPrinter, kPort, 1, nullptr);
    ASSERT_NE(port, 0);
    kit::SimPort::SetText("ExitInCall", "GetCurrentJob");
    EXPECT_EQ(client.GetCurrentJob(port), 0);
    EXPECT_EQ(client.LastRpcFailure(), static_cast<unsigned long>(RPC_S_CALL_FAILED));
    EXPECT_TRUE(jobstest::WaitFor([&] { return !server_->Running(); }));
    EXPECT_EQ(CountInLog("rpc GetCurrentJob: server exits"), 1) << CallLog();
    EXPECT_EQ(client.IsPortActive(port), 0);
}

// A server that holds its pipe busy (clients would wait the pipe's default
// time-out) or never answers the bind: the opening is given up at its limit,
// or at once when the monitor stops, and meanwhile another server's session
// opens without waiting for it.
TEST_F(RemoteClientTest, StuckSessionOpeningIsGivenUpAndHoldsUpNoOtherServer) {
    using Pipe = kit::PortMonitorServer::Pipe;
    kit::SimPort::SetNumber("HoldPipeWaitMs", 4000);
    const DWORD limit = 700;
    const struct {
        Pipe pipe;
        bool byStop;
    } rows[] = {{Pipe::kHoldBusy, false},
                {Pipe::kHoldBusy, true},
                {Pipe::kSilentBind, false},
                {Pipe::kSilentBind, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.pipe == Pipe::kHoldBusy ? "pipe busy" : "bind unanswered") +
                     (row.byStop ? ", monitor stops" : ", limit"));
        kit::PortMonitorServer stuck(UniqueEndpoint(), row.pipe);
        ASSERT_TRUE(stuck.Start());
        HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        int session = -1;
        DWORD took = 0;
        std::thread opener([&] {
            PortMonitorClient client(stuck.Endpoint(), limit, stop);
            const DWORD start = GetTickCount();
            session = client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob);
            took = GetTickCount() - start;
        });
        Sleep(150);
        {
            PortMonitorClient other(server_->Endpoint());
            const DWORD start = GetTickCount();
            EXPECT_NE(other.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob), 0);
            EXPECT_LT(GetTickCount() - start, 400u) << "waited for the stuck server";
        }
        if (row.byStop) {
            SetEvent(stop);
        }
        opener.join();
        CloseHandle(stop);
        EXPECT_EQ(session, 0);
        EXPECT_LT(took, row.byStop ? 600u : limit + 300);
        printf("  %s: opening given up after %lu ms\n",
               row.pipe == Pipe::kHoldBusy ? "pipe busy" : "bind unanswered",
               static_cast<unsigned long>(took));
    }
}

// Openings left behind on a server that never lets go are capped per
// server: the next one fails at once, until the server lets one go.
TEST_F(RemoteClientTest, OpeningsLeftBehindAreCappedPerServer) {
    kit::SimPort::SetNumber("HoldPipeWaitMs", 2000);
    kit::PortMonitorServer stuck(UniqueEndpoint(), kit::PortMonitorServer::Pipe::kHoldBusy);
    ASSERT_TRUE(stuck.Start());
    auto openTook = [&] {
        PortMonitorClient client(stuck.Endpoint(), 200);
        const DWORD start = GetTickCount();
        EXPECT_EQ(client.Open(krx::kNetworkStatusLibrary, kSharedPrinter, kJob), 0);
        return GetTickCount() - start;
    };
    for (int i = 0; i < krx::kMaxOpeningsPerBinding; ++i) {
        EXPECT_GE(openTook(), 150u);
    }
    EXPECT_LT(openTook(), 100u) << "a third opening left behind";
    EXPECT_TRUE(jobstest::WaitFor(
        [&] {
            Sleep(50);
            return openTook() >= 150;
        },
        8000))
        << "the openings left behind never ended";
}

// A shared printer named with this computer's own name binds over ncalrpc
// without an endpoint: the server is found through the endpoint mapper.
TEST_F(RemoteClientTest, OwnComputerNameReachesServerThroughEndpointMapper) {
    std::string printer = "\\\\" + krx::ThisComputerName() + "\\Kit Printer KX500";
    PortMonitorClient client("NO_SUCH_PIPE");
    int session = client.Open(krx::kNetworkStatusLibrary, printer.c_str(), kJob);
    EXPECT_EQ(client.GetMode(), PortMonitorClient::kModeRemote);
    ASSERT_NE(session, 0) << "rpc failure " << client.LastRpcFailure();
    EXPECT_EQ(client.OpenPort(printer.c_str(), kPort, 1, nullptr), kit::kSimPortHandle);
    EXPECT_EQ(CountInLog("rpc OpenPort printer=Kit Printer KX500"), 1) << CallLog();
    EXPECT_EQ(client.Close(session), 1);
}

} // namespace
