// The printer information dialog on the simulated printer: the request on
// the timer, the reply read at once or after the library's notification,
// the filled table, and what a broken reply or a library that cannot
// notify leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/registry/registry_paths.h"
#include "comm/bxapi.h"
#include "common/resource_ids.h"
#include "dialog_probe.h"
#include "base/trace/debug_trace.h"
#include "graphics/printer_info_dialog.h"
#include "kit_install.h"

namespace {

constexpr int kInfoChannelId = 0x10000005;

// Pumps the dialog's messages (timers, notifications) until `done` or the
// time runs out.
template <typename Pred> bool PumpUntil(Pred done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) {
            return false;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
    return true;
}

struct TableView {
    int state = -1;
    bool tableShown = false;
    std::vector<std::string> cells; // row 0 then row 1, five cells each
};

class PrinterInfoDialogTest : public krxtest::InstalledSystemTest {
  protected:
    void SetUp() override {
        InstalledSystemTest::SetUp();
        resources_ = LoadLibraryA("krxres_en.dll");
        ASSERT_NE(resources_, nullptr);
        krx::ThisCall().resourceModule = resources_;
        krx::RememberPrinterName(kit::kPrinterName);
        log_ = kit::ExecutableFolder() + "info_dialog_calls.log";
        DeleteFileA(log_.c_str());
        kit::SimPrinter::ScriptTypicalPrinter();
        kit::SimPrinter::SetText("CallLog", log_);
    }
    void TearDown() override {
        krx::ThisCall().resourceModule = nullptr;
        FreeLibrary(resources_);
        DeleteFileA(log_.c_str());
        InstalledSystemTest::TearDown();
    }

    // Runs the dialog on an information channel (or on `channel` when given)
    // until the reply is in or `waitMs` has passed, then cancels it.
    TableView Run(int* endCode = nullptr, int channel = -1, DWORD waitMs = 5000) {
        krx::CBxApi bx(kit::kPrinterName);
        EXPECT_TRUE(bx.IsEnabled());
        if (channel < 0) {
            channel = bx.BXOpenChannel(1, kit::kPrinterName, kInfoChannelId);
            EXPECT_GT(channel, 0);
        }
        dlgtest::Probed<krx::PrinterInfoDialog> dialog;
        TableView view;
        dialog.probe = [&](krx::PrinterInfoDialog& d) {
            PumpUntil([&] { return d.State() == krx::PrinterInfoDialog::kReceived; }, waitMs);
            view.state = d.State();
            view.tableShown = dlgtest::IsShown(d.Hwnd(), IDC_INFO_ROW0_FIRST) &&
                              dlgtest::IsShown(d.Hwnd(), IDC_INFO_HEADING_LAST);
            for (int i = 0; i < 10; ++i) {
                view.cells.push_back(dlgtest::ItemText(d.Hwnd(), IDC_INFO_ROW0_FIRST + i));
            }
            dlgtest::Click(d.Hwnd(), IDCANCEL);
        };
        int code = static_cast<int>(dialog.ShowPrinterInformation(bx, channel));
        if (endCode != nullptr) {
            *endCode = code;
        }
        EXPECT_EQ(dialog.State(), krx::PrinterInfoDialog::kIdle) << "state after the dialog";
        if (channel > 0) {
            bx.BXReceiveCancel(channel);
            bx.BXCloseChannel(channel);
        }
        return view;
    }
    int Count(const std::string& call) {
        std::string calls = kit::ReadTextFile(log_);
        int n = 0;
        for (size_t at = calls.find(call); at != std::string::npos; at = calls.find(call, at + 1)) {
            ++n;
        }
        return n;
    }

    HMODULE resources_ = nullptr;
    std::string log_;
};

const std::vector<std::string> kTypicalCells = {
    "2024-06", "Ink absorber",       "Absorber replaced", "Pending",   "A1B2",
    "2025-11", "Power supply board", "Board exchanged",   "Completed", "C3"};

} // namespace

TEST_F(PrinterInfoDialogTest, ShowsTheTypicalPrintersTwoEntries) {
    int code = 0;
    TableView view = Run(&code);
    EXPECT_EQ(code, 2) << "cancel ends with 2";
    EXPECT_EQ(view.state, krx::PrinterInfoDialog::kReceived);
    EXPECT_TRUE(view.tableShown);
    EXPECT_EQ(view.cells, kTypicalCells);
    EXPECT_EQ(Count("BXSend"), 1) << "asked once; no more requests after the reply";
    EXPECT_EQ(Count("BXSetOption"), 1);
    EXPECT_GE(Count("BXReceiveCancel"), 1) << "the receive is cancelled when the dialog goes";
}

TEST_F(PrinterInfoDialogTest, ReplyThatIsNotReadyIsReadOnTheNotification) {
    kit::SimPrinter::SetNumber("DeferReply", 1);
    TableView view = Run();
    EXPECT_EQ(view.state, krx::PrinterInfoDialog::kReceived);
    EXPECT_EQ(view.cells, kTypicalCells);
    EXPECT_EQ(Count("BXSend"), 1) << "waiting, not asking again";
}

TEST_F(PrinterInfoDialogTest, AnswerNobodyReadIsNotTakenForTheReply) {
    // The channel is a byte stream that still holds an earlier answer.
    kit::SimPrinter::SetNumber("KeepUnreadData", 1);
    kit::SimPrinter::SetBytes("ReceiveReply", "@BDC PS\r\nIR:00C8;\x0C");
    TableView view = Run();
    EXPECT_EQ(view.cells, kTypicalCells);
}

TEST_F(PrinterInfoDialogTest, NoNotificationNoTableNoRequest) {
    // Channel 0 was never opened: the library refuses to notify for it.
    TableView view = Run(nullptr, 0, 1500);
    EXPECT_EQ(view.state, krx::PrinterInfoDialog::kIdle);
    EXPECT_FALSE(view.tableShown);
    EXPECT_EQ(Count("BXSend"), 0);
}

TEST_F(PrinterInfoDialogTest, EntriesWithoutDatesKindsOrLogs) {
    kit::SimPrinter::SetBytes("InfoReply",
                              std::string("@BDC PS\r\nII:01;PDY:65;PDM:0C;IC1:0102;IC2:0002;"
                                          "IK2:07;") +
                                  "\x0C");
    TableView view = Run();
    EXPECT_EQ(view.cells,
              (std::vector<std::string>{"2001-12", "Ink absorber (large)", "Absorber replaced",
                                        "---", "---", "---", "---", "---", "---", "---"}));
}

TEST_F(PrinterInfoDialogTest, ReplyWhoseLogNeverEndsLeavesTheTableEmpty) {
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    krx::LoadTraceSwitch();
    const std::string reply = "@BDC PS\r\nII:01;PDY:18;PDM:06;LOG:ABCDEFGH";
    kit::SimPrinter::SetBytes("InfoReply", reply);
    TableView view = Run();
    EXPECT_EQ(view.state, krx::PrinterInfoDialog::kReceived);
    EXPECT_TRUE(view.tableShown);
    EXPECT_EQ(view.cells, std::vector<std::string>(10, "")) << "no half-read fields";
    // The trace holds exactly the bytes received.
    std::string trace = kit::ReadTextFile(krxtest::kTraceFile);
    EXPECT_NE(trace.find("GetPrnData:Return Buffer=" + reply + "\r\n"), std::string::npos) << trace;
}
