// Channel choice against the simulated printer: what ChannelSelect opens and
// registers, its results and traces, the close order, and the channel list's
// states and remembered answers.
#include <gtest/gtest.h>

#include "comm/channel_list.h"
#include "comm/status_channels.h"
#include "base/module/module_state.h"
#include "comm_fixture.h"

using commtest::MissingInOrder;
using kit::SimChannelEntry;
using kit::SimPrinter;
using krx::ChannelList;
using krx::StatusChannels;

namespace {

constexpr UINT kInfoMsg = WM_USER + 1;
constexpr UINT kStatusMsg = WM_USER + 2;

class ChannelSelectTest : public commtest::CommTest {
  protected:
    void SetUp() override {
        CommTest::SetUp();
        RecordCalls();
    }
    int Select(StatusChannels& c, const char* printer = kit::kPrinterName,
               const char* port = kit::kPortName) {
        c.m_hWnd = window_;
        c.SetNames(printer, port);
        return krx::ChannelSelect(c);
    }
};

const std::vector<SimChannelEntry> kTypical = {
    {0x00000004, 0x0004, 0x0010}, {0x10000005, 0x0003, 0x0020}, {0x10010003, 0x0003, 0x0030}};

} // namespace

TEST_F(ChannelSelectTest, OpensStatusAndBothInformationChannelsAndRegistersTheWindow) {
    SimPrinter::SetChannels(kTypical);
    SimPrinter::SetNumber("PostOnSetOption", 1);
    TraceOn();
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    ASSERT_EQ(Select(c), 1);
    EXPECT_EQ(c.m_Stat, 4);
    EXPECT_EQ(c.m_StatParam, 0x10);
    EXPECT_EQ(c.m_hStat, 101);
    EXPECT_EQ(c.m_Info, 0x10000005);
    EXPECT_EQ(c.m_hInfo, 102);
    EXPECT_EQ(c.m_Info2, 0x10010003);
    EXPECT_EQ(c.m_hInfo2, 103);
    EXPECT_EQ(c.m_PortAttr, 0x0004);

    std::string missing = MissingInOrder(
        Calls(), {"BXGetAvailableChannel 1 Kit Printer KX500 none",
                  "BXGetAvailableChannel 1 Kit Printer KX500 buffer",
                  "BXOpenChannel 1 Kit Printer KX500 00000004", "BXSetOption 101 4",
                  "BXOpenChannel 1 Kit Printer KX500 10000005", "BXSetOption 102 3",
                  "BXOpenChannel 1 Kit Printer KX500 10010003", "BXSetOption 103 3"});
    EXPECT_EQ(missing, "") << Calls();

    // The library notifies the registered window with the channel handle.
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, kStatusMsg);
    EXPECT_EQ(messages[0].lParam, 101);
    EXPECT_EQ(messages[1].message, kInfoMsg);
    EXPECT_EQ(messages[1].lParam, 102);
    EXPECT_EQ(messages[2].lParam, 103);

    missing = MissingInOrder(
        Trace(), {"ChannelSelect\n", "ChannelSelect Result=0\n", "ChanSel.GetStatChannel()\n",
                  "BXOpenChannel()\n", "BXOpenChannel() m_hStat=101\n",
                  "GetInfoChannelD4() m_Info=10000005\n", "BXOpenChannel() m_hInfo=102\n",
                  "GetInfoChannelRemote() m_Info2=10010003\n", "BXOpenChannel() m_hInfo2=103\n"});
    EXPECT_EQ(missing, "") << Trace();
    krx::CloseChannels(c);
}

TEST_F(ChannelSelectTest, KitNotificationReachesRegisteredWindowsUntilClosed) {
    SimPrinter::SetChannels(kTypical);
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    ASSERT_EQ(Select(c), 1);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(kit::PostSimNotification(4), 1);
    EXPECT_EQ(kit::PostSimNotification(3), 2);
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, kStatusMsg);
    EXPECT_EQ(messages[0].lParam, c.m_hStat);
    krx::CloseChannels(c);
    EXPECT_EQ(kit::PostSimNotification(4), 0);
    EXPECT_EQ(kit::PostSimNotification(3), 0);
}

TEST_F(ChannelSelectTest, SlowPollingPrinterGetsOnlyTheStatusChannel) {
    SimPrinter::SetChannels({{0x10000003, 0x8004, 0}, {0x10000005, 0x0003, 0}});
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    ASSERT_EQ(Select(c), 1);
    EXPECT_EQ(c.m_Stat, 0x10000003);
    EXPECT_TRUE(c.SlowPolling());
    EXPECT_EQ(c.m_Info, 0);
    EXPECT_EQ(c.m_hInfo, 0);
    EXPECT_EQ(c.m_Info2, 0);
    EXPECT_EQ(Calls().find("10000005"), std::string::npos) << Calls();
    krx::CloseChannels(c);
}

TEST_F(ChannelSelectTest, PreferredStatusChannelIsAlsoOpenedAsRemoteInformation) {
    SimPrinter::SetChannels({{0x10010003, 0x0007, 0x55}});
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    ASSERT_EQ(Select(c), 1);
    EXPECT_EQ(c.m_Stat, 0x10010003);
    EXPECT_EQ(c.m_Info2, 0x10010003);
    EXPECT_NE(c.m_hInfo2, 0);
    EXPECT_NE(c.m_hInfo2, c.m_hStat);
    krx::CloseChannels(c);
}

TEST_F(ChannelSelectTest, PortNameModeWhenThereIsNoPrinterName) {
    SimPrinter::SetChannels(kTypical);
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    ASSERT_EQ(Select(c, "", kit::kPortName), 1);
    EXPECT_EQ(MissingInOrder(Calls(), {"BXGetAvailableChannel 0 KITPORT1: none",
                                       "BXOpenChannel 0 KITPORT1: 00000004"}),
              "")
        << Calls();
    krx::CloseChannels(c);
}

TEST_F(ChannelSelectTest, ResultsWithoutAnOpenStatusChannel) {
    const struct {
        const char* label;
        const char* number; // script value, null for none
        int value;
        std::vector<SimChannelEntry> entries;
        int result;
    } cases[] = {
        {"no channel offered", nullptr, 0, {}, 0},
        {"-16", "ChannelFirstResult", -16, kTypical, 0},
        {"-3", "ChannelFirstResult", -3, kTypical, 0},
        {"unexpected failure", "ChannelFirstResult", -1, kTypical, -1},
        {"unexpected 0 without buffer", "ChannelFirstResult", 0, kTypical, -1},
        {"size 0", "ChannelAnnouncedSize", 0, kTypical, 0},
        {"size beyond 512 entries", "ChannelAnnouncedSize", 513 * 8, kTypical, -1},
        {"no entries written", "ChannelSecondResult", 0, kTypical, 0},
        {"library disabled", "InitResult", 1, kTypical, -1},
        {"no qualifying entry", nullptr, 0, {{0x4, 0x0003, 0}, {0x02000002, 0x0004, 0}}, 0},
    };
    for (const auto& k : cases) {
        SimPrinter::Reset();
        RecordCalls();
        if (!k.entries.empty()) {
            SimPrinter::SetChannels(k.entries);
        }
        if (k.number != nullptr) {
            SimPrinter::SetNumber(k.number, k.value);
        }
        krx::CBxApi bx(krx::RememberedPrinterName());
        StatusChannels c(bx);
        EXPECT_EQ(Select(c), k.result) << k.label;
        EXPECT_EQ(c.m_hStat, 0) << k.label;
        EXPECT_EQ(c.m_Stat, 0) << k.label;
    }
}

TEST_F(ChannelSelectTest, EmptyNameFails) {
    SimPrinter::SetChannels(kTypical);
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    EXPECT_EQ(Select(c, "", ""), -1);
}

TEST_F(ChannelSelectTest, ChannelsThatDoNotOpenAreForgotten) {
    SimPrinter::SetChannels(kTypical);
    SimPrinter::SetOpenFailIds({0x00000004});
    {
        krx::CBxApi bx(krx::RememberedPrinterName());
        StatusChannels c(bx);
        EXPECT_EQ(Select(c), 0);
        EXPECT_EQ(c.m_Stat, 0) << "the next tick tries again";
        EXPECT_EQ(Calls().find("BXSetOption"), std::string::npos);
    }
    SimPrinter::SetOpenFailIds({0x10000005});
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    EXPECT_EQ(Select(c), 1);
    EXPECT_NE(c.m_hStat, 0);
    EXPECT_EQ(c.m_Info, 0);
    EXPECT_EQ(c.m_hInfo, 0);
    EXPECT_EQ(c.m_Info2, 0x10010003);
    krx::CloseChannels(c);
}

TEST_F(ChannelSelectTest, CloseCancelsThenClosesInOrder) {
    SimPrinter::SetChannels(kTypical);
    krx::CBxApi bx(krx::RememberedPrinterName());
    StatusChannels c(bx);
    ASSERT_EQ(Select(c), 1);
    ClearCalls();
    krx::CloseChannels(c);
    EXPECT_EQ(Calls(), "BXReceiveCancel 101\nBXCloseChannel 101\nBXReceiveCancel 102\n"
                       "BXCloseChannel 102\nBXReceiveCancel 103\nBXCloseChannel 103\n");
    EXPECT_EQ(c.m_hStat + c.m_hInfo + c.m_hInfo2, 0);
    ClearCalls();
    krx::CloseChannels(c);
    EXPECT_EQ(Calls(), "") << "nothing is closed twice";
}

TEST_F(ChannelSelectTest, ListFromTheLibraryReadsOnlyWholeEntriesItWasGiven) {
    SimPrinter::SetChannels({{0x10000005, 0x0003, 1}, {0x4, 0x0004, 2}});
    SimPrinter::SetNumber("ChannelSecondResult", 5000);
    ChannelList list("", kit::kPrinterName, 1, KRX_CHANNEL_PREFERRED);
    ASSERT_EQ(list.State(), 0);
    EXPECT_EQ(list.Entries().size(), 2u);
    int id = 0;
    EXPECT_EQ(list.GetStatChannel(&id, nullptr), 0);
    EXPECT_EQ(id, 4);
}

TEST(ChannelListFromEntries, StatesAndRememberedAnswers) {
    const unsigned char entries[] = {0x05, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00,  // D4, no bits
                                     0x03, 0x00, 0x00, 0x10, 0x04, 0x00, 0x07, 0x00}; // status
    ChannelList list(entries, 2, KRX_CHANNEL_PREFERRED);
    ASSERT_EQ(list.State(), 0);
    int id = 0;
    int parameter = 0;
    EXPECT_EQ(list.GetStatChannel(&id, &parameter), 0);
    EXPECT_EQ(id, 0x10000003);
    EXPECT_EQ(parameter, 7);
    id = 0;
    EXPECT_EQ(list.GetStatChannel(&id, nullptr), 0);
    EXPECT_EQ(id, 0x10000003);
    EXPECT_EQ(list.GetInfoChannelD4(&id, nullptr), 1) << "D4 lacks the information bits";
    EXPECT_EQ(list.HasInfoChannelD4(), 1) << "but it is there";
    EXPECT_EQ(list.GetInfoChannelRemote(nullptr, nullptr), 1);

    ChannelList none(entries, 0, KRX_CHANNEL_PREFERRED);
    EXPECT_EQ(none.State(), 1);
    EXPECT_EQ(none.GetStatChannel(&id, nullptr), 1);
    EXPECT_EQ(none.HasInfoChannelD4(), 0);
    EXPECT_EQ(ChannelList(static_cast<const void*>(nullptr), 3, KRX_CHANNEL_PREFERRED).State(), 1);
    EXPECT_EQ(ChannelList(entries, -5, KRX_CHANNEL_PREFERRED).State(), 1);
}
