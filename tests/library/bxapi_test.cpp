// CBxApi: which library it loads, when it is enabled, when it is released,
// and how often it asks the spooler for the driver.
#include <gtest/gtest.h>

#include <string>

#include "comm/bxapi.h"
#include "comm/spooler.h"
#include "entry/module/module_state.h"
#include "test_support.h"

using kit::SimPrinter;

namespace {

constexpr char kDriverKey[] = "software\\NORVA\\KRX3\\Driver\\";

int g_openPrinterCalls = 0;
BOOL WINAPI CountingOpenPrinter(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA defaults) {
    ++g_openPrinterCalls;
    return krx::DefaultSpooler().openPrinter(name, handle, defaults);
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
        krx::CBxApi bx;
        EXPECT_EQ(bx.IsEnabled(), 1);
        EXPECT_EQ(bx.InitializeResult(), 0);
    }
    EXPECT_EQ(Calls(), "BXInitialize\nBXRelease\n");
}

TEST_F(BxApiTest, RegistryPathFirstThenFallback) {
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, "Software\\Norva\\KRX3", "log", 1);
    krx::InitializeModuleState();
    SetLibraryFor("", "c:\\nowhere\\missing.dll");
    {
        krx::CBxApi bx;
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
        krx::CBxApi bx;
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
            krx::CBxApi bx;
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
    krx::Module().printerName = kit::kPrinterName;
    {
        krx::CBxApi first;
        EXPECT_EQ(krx::Module().driverName, kit::kDriverName);
        EXPECT_EQ(first.IsEnabled(), 0); // the driver's library lacks BXSend
    }
    {
        krx::CBxApi second;
        EXPECT_EQ(second.IsEnabled(), 0);
    }
    EXPECT_EQ(g_openPrinterCalls, 1);
    kit::RemoveSpoolerPrinter(kit::kPrinterName);
}

TEST_F(BxApiTest, UnknownPrinterLeavesTheDriverEmpty) {
    krx::Module().printerName = "No Such Printer";
    krx::CBxApi bx;
    EXPECT_EQ(krx::Module().driverName, "");
    EXPECT_EQ(bx.IsEnabled(), 1); // through the bare driver key and BXAPI.DLL
}
