// Real status windows for the tests: an export (or the product's own entry)
// runs on a thread of its own with its modal loop; the test finds the
// window on that thread, inspects it, sends it messages and waits for the
// call's result.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/module/message_box.h"
#include "test_support.h"
#include "window_call.h"

namespace windowtest {

using krxtest::WindowCall;

// Records every message box the product asks for and answers OK.
class MessageBoxRecorder {
  public:
    MessageBoxRecorder();
    std::vector<int> TextIds();
    std::vector<std::string> Texts();

  private:
    static int Hook(const krx::MessageBoxRequest& request, void* self);
    std::mutex lock_;
    std::vector<krx::MessageBoxRequest> requests_;
    krx::ScopedMessageBoxHook hook_;
};

// The simulated installation with the printer known to the spooler.
class WindowTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    void Install(bool withLibrary);

    std::string bin_;
    std::string modelFile_;
    std::string resources_;
};

// The work area of the primary monitor, as windows may use it.
RECT WorkArea();
// Where a window of that size stands when centred in the work area.
POINT CentredIn(const RECT& work, SIZE size);
// Whether the rectangle lies wholly inside the work area (both printed when
// it does not).
testing::AssertionResult InsideWorkArea(const RECT& r, const RECT& work);
RECT WindowRect(HWND hwnd);
// Size of template 102 as the resource library makes it.
SIZE TemplateSize(const std::string& resources);
std::string ResourceString(const std::string& resources, UINT id);
std::string StoreKeyPath();
bool ItemVisible(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);

} // namespace windowtest
