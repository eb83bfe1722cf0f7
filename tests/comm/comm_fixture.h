// Fixture of the communication tests: the installed system with the
// simulated printer's call log, a message-only window that the library can
// notify, the trace switch, and a recorder of message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/module/message_box.h"
#include "test_support.h"

namespace commtest {

struct PostedMessage {
    UINT message;
    LPARAM lParam;
};

class CommTest : public krxtest::InstalledSystemTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    void RecordCalls();
    std::string Calls() const { return kit::ReadTextFile(callLog_); }
    void ClearCalls() const { DeleteFileA(callLog_.c_str()); }
    static void TraceOn();
    static std::string Trace() { return kit::ReadTextFile(krxtest::kTraceFile); }

    // 1025 and 1026 waiting for the window, in order.
    std::vector<PostedMessage> TakeMessages() const;

    HWND window_ = nullptr;

  private:
    std::string callLog_;
};

// "" when every line appears in the text in this order; else the first one
// missing.
std::string MissingInOrder(const std::string& text, const std::vector<std::string>& lines);

// Records message boxes instead of showing them, for its lifetime.
class MessageBoxRecorder {
  public:
    MessageBoxRecorder() : hook_(&Record, this) {}
    std::vector<krx::MessageBoxRequest> shown;

  private:
    static int Record(const krx::MessageBoxRequest& request, void* self) {
        static_cast<MessageBoxRecorder*>(self)->shown.push_back(request);
        return IDOK;
    }
    krx::ScopedMessageBoxHook hook_;
};

} // namespace commtest
