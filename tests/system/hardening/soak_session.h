// A long-running monitoring session against the simulated printer and port:
// a Detail window and a progress meter open at once, a stream of print jobs,
// and a printer that goes through ready, ink low, ink out and paper out. The
// caller drives the windows' ticks and reads the process's figures between
// them. Used by the soak test and the soak and tick benchmarks.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/module/message_box.h"
#include "hardening_support.h"

namespace hardening {

class SoakSession {
  public:
    SoakSession();
    ~SoakSession(); // closes the windows and removes the simulated system

    // Installs the simulated system and opens both windows; false (with a
    // reason) when either did not appear. meterPolls false: the meter does
    // not poll the status (as on a system the library does not support), so
    // that only the Detail window takes the host's notes of a new reply.
    bool Open(std::string* error, bool withMeter = true, bool meterPolls = true);

    // Status ticks to the Detail window, the printer changing its state
    // every few ticks; false when the window went away.
    bool StatusTicks(int count);
    // Progress ticks to the meter, a new job announced every few ticks.
    bool ProgressTicks(int count);
    // Announces the next job of the stream to the meter (its port job
    // lasts two polls).
    void AnnounceJob();

    // Closes both windows; true when they left no reference to the
    // ink-replacement utility behind.
    bool CloseAndCheckLibraries();

    // How often the ink-replacement utility was loaded (its code run).
    int UtilityLoads() const;

    bool DetailOpen() const;
    bool MeterOpen() const;
    HWND Detail() const { return detail_; }
    HWND Meter() const { return meter_; }

  private:
    static int AnswerOk(const krx::MessageBoxRequest&, void*) { return IDOK; }
    void AddPortJob(int id, int polls);

    krx::ScopedMessageBoxHook messageBoxes_;
    krxtest::SpoolerJobs jobs_;
    std::unique_ptr<krxtest::WindowCall> detailCall_;
    std::unique_ptr<krxtest::WindowCall> meterCall_;
    HWND detail_ = nullptr;
    HWND meter_ = nullptr;
    int statusTicks_ = 0;
    int progressTicks_ = 0;
    int nextJob_ = 100;
    bool installed_ = false;
    std::string modelFile_;
};

} // namespace hardening
