// Job progress of the status window: the progress tick, the job display,
// announced jobs, the detail request and the job buttons.
#include "ui/status_window/status_window.h"

#include <vector>

#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "entry/trace/debug_trace.h"
#include "jobs/job_monitor.h"
#include "ui/status_tables.h"

namespace krx {

namespace {

constexpr int kTipTicks = 15;        // progress ticks between two tips
constexpr int kBlinkIconOffset = 32; // paused icon, from the animation's right edge
constexpr int kPaperNameSize = 64;   // one entry of the driver's paper name list
constexpr int kLabelSize = 256;
constexpr int kInkCount = 6;
constexpr WPARAM kInkShowBlack = KRX_INK_BLACK_LEVELS;
constexpr WPARAM kInkShowColour = KRX_INK_COLOR_LEVELS;
constexpr int kPictureReady = 1;

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

} // namespace

// ---------------------------------------------------------------------------
// Progress tick

void StatusWindow::ProgressTick() {
    DebugTrace("---\nProgress Timer :\n");
    if (m_pJobMonitor == nullptr) {
        return;
    }
    // A job has started under a Detail window: a condition that calls for
    // the user keeps a pop-up, anything else makes it a meter.
    if (m_nViewType == kViewDetail && m_pJobMonitor->GetJobRecord(nullptr)) {
        if (PopsUp(m_nStatusClass, nullptr, nullptr) == 1) {
            SwitchView(kViewPopup, 0);
            SetTroubleCategory(m_nStatusClass);
        } else {
            SwitchView(kViewProgress, 0);
        }
    }
    if (m_nViewType == kViewPopup) {
        JobRecord record = {};
        if (m_pJobMonitor->GetJobRecord(&record)) {
            if (record.jobId != m_JobSnapshot.jobId) {
                if (m_bCancelPrinting) {
                    m_bCancelPrinting = 0;
                    EnableWindow(Item(IDC_CANCEL_PRINTING), TRUE);
                    SwitchView(kViewProgress, 0);
                } else {
                    m_JobName.SetFittedText(record.jobText);
                }
                m_JobSnapshot.jobId = record.jobId;
            }
        } else {
            if (m_bCancelPrinting) {
                m_bCancelPrinting = 0;
                EnableWindow(Item(IDC_CANCEL_PRINTING), TRUE);
            }
            SwitchView(kViewDetail, 0);
        }
    }
    if (m_nViewType != kViewProgress) {
        return;
    }

    JobRecord record = {};
    const bool valid = m_pJobMonitor->GetJobRecord(&record) != 0;
    if (valid) {
        ShowProgress(record);
    } else {
        ProgressWithoutRecord();
    }
}

void StatusWindow::ShowProgress(const JobRecord& record) {
    JobRecord& snapshot = m_JobSnapshot;
    if (snapshot.jobId != 0 && snapshot.jobId != record.jobId && !m_bJobCancel) {
        // One tick at 100 % before the next job is shown.
        MarkComplete(snapshot);
        DebugTrace(" Job completion (Next job)");
        ShowJob(snapshot);
        // Forgotten, so that the next tick takes the new job as new (fresh
        // tip, buttons enabled) instead of completing this one again.
        snapshot = JobRecord{};
    } else {
        DebugTrace(" Job ID : %d\n", static_cast<int>(record.jobId));
        DebugTrace(" Job Status : %x\n", static_cast<unsigned>(record.jobStatus));
        DebugTrace(" Sheet : %d/%d\n", static_cast<int>(record.sheet),
                   static_cast<int>(record.sheets));
        DebugTrace(" Progress : %d/%d\n", static_cast<int>(record.progress),
                   static_cast<int>(record.progressRange));
        ShowJob(record);
        if (snapshot.jobId != record.jobId) {
            m_bJobCancel = 0;
            EnableWindow(Item(IDC_JOB_CANCEL), TRUE);
            EnableWindow(Item(IDC_JOB_PAUSE), TRUE);
            ShowNextTip();
            m_nTipCountdown = kTipTicks;
        } else if (--m_nTipCountdown <= 0) {
            if (TipMayRotate(record.timeKnown, record.time)) {
                ShowNextTip();
            }
            m_nTipCountdown = kTipTicks;
        }
        snapshot = record;
    }
    m_bKeepHidden = 0;
    if (!IsWindowVisible(Hwnd())) {
        SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    }
}

void StatusWindow::ProgressWithoutRecord() {
    JobRecord& snapshot = m_JobSnapshot;
    if (snapshot.jobId != 0 && !m_bJobCancel) {
        MarkComplete(snapshot);
        DebugTrace(" Job completion (End job)\n");
        ShowJob(snapshot);
        snapshot = JobRecord{};
        return;
    }
    m_bJobCancel = 0;
    EnableWindow(Item(IDC_JOB_CANCEL), TRUE);
    EnableWindow(Item(IDC_JOB_PAUSE), FALSE);
    ClearJobDisplay();
    snapshot = JobRecord{};
    if (m_nBaseViewType == kViewProgress) {
        if (m_pJobMonitor->GetJobCount() > 0) {
            if (IsWindowVisible(Hwnd())) {
                ShowWindow(Hwnd(), SW_HIDE);
                m_nMeterStatusClass = -1;
            }
            DebugTrace(" Waiting start Job\n");
        } else {
            PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
        }
        return;
    }
    SwitchView(m_nBaseViewType, 0);
    SetTroubleCategory(m_nStatusClass);
}

void StatusWindow::ShowNextTip() {
    m_Tips.AdvanceTip();
    SetDlgItemTextA(Hwnd(), IDC_TIP_TEXT, m_Tips.CurrentTipText().c_str());
}

// ---------------------------------------------------------------------------
// Job display

void StatusWindow::ShowJob(const JobRecord& job) {
    m_DocName.SetFittedText(job.jobText);

    SetDlgItemTextA(
        Hwnd(), IDC_JOB_SHEETS,
        FormatResourceNumbers(ResourceString(IDS_JOB_SHEETS),
                              {static_cast<long>(job.sheet), static_cast<long>(job.sheets)})
            .c_str());

    if (!SamePaper(job, m_JobSnapshot)) {
        const std::string details = ResourceString(IDS_JOB_MEDIA_TYPE) + " : " +
                                    ResourceString(MediaTypeStringId(job.mediaType)) + "\r\n" +
                                    ResourceString(IDS_JOB_PAPER_SIZE) + " : " +
                                    PaperName(job.paperSize) + "\r\n";
        if (details != ItemText(Hwnd(), IDC_JOB_DETAILS)) {
            SetDlgItemTextA(Hwnd(), IDC_JOB_DETAILS, details.c_str());
            HideCaret(Item(IDC_JOB_DETAILS));
        }
    }

    const TimeText time = RemainingTimeText(job.timeKnown, job.time);
    const std::string timeText =
        time.stringId == 0
            ? std::string()
            : FormatResourceNumbers(ResourceString(time.stringId), {static_cast<long>(time.value)});
    SetDlgItemTextA(Hwnd(), IDC_JOB_TIME, timeText.c_str());

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
    if (label != ItemText(Hwnd(), IDC_JOB_PAUSE)) {
        SetDlgItemTextA(Hwnd(), IDC_JOB_PAUSE, label.c_str());
        if (paused) {
            m_Animation.SetBlinkIcon(MAKEINTRESOURCEA(IDI_JOB_PAUSED), kBlinkIconOffset);
        } else {
            m_Animation.SetBlinkIcon(nullptr, 0);
        }
        if (!IsWindowEnabled(Item(IDC_JOB_PAUSE)) && IsWindowEnabled(Item(IDC_JOB_CANCEL))) {
            EnableWindow(Item(IDC_JOB_PAUSE), TRUE);
        }
    }

    m_JobName.SetFittedText(job.jobText);
}

std::string StatusWindow::PaperName(unsigned paperSize) const {
    const char* device = m_strPrinterName.c_str();
    const char* port = m_strPortName.c_str();
    const int binCount = DeviceCapabilitiesA(device, port, DC_BINS, nullptr, nullptr);
    if (binCount <= 0) {
        return std::string();
    }
    std::vector<WORD> bins(static_cast<size_t>(binCount));
    if (DeviceCapabilitiesA(device, port, DC_BINS, reinterpret_cast<char*>(bins.data()), nullptr) <=
        0) {
        return std::string();
    }
    // A copy of the printer's default settings, to select each source in.
    HANDLE printer = nullptr;
    if (!Spooler().openPrinter(const_cast<char*>(device), &printer, nullptr) || !printer) {
        return std::string();
    }
    const LONG size =
        DocumentPropertiesA(nullptr, printer, const_cast<char*>(device), nullptr, nullptr, 0);
    std::vector<unsigned char> settings;
    if (size >= static_cast<LONG>(sizeof(DEVMODEA))) {
        settings.resize(static_cast<size_t>(size));
        if (DocumentPropertiesA(nullptr, printer, const_cast<char*>(device),
                                reinterpret_cast<DEVMODEA*>(settings.data()), nullptr,
                                DM_OUT_BUFFER) != IDOK) {
            settings.clear();
        }
    }
    Spooler().closePrinter(printer);
    if (settings.empty()) {
        return std::string();
    }
    DEVMODEA* mode = reinterpret_cast<DEVMODEA*>(settings.data());
    for (WORD bin : bins) {
        mode->dmFields |= DM_DEFAULTSOURCE;
        mode->dmDefaultSource = static_cast<short>(bin);
        const int paperCount = DeviceCapabilitiesA(device, port, DC_PAPERS, nullptr, mode);
        const int nameCount = DeviceCapabilitiesA(device, port, DC_PAPERNAMES, nullptr, mode);
        if (paperCount <= 0 || nameCount <= 0) {
            continue;
        }
        std::vector<WORD> papers(static_cast<size_t>(paperCount));
        std::vector<char> names(static_cast<size_t>(nameCount) * kPaperNameSize + 1, 0);
        if (DeviceCapabilitiesA(device, port, DC_PAPERS, reinterpret_cast<char*>(papers.data()),
                                mode) <= 0 ||
            DeviceCapabilitiesA(device, port, DC_PAPERNAMES, names.data(), mode) <= 0) {
            continue;
        }
        const int count = paperCount < nameCount ? paperCount : nameCount;
        for (int i = 0; i < count; ++i) {
            if (papers[static_cast<size_t>(i)] == paperSize) {
                // A name that fills its 64 characters has no terminator.
                const char* name = names.data() + static_cast<size_t>(i) * kPaperNameSize;
                size_t length = 0;
                while (length < static_cast<size_t>(kPaperNameSize) && name[length] != '\0') {
                    ++length;
                }
                return std::string(name, length);
            }
        }
    }
    return std::string();
}

// ---------------------------------------------------------------------------
// Messages from the host

void StatusWindow::OnAddJob(LPARAM jobId) {
    DebugTrace("---\nAdd Print job :\n");
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->FollowJob(static_cast<int>(jobId));
    }
}

void StatusWindow::OnOpenAsDetail() {
    if (m_nViewType == kViewPopup) {
        m_nBaseViewType = kViewDetail;
        return;
    }
    if (m_nViewType != kViewProgress) {
        return;
    }
    m_nBaseViewType = kViewDetail;
    if (IsWindowVisible(Hwnd())) {
        return; // becomes a detail window when its jobs end
    }
    m_Message.LoadText(IDS_STATUS_CHECKING);
    m_strLastStatusText = m_Message.String();
    SetDlgItemTextA(Hwnd(), IDC_STATUS_TEXT, m_strLastStatusText.c_str());
    ShowPictureCategory(kPictureReady);
    int32_t levels[7] = {kInkCount};
    SendDlgItemMessageA(Hwnd(), IDC_INK_BLACK, kMsgInkLevel, kInkShowBlack,
                        reinterpret_cast<LPARAM>(levels));
    SendDlgItemMessageA(Hwnd(), IDC_INK_COLOR, kMsgInkLevel, kInkShowColour,
                        reinterpret_cast<LPARAM>(levels));
    m_bRememberPos = 0;
    SwitchView(kViewDetail, 1);
}

// ---------------------------------------------------------------------------
// Job buttons

void StatusWindow::OnCancelPrinting() {
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->RequestCommand(static_cast<int>(m_JobSnapshot.jobId), kJobCommandCancel);
    }
    m_bCancelPrinting = 1;
    EnableWindow(Item(IDC_CANCEL_PRINTING), FALSE);
}

void StatusWindow::OnCancelJob() {
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->RequestCommand(static_cast<int>(m_JobSnapshot.jobId), kJobCommandCancel);
    }
    m_bJobCancel = 1;
    EnableWindow(Item(IDC_JOB_CANCEL), FALSE);
    EnableWindow(Item(IDC_JOB_PAUSE), FALSE);
}

void StatusWindow::OnPauseResume() {
    const bool resume = ItemText(Hwnd(), IDC_JOB_PAUSE) == ResourceString(IDS_JOB_RESUME);
    if (m_pJobMonitor != nullptr) {
        m_pJobMonitor->RequestCommand(static_cast<int>(m_JobSnapshot.jobId),
                                      resume ? kJobCommandResume : kJobCommandPause);
    }
    // Enabled again when the job's paused state changes.
    EnableWindow(Item(IDC_JOB_PAUSE), FALSE);
}

} // namespace krx
