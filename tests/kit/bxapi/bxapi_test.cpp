// CBxApi: which library it loads, when it is enabled, when it is released,
// and how often it asks the spooler for the driver.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/registry/registry_paths.h"
#include "comm/bxapi.h"
#include "comm/spooler.h"
#include "base/module/module_state.h"
#include "test_support.h"

using kit::SimPrinter;

namespace {

constexpr const char* kDriverKey = krx::regkey::kDriverKeyPrefix;

int g_openPrinterCalls = 0;
BOOL WINAPI CountingOpenPrinter(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA defaults) {
    ++g_openPrinterCalls;
    return krx::DefaultSpooler().openPrinter(name, handle, defaults);
}

std::string NoDriver(const char* /*printerName*/) {
    return std::string();
}

// The driver name the module keeps (none answers when none is kept).
std::string KeptDriverName() {
    return krx::RememberedDriverName("", NoDriver);
}

class BxApiTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        callLog_ = kit::ExecutableFolder() + "bxapi_calls.log";
        DeleteFileA(callLog_.c_str());
        SimPrinter::SetText("CallLog", callLog_);
    }
    void TearDown() override {
        krx::Spooler() = krx::DefaultSpooler();
        DeleteFileA(callLog_.c_str());
        CleanRegistryTest::TearDown();
    }
    std::string Calls() const { return kit::ReadTextFile(callLog_); }
    static void SetLibraryFor(const std::string& driver, const std::string& path) {
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kDriverKey + driver, "BXAPI32", path);
    }
    std::string callLog_;
};

} // namespace

TEST_F(BxApiTest, DefaultLibraryIsInitialisedAndReleased) {
    {
        krx::CBxApi bx(krx::RememberedPrinterName());
        EXPECT_EQ(bx.IsEnabled(), 1);
        EXPECT_EQ(bx.InitializeResult(), 0);
    }
    EXPECT_EQ(Calls(), "BXInitialize\nBXRelease\n");
}

TEST_F(BxApiTest, RegistryPathFirstThenFallback) {
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    krx::InitializeModuleState();
    SetLibraryFor("", "c:\\nowhere\\missing.dll");
    {
        krx::CBxApi bx(krx::RememberedPrinterName());
        EXPECT_EQ(bx.IsEnabled(), 1);
    }
    std::string trace = kit::ReadTextFile(krxtest::kTraceFile);
    EXPECT_NE(trace.find("BXAPI Name(from Registry) : c:\\nowhere\\missing.dll\r\n"
                         "BXAPI Name(not from Registry): BXAPI.DLL\r\nm_bEnable : 1\r\n"),
              std::string::npos)
        << trace;
}

TEST_F(BxApiTest, MissingEntryPointDisablesWithoutInitialising) {
    SetLibraryFor("", kit::ExecutableFolder() + "BXAPI_NOSEND.dll");
    {
        krx::CBxApi bx(krx::RememberedPrinterName());
        EXPECT_EQ(bx.IsEnabled(), 0);
        EXPECT_EQ(bx.InitializeResult(), -1);
        int size = 0;
        EXPECT_EQ(bx.BXGetStatus(1, nullptr, &size), -1); // a disabled wrapper calls nothing
    }
    EXPECT_EQ(Calls(), "");
}

TEST_F(BxApiTest, ReleaseFollowsTheInitialiseResult) {
    struct Case {
        int init;
        int enabled;
        const char* calls;
    } cases[] = {{0, 1, "BXInitialize\nBXRelease\n"},
                 {3, 0, "BXInitialize\nBXRelease\n"},
                 {-2, 0, "BXInitialize\n"}};
    for (const Case& c : cases) {
        DeleteFileA(callLog_.c_str());
        SimPrinter::SetNumber("InitResult", c.init);
        {
            krx::CBxApi bx(krx::RememberedPrinterName());
            EXPECT_EQ(bx.IsEnabled(), c.enabled) << c.init;
        }
        EXPECT_EQ(Calls(), c.calls) << c.init;
    }
}

TEST_F(BxApiTest, DriverNameIsAskedOnceAndSelectsTheLibrary) {
    ASSERT_TRUE(kit::AddSpoolerPrinter(kit::kPrinterName, kit::kDriverName));
    SetLibraryFor(kit::kDriverName, kit::ExecutableFolder() + "BXAPI_NOSEND.dll");
    krx::Spooler().openPrinter = CountingOpenPrinter;
    g_openPrinterCalls = 0;
    {
        krx::CBxApi first(kit::kPrinterName);
        EXPECT_EQ(KeptDriverName(), kit::kDriverName);
        EXPECT_EQ(first.IsEnabled(), 0); // the driver's library lacks BXSend
    }
    {
        krx::CBxApi second(kit::kPrinterName);
        EXPECT_EQ(second.IsEnabled(), 0);
    }
    EXPECT_EQ(g_openPrinterCalls, 1);
    kit::RemoveSpoolerPrinter(kit::kPrinterName);
}

TEST_F(BxApiTest, UnknownPrinterLeavesTheDriverEmpty) {
    krx::CBxApi bx("No Such Printer");
    EXPECT_EQ(KeptDriverName(), "");
    EXPECT_EQ(bx.IsEnabled(), 1); // through the bare driver key and BXAPI.DLL
}

TEST_F(BxApiTest, SimulatedPrinterAnswersAShortBufferWithTheSizeOnly) {
    using Read = std::function<int(const krx::CBxApi&, int, char*, int*)>;
    const struct {
        const char* label;
        Read read;
    } reads[] = {
        {"status", [](const krx::CBxApi& bx, int channel, char* b,
                      int* n) { return bx.BXGetStatus(channel, b, n); }},
        {"device ID", [](const krx::CBxApi& bx, int, char* b,
                         int* n) { return bx.BXGetDeviceID(1, kit::kPrinterName, b, n); }},
        {"channel list",
         [](const krx::CBxApi& bx, int, char* b, int* n) {
             return bx.BXGetAvailableChannel(1, kit::kPrinterName, b, n);
         }},
    };
    SimPrinter::ScriptTypicalPrinter();
    SimPrinter::SetStatusReply("@BDC ST\r\nST:04;\x0C");
    for (int misbehave : {0, 1}) {
        SimPrinter::SetNumber("Misbehave", misbehave); // read when the library starts
        krx::CBxApi bx(krx::RememberedPrinterName());
        ASSERT_EQ(bx.IsEnabled(), 1);
        const int channel = bx.BXOpenChannel(1, kit::kPrinterName, 4);
        for (const auto& r : reads) {
            int size = 0;
            ASSERT_EQ(-4, r.read(bx, channel, nullptr, &size)) << r.label;
            ASSERT_GT(size, 8) << r.label;
            const std::string untouched(static_cast<size_t>(size), '#');
            std::string buffer = untouched;
            int shortSize = size - 1;
            const int rc = r.read(bx, channel, &buffer[0], &shortSize);
            if (misbehave == 0) {
                EXPECT_EQ(-4, rc) << r.label;
                EXPECT_EQ(size, shortSize) << r.label << ": the size it needs";
                EXPECT_EQ(untouched, buffer) << r.label << ": nothing copied";
            } else {
                EXPECT_GT(rc, 0) << r.label << ": a misbehaving printer hands over a part";
                EXPECT_NE(untouched, buffer) << r.label;
            }
            int fullSize = size;
            EXPECT_GT(r.read(bx, channel, &buffer[0], &fullSize), 0) << r.label;
        }
        bx.BXReceiveCancel(channel);
        bx.BXCloseChannel(channel);
    }
}

TEST_F(BxApiTest, SimulatedPrinterServesTwoWindowsThreadsAtOnce) {
    // Two windows poll on their own threads while the printer's script
    // (reloaded at every status read) changes under them.
    const std::string replies[] = {"@BDC ST\r\nST:04;\x0C",
                                   "@BDC ST\r\nST:00;ER:05;IQ:004B3C5A463C;WR:10;\x0C"};
    SimPrinter::Remove("CallLog");
    SimPrinter::SetNumber("Live", 1);
    SimPrinter::SetStatusReply(replies[0]);
    struct Poller {
        const std::string* replies = nullptr;
        krx::CBxApi bx{krx::RememberedPrinterName()}; // made here: the module's driver name is
                                                      // filled once, without a lock
        int bad = 0;
        static DWORD WINAPI Run(void* param) {
            Poller* p = static_cast<Poller*>(param);
            const krx::CBxApi& bx = p->bx;
            for (int i = 0; i < 1500; ++i) {
                int size = 0;
                if (bx.BXGetStatus(7, nullptr, &size) != -4 || size <= 0 || size > 4096) {
                    ++p->bad;
                    continue;
                }
                std::string buffer(static_cast<size_t>(size), '\0');
                const int rc = bx.BXGetStatus(7, &buffer[0], &size);
                if (rc == -4) {
                    continue; // the reply changed between the calls: ask again
                }
                buffer.resize(rc > 0 ? static_cast<size_t>(rc) : 0); // the reply may have shrunk
                if (rc != size || (buffer != p->replies[0] && buffer != p->replies[1])) {
                    ++p->bad;
                }
            }
            return 0;
        }
    } pollers[2];
    pollers[0].replies = pollers[1].replies = replies;
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) {
        threads[i] = CreateThread(nullptr, 0, &Poller::Run, &pollers[i], 0, nullptr);
        ASSERT_NE(threads[i], nullptr);
    }
    for (int i = 0; WaitForMultipleObjects(2, threads, TRUE, 0) == WAIT_TIMEOUT; ++i) {
        SimPrinter::SetStatusReply(replies[i % 2]);
        Sleep(1);
    }
    for (HANDLE t : threads) {
        CloseHandle(t);
    }
    EXPECT_EQ(0, pollers[0].bad);
    EXPECT_EQ(0, pollers[1].bad);
}

// A window's wrapper: a library that stops answering fails the call within
// the limit, later calls fail at once while it hangs, and the wrapper goes
// on once the library answers again, its answers copied back.
TEST_F(BxApiTest, BoundedCallsFailWithinTheLimitAndGoOnAfterwards) {
    constexpr DWORD kLimitMs = 300;
    constexpr int kHangMs = 1000;
    krx::LibraryCallThread calls(kLimitMs);
    SimPrinter::SetNumber("Live", 1);
    SimPrinter::SetNumber("HangMs", kHangMs);
    SimPrinter::SetText("HangIn", "BXInitialize");
    DWORD start = GetTickCount();
    {
        krx::CBxApi hung(krx::RememberedPrinterName(), &calls);
        EXPECT_EQ(hung.IsEnabled(), 0);
    }
    EXPECT_LT(GetTickCount() - start, kLimitMs + 300) << "the wrapper waited for the library";
    Sleep(kHangMs);

    SimPrinter::SetText("HangIn", "BXGetStatus");
    SimPrinter::SetStatusReply("@BDC ST2\r\nST:04;");
    krx::CBxApi bx(krx::RememberedPrinterName(), &calls);
    ASSERT_EQ(bx.IsEnabled(), 1);
    int size = 0;
    start = GetTickCount();
    EXPECT_EQ(bx.BXGetStatus(1, nullptr, &size), -1);
    EXPECT_EQ(bx.BXGetStatus(1, nullptr, &size), -1);
    EXPECT_LT(GetTickCount() - start, kLimitMs + 300) << "a call waited behind the hung one";
    EXPECT_EQ(size, 0) << "an overdue call wrote into its caller's size";

    SimPrinter::Remove("HangIn");
    Sleep(kHangMs);
    ASSERT_EQ(bx.BXGetStatus(1, nullptr, &size), -4);
    std::string reply(static_cast<size_t>(size), '\0');
    EXPECT_EQ(bx.BXGetStatus(1, &reply[0], &size), size);
    EXPECT_EQ(reply, "@BDC ST2\r\nST:04;");
}
