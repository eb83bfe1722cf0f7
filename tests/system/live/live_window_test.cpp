// The status window driven end to end: the simulated printer changes state
// under an open window, the simulated port monitor runs jobs, and the test
// drives the status and progress ticks itself.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <utility>
#include <vector>

#include "base/registry/registry_paths.h"
#include "comm/bxapi.h"
#include "comm/device_id.h"
#include "common/win_handles.h"
#include "base/module/message_box.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"
#include "graphics/sound.h"
#include "kit_printer_tables.h"
#include "kit_utility.h"
#include "live_window.h"
#include "sim_port_script.h"
#include "ui/status_window/job_view.h"

namespace livetest {
namespace {

using krx::StatusWindowProbe;

struct StatusRow {
    const char* fields;
    int statusClass;
    int picture;
    int message;
    const char* words; // what the English text says about that status
};

// One real reply per row of the message and picture table.
const StatusRow kStatusRows[] = {
    {"ST:04;IQ:5A5A5A5A5A5A;", 1, 1, 3004, "ready"},
    {"ST:00;ER:05;IQ:000000000000;", 2, 10, 3024, "black and color inks have run out"},
    {"ST:00;ER:05;IQ:005A5A5A5A5A;", 3, 2, 3021, "black ink has run out"},
    {"ST:00;ER:05;IQ:5A005A5A5A5A;", 4, 8, 3022, "color ink has run out"},
    {"ST:00;ER:06;", 5, 3, 3012, "out of paper"},
    {"ST:00;ER:04;", 6, 4, 3010, "jammed"},
    {"ST:00;ER:09;", 9, 7, 3014, "error"},
    {"ST:07;", 10, 1, 3023, "cleaning"},
    {"ST:02;", 11, 1, 3002, "printing"},
    {"ST:04;WR:10;IQ:0A5A5A5A5A5A;", 12, 2, 3019, "running low"},
    {"ST:04;WR:11;IQ:5A0A5A5A5A5A;", 13, 8, 3020, "Color ink is running low"},
    {"ST:00;ER:00;", 14, 7, 3006, "error"},
    {"ST:01;", 17, 1, 3001, "busy"},
    {"ST:00;ER:01;", 18, 1, 3007, "offline"},
    {"ST:08;", 19, 1, 3026, "cartridges are being replaced"},
    {"ST:04;WR:1011;IQ:0A0A5A5A5A5A;", 20, 10, 3019, "running low"},
    {"ST:00;ER:11;", 21, 7, 3033, "paper tray"},
    {"ST:00;ER:05;IQ:RERE5A5A5A5A;", 22, 10, 3030, "ink cartridges cannot be recognized"},
    {"ST:00;ER:05;IQ:RE5A5A5A5A5A;", 23, 2, 3031, "black ink cartridge cannot be recognized"},
    {"ST:00;ER:05;IQ:5ARE5A5A5A5A;", 24, 8, 3032, "color ink cartridge cannot be recognized"},
    {"ST:00;ER:05;IQ:NANA5A5A5A5A;", 25, 10, 3027, "No ink cartridges are installed"},
    {"ST:00;ER:05;IQ:NA5A5A5A5A5A;", 26, 2, 3028, "black ink cartridge is not installed"},
    {"ST:00;ER:05;IQ:5ANA5A5A5A5A;", 27, 8, 3029, "color ink cartridge is not installed"},
    {"ST:05;", 0, 6, 2002, "does not answer"},
};

TEST_F(LiveWindowTest, DetailFollowsThePrinterThroughEveryStatus) {
    // A different printer on the port: class 16.
    kit::SimPrinter::SetBytes("DeviceID", "MFG:Kit;MDL:OTHER;CLS:PRINTER;");
    SetReply("ST:04;IQ:5A5A5A5A5A5A;");
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        EXPECT_EQ(16, w.StatusClass());
        EXPECT_EQ(Text(3025), w.Text(IDC_STATUS_TEXT));
        w.End();
    });
    kit::SimPrinter::ScriptTypicalPrinter();
    const INT_PTR end = RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        for (const StatusRow& row : kStatusRows) {
            SetReply(row.fields);
            w.StatusTick();
            EXPECT_EQ(row.statusClass, w.StatusClass()) << row.fields;
            EXPECT_EQ(row.picture, w.PictureCategory()) << row.fields;
            EXPECT_EQ(Text(row.message), w.Text(IDC_STATUS_TEXT)) << row.fields;
            EXPECT_NE(std::string::npos, w.Text(IDC_STATUS_TEXT).find(row.words))
                << row.fields << ": " << w.Text(IDC_STATUS_TEXT);
            EXPECT_EQ(krx::kViewDetail, w.View()) << "a detail window stays: " << row.fields;
        }
        // Ink out of both cartridges: the trouble category of ink help.
        SetReply("ST:00;ER:05;IQ:000000000000;");
        w.StatusTick();
        EXPECT_EQ(1, w.TroubleCategory());
        w.End();
    });
    EXPECT_EQ(IDOK, end);
}

TEST_F(LiveWindowTest, InkGaugesFollowTheReply) {
    SetReply("ST:04;IQ:96113A2B4C05;");
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder& ink) {
        w.StatusTick();
        ASSERT_FALSE(ink.Sent(IDC_INK_BLACK).empty());
        const InkCommand black = ink.Sent(IDC_INK_BLACK).back();
        EXPECT_EQ(1u, black.command);
        ASSERT_EQ(7u, black.block.size());
        EXPECT_EQ(100, black.block[1]) << "a level of 150 shows as 100";
        const InkCommand colour = ink.Sent(IDC_INK_COLOR).back();
        ASSERT_EQ(7u, colour.block.size());
        // b, c1, c4, c2, c5, c3
        const int32_t want[7] = {6, 100, 0x11, 0x4C, 0x3A, 0x05, 0x2B};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(want[i], colour.block[i]) << i;
        EXPECT_TRUE(w.Enabled(IDC_INK_BLACK));
        EXPECT_TRUE(w.Enabled(IDC_INK_COLOR));
        EXPECT_TRUE(w.Enabled(IDC_DETAIL_INK_FRAME));

        // One colour not available disables the whole colour gauge.
        ink.Clear();
        SetReply("ST:04;IQ:5A5A5ANA5A5A;");
        w.StatusTick();
        EXPECT_TRUE(w.Enabled(IDC_INK_BLACK));
        EXPECT_FALSE(w.Enabled(IDC_INK_COLOR));
        EXPECT_FALSE(w.Enabled(IDC_INK_COLOR_LABEL));
        EXPECT_TRUE(ink.Sent(IDC_INK_COLOR).empty());

        // Another ink count: gauges off, the message still follows.
        SetReply("ST:07;IQ:5A5A5A;");
        w.StatusTick();
        EXPECT_EQ(Text(3023), w.Text(IDC_STATUS_TEXT));
        EXPECT_FALSE(w.Enabled(IDC_INK_BLACK));
        EXPECT_FALSE(w.Enabled(IDC_INK_COLOR));

        // Ink low marks the gauge and brings the special tip.
        ink.Clear();
        SetReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;");
        w.StatusTick();
        bool lowSent = false;
        for (const InkCommand& c : ink.Sent(IDC_INK_BLACK))
            lowSent |= c.command == 2;
        EXPECT_TRUE(lowSent);
        EXPECT_EQ(1, w.Tips().TipFlags() & 1);

        // An announced size no reply could have is a failed read.
        kit::SimPrinter::SetNumber("StatusAnnouncedSize", 0x40000000);
        w.StatusTick();
        EXPECT_EQ(0, w.StatusClass());
        kit::SimPrinter::Remove("StatusAnnouncedSize");
        // So are "buffer too small" without a size and a size call that
        // succeeds without a buffer: faults of the library, not "nothing new".
        const std::pair<const char*, int> sizeFaults[] = {{"StatusAnnouncedSize", 0},
                                                          {"StatusFirstResult", 7}};
        for (const auto& fault : sizeFaults) {
            SetReply("ST:04;IQ:5A5A5A5A5A5A;");
            w.StatusTick();
            ASSERT_EQ(1, w.StatusClass()) << fault.first;
            kit::SimPrinter::SetNumber(fault.first, fault.second);
            w.StatusTick();
            EXPECT_EQ(0, w.StatusClass()) << fault.first;
            EXPECT_EQ(Text(2002), w.Text(IDC_STATUS_TEXT)) << fault.first;
            kit::SimPrinter::Remove(fault.first);
        }

        // The printer stops answering: no status, gauges off.
        kit::SimPrinter::SetNumber("StatusFirstResult", -1);
        w.StatusTick();
        EXPECT_EQ(0, w.StatusClass());
        EXPECT_EQ(Text(2002), w.Text(IDC_STATUS_TEXT));
        EXPECT_EQ(6, w.PictureCategory());
        EXPECT_FALSE(w.Enabled(IDC_INK_BLACK));

        // A message that is a single blank is replaced (the test's own texts).
        kit::SimPrinter::Remove("StatusFirstResult");
        SetReply("ST:04;IQ:5A5A5A5A5A5A;");
        krx::ThisCall().resourceModule = GetModuleHandleA(nullptr);
        w.StatusTick();
        krx::ThisCall().resourceModule = resources_;
        EXPECT_EQ(1, w.StatusClass());
        EXPECT_EQ("Blank message replaced", w.Text(IDC_STATUS_TEXT));
        w.End();
    });
}

TEST_F(LiveWindowTest, PopupClosesItselfOnlyWhenNothingIsToBeShown) {
    // Ink low is a notified condition: the pop-up stays.
    SetReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;");
    RunWindow(krx::kViewPopup, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        EXPECT_EQ(12, w.StatusClass());
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, w.Hwnd(), WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
        w.End();
    });
    // Ready is not: the pop-up closes itself.
    SetReply("ST:04;IQ:5A5A5A5A5A5A;");
    bool ticked = false;
    const INT_PTR end = RunWindow(krx::kViewPopup, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        ticked = true;
    });
    EXPECT_TRUE(ticked);
    EXPECT_EQ(IDCANCEL, end);
}

TEST_F(LiveWindowTest, SlowPrinterTriplesTheStatusPeriod) {
    kit::SimPrinter::SetChannels({{0x00000004, 0x8004, 0x0010}});
    SetReply("ST:04;IQ:5A5A5A5A5A5A;");
    // The language library's period of 10 seconds, tripled.
    ASSERT_EQ("10", Text(IDS_STATUS_INTERVAL));
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        EXPECT_EQ(30, w.StatusInterval());
        w.StatusTick(); // the channel stays open: once per selection
        EXPECT_EQ(30, w.StatusInterval());
        w.End();
    });
}

TEST_F(LiveWindowTest, StoredRepliesOfAnyShapeGiveADefinedInitialStatus) {
    struct Case {
        std::string stored;
        int message;
        int picture;
    };
    const Case cases[] = {
        {krxtest::StatusReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;"), 3019, 2},
        {"hbm garbage", 2102, 6},
        {"", 2002, 6},
        {"@BDC ST", 2002, 6},
        {"@BDC ST\r\nST:0", 2002, 6},
        {"XXXXXXXXXXXXXXXXXXXX", 2002, 6},
    };
    for (const Case& c : cases) {
        krxtest::WriteBinary(HKEY_CURRENT_USER, StoreKey(), "Status", c.stored);
        krxtest::WriteDword(HKEY_CURRENT_USER, StoreKey(), "ComStatus", 1);
        RunWindow(krx::kViewPopup, [&](StatusWindowProbe& w, InkRecorder&) {
            EXPECT_EQ(Text(c.message), w.Text(IDC_STATUS_TEXT)) << c.stored;
            EXPECT_EQ(c.picture, w.PictureCategory()) << c.stored;
            w.End();
        });
    }
    // "ComStatus" of another type than a number.
    krxtest::WriteString(HKEY_CURRENT_USER, StoreKey(), "ComStatus", "1");
    RunWindow(krx::kViewPopup, [&](StatusWindowProbe& w, InkRecorder&) {
        EXPECT_EQ(6, w.PictureCategory());
        w.End();
    });
}

// The library answered, though not with a status: no status is shown, but
// the library's error flags are not (and no repair is tried).
TEST_F(LiveWindowTest, ReplyThatDoesNotDecodeShowsNoStatus) {
    // Ink low, but the reply breaks off before its terminator.
    const std::string cut = "@BDC ST\r\nST:04;WR:10;IQ:0A5A5A5A5A5A;";
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "ERR_OTHERS", 1);
    std::vector<krx::MessageBoxRequest> boxes;
    krx::ScopedMessageBoxHook hook(
        [](const krx::MessageBoxRequest& r, void* c) {
            static_cast<std::vector<krx::MessageBoxRequest>*>(c)->push_back(r);
            return IDOK;
        },
        &boxes);
    auto noStatus = [&](StatusWindowProbe& w, const char* path) {
        EXPECT_EQ(0, w.StatusClass()) << path;
        EXPECT_EQ(6, w.PictureCategory()) << path;
        EXPECT_EQ(Text(2002), w.Text(IDC_STATUS_TEXT)) << path;
    };
    kit::SimPrinter::SetStatusReply(cut);
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        noStatus(w, "status tick");
        SetReply("ST:04;IQ:5A5A5A5A5A5A;");
        w.StatusTick();
        EXPECT_EQ(1, w.StatusClass());
        kit::SimPrinter::SetStatusReply(cut);
        SendMessageA(w.Hwnd(), KRX_MSG_STATUS_CHANGED, 0, w.Channels()->m_hStat);
        noStatus(w, "notification");
        EXPECT_TRUE(boxes.empty()) << boxes.front().text;
        w.End();
    });
    krxtest::WriteBinary(HKEY_CURRENT_USER, StoreKey(), "Status", cut);
    krxtest::WriteDword(HKEY_CURRENT_USER, StoreKey(), "ComStatus", 1);
    RunWindow(krx::kViewPopup, [&](StatusWindowProbe& w, InkRecorder&) {
        noStatus(w, "initial status");
        krx::unique_handle activity(
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16,
                               krx::JobActivityName(kit::kPrinterName, "").c_str()));
        ASSERT_TRUE(activity);
        w.StatusTick();
        noStatus(w, "stored reply");
        w.End();
    });
}

TEST_F(LiveWindowTest, RemoteCountStillAwaitedAfterAFailedReceive) {
    SetReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;");
    kit::SimPrinter::SetNumber("DeferReply", 1);
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick(); // asked; the answer is not in yet
        EXPECT_EQ("", w.Text(IDC_INFO_LINE));
        // Asked again, and this receive fails.
        kit::SimPrinter::Remove("DeferReply");
        kit::SimPrinter::SetNumber("ReceiveFirstResult", -1);
        w.StatusTick();
        kit::SimPrinter::Remove("ReceiveFirstResult");
        {
            krx::CBxApi reload(krx::RememberedPrinterName());
        } // the simulated printer reads its script again
        // The library reports the answer: it is read.
        SendMessageA(w.Hwnd(), KRX_MSG_INFO_DATA, 0, w.Channels()->m_hInfo2);
        EXPECT_EQ(Text(IDS_REMOTE_COUNT_MANY), w.Text(IDC_INFO_LINE));
        w.End();
    });
}

TEST_F(LiveWindowTest, PrintToFileIsNeverRead) {
    kit::SimPrinter::SetText("CallLog", simLog_);
    SetReply("ST:04;IQ:5A5A5A5A5A5A;");
    RunWindow(
        krx::kViewProgress,
        [&](StatusWindowProbe& w, InkRecorder&) {
            w.StatusTick();
            w.StatusTick();
            EXPECT_FALSE(w.Visible(IDC_INK_BLACK)) << "the ink area is collapsed";
            // Asked for the detail view: the ink area opens in the detail frame.
            SendMessageA(w.Hwnd(), KRX_MSG_OPEN_AS_DETAIL, 0, 0);
            EXPECT_TRUE(w.Visible(IDC_DETAIL_INK_FRAME));
            EXPECT_FALSE(w.Visible(IDC_INK_FRAME));
            w.End();
        },
        "FILE:");
    EXPECT_EQ(std::string::npos, SimCallLog().find("BXGetStatus")) << SimCallLog();
    RunWindow(
        krx::kViewProgress,
        [&](StatusWindowProbe& w, InkRecorder&) {
            w.StatusTick();
            w.End();
        },
        "file:");
    EXPECT_NE(std::string::npos, SimCallLog().find("BXGetStatus")) << SimCallLog();
}

TEST_F(LiveWindowTest, MeterShowsEachJobAndClosesWhenTheyEnd) {
    kit::SimPortJob first;
    first.spoolerId = 11;
    first.text = "Holiday photos";
    first.sheets = 3;
    first.polls = 20;
    first.paper[1] = 263; // a media type outside the table
    kit::SimPort::AddJob(first);
    kit::SimPortJob second;
    second.spoolerId = 12;
    second.text = "Letter";
    second.paper[2] = 9; // A4, in the kit printer's paper list
    second.polls = 100000;
    second.secondsPerPoll = 1;
    kit::SimPort::AddJob(second);
    knownJobs_->Know(11);
    knownJobs_->Know(12);
    const INT_PTR end = RunWindow(krx::kViewProgress, [&](StatusWindowProbe& w, InkRecorder&) {
        monitor_->FollowJob(11);
        monitor_->FollowJob(12);
        ASSERT_TRUE(
            WaitForRecord([](const krx::JobRecord& r, bool v) { return v && r.jobId == 11; }));
        w.ProgressTick();
        EXPECT_EQ(11u, w.Snapshot().jobId);
        EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
        EXPECT_EQ("Holiday photos", w.Text(IDC_JOB_DOCUMENT));
        // A paper size the printer does not list: the line stays, without a name.
        EXPECT_EQ(Text(IDS_JOB_MEDIA_TYPE) + " : " + Text(IDS_MEDIA_OTHER) + "\r\n" +
                      Text(IDS_JOB_PAPER_SIZE) + " : \r\n",
                  w.Text(IDC_JOB_DETAILS));
        EXPECT_EQ(Text(1602), w.Text(IDC_JOB_PAUSE));
        EXPECT_TRUE(w.Enabled(IDC_JOB_CANCEL));
        EXPECT_FALSE(w.Text(IDC_TIP_TEXT).empty());

        // The next job: the first is shown complete for one tick.
        ASSERT_TRUE(
            WaitForRecord([](const krx::JobRecord& r, bool v) { return v && r.jobId == 12; }));
        w.ProgressTick();
        EXPECT_EQ(0u, w.Snapshot().jobId) << "the finished job is shown once";
        EXPECT_EQ(100, w.Meter().Position());
        EXPECT_EQ(100, w.Meter().Maximum());
        w.ProgressTick();
        EXPECT_EQ(12u, w.Snapshot().jobId);
        EXPECT_EQ("Letter", w.Text(IDC_JOB_DOCUMENT));
        EXPECT_NE(std::string::npos,
                  w.Text(IDC_JOB_DETAILS).find(Text(IDS_JOB_PAPER_SIZE) + " : A4\r\n"))
            << w.Text(IDC_JOB_DETAILS);
        EXPECT_TRUE(w.Enabled(IDC_JOB_CANCEL));
        EXPECT_TRUE(w.Enabled(IDC_JOB_PAUSE));

        // Cancel: no completion display, and the meter closes by itself.
        SendMessageA(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_JOB_CANCEL, BN_CLICKED), 0);
        EXPECT_FALSE(w.Enabled(IDC_JOB_CANCEL));
        EXPECT_FALSE(w.Enabled(IDC_JOB_PAUSE));
        knownJobs_->Forget(12);
        ASSERT_TRUE(WaitForRecord([](const krx::JobRecord&, bool v) { return !v; }));
        ASSERT_TRUE(WaitForRecord(
            [&](const krx::JobRecord&, bool) { return monitor_->GetJobCount() == 0; }));
        w.ProgressTick();
        EXPECT_EQ(0u, w.Snapshot().jobId);
        EXPECT_EQ(0, w.Meter().Position()) << "a cancelled job is not shown complete";
    });
    EXPECT_EQ(IDCANCEL, end);
}

TEST_F(LiveWindowTest, PausedJobOffersResume) {
    kit::SimPortJob job;
    job.spoolerId = 21;
    job.text = "Paused";
    job.polls = 100000;
    job.paused = true;
    kit::SimPort::AddJob(job);
    knownJobs_->Know(21);
    RunWindow(krx::kViewProgress, [&](StatusWindowProbe& w, InkRecorder&) {
        monitor_->FollowJob(21);
        ASSERT_TRUE(
            WaitForRecord([](const krx::JobRecord& r, bool v) { return v && r.jobId == 21; }));
        ASSERT_TRUE(
            WaitForRecord([](const krx::JobRecord& r, bool) { return (r.jobStatus & 0x10) != 0; }));
        w.ProgressTick();
        EXPECT_EQ(Text(1603), w.Text(IDC_JOB_PAUSE));
        EXPECT_TRUE(w.Animation().IsAnimating());
        SendMessageA(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_JOB_PAUSE, BN_CLICKED), 0);
        EXPECT_FALSE(w.Enabled(IDC_JOB_PAUSE));
        // The resume request reaches the port: the job runs again.
        EXPECT_TRUE(
            WaitForRecord([](const krx::JobRecord& r, bool) { return (r.jobStatus & 0x10) == 0; }));
        w.ProgressTick();
        EXPECT_EQ(Text(1602), w.Text(IDC_JOB_PAUSE));
        EXPECT_TRUE(w.Enabled(IDC_JOB_PAUSE)) << "enabled again when the state changed";
        knownJobs_->Forget(21);
        w.End();
    });
}

// What a screen reader reads for an item: its client object's name and value.
struct Spoken {
    std::string name;
    std::string value;
};

std::string Narrow(BSTR text) {
    std::string out;
    if (text != nullptr) {
        const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
        WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
        SysFreeString(text);
    }
    return out;
}

Spoken Speak(HWND item) {
    Spoken out;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(item, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return out;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (object->get_accName(self, &text) == S_OK) {
        out.name = Narrow(text);
    }
    text = nullptr;
    if (object->get_accValue(self, &text) == S_OK) {
        out.value = Narrow(text);
    }
    object->Release();
    return out;
}

// The items the view shows that show something (a text, an edit, a
// drawing) and that a screen reader finds no name for.
std::vector<int> Unnamed(HWND window) {
    const std::set<int> drawn = {IDC_STATUS_PICTURE, IDC_JOB_ANIMATION, IDC_JOB_METER,
                                 IDC_INK_BLACK, IDC_INK_COLOR};
    std::vector<int> unnamed;
    for (HWND item = GetWindow(window, GW_CHILD); item != nullptr;
         item = GetWindow(item, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(item);
        char text[256] = {}, className[32] = {};
        GetWindowTextA(item, text, sizeof(text));
        GetClassNameA(item, className, sizeof(className));
        const bool showsSomething =
            text[0] != '\0' || drawn.count(id) != 0 || lstrcmpiA(className, "Edit") == 0;
        if (IsWindowVisible(item) && showsSomething && Speak(item).name.empty()) {
            unnamed.push_back(id);
        }
    }
    return unnamed;
}

// Runs a step from the window's own message loop once everything posted
// before it has been handled (a timer comes after posted messages).
std::function<void()> g_later;
void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    std::function<void()> step = std::move(g_later);
    step();
}
void Later(std::function<void()> step) {
    g_later = std::move(step);
    SetTimer(nullptr, 0, 50, &RunLater);
}

TEST_F(LiveWindowTest, ScreenReaderHearsEveryItemAndTheKeyboardReachesEveryButton) {
    SetReply("ST:04;IQ:96113A2B4C05;");
    kit::SimPortJob job;
    job.spoolerId = 31;
    job.text = "Holiday photos.jpg";
    job.sheets = 4;
    job.polls = 100000;
    kit::SimPort::AddJob(job);
    knownJobs_->Know(31);
    std::string colours;
    const int32_t levels[5] = {0x11, 0x4C, 0x3A, 0x05, 0x2B}; // c1, c4, c2, c5, c3
    for (int i = 0; i < 5; ++i) {
        colours += (i == 0 ? "" : ", ") + Text(IDS_ACC_INK_TANK_FIRST + i) + " " +
                   std::to_string(levels[i]) + "%";
    }
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        EXPECT_EQ(std::vector<int>{}, Unnamed(w.Hwnd())) << "Detail view";
        EXPECT_EQ(Text(IDS_ACC_STATUS_TEXT), Speak(GetDlgItem(w.Hwnd(), IDC_STATUS_TEXT)).name);
        EXPECT_EQ("100%", Speak(GetDlgItem(w.Hwnd(), IDC_INK_BLACK)).value);
        EXPECT_EQ(colours, Speak(GetDlgItem(w.Hwnd(), IDC_INK_COLOR)).value);

        // The job: the Detail window turns into its job view, with live
        // gauges in a live frame.
        monitor_->FollowJob(31);
        ASSERT_TRUE(
            WaitForRecord([](const krx::JobRecord& r, bool v) { return v && r.jobId == 31; }));
        w.ProgressTick();
        w.ProgressTick();
        ASSERT_EQ(krx::kViewProgress, w.View());
        EXPECT_TRUE(w.Enabled(IDC_INK_FRAME));
        EXPECT_EQ(std::vector<int>{}, Unnamed(w.Hwnd())) << "Progress view";
        const Spoken meter = Speak(GetDlgItem(w.Hwnd(), IDC_JOB_METER));
        EXPECT_EQ(Text(IDS_ACC_JOB_PROGRESS), meter.name);
        EXPECT_EQ(std::to_string(w.Meter().Position() * 100 / w.Meter().Maximum()) + "%",
                  meter.value);

        // Enter on the focused pause button presses it; the focus waits on
        // a neighbour that is not the cancel button, and comes back.
        HWND pause = GetDlgItem(w.Hwnd(), IDC_JOB_PAUSE);
        SetActiveWindow(w.Hwnd());
        SetFocus(pause);
        ASSERT_EQ(pause, GetFocus());
        PostMessageA(pause, WM_KEYDOWN, VK_RETURN, 0);
        // The probe of the scenario is gone by then: the step has its own.
        Later([this, w, pause]() mutable {
            EXPECT_FALSE(w.Enabled(IDC_JOB_PAUSE)) << "pressed";
            EXPECT_NE(nullptr, GetFocus());
            EXPECT_NE(pause, GetFocus());
            EXPECT_NE(GetDlgItem(w.Hwnd(), IDC_JOB_CANCEL), GetFocus());
            EXPECT_TRUE(
                WaitForRecord([](const krx::JobRecord& r, bool) { return (r.jobStatus & 0x10); }));
            w.ProgressTick();
            EXPECT_EQ(Text(IDS_JOB_RESUME), w.Text(IDC_JOB_PAUSE));
            EXPECT_EQ(pause, GetFocus());

            // A change of colour scheme reaches the meter.
            const int element = COLOR_WINDOW;
            const COLORREF before = GetSysColor(COLOR_WINDOW);
            const COLORREF contrast = RGB(0, 0, 0);
            SetSysColors(1, &element, &contrast);
            SendMessageA(w.Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
            EXPECT_EQ(contrast, w.Meter().BackColor());
            SetSysColors(1, &element, &before);
            knownJobs_->Forget(31);
            w.End();
        });
    });
}

TEST_F(LiveWindowTest, PageNamesStayInsideThePagesFolder) {
    // A profile whose page name climbs out of the pages folder.
    const std::string model = kit::ExecutableFolder() + "live_KX500.ini";
    {
        std::ifstream in(ModelFile());
        std::stringstream text;
        text << in.rdbuf();
        std::string s = text.str();
        const std::string from = "TSF001=\"ink_trouble_en.htm\"";
        const size_t at = s.find(from);
        ASSERT_NE(std::string::npos, at);
        s.replace(at, from.size(), "TSF001=\"..\\..\\ink_trouble_en.htm\"");
        const std::string second = "TSF002=\"paper_jam_en.htm\"";
        const size_t at2 = s.find(second);
        ASSERT_NE(std::string::npos, at2);
        s.replace(at2, second.size(), "TSF002=\"help\\paper_jam_en.htm\"");
        std::ofstream(model) << s;
    }
    // Without a pages folder the pages are looked for in the install folder.
    {
        krx::RegistryKey driver(
            HKEY_LOCAL_MACHINE,
            (std::string(krx::regkey::kDriverKeyPrefix) + kit::kDriverName).c_str(), false,
            krx::RegistryKey::kAllAccess);
        ASSERT_TRUE(driver.IsOpen());
        RegDeleteValueA(driver.Handle(), "HTMLInstallPath");
    }
    RunWindow(
        krx::kViewProgress,
        [&](StatusWindowProbe& w, InkRecorder&) {
            EXPECT_EQ("", w.TroubleshootingPage(1));
            EXPECT_EQ(kit::ExecutableFolder() + "help\\paper_jam_en.htm", w.TroubleshootingPage(2))
                << "a page inside the install folder is offered";
            w.End();
        },
        nullptr, model);
    DeleteFileA(model.c_str());
}

INT_PTR CALLBACK PlainTemplateProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST_F(LiveWindowTest, OddJobRecordsAreShownWithinTheirBounds) {
    // The job view on the controls of the window's own template.
    HWND dialog = CreateDialogParamA(resources_, MAKEINTRESOURCEA(IDD_STATUS_WINDOW), nullptr,
                                     &PlainTemplateProc, 0);
    ASSERT_NE(nullptr, dialog);
    auto text = [&](int id) {
        char buffer[256] = {};
        GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
        return std::string(buffer);
    };
    {
        krx::JobView view;
        view.Attach(dialog);
        view.SetNames(kit::kPrinterName, kit::kPortName);
        view.SetUp();
        view.Clear();
        krx::JobRecord job = {};
        job.jobId = 5;
        job.mediaType = 9999;
        job.paperSize = 0xFFFF;
        job.progress = 7;
        job.progressRange = 0;
        view.Show(job, view.Shown());
        EXPECT_EQ(100, view.Meter().Maximum()) << "no range: the bar keeps its scale";
        EXPECT_NE(std::string::npos, text(IDC_JOB_DETAILS).find(Text(1561)));
        job.progressRange = 0x80000000u; // negative as a signed range
        view.Show(job, view.Shown());
        EXPECT_EQ(100, view.Meter().Maximum());
        job.progressRange = 10;
        job.progress = 50; // beyond the range
        job.timeKnown = 1;
        job.time = 59;
        view.Show(job, view.Shown());
        EXPECT_EQ(10, view.Meter().Position());
        EXPECT_NE(std::string::npos, text(IDC_JOB_TIME).find("59"));
        job.time = 60;
        view.Show(job, view.Shown());
        EXPECT_NE(std::string::npos, text(IDC_JOB_TIME).find("1 min"));
    }
    DestroyWindow(dialog);
}

TEST_F(LiveWindowTest, TroubleHelpStartsTheInkUtility) {
    const std::string log = kit::ExecutableFolder() + "live_utility.log";
    DeleteFileA(log.c_str());
    krxtest::WriteString(HKEY_CURRENT_USER, kit::kUtilityKey, kit::kUtilityLogValue, log);
    krxtest::WriteDword(HKEY_CURRENT_USER, kit::kUtilityKey, kit::kUtilityAutoCloseValue, 200);
    SetReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;");
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        ASSERT_EQ(12, w.StatusClass());
        EXPECT_TRUE(w.Visible(IDC_TROUBLE_HELP));
        // The printer offers the D4 information channel: the direct utility.
        SendMessageA(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TROUBLE_HELP, BN_CLICKED), 0);

        // A service call from outside shows the text stored for the printer.
        std::vector<krx::MessageBoxRequest> boxes;
        krx::ScopedMessageBoxHook hook(
            [](const krx::MessageBoxRequest& r, void* c) {
                static_cast<std::vector<krx::MessageBoxRequest>*>(c)->push_back(r);
                return IDOK;
            },
            &boxes);
        SendMessageA(w.Hwnd(), WM_COMMAND, krx::kCommandServiceCall, 0);
        EXPECT_TRUE(boxes.empty()) << "nothing stored, nothing shown";
        krxtest::WriteString(HKEY_CURRENT_USER, krx::regkey::kStoreBase, kit::kPrinterName,
                             "Service required: code 0x12");
        SendMessageA(w.Hwnd(), WM_COMMAND, krx::kCommandServiceCall, 0);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Service required: code 0x12", boxes[0].text);
        EXPECT_EQ("Service Call Error!", boxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION | MB_OK), boxes[0].style);

        // Without a job the progress tick leaves a Detail window as it is.
        w.ProgressTick();
        EXPECT_EQ(krx::kViewDetail, w.View());
        EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
        w.End();
    });
    const std::string calls = kit::ReadTextFile(log);
    EXPECT_NE(std::string::npos, calls.find("UtInkReplacement")) << calls;
    EXPECT_EQ(std::string::npos, calls.find("WndInkReplacement")) << calls;
    DeleteFileA(log.c_str());
    kit::DeleteTree(HKEY_CURRENT_USER, kit::kUtilityKey);
}

// Everything the model file names without a folder is planted in the current
// folder, and the driver names no install folder: a picture library, an
// ink-replacement utility, the external program and a "page" that is a
// program. None of their code may run, and the page is not offered.
TEST_F(LiveWindowTest, NothingIsLoadedOrStartedFromTheCurrentFolder) {
    const std::string planted = "Software\\NorvaKit\\Planted";
    kit::DeleteTree(HKEY_CURRENT_USER, planted.c_str());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "krx_planted\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string bin = kit::ExecutableFolder();
    const std::vector<std::pair<std::string, std::string>> copies = {
        {"live_planted.dll", "plantpict.dll"},
        {"live_planted.dll", "plantut.dll"},
        {"live_planted_program.exe", "plantcsic.exe"},
        {"live_planted_program.exe", "plantpage.exe"},
        // Without an install folder the language check looks here.
        {"krxres_en.dll", "krxres_en.dll"},
        {"help\\ink_trouble_en.htm", "ink_trouble_en.htm"}};
    for (const auto& copy : copies) {
        ASSERT_TRUE(CopyFileA((bin + copy.first).c_str(), (folder + copy.second).c_str(), FALSE))
            << copy.second;
    }
    std::string profile = kit::ReadTextFile(ModelFile());
    for (const auto& change : std::vector<std::pair<std::string, std::string>>{
             {"\"kitpict.dll\"", "\"plantpict.dll\""},
             {"\"kitinkut.dll\"", "\"plantut.dll\""},
             {"\"N_QRLY02.EXE\"", "\"plantcsic.exe\""},
             {"\"paper_jam_en.htm\"", "\"plantpage.exe\""}}) {
        const size_t at = profile.find(change.first);
        ASSERT_NE(std::string::npos, at) << change.first;
        profile.replace(at, change.first.size(), change.second);
    }
    const std::string model = folder + "planted.ini";
    std::ofstream(model, std::ios::binary) << profile;
    const std::string driverKey = std::string(krx::regkey::kDriverKeyPrefix) + kit::kDriverName;
    {
        krx::RegistryKey driver(HKEY_LOCAL_MACHINE, driverKey.c_str(), false,
                                krx::RegistryKey::kAllAccess);
        ASSERT_TRUE(driver.IsOpen());
        RegDeleteValueA(driver.Handle(), "InstallPath");
        RegDeleteValueA(driver.Handle(), "HTMLInstallPath");
    }

    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    SetReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;");
    RunWindow(
        krx::kViewDetail,
        [&](krx::StatusWindowProbe& w, InkRecorder&) {
            w.StatusTick();
            EXPECT_EQ(12, w.StatusClass());
            EXPECT_EQ("", w.TroubleshootingPage(2)) << "a program offered as a page";
            EXPECT_EQ("", w.TroubleshootingPage(1)) << "a page of the current folder";
            SendMessageA(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TROUBLE_HELP, BN_CLICKED), 0);
            w.End();
        },
        nullptr, model);
    SetReply("ST:04;RC:01;IQ:5A5A5A5A5A5A;");
    RunWindow(
        krx::kViewProgress,
        [&](krx::StatusWindowProbe& w, InkRecorder&) {
            w.StatusTick();
            w.End();
        },
        nullptr, model);
    SetCurrentDirectoryA(previous);

    // A program started by mistake needs a moment to write its note.
    std::string touched;
    for (int wait = 0; wait < 20 && touched.empty(); ++wait) {
        Sleep(100);
        touched = krx::RegistryKey(HKEY_CURRENT_USER, planted.c_str()).ReadText("Touched", "");
    }
    EXPECT_EQ("", touched);
    kit::DeleteTree(HKEY_CURRENT_USER, planted.c_str());
    for (const auto& copy : copies) {
        DeleteFileA((folder + copy.second).c_str());
    }
    DeleteFileA(model.c_str());
    RemoveDirectoryA(folder.c_str());
}

std::vector<std::string>* g_played = nullptr;
BOOL WINAPI RecordSound(LPCSTR sound, HMODULE, DWORD) {
    if (g_played != nullptr && sound != nullptr)
        g_played->push_back(sound);
    return TRUE;
}

TEST_F(LiveWindowTest, JobBeingSentReadsTheStoreAndPopsUpWithItsSound) {
    krxtest::WriteBinary(HKEY_CURRENT_USER, StoreKey(), "Status",
                         krxtest::StatusReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;"));
    krxtest::WriteDword(HKEY_CURRENT_USER, StoreKey(), "ComStatus", 1);
    std::vector<std::string> played;
    g_played = &played;
    const krx::SoundApi previous = krx::Sounds();
    krx::Sounds().playSound = &RecordSound;
    const INT_PTR end = RunWindow(krx::kViewProgress, [&](StatusWindowProbe& w, InkRecorder&) {
        // Another process is sending a job: the job-activity object exists.
        krx::unique_handle activity(
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16,
                               krx::JobActivityName(kit::kPrinterName, "").c_str()));
        ASSERT_TRUE(activity);
        w.StatusTick();
        EXPECT_EQ(1, w.Printing());
        EXPECT_EQ(12, w.StatusClass());
        EXPECT_EQ(krx::kViewDetail, w.View()) << "a notified condition without a job record";
        EXPECT_EQ(2, krxtest::ReadDword(HKEY_CURRENT_USER, StoreKey(), "ComStatus", 0));
        ASSERT_FALSE(played.empty());
        EXPECT_NE(std::string::npos, played.back().find("kx_inklow.wav")) << played.back();
        // The same condition read again does not play again.
        krxtest::WriteDword(HKEY_CURRENT_USER, StoreKey(), "ComStatus", 1);
        w.StatusTick();
        EXPECT_EQ(12, w.StatusClass());
        EXPECT_EQ(1u, played.size());
        // A key of the printer's name made since set-up and listed before
        // the window's own: the tick keeps to the key the window found.
        const std::string own = StoreKey();
        const std::string newcomer = own.substr(0, own.rfind('\\')) + "\\A0";
        krxtest::WriteString(HKEY_CURRENT_USER, newcomer, "Name", kit::kPrinterName);
        krxtest::WriteDword(HKEY_CURRENT_USER, newcomer, "ComStatus", 0);
        w.StatusTick();
        EXPECT_EQ(12, w.StatusClass()) << "the newcomer's failure is not the window's";
        EXPECT_EQ(0u, krxtest::ReadDword(HKEY_CURRENT_USER, newcomer, "ComStatus", 9));
        RegDeleteKeyA(HKEY_CURRENT_USER, newcomer.c_str());
        // Without a job the progress tick leaves the window as it is.
        w.ProgressTick();
        EXPECT_EQ(krx::kViewDetail, w.View());
        // The condition clears and no job is left: the window closes itself.
        krxtest::WriteBinary(HKEY_CURRENT_USER, StoreKey(), "Status",
                             krxtest::StatusReply("ST:04;IQ:5A5A5A5A5A5A;"));
        krxtest::WriteDword(HKEY_CURRENT_USER, StoreKey(), "ComStatus", 1);
        w.StatusTick();
        EXPECT_EQ(1, w.StatusClass());
    });
    EXPECT_EQ(IDCANCEL, end);
    krx::Sounds() = previous;
    g_played = nullptr;
}

TEST_F(LiveWindowTest, HiddenMeterAskedForDetailBecomesADetailWindow) {
    SetReply("ST:04;IQ:5A5A5A5A5A5A;");
    RunWindow(krx::kViewProgress, [&](StatusWindowProbe& w, InkRecorder& ink) {
        EXPECT_FALSE(IsWindowVisible(w.Hwnd()));
        SendMessageA(w.Hwnd(), KRX_MSG_OPEN_AS_DETAIL, 0, 0);
        EXPECT_EQ(krx::kViewDetail, w.View());
        EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
        EXPECT_EQ(Text(2001), w.Text(IDC_STATUS_TEXT));
        ASSERT_FALSE(ink.Sent(IDC_INK_COLOR).empty());
        EXPECT_EQ(0, ink.Sent(IDC_INK_COLOR).back().block[2]);
        w.End();
    });
}

TEST_F(LiveWindowTest, HostFindsTheWindowInItsPrinterTableAndAnnouncesAJob) {
    kit::PrinterTables tables; // the host's, with the printer's record
    ASSERT_TRUE(tables.Ok());
    ASSERT_TRUE(tables.Claim(kit::kPrinterName));
    kit::SimPortJob job;
    job.spoolerId = 21;
    job.text = "Announced letter";
    job.polls = 100000;
    kit::SimPort::AddJob(job);
    knownJobs_->Know(21);
    SetReply("ST:04;IQ:5A5A5A5A5A5A;");
    RunWindow(krx::kViewDetail, [&](StatusWindowProbe& w, InkRecorder&) {
        w.StatusTick();
        EXPECT_EQ(w.Hwnd(), tables.StatusWindow("KIT PRINTER kx500"));
        ASSERT_EQ(w.Hwnd(), tables.AnnounceJob(kit::kPrinterName, 21));
        MSG msg;
        while (PeekMessageA(&msg, w.Hwnd(), KRX_MSG_ADD_JOB, KRX_MSG_ADD_JOB, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        ASSERT_TRUE(
            WaitForRecord([](const krx::JobRecord& r, bool v) { return v && r.jobId == 21; }));
        w.ProgressTick();
        EXPECT_EQ(krx::kViewProgress, w.View()) << "a ready printer: the window follows the job";
        EXPECT_EQ("Announced letter", w.Text(IDC_JOB_DOCUMENT));
        w.End();
    });
    EXPECT_EQ(nullptr, tables.StatusWindow(kit::kPrinterName)) << "the window has gone";
}

TEST_F(LiveWindowTest, TipsOnAndOffKeepTheMeterOnTheScreen) {
    SetReply("ST:04;IQ:5A5A5A5A5A5A;");
    RunWindow(krx::kViewProgress, [&](StatusWindowProbe& w, InkRecorder&) {
        RECT work = {};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const int screenHeight = work.bottom;
        RECT before;
        GetWindowRect(w.Hwnd(), &before);
        const int fullHeight = before.bottom - before.top;
        SendMessageA(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TIPS_BUTTON, BN_CLICKED), 0);
        EXPECT_EQ(0u, krxtest::ReadDword(HKEY_CURRENT_USER, StoreKey(), "DisplayTips", 1));
        EXPECT_FALSE(w.Enabled(IDC_TIP_TEXT));
        EXPECT_FALSE(w.Enabled(IDC_TIP_HELP));
        RECT small;
        GetWindowRect(w.Hwnd(), &small);
        EXPECT_LT(small.bottom - small.top, fullHeight) << "the tips area is cut off";
        EXPECT_LE(small.bottom, screenHeight);

        // Moved to the very bottom, then tips on again: it grows upwards.
        SetWindowPos(w.Hwnd(), nullptr, small.left, screenHeight - (small.bottom - small.top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TIPS_BUTTON, BN_CLICKED), 0);
        EXPECT_EQ(1u, krxtest::ReadDword(HKEY_CURRENT_USER, StoreKey(), "DisplayTips", 0));
        EXPECT_TRUE(w.Enabled(IDC_TIP_TEXT));
        RECT grown;
        GetWindowRect(w.Hwnd(), &grown);
        EXPECT_EQ(fullHeight, grown.bottom - grown.top);
        EXPECT_EQ(screenHeight, grown.bottom) << "the bottom edge stays on the screen";
        EXPECT_EQ(static_cast<DWORD>(grown.top),
                  krxtest::ReadDword(HKEY_CURRENT_USER, StoreKey(), "PopupPOSY", 0));
        w.End();
    });
}

} // namespace
} // namespace livetest
