// The job display of the status window: the document and job names (items
// 300 and 307), the sheets, paper and time texts, the progress meter (305),
// the printing animation (304) and the pause button's label; the job last
// shown and the job buttons (cancel printing 310, cancel 308, pause 309),
// whose commands go to that job.
#pragma once

#include <windows.h>

#include <string>

#include "graphics/BMP256Ctrl.h"
#include "graphics/fitted_label.h"
#include "graphics/progress_meter.h"
#include "jobs/job_record.h"

namespace krx {

class JobMonitor;

// What one progress tick showed.
enum class JobTick {
    kPreviousDone, // the job shown before has ended: shown at 100 % first
    kNewJob,       // a job shown for the first time
    kSameJob,      // the job shown before, brought up to date
};

class JobView {
  public:
    // Binds the controls of the window.
    void Attach(HWND window);
    // The printer whose paper names the display shows.
    void SetNames(const std::string& printerName, const std::string& portName);
    // The meter's colours.
    void SetUp();
    // The meter in the system's colours of now (after a change of scheme).
    void FollowSystemColours();
    // No job: empty texts, the meter at 0 of 100, no job remembered.
    void Clear();
    // The job; the paper text changes only when the paper differs from the
    // job shown before.
    void Show(const JobRecord& job, const JobRecord& shown);
    // The pop-up's job name alone.
    void ShowJobName(const JobRecord& job) { m_JobName.SetFittedText(job.jobText); }
    // The pause button offers to resume a paused job.
    bool OffersResume() const;

    // The job last shown: the base of the next tick and of the commands.
    const JobRecord& Shown() const { return m_Shown; }
    // Shows the job and remembers it.
    void Follow(const JobRecord& job);

    // The monitor's job in the meter. A job that has ended is first shown
    // complete for one tick; a new job enables the job buttons.
    JobTick ShowProgress(const JobRecord& job);
    // The monitor has no job: a job that has ended is shown complete for
    // one tick (false); else the display empties (true: the jobs are over).
    bool ShowNoJob();
    // The monitor's job in the pop-up, shown by name when it is new. True
    // when printing was cancelled from the pop-up and a further job has
    // begun: the meter takes over.
    bool ShowInPopup(const JobRecord& job);
    // The pop-up's cancel (310) works again.
    void EndCancelPrinting();

    // The job buttons: commands for the job shown.
    void CancelPrinting(JobMonitor* monitor); // 310, in the pop-up
    void CancelJob(JobMonitor* monitor);      // 308
    void PauseOrResume(JobMonitor* monitor);  // 309

    BMP256Ctrl& Animation() { return m_Animation; }
    const BMP256Ctrl& Animation() const { return m_Animation; }
    const ProgressMeter& Meter() const { return m_Meter; }

  private:
    HWND m_hWnd = nullptr;
    std::string m_strPrinterName;
    std::string m_strPortName;
    FittedLabel m_JobName;            // 307
    FittedLabel m_DocName;            // 300
    ProgressMeter m_Meter;            // 305
    BMP256Ctrl m_Animation;           // 304
    SubclassedControl m_Details;      // 306, named for screen readers
    HWND m_hPauseNeighbour = nullptr; // took the focus while 309 waits
    JobRecord m_Shown = {};
    int m_bCancelPrinting = 0; // 310 pressed: disabled until the job goes
    int m_bJobCancel = 0;      // 308 pressed: the job ends without completion
};

} // namespace krx
