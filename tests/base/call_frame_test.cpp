// Export calls' own values: one frame per call on its own thread, nested
// calls handing the outer call its values back, and the shared values the
// same for every call.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/module/module_state.h"
#include "common/thread_frame.h"

namespace {

DWORD WINAPI RunBody(void* body) {
    (*static_cast<std::function<void()>*>(body))();
    return 0;
}

// Runs `body` on a thread of its own and waits for it.
bool RunOnOtherThread(std::function<void()> body) {
    HANDLE thread = CreateThread(nullptr, 0, RunBody, &body, 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    const bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

} // namespace

TEST(CallFrameTest, FramesNestPerThreadAndSharedValuesAreShared) {
    krx::InitializeModuleState();
    krx::ThisCall().driverKey = "outside any call";
    {
        krx::CallFrame outer;
        EXPECT_EQ(krx::ThisCall().driverKey, "");
        EXPECT_EQ(krx::ThisCall().statusInterval, 10);
        krx::ThisCall().driverKey = "outer";
        krx::ThisCall().statusInterval = 3;
        void* outerFrame = krx::CurrentFrame();
        {
            krx::CallFrame nested; // an export called from the outer one's modal loop
            EXPECT_EQ(krx::ThisCall().driverKey, "");
            krx::ThisCall().driverKey = "nested";
            {
                // A window of the outer call handles a message meanwhile.
                krx::FrameSwitch window(outerFrame);
                EXPECT_EQ(krx::ThisCall().driverKey, "outer");
            }
            EXPECT_EQ(krx::ThisCall().driverKey, "nested");

            std::string seenByOther = "(not run)";
            ASSERT_TRUE(RunOnOtherThread([&] {
                krx::CallFrame other;
                seenByOther = krx::ThisCall().driverKey;
                krx::ThisCall().driverKey = "other thread";
                krx::RememberPrinterName("First Printer");
            }));
            EXPECT_EQ(seenByOther, "");
            EXPECT_EQ(krx::ThisCall().driverKey, "nested");
        }
        EXPECT_EQ(krx::ThisCall().driverKey, "outer");
        EXPECT_EQ(krx::ThisCall().statusInterval, 3);
        // The printer the other thread's call remembered is every call's.
        krx::RememberPrinterName("Later Printer");
        EXPECT_EQ(krx::RememberedPrinterName(), "First Printer");
    }
    EXPECT_EQ(krx::CurrentFrame(), nullptr);
    EXPECT_EQ(krx::ThisCall().driverKey, "outside any call");

    krx::ResetSharedValues();
    EXPECT_EQ(krx::RememberedPrinterName(), "");
    krx::InitializeModuleState();
    EXPECT_EQ(krx::ThisCall().driverKey, "");
}
