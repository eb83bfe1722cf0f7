// Communication test fixture.
#include "base/registry/registry_paths.h"
#include "comm_fixture.h"

#include "base/trace/debug_trace.h"

namespace commtest {

void CommTest::SetUp() {
    InstalledSystemTest::SetUp();
    callLog_ = kit::ExecutableFolder() + "comm_calls.log";
    ClearCalls();
    window_ = CreateWindowExA(0, "STATIC", "comm test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
}

void CommTest::TearDown() {
    if (window_ != nullptr) {
        TakeMessages();
        DestroyWindow(window_);
    }
    ClearCalls();
    InstalledSystemTest::TearDown();
}

void CommTest::RecordCalls() {
    kit::SimPrinter::SetText("CallLog", callLog_);
}

void CommTest::TraceOn() {
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    krx::LoadTraceSwitch();
}

std::vector<PostedMessage> CommTest::TakeMessages() const {
    std::vector<PostedMessage> messages;
    MSG msg;
    while (PeekMessageA(&msg, window_, WM_USER + 1, WM_USER + 2, PM_REMOVE)) {
        messages.push_back({msg.message, msg.lParam});
    }
    return messages;
}

std::string MissingInOrder(const std::string& text, const std::vector<std::string>& lines) {
    size_t pos = 0;
    for (const std::string& line : lines) {
        size_t found = text.find(line, pos);
        if (found == std::string::npos) {
            return line;
        }
        pos = found + line.size();
    }
    return {};
}

} // namespace commtest
