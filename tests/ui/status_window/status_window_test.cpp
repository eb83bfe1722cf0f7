// Status windows opened in the test process through the product's own
// entry, with message boxes recorded instead of shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/registry/registry_paths.h"
#include "comm/bxapi.h"
#include "comm/library_recovery.h"
#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "common/win_handles.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"
#include "base/trace/debug_trace.h"
#include "jobs/job_monitor.h"
#include "kit_install.h"
#include "ui/status_window/status_window.h"
#include "ui/status_window/window_exports.h"
#include "ui/status_window/window_placement.h"
#include "spooler_jobs.h"
#include "window_fixture.h"

#include "../../../kit/bxapiset/bxapiset_script.h"

namespace windowtest {
namespace {

class StatusWindowTest : public WindowTest {
  protected:
    int Start(int view, const char* printer = kit::kPrinterName,
              const char* port = kit::kPortName) {
        return krx::StartMonitorWindow(view, printer, port, kit::kModelName, modelFile_.c_str(),
                                       resources_.c_str(), 11);
    }
    void WritePosition(DWORD x, DWORD y) {
        krxtest::WriteDword(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSX", x);
        krxtest::WriteDword(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSY", y);
    }
    POINT StoredPosition() {
        return {static_cast<LONG>(
                    krxtest::ReadDword(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSX", 0xDEAD)),
                static_cast<LONG>(
                    krxtest::ReadDword(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSY", 0xDEAD))};
    }
    // Opens a pop-up, returns where it stood, and closes it.
    POINT OpenPopupAt() {
        WindowCall call([&] { return Start(krx::kViewPopup); });
        HWND hwnd = call.WaitForWindow();
        EXPECT_NE(nullptr, hwnd);
        const RECT r = WindowRect(hwnd);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, call.Wait());
        return {r.left, r.top};
    }

    MessageBoxRecorder boxes_;
};

TEST_F(StatusWindowTest, PrinterTheSpoolerDoesNotKnow) {
    Install(true);
    const std::string longName(300, 'p');
    struct Case {
        const char* label;
        const char* printer;
        const char* port;
    };
    const Case cases[] = {
        {"unknown printer", "No Such Printer", kit::kPortName},
        {"300 characters", longName.c_str(), longName.c_str()},
        {"quotes and backslashes", "\\\\server\\\"Kit\" \\", "\"LPT1:\\"},
        {"no printer name, the port stands for it", "", kit::kPortName},
        {"null names", nullptr, nullptr},
    };
    size_t expectedBoxes = 0;
    for (const Case& c : cases) {
        WindowCall call([&] { return Start(krx::kViewPopup, c.printer, c.port); });
        EXPECT_EQ(0, call.Wait()) << c.label;
        ++expectedBoxes;
        const std::vector<int> ids = boxes_.TextIds();
        ASSERT_EQ(expectedBoxes, ids.size()) << c.label;
        EXPECT_EQ(IDS_PRINTER_UNKNOWN, ids.back()) << c.label;
    }
}

TEST_F(StatusWindowTest, PopupRemembersItsPosition) {
    Install(true);
    const SIZE templateSize = TemplateSize(resources_);
    const RECT work = WorkArea();
    const POINT centre = CentredIn(work, templateSize);

    // Nothing stored: centred, and the centre is stored.
    POINT at = OpenPopupAt();
    EXPECT_EQ(centre.x, at.x);
    EXPECT_EQ(centre.y, at.y);
    POINT stored = StoredPosition();
    EXPECT_EQ(centre.x, stored.x);
    EXPECT_EQ(centre.y, stored.y);

    // A position on the screen is used as it is.
    WritePosition(100, 120);
    at = OpenPopupAt();
    EXPECT_EQ(100, at.x);
    EXPECT_EQ(120, at.y);

    // Beyond the screen on one axis: that axis is centred, both are stored.
    WritePosition(static_cast<DWORD>(work.right + 1), 40);
    at = OpenPopupAt();
    EXPECT_EQ(centre.x, at.x);
    EXPECT_EQ(40, at.y);
    stored = StoredPosition();
    EXPECT_EQ(centre.x, stored.x);
    EXPECT_EQ(40, stored.y);

    // Values of the wrong type read as no position.
    krxtest::WriteString(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSX", "100");
    krxtest::WriteString(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSY", "12345678901234567890");
    at = OpenPopupAt();
    EXPECT_EQ(centre.x, at.x);
    EXPECT_EQ(centre.y, at.y);
}

TEST_F(StatusWindowTest, PopupViewKeysAndSystemMenu) {
    Install(true);
    WindowCall call([&] { return Start(krx::kViewPopup); });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_TRUE(ItemVisible(hwnd, IDC_CANCEL_PRINTING));
    EXPECT_FALSE(ItemVisible(hwnd, IDOK));
    EXPECT_FALSE(ItemEnabled(hwnd, IDOK));
    EXPECT_TRUE(ItemVisible(hwnd, IDC_INK_FRAME));
    EXPECT_FALSE(ItemVisible(hwnd, IDC_DETAIL_INK_FRAME));
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZEBOX);

    HMENU menu = GetSystemMenu(hwnd, FALSE);
    ASSERT_NE(nullptr, menu);
    EXPECT_TRUE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(menu, SC_SIZE, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND));
    char text[128] = {};
    GetMenuStringA(menu, krx::kSysMenuVersion, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_EQ(ResourceString(resources_, IDS_VERSION_MENU), std::string(text));

    // The status text takes a click (and the focus) but shows no caret.
    HWND statusText = GetDlgItem(hwnd, IDC_STATUS_TEXT);
    // Sent, not posted: a sent message is handled before anything posted, so
    // only sending makes the wait cover the click.
    DWORD_PTR answered = 0;
    SendMessageTimeoutA(statusText, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), SMTO_NORMAL, 5000,
                        &answered);
    SendMessageTimeoutA(statusText, WM_LBUTTONUP, 0, MAKELPARAM(4, 4), SMTO_NORMAL, 5000,
                        &answered);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    ASSERT_TRUE(GetGUIThreadInfo(call.ThreadId(), &gui));
    EXPECT_EQ(statusText, gui.hwndFocus);
    EXPECT_NE(statusText, gui.hwndCaret);

    // Neither Escape nor Enter closes the pop-up.
    PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(GetDlgItem(hwnd, IDC_CANCEL_PRINTING), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    Sleep(300);
    EXPECT_FALSE(call.Ended());

    // The version item opens the version dialog modally over the window.
    PostMessageA(hwnd, WM_SYSCOMMAND, krx::kSysMenuVersion, 0);
    HWND version = call.WaitForOtherWindow(hwnd);
    ASSERT_NE(nullptr, version);
    EXPECT_NE(hwnd, version);
    char versionTitle[256] = {};
    GetWindowTextA(version, versionTitle, sizeof(versionTitle));
    PostMessageA(version, WM_CLOSE, 0, 0);
    // A status tick may be running; wait until the window's thread answers.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    for (int i = 0; i < 100 && IsWindow(version); ++i) {
        Sleep(20);
    }
    EXPECT_FALSE(IsWindow(version)) << versionTitle;
    EXPECT_FALSE(call.Ended());

    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0, call.Wait());
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(StatusWindowTest, MeterStaysHiddenInTheBottomRightCorner) {
    Install(true);
    const RECT work = WorkArea();
    WindowCall call([&] { return Start(krx::kViewProgress); });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd);
    const RECT r = WindowRect(hwnd);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    // Asking to show it does not help while it waits for job progress.
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(work.right, r.right);
    EXPECT_EQ(work.bottom, r.bottom);
    const POINT stored = StoredPosition();
    EXPECT_EQ(r.left, stored.x);
    EXPECT_EQ(r.top, stored.y);
    EXPECT_TRUE(ItemVisible(hwnd, IDC_JOB_CANCEL));
    EXPECT_TRUE(ItemVisible(hwnd, IDC_TIPS_BUTTON));
    EXPECT_FALSE(ItemVisible(hwnd, IDC_STATUS_PICTURE));
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZEBOX);
    char title[512] = {};
    GetWindowTextA(hwnd, title, sizeof(title));
    EXPECT_EQ(std::string(kit::kPrinterName) + " - " + kit::kPortName, std::string(title));
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, call.Wait());
}

// Whatever the screen's size (also run on 800x600 and 1280x1024 displays),
// a window stays wholly inside the work area: a pop-up remembered where only
// its corner would show is moved in (and remembered there), and the meter in
// the corner keeps its edges inside as its tips area shrinks and grows back.
TEST_F(StatusWindowTest, ViewsStayInsideTheWorkArea) {
    if (const char* size = std::getenv("KRX_SCREEN_SIZE")) {
        EXPECT_EQ(std::string(size), std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                                         std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    }
    Install(true);
    const RECT work = WorkArea();
    WritePosition(static_cast<DWORD>(work.right - 100), static_cast<DWORD>(work.bottom - 100));
    {
        WindowCall call([&] { return Start(krx::kViewPopup); });
        HWND hwnd = call.WaitForWindow();
        ASSERT_NE(nullptr, hwnd);
        const RECT r = WindowRect(hwnd);
        EXPECT_TRUE(InsideWorkArea(r, work)) << "remembered pop-up";
        const POINT stored = StoredPosition();
        EXPECT_EQ(r.left, stored.x);
        EXPECT_EQ(r.top, stored.y);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, call.Wait());
    }

    WritePosition(krx::kUnsetWindowPosition, krx::kUnsetWindowPosition);
    WindowCall call([&] { return Start(krx::kViewProgress); });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd);
    const char* const steps[] = {"meter", "tips off", "tips on again"};
    for (const char* step : steps) {
        if (step != steps[0]) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_TIPS_BUTTON, BN_CLICKED), 0,
                                SMTO_NORMAL, 5000, &answer);
        }
        EXPECT_TRUE(InsideWorkArea(WindowRect(hwnd), work)) << step;
        EXPECT_TRUE(InsideWorkArea(WindowRect(GetDlgItem(hwnd, IDC_TIPS_BUTTON)), work)) << step;
    }
    EXPECT_EQ(work.bottom, WindowRect(hwnd).bottom) << "grown back into the corner";
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, call.Wait());
}

// Where each top-level window of the hooked thread stood, and how large it
// was, when it first became visible.
std::mutex g_shownLock;
std::map<HWND, RECT> g_firstShown;

LRESULT CALLBACK RecordFirstShow(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW) &&
        !(GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD)) {
        std::lock_guard<std::mutex> guard(g_shownLock);
        g_firstShown.insert({call->hwnd, WindowRect(call->hwnd)});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(StatusWindowTest, PopupAndDetailAppearWhereTheyStay) {
    Install(true);
    for (int view : {krx::kViewPopup, krx::kViewDetail}) {
        g_firstShown.clear();
        WindowCall call([&] {
            HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, RecordFirstShow, nullptr,
                                           GetCurrentThreadId());
            const int result = Start(view);
            UnhookWindowsHookEx(hook);
            return result;
        });
        HWND hwnd = call.WaitForWindow();
        ASSERT_NE(nullptr, hwnd);
        const RECT now = WindowRect(hwnd);
        RECT first = {};
        {
            std::lock_guard<std::mutex> guard(g_shownLock);
            ASSERT_EQ(1u, g_firstShown.count(hwnd)) << view;
            first = g_firstShown[hwnd];
        }
        EXPECT_EQ(now.left, first.left) << view;
        EXPECT_EQ(now.top, first.top) << view;
        EXPECT_EQ(now.right, first.right) << view;
        EXPECT_EQ(now.bottom, first.bottom) << view;
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, call.Wait());
    }
}

BOOL CALLBACK CountDialog(HWND hwnd, LPARAM count) {
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(hwnd)) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

TEST_F(StatusWindowTest, InformationDialogIsOwnedByTheWindowAndOpensOnce) {
    Install(true);
    kit::SimPrinter::SetStatusReply(krxtest::StatusReply("ST:04;IQ:5A5A5A5A5A5A;"));
    const std::string log = bin_ + "window_info_calls.log";
    DeleteFileA(log.c_str());
    kit::SimPrinter::SetText("CallLog", log);
    WindowCall call([&] { return Start(krx::kViewDetail); });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd);
    // The first status tick offers the information.
    for (int i = 0; i < 250 && !ItemEnabled(hwnd, IDC_INFO_BUTTON); ++i) {
        Sleep(20);
    }
    ASSERT_TRUE(ItemEnabled(hwnd, IDC_INFO_BUTTON));
    auto click = [&] {
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INFO_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_INFO_BUTTON)));
    };
    click();
    HWND info = call.WaitForOtherWindow(hwnd);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(hwnd, GetWindow(info, GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(hwnd)) << "the status window waits for the dialog";
    const int channel = kit::SimRegisteredHandle(info, bx::kOptionNotifyInfo);
    ASSERT_NE(0, channel) << "the dialog hears the information channel";

    // A second command (on its way before the window was disabled) opens
    // nothing more, and the one dialog still closes.
    click();
    Sleep(300);
    int dialogs = 0;
    EnumThreadWindows(call.ThreadId(), CountDialog, reinterpret_cast<LPARAM>(&dialogs));
    EXPECT_EQ(2, dialogs);
    PostMessageA(info, WM_CLOSE, 0, 0);
    for (int i = 0; i < 250 && IsWindow(info); ++i) {
        Sleep(20);
    }
    EXPECT_FALSE(IsWindow(info));
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    // The channel's news comes to the status window again (it takes the
    // channel back as it handles the dialog's end, after the dialog is gone).
    for (int i = 0; i < 250 && kit::SimRegisteredWindow(channel, bx::kOptionNotifyInfo) != hwnd;
         ++i) {
        Sleep(20);
    }
    EXPECT_EQ(hwnd, kit::SimRegisteredWindow(channel, bx::kOptionNotifyInfo));
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0, call.Wait());

    // The channel's receive is cancelled, then its news goes elsewhere: when
    // the dialog takes the channel over, and when the window takes it back.
    const std::string handle = std::to_string(channel);
    const std::string handOver = "BXReceiveCancel " + handle + "\nBXSetOption " + handle + " 3\n";
    const std::string calls = kit::ReadTextFile(log);
    int handOvers = 0;
    for (size_t at = calls.find(handOver); at != std::string::npos;
         at = calls.find(handOver, at + 1)) {
        ++handOvers;
    }
    EXPECT_EQ(2, handOvers) << calls;
    DeleteFileA(log.c_str());
}

TEST_F(StatusWindowTest, SettingsToolReports) {
    Install(true);
    WindowCall call([&] { return Start(krx::kViewDetail); });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd);
    struct Case {
        LPARAM flags;
        int textId; // 0: no box
    };
    const Case cases[] = {
        {0x200000 | 0x400, IDS_LIBRARY_REPLACED},
        {0x400 | 0x80000, IDS_LIBRARY_IN_USE},
        {0x80000 | 0x1, IDS_LIBRARY_OTHER_ERROR},
        {0x1, IDS_RECOVERY_DONE},
        {0x2, 0},
    };
    for (const Case& c : cases) {
        const size_t before = boxes_.TextIds().size();
        SendMessageA(hwnd, KRX_MSG_RECOVERY_REPORT, 0, c.flags);
        const std::vector<int> ids = boxes_.TextIds();
        std::vector<int> shown(ids.begin() + static_cast<long>(before), ids.end());
        // The status tick may add a box of its own; look for ours only.
        const bool found = std::find(shown.begin(), shown.end(), c.textId) != shown.end();
        if (c.textId != 0) {
            EXPECT_TRUE(found) << "flags " << std::hex << c.flags;
        }
        for (int id : {IDS_LIBRARY_REPLACED, IDS_LIBRARY_IN_USE, IDS_RECOVERY_DONE}) {
            if (id != c.textId) {
                EXPECT_EQ(shown.end(), std::find(shown.begin(), shown.end(), id))
                    << "flags " << std::hex << c.flags << " showed " << std::dec << id;
            }
        }
    }
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0, call.Wait());
}

TEST_F(StatusWindowTest, CloseWhileJobsRemainTurnsIntoAHiddenMeter) {
    Install(true);
    krxtest::SpoolerJobs jobs; // a test process's spooler knows only its own jobs
    jobs.KnowEvery();
    {
        WindowCall call([&] { return Start(krx::kViewDetail); });
        HWND hwnd = call.WaitForWindow();
        ASSERT_NE(nullptr, hwnd);
        EXPECT_TRUE(IsWindowVisible(hwnd));
        SendMessageA(hwnd, KRX_MSG_ADD_JOB, 0, 21);
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDOK)));
        Sleep(200);
        EXPECT_FALSE(call.Ended());
        EXPECT_FALSE(IsWindowVisible(hwnd));
        char title[512] = {};
        GetWindowTextA(hwnd, title, sizeof(title));
        EXPECT_EQ(std::string(kit::kPrinterName) + " - " + kit::kPortName, std::string(title));
        EXPECT_TRUE(ItemVisible(hwnd, IDC_JOB_PAUSE));
        EXPECT_FALSE(ItemVisible(hwnd, IDOK));
        // As a meter it now remembers its corner.
        const RECT r = WindowRect(hwnd);
        const POINT stored = StoredPosition();
        EXPECT_EQ(r.left, stored.x);
        EXPECT_EQ(r.top, stored.y);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, call.Wait());
        EXPECT_FALSE(IsWindow(hwnd));
    }
}

// A Detail window whose recovery the test starts by a message of its own.
class RecoveryProbe : public krx::StatusWindow {
  public:
    static constexpr UINT kTry = WM_APP + 1;
    static constexpr UINT kState = WM_APP + 2;

  protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override {
        if (message == kTry) {
            TryLibraryRecovery();
            *result = RecoveryStateValue();
            return true;
        }
        if (message == kState) {
            *result = RecoveryStateValue();
            return true;
        }
        return krx::StatusWindow::HandleMessage(message, wParam, lParam, result);
    }
};

class RecoveryTest : public StatusWindowTest {
  protected:
    // Runs a probe window of the view and returns the state after a try.
    int TryIn(int view) {
        int state = -1;
        WindowCall call([&] {
            HMODULE ink = LoadLibraryA("kitink.dll");
            HMODULE resources = LoadLibraryA(resources_.c_str());
            krx::ThisCall().resourceModule = resources;
            krx::CBxApi library(krx::RememberedPrinterName());
            krx::JobMonitor monitor;
            monitor.SetNames(kit::kPrinterName, kit::kPortName);
            RecoveryProbe window;
            krx::StatusWindowSetup setup;
            setup.resourceLibrary = resources;
            setup.baseViewType = view;
            setup.jobMonitor = &monitor;
            setup.library = &library;
            setup.statusPolling = 0; // the test alone drives it
            window.Configure(setup);
            const int result = static_cast<int>(
                window.Run(kit::kPrinterName, kit::kPortName, kit::kModelName, modelFile_.c_str()));
            krx::ThisCall().resourceModule = nullptr;
            FreeLibrary(resources);
            FreeLibrary(ink);
            return result;
        });
        HWND hwnd = call.WaitForWindow();
        hwnd_ = hwnd;
        EXPECT_NE(nullptr, hwnd);
        if (hwnd != nullptr) {
            state = static_cast<int>(SendMessageA(hwnd, RecoveryProbe::kTry, 0, 0));
            // A started tool reports back by a posted message.
            if (state == krx::kRecoveryAwaitingReport) {
                const DWORD start = GetTickCount();
                while (GetTickCount() - start < 5000 &&
                       krxtest::ReadDword(HKEY_CURRENT_USER, kit::kSettingsToolKey,
                                          kit::kSettingsToolPosted, 0) == 0) {
                    Sleep(50);
                }
                Sleep(200);
                reported_ = static_cast<int>(SendMessageA(hwnd, RecoveryProbe::kState, 0, 0));
            }
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(IDCANCEL, call.Wait()); // ended by the close message
        return state;
    }
    void RouteLocalPortOnly() {
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kRouter, "BXP00", "LPT1:");
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kRouter, "BXP07", "IPXSHARE");
    }
    static constexpr const char* kRouter = krx::regkey::kRouterKey;
    int reported_ = -1;
    HWND hwnd_ = nullptr;
};

TEST_F(RecoveryTest, RouterAndPermission) {
    Install(true);
    // No router key: nothing to repair.
    EXPECT_EQ(krx::kRecoveryNotNeeded, TryIn(krx::kViewDetail));
    // Local and shared ports routed: nothing to repair, whatever the switch.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kRouter, "BXP03", "LPT1:");
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kRouter, "BXP99", "SHARE02");
    EXPECT_EQ(krx::kRecoveryNotNeeded, TryIn(krx::kViewDetail));
    kit::DeleteTree(HKEY_LOCAL_MACHINE, "software\\NORVA\\BXPrinter");
    // So do ports named with the 256 characters a value may hold.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kRouter, "BXP00", "LPT1:" + std::string(251, 'x'));
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kRouter, "BXP01", "SHARE" + std::string(251, 'x'));
    EXPECT_EQ(krx::kRecoveryNotNeeded, TryIn(krx::kViewDetail));
    kit::DeleteTree(HKEY_LOCAL_MACHINE, "software\\NORVA\\BXPrinter");

    // A repair that is not allowed.
    RouteLocalPortOnly();
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "BXAPIRECOVER", 0);
    EXPECT_EQ(krx::kRecoveryFailed, TryIn(krx::kViewDetail));
    EXPECT_TRUE(boxes_.TextIds().empty());

    // Allowed, but a pop-up only tells the user.
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "BXAPIRECOVER", 1);
    EXPECT_EQ(krx::kRecoveryFailed, TryIn(krx::kViewPopup));
    ASSERT_EQ(1u, boxes_.TextIds().size());
    EXPECT_EQ(IDS_RECOVERY_POPUP, boxes_.TextIds()[0]);
    EXPECT_FALSE(krxtest::ValueExists(HKEY_CURRENT_USER, kit::kSettingsToolKey,
                                      kit::kSettingsToolCommandLine));
    // The meter never offers a repair.
    EXPECT_EQ(krx::kRecoveryNotTried, TryIn(krx::kViewProgress));
}

// An administrator who is not elevated holds Administrators for deny only:
// the repair would run without the rights it needs.
TEST(AdministratorCheck, DenyOnlyAdministratorsDoesNotCount) {
    ASSERT_EQ(1, krx::IsAdministrator()) << "Wine's account is an administrator";
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                         &administrators));
    krx::unique_handle process;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, process.put()));
    SID_AND_ATTRIBUTES disabled = {administrators, 0};
    krx::unique_handle restricted;
    ASSERT_TRUE(CreateRestrictedToken(process.get(), 0, 1, &disabled, 0, nullptr, 0, nullptr,
                                      restricted.put()))
        << GetLastError();
    FreeSid(administrators);
    krx::unique_handle impersonation;
    ASSERT_TRUE(DuplicateToken(restricted.get(), SecurityImpersonation, impersonation.put()));
    ASSERT_TRUE(SetThreadToken(nullptr, impersonation.get()));
    const int underDenyOnly = krx::IsAdministrator();
    RevertToSelf();
    EXPECT_EQ(0, underDenyOnly);
    EXPECT_EQ(1, krx::IsAdministrator()) << "the thread's own token again";
}

TEST_F(RecoveryTest, DetailStartsTheSettingsToolWhichReportsBack) {
    Install(true);
    if (!krx::IsAdministrator()) {
        GTEST_SKIP() << "the test account is not an administrator";
    }
    RouteLocalPortOnly();
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "BXAPIRECOVER", 1);
    krxtest::WriteDword(HKEY_CURRENT_USER, kit::kSettingsToolKey, kit::kSettingsToolReport, 0x1);

    EXPECT_EQ(krx::kRecoveryAwaitingReport, TryIn(krx::kViewDetail));
    const krx::RegistryKey tool(HKEY_CURRENT_USER, kit::kSettingsToolKey);
    EXPECT_EQ(kit::kDriverName, tool.ReadText(kit::kSettingsToolDriver, ""));
    char expected[64];
    wsprintfA(expected, "/Ret=WM:%08X;000004C8 /BXP=A:On",
              static_cast<unsigned>(reinterpret_cast<UINT_PTR>(hwnd_)));
    const std::string line = tool.ReadText(kit::kSettingsToolCommandLine, "", 1024);
    EXPECT_NE(std::string::npos,
              line.find(std::string("/Act=Ch /AN=\"") + kit::kDriverName + "\" " + expected))
        << line;
    EXPECT_EQ(1u, krxtest::ReadDword(HKEY_CURRENT_USER, kit::kSettingsToolKey,
                                     kit::kSettingsToolPosted, 0));
    // The report with bit 0x1 and a router that still needs repair: the
    // user is told, and the window goes on waiting.
    const std::vector<int> ids = boxes_.TextIds();
    EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), IDS_RECOVERY_DONE));
    EXPECT_EQ(krx::kRecoveryAwaitingReport, reported_);

    // The longest folder the library may name is used whole (no tool there).
    const std::string folder = "C:\\" + std::string(253, 'd');
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kLibraryInfoKey, "InstallDir", folder);
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    krx::LoadTraceSwitch();
    EXPECT_EQ(krx::kRecoveryFailed, TryIn(krx::kViewDetail));
    EXPECT_NE(
        std::string::npos,
        kit::ReadTextFile(krxtest::kTraceFile).find("no settings tool in " + folder + "\\\n"));
}

// The tool's folder has a space, and a program named like its first word
// waits beside it: the tool is started by its quoted full path, and the
// other program never runs.
TEST_F(RecoveryTest, ToolInAFolderWithASpaceIsStartedByItsFullPath) {
    Install(true);
    if (!krx::IsAdministrator()) {
        GTEST_SKIP() << "the test account is not an administrator";
    }
    const char planted[] = "Software\\NorvaKit\\Planted";
    kit::DeleteTree(HKEY_CURRENT_USER, planted);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string base = std::string(temp) + "krx_recovery\\";
    const std::string toolFolder = base + "kit tool";
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(toolFolder.c_str(), nullptr);
    const std::string bin = kit::ExecutableFolder();
    ASSERT_TRUE(
        CopyFileA((bin + "bxapiset.exe").c_str(), (toolFolder + "\\bxapiset.exe").c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA((bin + "live_planted_program.exe").c_str(), (base + "kit.exe").c_str(), FALSE));
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kLibraryInfoKey, "InstallDir",
                         toolFolder);
    RouteLocalPortOnly();
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "BXAPIRECOVER", 1);
    krxtest::WriteDword(HKEY_CURRENT_USER, kit::kSettingsToolKey, kit::kSettingsToolReport, 0x1);

    EXPECT_EQ(krx::kRecoveryAwaitingReport, TryIn(krx::kViewDetail));
    EXPECT_EQ(1u, krxtest::ReadDword(HKEY_CURRENT_USER, kit::kSettingsToolKey,
                                     kit::kSettingsToolPosted, 0));
    EXPECT_FALSE(krxtest::ValueExists(HKEY_CURRENT_USER, planted, "Touched"));
    kit::DeleteTree(HKEY_CURRENT_USER, planted);
    DeleteFileA((toolFolder + "\\bxapiset.exe").c_str());
    DeleteFileA((base + "kit.exe").c_str());
    RemoveDirectoryA(toolFolder.c_str());
    RemoveDirectoryA(base.c_str());
}

} // namespace
} // namespace windowtest
