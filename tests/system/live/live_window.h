// Harness of the live window tests: an installed simulated system with the
// printer known to the spooler, a status window run modally on the test's
// thread with a scenario that drives its ticks directly, a probe into the
// window's state, and a recorder of the ink gauges' commands.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "comm/spooler.h"
#include "spooler_jobs.h"
#include "common/resource_ids.h"
#include "jobs/job_monitor.h"
#include "test_support.h"
#include "ui/status_window/status_window.h"

namespace krx {

// Drives a status window from outside, as the system and the host do
// (timer events, commands, messages), and reads what it shows through its
// read-only views. The test drives every tick itself: the window's own
// timers are stopped after each one.
class StatusWindowProbe {
  public:
    explicit StatusWindowProbe(StatusWindow& window) : w_(window) {}
    HWND Hwnd() const { return w_.Hwnd(); }
    void StopTimers();
    void StatusTick() { Tick(kStatusTimerId); }
    void ProgressTick() { Tick(kProgressTimerId); }
    void End() { w_.End(IDOK); }
    std::string TroubleshootingPage(int category) const {
        return w_.Help().TroubleshootingPage(category);
    }

    int StatusClass() const { return w_.Status().StatusClass(); }
    int PictureCategory() const { return w_.Display().PictureCategory(); }
    int MessageId() const { return w_.Display().MessageId(); }
    int View() const { return w_.CurrentViewType(); }
    int StatusInterval() const { return w_.Status().Interval(); }
    int Printing() const { return w_.Status().Printing(); }
    int TroubleCategory() const { return w_.Help().Category(); }
    const JobRecord& Snapshot() const { return w_.Jobs().Shown(); }
    const ProgressMeter& Meter() const { return w_.Jobs().Meter(); }
    const BMP256Ctrl& Animation() const { return w_.Jobs().Animation(); }
    const BMP256Ctrl& Picture() const { return w_.Display().Picture(); }
    const TipList& Tips() const { return w_.Tips().List(); }
    const StatusChannels* Channels() const { return w_.Channels(); }

    std::string Text(int id) const;
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(Hwnd(), id)) != FALSE; }
    bool Visible(int id) const {
        return (GetWindowLongA(GetDlgItem(Hwnd(), id), GWL_STYLE) & WS_VISIBLE) != 0;
    }

  private:
    // One timer event, handled as the window handles its own.
    void Tick(UINT_PTR timerId);
    StatusWindow& w_;
};

} // namespace krx

namespace livetest {

// What the window last sent to an ink gauge.
struct InkCommand {
    WPARAM command;
    std::vector<int32_t> block; // the seven values, when the command carries them
};

// Subclasses items 314 and 315 and keeps every command sent to them.
class InkRecorder {
  public:
    void Attach(HWND window);
    const std::vector<InkCommand>& Sent(int item) const;
    void Clear() { sent_.clear(); }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::map<int, std::vector<InkCommand>> sent_;
    std::map<HWND, WNDPROC> original_;
};

using Scenario = std::function<void(krx::StatusWindowProbe&, InkRecorder&)>;

class LiveWindowTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a window of the view type until the scenario ends it (or the
    // window closes itself); the dialog's end code.
    INT_PTR RunWindow(int viewType, const Scenario& scenario, const char* portName = nullptr,
                      const std::string& modelFile = std::string());

    void SetReply(const std::string& fields);
    // The text of a string of the language library.
    static std::string Text(int id);
    std::string ModelFile() const;
    std::string StoreKey() const;
    // Waits, without pumping, until the job monitor's record satisfies the test.
    bool WaitForRecord(const std::function<bool(const krx::JobRecord&, bool)>& condition,
                       DWORD timeoutMs = 10000);
    std::string SimCallLog() const;

    kit::InstallOptions options_;
    HMODULE resources_ = nullptr;
    HMODULE ink_ = nullptr;
    std::unique_ptr<krxtest::SpoolerJobs> knownJobs_;
    krx::JobMonitor* monitor_ = nullptr; // of the window being run
    bool scenarioRan_ = false;
    std::string simLog_;
};

} // namespace livetest
