// PrSelectChan, PrGetPrnData, PrSendPrnData and PrReleaseReg through the
// plug-in's exports against the simulated printer, and the shared receive
// behind them.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "comm/bxapi.h"
#include "entry/data_exports.h"
#include "base/module/module_state.h"
#include "exports_fixture.h"
#include "test_support.h"

using kit::SimPrinter;

namespace {

constexpr int kUntouched = -77;

struct Entry {
    unsigned id;
    unsigned short attributes;
    unsigned short parameter;
};
static_assert(sizeof(Entry) == 8, "the library's 8-byte entry");

class DataExportsTest : public krxtest::InstalledSystemTest {
  protected:
    void SetUp() override {
        InstalledSystemTest::SetUp();
        callLog_ = kit::ExecutableFolder() + "data_exports_calls.log";
        DeleteFileA(callLog_.c_str());
        SimPrinter::SetText("CallLog", callLog_);
        ASSERT_TRUE(plugin_.Loaded());
        selectChan_ = plugin_.Get<PFN_PrSelectChan>("PrSelectChan");
        getData_ = plugin_.Get<PFN_PrGetPrnData>("PrGetPrnData");
        sendData_ = plugin_.Get<PFN_PrSendPrnData>("PrSendPrnData");
        releaseReg_ = plugin_.Get<PFN_PrReleaseReg>("PrReleaseReg");
        ASSERT_TRUE(selectChan_ && getData_ && sendData_ && releaseReg_);
    }
    void TearDown() override {
        DeleteFileA(callLog_.c_str());
        InstalledSystemTest::TearDown();
    }
    std::string Calls() const { return kit::ReadTextFile(callLog_); }

    exportstest::LoadedPlugin plugin_;
    PFN_PrSelectChan selectChan_ = nullptr;
    PFN_PrGetPrnData getData_ = nullptr;
    PFN_PrSendPrnData sendData_ = nullptr;
    PFN_PrReleaseReg releaseReg_ = nullptr;
    std::string callLog_;
};

// The host's side of a channel: its own load of the library, as the
// status monitor holds one while it asks the plug-in for data.
class HostChannel {
  public:
    explicit HostChannel(int channelId = 0x10000005) {
        if (bx_.IsEnabled()) {
            handle = bx_.BXOpenChannel(1, kit::kPrinterName, channelId);
        }
    }
    ~HostChannel() {
        if (handle != 0) {
            bx_.BXReceiveCancel(handle);
            bx_.BXCloseChannel(handle);
        }
    }
    void Send(const char* command) const {
        const unsigned char bytes[] = {static_cast<unsigned char>(command[0]),
                                       static_cast<unsigned char>(command[1]), 1, 0, 1};
        bx_.BXSend(handle, bytes, sizeof(bytes));
    }
    const krx::CBxApi& Library() const { return bx_; }
    int handle = 0;

  private:
    krx::CBxApi bx_{krx::RememberedPrinterName()};
};

void* HostBuffer(const char* text) {
    void* p = LocalAlloc(LMEM_FIXED, strlen(text) + 1);
    memcpy(p, text, strlen(text) + 1);
    return p;
}

} // namespace

TEST_F(DataExportsTest, SelectChanChoosesByOrderAndStatusBit) {
    const struct {
        const char* label;
        std::vector<Entry> entries;
        int chosen;
    } cases[] = {
        {"third choice when the first lacks the bit",
         {{0x10000003, 0x0004, 1}, {0x00000004, 0x0003, 2}, {0x02000001, 0x0004, 3}},
         0x10000003},
        {"first choice", {{0x02000001, 0x0004, 0}, {0x00000004, 0x0004, 0}}, 0x00000004},
        {"a later 0x4 with the bit never counts",
         {{0x00000004, 0x0000, 0}, {0x10010003, 0x0004, 0}, {0x00000004, 0x0004, 0}},
         0x10010003},
        {"fourth choice", {{0x10000005, 0x0007, 0}, {0x02000001, 0x0004, 0}}, 0x02000001},
        {"none qualifies", {{0x10000005, 0x0007, 0}, {0x00000004, 0x0003, 0}}, kUntouched},
    };
    for (const auto& c : cases) {
        int chosen = kUntouched;
        int out5 = kUntouched;
        int out6 = kUntouched;
        EXPECT_EQ(selectChan_(0, c.entries.data(), static_cast<int>(c.entries.size()), &chosen,
                              &out5, &out6),
                  0)
            << c.label;
        EXPECT_EQ(chosen, c.chosen) << c.label;
        const int cleared = c.chosen == kUntouched ? kUntouched : 0;
        EXPECT_EQ(out5, cleared) << c.label;
        EXPECT_EQ(out6, cleared) << c.label;
    }
}

TEST_F(DataExportsTest, SelectChanRefusesBadCountsAndArrays) {
    const Entry entries[] = {{0x00000004, 0x0004, 0}, {0x10000003, 0x0004, 0}};
    const struct {
        const char* label;
        const void* entries;
        int count;
    } cases[] = {
        {"count 0", entries, 0},
        {"negative count", entries, -1},
        {"null array", nullptr, 2},
        {"count whose size overflows", entries, 0x20000000},
        {"count far beyond memory", entries, INT_MAX},
    };
    for (const auto& c : cases) {
        int chosen = kUntouched;
        int out5 = kUntouched;
        int out6 = kUntouched;
        EXPECT_EQ(selectChan_(0, c.entries, c.count, &chosen, &out5, &out6), 1) << c.label;
        EXPECT_EQ(chosen, kUntouched) << c.label;
        EXPECT_EQ(out5, kUntouched) << c.label;
        EXPECT_EQ(out6, kUntouched) << c.label;
    }
    EXPECT_EQ(selectChan_(0, entries, 2, nullptr, nullptr, nullptr), 0) << "null outputs";
}

TEST_F(DataExportsTest, SendAndReleaseOnlyCheckTheirArguments) {
    EXPECT_EQ(sendData_(0, 0, 5), 0);
    EXPECT_EQ(sendData_(0, 0, 0), -1);
    EXPECT_EQ(sendData_(0, 0, -3), -1);
    EXPECT_EQ(releaseReg_(), 0);
    EXPECT_EQ(Calls().find("BXSend"), std::string::npos) << Calls();
}

TEST_F(DataExportsTest, GetPrnDataHandsOverTheReplyAndFreesTheOldBuffer) {
    SimPrinter::ScriptTypicalPrinter();
    HostChannel channel;
    ASSERT_NE(channel.handle, 0);
    channel.Send("ii");
    void* buffer = HostBuffer("the host's previous buffer");
    void* previous = buffer;
    int out4 = kUntouched;
    ASSERT_EQ(getData_(0, 0, channel.handle, &out4, &buffer), 0);
    EXPECT_EQ(out4, 0) << "the length is not passed back";
    ASSERT_NE(buffer, previous);
    const std::string expected = kit::TypicalInfoReply();
    EXPECT_EQ(LocalSize(buffer), expected.size() + 1);
    EXPECT_EQ(memcmp(buffer, expected.data(), expected.size()), 0);
    EXPECT_EQ(static_cast<char*>(buffer)[expected.size()], '\0') << "a host can find the end";
    LocalFree(buffer);
    EXPECT_EQ(Calls().find("BXReceiveCancel"), std::string::npos) << Calls();
}

TEST_F(DataExportsTest, GetPrnDataWithoutDataCancelsAndKeepsTheBuffer) {
    const struct {
        const char* label;
        const char* number; // null: nothing pending, nothing scripted
        int value;
    } cases[] = {
        {"nothing pending", nullptr, 0},
        {"first call 0", "ReceiveFirstResult", 0},
        {"first call fails", "ReceiveFirstResult", -1},
        {"size 0", "ReceiveAnnouncedSize", 0},
        {"size beyond 1 MiB", "ReceiveAnnouncedSize", 1024 * 1024 + 1},
        {"second call -10", "ReceiveSecondResult", -10},
        {"second call 0", "ReceiveSecondResult", 0},
        {"second call fails", "ReceiveSecondResult", -2},
    };
    for (const auto& c : cases) {
        SimPrinter::Reset();
        SimPrinter::SetText("CallLog", callLog_);
        if (c.number != nullptr) {
            SimPrinter::SetBytes("ReceiveReply", "@BDC PS\r\nIR:0001;\x0C");
            SimPrinter::SetNumber(c.number, c.value);
        }
        HostChannel channel;
        ASSERT_NE(channel.handle, 0) << c.label;
        DeleteFileA(callLog_.c_str());
        void* buffer = HostBuffer("kept");
        void* previous = buffer;
        int out4 = kUntouched;
        EXPECT_EQ(getData_(0, 0, channel.handle, &out4, &buffer), 0) << c.label;
        EXPECT_EQ(buffer, previous) << c.label;
        EXPECT_STREQ(static_cast<char*>(buffer), "kept") << c.label;
        EXPECT_EQ(out4, 0) << c.label;
        EXPECT_NE(Calls().find("BXReceiveCancel " + std::to_string(channel.handle)),
                  std::string::npos)
            << c.label << "\n"
            << Calls();
        LocalFree(buffer);
    }
}

TEST_F(DataExportsTest, GetPrnDataChecks) {
    int out4 = kUntouched;
    void* buffer = nullptr;
    EXPECT_EQ(getData_(0, 0, 0, &out4, &buffer), -1);
    EXPECT_EQ(out4, kUntouched);
    SimPrinter::SetBytes("ReceiveReply", "data");
    {
        HostChannel channel;
        EXPECT_EQ(getData_(0, 0, channel.handle, nullptr, nullptr), 0) << "null outputs";
    }
    SimPrinter::SetNumber("InitResult", 1);
    EXPECT_EQ(getData_(0, 0, 5, &out4, &buffer), 1);
    EXPECT_EQ(out4, kUntouched);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(DataExportsTest, ReceiveReadsInTwoCallsAndNeverReportsMoreThanItsBuffer) {
    SimPrinter::SetBytes("ReceiveReply", "0123456789");
    SimPrinter::SetNumber("ReceiveReturnedLength", 5000);
    HostChannel channel;
    void* buffer = reinterpret_cast<void*>(1);
    int length = -1;
    ASSERT_EQ(krx::ReceivePrinterData(channel.Library(), channel.handle, &buffer, &length), 1);
    EXPECT_EQ(length, 10);
    EXPECT_STREQ(static_cast<char*>(buffer), "0123456789");
    LocalFree(buffer);

    buffer = reinterpret_cast<void*>(1);
    EXPECT_EQ(krx::ReceivePrinterData(channel.Library(), channel.handle, &buffer, &length), 0)
        << "read once";
    EXPECT_EQ(buffer, nullptr);

    buffer = reinterpret_cast<void*>(1);
    EXPECT_EQ(krx::ReceivePrinterData(channel.Library(), 0, &buffer, &length), -1);
    EXPECT_EQ(buffer, reinterpret_cast<void*>(1)) << "a zero handle leaves the buffer alone";
}

TEST_F(DataExportsTest, ReceiveAfterAGrowingReplyIsAnError) {
    // The library announces fewer bytes than it then has: the second call
    // answers -4 again and nothing is handed over half-read.
    SimPrinter::SetBytes("ReceiveReply", "0123456789");
    SimPrinter::SetNumber("ReceiveAnnouncedSize", 4);
    HostChannel channel;
    void* buffer = reinterpret_cast<void*>(1);
    int length = -1;
    EXPECT_EQ(krx::ReceivePrinterData(channel.Library(), channel.handle, &buffer, &length), -1);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(DataExportsTest, DeferredReplyArrivesWithANotification) {
    SimPrinter::ScriptTypicalPrinter();
    SimPrinter::SetNumber("DeferReply", 1);
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HostChannel channel;
    channel.Library().BXSetOption(channel.handle, 3, &window);
    channel.Send("IR");
    void* buffer = nullptr;
    int length = 0;
    EXPECT_EQ(krx::ReceivePrinterData(channel.Library(), channel.handle, &buffer, &length), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_EQ(msg.lParam, channel.handle);
    ASSERT_EQ(krx::ReceivePrinterData(channel.Library(), channel.handle, &buffer, &length), 1);
    EXPECT_EQ(std::string(static_cast<char*>(buffer), length), "@BDC PS\r\nIR:00C8;\x0C");
    LocalFree(buffer);
    DestroyWindow(window);
}
