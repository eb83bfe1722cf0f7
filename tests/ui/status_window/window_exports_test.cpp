// The window exports through the DLL boundary, as the host calls them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "base/registry/registry_paths.h"
#include "common/resource_ids.h"
#include "krxstat.h"
#include "loaded_plugin.h"
#include "window_fixture.h"

namespace windowtest {
namespace {

class WindowExportsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(plugin_.Loaded());
        startS_ = plugin_.Get<PFN_PrStartKRX_S>("PrStartKRX_S");
        startD_ = plugin_.Get<PFN_PrStartKRX_D>("PrStartKRX_D");
        startPM_ = plugin_.Get<PFN_PrStartKRX_PM>("PrStartKRX_PM");
        ASSERT_NE(nullptr, startS_);
        ASSERT_NE(nullptr, startD_);
        ASSERT_NE(nullptr, startPM_);
    }

    // All three exports with the same arguments, run to their result (a
    // window that opens is closed at once).
    void ExpectAll(int expected, const char* printer, const char* port, const char* resources,
                   const char* label) {
        for (int which = 0; which < 3; ++which) {
            WindowCall call([&] {
                if (which == 0) {
                    return startS_(printer, port, kit::kModelName, modelFile_.c_str(), resources);
                }
                if (which == 1) {
                    return startD_(printer, port, kit::kModelName, modelFile_.c_str(), resources);
                }
                return startPM_(printer, port, kit::kModelName, modelFile_.c_str(), resources, 7);
            });
            if (HWND hwnd = call.WaitForWindow(1500)) {
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            EXPECT_EQ(expected, call.Wait()) << label << ", export " << which;
        }
    }

    krxtest::LoadedPlugin plugin_;
    PFN_PrStartKRX_S startS_ = nullptr;
    PFN_PrStartKRX_D startD_ = nullptr;
    PFN_PrStartKRX_PM startPM_ = nullptr;
};

TEST_F(WindowExportsTest, ResourceLibraryThatCannotServeTheWindow) {
    Install(true);
    const std::string longPath(300, 'r');
    struct Case {
        const char* label;
        const char* path;
    };
    const Case cases[] = {
        {"null path", nullptr},
        {"empty path", ""},
        {"missing file", "no_such_library.dll"},
        {"300 characters", longPath.c_str()},
        {"quotes and backslashes", "\"c:\\\\x\\\"y.dll\""},
        // Loads, but holds neither the window's template nor its texts.
        {"library without the template", "krxstat.dll"},
    };
    for (const Case& c : cases) {
        ExpectAll(1, kit::kPrinterName, kit::kPortName, c.path, c.label);
    }
}

TEST_F(WindowExportsTest, WithoutTheLibraryOnlyAMeterThatDoesNotPollOpens) {
    Install(false);
    EXPECT_EQ(1, startS_(kit::kPrinterName, kit::kPortName, kit::kModelName, modelFile_.c_str(),
                         resources_.c_str()));
    EXPECT_EQ(1, startD_(kit::kPrinterName, kit::kPortName, kit::kModelName, modelFile_.c_str(),
                         resources_.c_str()));
    // The meter wants polling unless the system is marked unsupported.
    EXPECT_EQ(1, startPM_(kit::kPrinterName, kit::kPortName, kit::kModelName, modelFile_.c_str(),
                          resources_.c_str(), 3));

    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kCommonKey, "ERR_OSVERNOTSUPPORT", 1);
    WindowCall call([&] {
        return startPM_(kit::kPrinterName, kit::kPortName, kit::kModelName, modelFile_.c_str(),
                        resources_.c_str(), 3);
    });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd) << "result " << call.Wait(0);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, call.Wait());
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowExportsTest, DetailWindowIsCentredKeysAndCloses) {
    Install(true);
    const SIZE templateSize = TemplateSize(resources_);
    ASSERT_GT(templateSize.cx, 0);
    WindowCall call([&] {
        return startD_(kit::kPrinterName, kit::kPortName, kit::kModelName, modelFile_.c_str(),
                       resources_.c_str());
    });
    HWND hwnd = call.WaitForWindow();
    ASSERT_NE(nullptr, hwnd);

    char title[512] = {};
    GetWindowTextA(hwnd, title, sizeof(title));
    EXPECT_EQ(ResourceString(resources_, IDS_MONITOR_CAPTION) + " : " + kit::kPrinterName,
              std::string(title));
    const RECT work = WorkArea();
    const RECT r = WindowRect(hwnd);
    const POINT centre = CentredIn(work, templateSize);
    EXPECT_EQ(centre.x, r.left);
    EXPECT_EQ(centre.y, r.top);
    EXPECT_TRUE(InsideWorkArea(r, work));
    EXPECT_TRUE(ItemVisible(hwnd, IDOK));
    EXPECT_TRUE(ItemEnabled(hwnd, IDOK));
    EXPECT_FALSE(ItemVisible(hwnd, IDC_CANCEL_PRINTING));
    EXPECT_FALSE(ItemVisible(hwnd, IDC_JOB_DOCUMENT));
    EXPECT_TRUE(ItemVisible(hwnd, IDC_DETAIL_INK_FRAME));
    EXPECT_FALSE(ItemVisible(hwnd, IDC_INK_FRAME));
    EXPECT_FALSE(ItemVisible(hwnd, IDC_TIPS_BUTTON));

    // Escape never closes the window; Enter presses Close in Detail.
    PostMessageA(GetDlgItem(hwnd, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    EXPECT_FALSE(call.Ended());
    PostMessageA(GetDlgItem(hwnd, IDOK), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(0, call.Wait());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(krxtest::ValueExists(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSX"));
    EXPECT_FALSE(krxtest::ValueExists(HKEY_CURRENT_USER, StoreKeyPath(), "PopupPOSY"));
}

// A second window export called from inside the first one's modal loop (as
// a host does that serves another printer's request from its own window
// procedure) runs with its own resource library, and the first window,
// which keeps polling underneath, goes on with its own.
TEST_F(WindowExportsTest, NestedCallLeavesTheOuterWindowItsOwnValues) {
    Install(true);
    kit::SimPrinter::SetNumber("Live", 1);
    const std::string japanese = bin_ + "krxres_ja.dll";
    using Self = std::remove_pointer<decltype(this)>::type;
    HWND helper = nullptr;
    WindowCall call([&] {
        // A window of the host on the same thread, whose procedure opens the
        // second window when asked.
        helper = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
        SetWindowLongPtrA(helper, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrA(
            helper, GWLP_WNDPROC,
            reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                if (m == WM_APP) {
                    auto* self = reinterpret_cast<Self*>(GetWindowLongPtrA(h, GWLP_USERDATA));
                    return self->startD_(kit::kPrinterName, kit::kPortName, kit::kModelName,
                                         self->modelFile_.c_str(),
                                         reinterpret_cast<const char*>(l));
                }
                return DefWindowProcA(h, m, w, l);
            }));
        const int result = startD_(kit::kPrinterName, kit::kPortName, kit::kModelName,
                                   modelFile_.c_str(), resources_.c_str());
        DestroyWindow(helper);
        return result;
    });
    HWND outer = call.WaitForWindow();
    ASSERT_NE(nullptr, outer);
    auto statusText = [&](const char* fields) {
        kit::SimPrinter::SetStatusReply(krxtest::StatusReply(fields));
        SendMessageA(outer, WM_TIMER, 8, 0);
        char text[512] = {};
        GetDlgItemTextA(outer, IDC_STATUS_TEXT, text, sizeof(text));
        return std::string(text);
    };
    const std::string inkLow = statusText("ST:04;WR:10;IQ:0A5A5A5A5A5A;");
    const std::string ready = statusText("ST:04;");
    ASSERT_NE(inkLow, ready);

    PostMessageA(helper, WM_APP, 0, reinterpret_cast<LPARAM>(japanese.c_str()));
    HWND inner = call.WaitForOtherWindow(outer);
    ASSERT_NE(nullptr, inner);
    EXPECT_EQ(inkLow, statusText("ST:04;WR:10;IQ:0A5A5A5A5A5A;"));
    PostMessageA(inner, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(inner) && GetTickCount() - start < 5000) {
        Sleep(20);
    }
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_EQ(ready, statusText("ST:04;"));
    PostMessageA(outer, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, call.Wait());
}

} // namespace
} // namespace windowtest
