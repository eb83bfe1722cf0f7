// The job display of the status window.
#include "ui/status_window/job_view.h"

#include <oleacc.h>

#include "common/resource_ids.h"
#include "base/trace/debug_trace.h"
#include "graphics/resource_text.h"
#include "jobs/job_monitor.h"
#include "ui/status_tables.h"
#include "ui/status_window/printer_paper.h"

namespace krx {

namespace {

constexpr int kBlinkIconOffset = 32; // paused icon, from the animation's right edge
constexpr int kLabelSize = 256;

std::string ResourceString(int id) {
    std::string text;
    LoadResourceString(static_cast<UINT>(id), &text);
    return text;
}

std::string ItemText(HWND window, int id) {
    char text[kLabelSize] = {};
    GetDlgItemTextA(window, id, text, sizeof(text));
    return text;
}

bool SamePaper(const JobRecord& a, const JobRecord& b) {
    return a.paperWord0 == b.paperWord0 && a.mediaType == b.mediaType && a.paperSize == b.paperSize;
}

// The previous job has ended: show it done before the next one.
void MarkComplete(JobRecord& job) {
    job.timeKnown = 1;
    job.time = 0;
    job.progressRange = 100;
    job.progress = 100;
}

void EnableItem(HWND window, int id, bool enable) {
    EnableWindow(GetDlgItem(window, id), enable ? TRUE : FALSE);
}

} // namespace

void JobView::Attach(HWND window) {
    m_hWnd = window;
    m_JobName.Attach(window, IDC_POPUP_JOB_NAME);
    m_DocName.Attach(window, IDC_JOB_DOCUMENT);
    m_Meter.Attach(window, IDC_JOB_METER);
    m_Animation.Attach(window, IDC_JOB_ANIMATION);
    m_Details.Attach(window, IDC_JOB_DETAILS);
}

void JobView::SetNames(const std::string& printerName, const std::string& portName) {
    m_strPrinterName = printerName;
    m_strPortName = portName;
}

void JobView::SetUp() {
    FollowSystemColours();
    m_Meter.SetAccessibleName(ResourceString(IDS_ACC_JOB_PROGRESS));
    m_Meter.SetAccessibleRole(ROLE_SYSTEM_PROGRESSBAR);
    m_Meter.SetValueFormat(ResourceString(IDS_ACC_PERCENT));
    m_Animation.SetAccessibleName(ResourceString(IDS_ACC_JOB_ANIMATION));
    m_Animation.SetAccessibleRole(ROLE_SYSTEM_ANIMATION);
    m_Details.SetAccessibleName(ResourceString(IDS_ACC_JOB_DETAILS));
}

void JobView::FollowSystemColours() {
    // The bar in the caption's colour on the window's own background (white
    // in the standard scheme), so that a high-contrast scheme shows it too.
    m_Meter.SetMeterBarColor(GetSysColor(COLOR_ACTIVECAPTION), FALSE);
    m_Meter.SetMeterBackColor(GetSysColor(COLOR_WINDOW), TRUE);
}

void JobView::Clear() {
    m_DocName.SetFittedText("");
    SetDlgItemTextA(m_hWnd, IDC_JOB_SHEETS, "");
    SetDlgItemTextA(m_hWnd, IDC_JOB_DETAILS, "");
    SetDlgItemTextA(m_hWnd, IDC_JOB_TIME, "");
    m_JobName.SetFittedText("");
    m_Meter.SetMeterRange(0, 100, FALSE);
    m_Meter.SetMeterPosition(0, TRUE);
    m_Shown = JobRecord{};
}

bool JobView::OffersResume() const {
    return ItemText(m_hWnd, IDC_JOB_PAUSE) == ResourceString(IDS_JOB_RESUME);
}

void JobView::Show(const JobRecord& job, const JobRecord& shown) {
    m_DocName.SetFittedText(job.jobText);

    SetDlgItemTextA(
        m_hWnd, IDC_JOB_SHEETS,
        FormatResourceNumbers(ResourceString(IDS_JOB_SHEETS),
                              {static_cast<long>(job.sheet), static_cast<long>(job.sheets)})
            .c_str());

    if (!SamePaper(job, shown)) {
        const std::string details =
            ResourceString(IDS_JOB_MEDIA_TYPE) + " : " +
            ResourceString(MediaTypeStringId(job.mediaType)) + "\r\n" +
            ResourceString(IDS_JOB_PAPER_SIZE) + " : " +
            PrinterPaperName(m_strPrinterName, m_strPortName, job.paperSize) + "\r\n";
        if (details != ItemText(m_hWnd, IDC_JOB_DETAILS)) {
            SetDlgItemTextA(m_hWnd, IDC_JOB_DETAILS, details.c_str());
            HideCaret(GetDlgItem(m_hWnd, IDC_JOB_DETAILS));
        }
    }

    const TimeText time = RemainingTimeText(job.timeKnown, job.time);
    const std::string timeText =
        time.stringId == 0
            ? std::string()
            : FormatResourceNumbers(ResourceString(time.stringId), {static_cast<long>(time.value)});
    SetDlgItemTextA(m_hWnd, IDC_JOB_TIME, timeText.c_str());

    // A range of 0 (or one that does not fit the bar's signed range) would
    // leave the bar without a scale.
    if (job.progressRange > 0 && job.progressRange <= 0x7FFFFFFFu) {
        const uint32_t position =
            job.progress <= job.progressRange ? job.progress : job.progressRange;
        m_Meter.SetMeterRange(0, static_cast<int32_t>(job.progressRange), TRUE);
        m_Meter.SetMeterPosition(static_cast<int32_t>(position), TRUE);
    }

    const bool paused = (job.jobStatus & kJobStatusPaused) != 0;
    const std::string label = ResourceString(paused ? IDS_JOB_RESUME : IDS_JOB_PAUSE);
    if (label != ItemText(m_hWnd, IDC_JOB_PAUSE)) {
        SetDlgItemTextA(m_hWnd, IDC_JOB_PAUSE, label.c_str());
        if (paused) {
            m_Animation.SetBlinkIcon(MAKEINTRESOURCEA(IDI_JOB_PAUSED), kBlinkIconOffset);
        } else {
            m_Animation.SetBlinkIcon(nullptr, 0);
        }
        HWND pause = GetDlgItem(m_hWnd, IDC_JOB_PAUSE);
        if (!IsWindowEnabled(pause) && IsWindowEnabled(GetDlgItem(m_hWnd, IDC_JOB_CANCEL))) {
            EnableWindow(pause, TRUE);
            // The focus that had to leave the button comes back to it.
            if (m_hPauseNeighbour != nullptr && GetFocus() == m_hPauseNeighbour) {
                SetFocus(pause);
            }
            m_hPauseNeighbour = nullptr;
        }
    }

    m_JobName.SetFittedText(job.jobText);
}

void JobView::Follow(const JobRecord& job) {
    Show(job, m_Shown);
    m_Shown = job;
}

JobTick JobView::ShowProgress(const JobRecord& job) {
    if (m_Shown.jobId != 0 && m_Shown.jobId != job.jobId && !m_bJobCancel) {
        // One tick at 100 % before the next job is shown.
        MarkComplete(m_Shown);
        DebugTrace(" Job completion (Next job)");
        Show(m_Shown, m_Shown);
        // Forgotten, so that the next tick takes the new job as new (fresh
        // tip, buttons enabled) instead of completing this one again.
        m_Shown = JobRecord{};
        return JobTick::kPreviousDone;
    }
    DebugTrace(" Job ID : %d\n", static_cast<int>(job.jobId));
    DebugTrace(" Job Status : %x\n", static_cast<unsigned>(job.jobStatus));
    DebugTrace(" Sheet : %d/%d\n", static_cast<int>(job.sheet), static_cast<int>(job.sheets));
    DebugTrace(" Progress : %d/%d\n", static_cast<int>(job.progress),
               static_cast<int>(job.progressRange));
    Show(job, m_Shown);
    const bool newJob = m_Shown.jobId != job.jobId;
    if (newJob) {
        m_bJobCancel = 0;
        EnableItem(m_hWnd, IDC_JOB_CANCEL, true);
        EnableItem(m_hWnd, IDC_JOB_PAUSE, true);
    }
    m_Shown = job;
    return newJob ? JobTick::kNewJob : JobTick::kSameJob;
}

bool JobView::ShowNoJob() {
    if (m_Shown.jobId != 0 && !m_bJobCancel) {
        MarkComplete(m_Shown);
        DebugTrace(" Job completion (End job)\n");
        Show(m_Shown, m_Shown);
        m_Shown = JobRecord{};
        return false;
    }
    m_bJobCancel = 0;
    EnableItem(m_hWnd, IDC_JOB_CANCEL, true);
    EnableItem(m_hWnd, IDC_JOB_PAUSE, false);
    Clear();
    return true;
}

bool JobView::ShowInPopup(const JobRecord& job) {
    if (job.jobId == m_Shown.jobId) {
        return false;
    }
    const bool cancelled = m_bCancelPrinting != 0;
    if (cancelled) {
        EndCancelPrinting();
    } else {
        ShowJobName(job);
    }
    m_Shown.jobId = job.jobId;
    return cancelled;
}

void JobView::EndCancelPrinting() {
    if (m_bCancelPrinting) {
        m_bCancelPrinting = 0;
        EnableItem(m_hWnd, IDC_CANCEL_PRINTING, true);
    }
}

void JobView::CancelPrinting(JobMonitor* monitor) {
    if (monitor != nullptr) {
        monitor->RequestCommand(static_cast<int>(m_Shown.jobId), kJobCommandCancel);
    }
    m_bCancelPrinting = 1;
    EnableItem(m_hWnd, IDC_CANCEL_PRINTING, false);
}

void JobView::CancelJob(JobMonitor* monitor) {
    if (monitor != nullptr) {
        monitor->RequestCommand(static_cast<int>(m_Shown.jobId), kJobCommandCancel);
    }
    m_bJobCancel = 1;
    EnableItem(m_hWnd, IDC_JOB_CANCEL, false);
    EnableItem(m_hWnd, IDC_JOB_PAUSE, false);
}

void JobView::PauseOrResume(JobMonitor* monitor) {
    const bool resume = OffersResume();
    if (monitor != nullptr) {
        monitor->RequestCommand(static_cast<int>(m_Shown.jobId),
                                resume ? kJobCommandResume : kJobCommandPause);
    }
    // Enabled again when the job's paused state changes. A disabled button
    // loses the focus for good: it goes to the button before it (never to
    // the cancel button after it, so that pressing Enter twice cannot cancel
    // the job) and comes back with the new label.
    HWND pause = GetDlgItem(m_hWnd, IDC_JOB_PAUSE);
    m_hPauseNeighbour = nullptr;
    if (pause != nullptr && GetFocus() == pause) {
        HWND before = GetNextDlgTabItem(m_hWnd, pause, TRUE);
        if (before != nullptr && before != pause && before != GetDlgItem(m_hWnd, IDC_JOB_CANCEL)) {
            SetFocus(before);
            m_hPauseNeighbour = before;
        }
    }
    EnableItem(m_hWnd, IDC_JOB_PAUSE, false);
}

} // namespace krx
