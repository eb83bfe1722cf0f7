// Exceptions thrown by a dialog's or a subclassed control's handler stop at
// the window procedure: the real dialog runs on, and ends normally.
#include <gtest/gtest.h>

#include <stdexcept>

#include "common/dialog.h"
#include "common/resource_ids.h"
#include "dialog_probe.h"

namespace {

constexpr UINT kThrowMessage = WM_APP + 10;

class ThrowingControl : public krx::SubclassedControl {
  public:
    int thrown = 0;

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kThrowMessage) {
            ++thrown;
            throw std::runtime_error("control handler");
        }
        return SubclassedControl::WndProc(message, wParam, lParam);
    }
};

class ThrowingDialog : public krx::Dialog {
  public:
    explicit ThrowingDialog(bool throwOnInit) : Dialog(IDD_VERSION), throwOnInit_(throwOnInit) {}
    int thrown = 0;
    int timerTicks = 0;
    ThrowingControl control;

  protected:
    BOOL OnInitDialog() override {
        if (throwOnInit_) {
            throw std::bad_alloc();
        }
        control.Attach(Hwnd(), IDC_VERSION_PLUGIN);
        PostMessageA(Hwnd(), kThrowMessage, 0, 0);
        SetTimer(Hwnd(), 1, 10, nullptr);
        return TRUE;
    }
    bool OnTimer(UINT_PTR) override {
        // Still running after both throws: the loop goes on as before.
        if (++timerTicks == 3) {
            KillTimer(Hwnd(), 1);
            End(IDOK);
        }
        return true;
    }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override {
        if (message == kThrowMessage) {
            ++thrown;
            SendMessageA(control.Hwnd(), kThrowMessage, 0, 0);
            throw std::runtime_error("dialog handler");
        }
        return Dialog::HandleMessage(message, wParam, lParam, result);
    }

  private:
    bool throwOnInit_;
};

// Asked to quit from the start; refuses a close, as a window that wants the
// user to decide would.
class QuittingDialog : public krx::Dialog {
  public:
    QuittingDialog() : Dialog(IDD_VERSION) {}
    int closes = 0;
    bool quitQueuedAtDestroy = false;

  protected:
    BOOL OnInitDialog() override {
        PostQuitMessage(5);
        return TRUE;
    }
    bool OnClose() override {
        ++closes;
        return true;
    }
    void OnDestroy() override {
        MSG msg;
        quitQueuedAtDestroy = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
    }
};

class DialogThunkTest : public dlgtest::ResourceLibraryTest {
  protected:
    DialogThunkTest() : ResourceLibraryTest("krxres_en.dll") {}
};

TEST_F(DialogThunkTest, HandlerExceptionsStopAtTheWindowProcedure) {
    ThrowingDialog dialog(false);
    EXPECT_EQ(dialog.DoModal(nullptr, Library()), IDOK);
    EXPECT_EQ(dialog.thrown, 1);
    EXPECT_EQ(dialog.control.thrown, 1);
    EXPECT_EQ(dialog.timerTicks, 3);

    // A dialog that cannot initialise itself ends at once, in either loop.
    ThrowingDialog failing(true);
    EXPECT_EQ(failing.DoModal(nullptr, Library()), -1);
    ThrowingDialog failingOwnLoop(true);
    EXPECT_EQ(failingOwnLoop.DoModalOwnLoop(nullptr, Library(), false), -1);
}

// The host's WM_QUIT closes the window through its close path and reaches
// the host's loop after the window is gone.
TEST_F(DialogThunkTest, QuitInTheOwnLoopClosesTheDialogAndIsPostedAgain) {
    QuittingDialog dialog;
    EXPECT_EQ(dialog.DoModalOwnLoop(nullptr, Library(), false), IDCANCEL);
    EXPECT_EQ(dialog.closes, 1);
    EXPECT_FALSE(dialog.quitQueuedAtDestroy) << "the quit was posted before the window went";
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

} // namespace
