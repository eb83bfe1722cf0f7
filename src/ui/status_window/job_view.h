// The job display of the status window: the document and job names (items
// 300 and 307), the sheets, paper and time texts, the progress meter (305),
// the printing animation (304) and the pause button's label.
#pragma once

#include <windows.h>

#include <string>

#include "graphics/BMP256Ctrl.h"
#include "graphics/fitted_label.h"
#include "graphics/progress_meter.h"
#include "jobs/job_record.h"

namespace krx {

class JobView {
  public:
    // Binds the controls of the window.
    void Attach(HWND window);
    // The printer whose paper names the display shows.
    void SetNames(const std::string& printerName, const std::string& portName);
    // The meter's colours.
    void SetUp();
    // No job: empty texts, the meter at 0 of 100.
    void Clear();
    // The job; the paper text changes only when the paper differs from the
    // job shown before.
    void Show(const JobRecord& job, const JobRecord& shown);
    // The pop-up's job name alone.
    void ShowJobName(const JobRecord& job) { m_JobName.SetFittedText(job.jobText); }
    // The pause button offers to resume a paused job.
    bool OffersResume() const;

    BMP256Ctrl& Animation() { return m_Animation; }
    const BMP256Ctrl& Animation() const { return m_Animation; }
    const ProgressMeter& Meter() const { return m_Meter; }

  private:
    HWND m_hWnd = nullptr;
    std::string m_strPrinterName;
    std::string m_strPortName;
    FittedLabel m_JobName;  // 307
    FittedLabel m_DocName;  // 300
    ProgressMeter m_Meter;  // 305
    BMP256Ctrl m_Animation; // 304
};

} // namespace krx
