// The job display of the status window.
#include "ui/status_window/job_view.h"

#include "common/resource_ids.h"
#include "graphics/resource_text.h"
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

} // namespace

void JobView::Attach(HWND window) {
    m_hWnd = window;
    m_JobName.Attach(window, IDC_POPUP_JOB_NAME);
    m_DocName.Attach(window, IDC_JOB_DOCUMENT);
    m_Meter.Attach(window, IDC_JOB_METER);
    m_Animation.Attach(window, IDC_JOB_ANIMATION);
}

void JobView::SetNames(const std::string& printerName, const std::string& portName) {
    m_strPrinterName = printerName;
    m_strPortName = portName;
}

void JobView::SetUp() {
    m_Meter.SetMeterBarColor(GetSysColor(COLOR_ACTIVECAPTION), FALSE);
    m_Meter.SetMeterBackColor(RGB(0xFF, 0xFF, 0xFF), FALSE);
}

void JobView::Clear() {
    m_DocName.SetFittedText("");
    SetDlgItemTextA(m_hWnd, IDC_JOB_SHEETS, "");
    SetDlgItemTextA(m_hWnd, IDC_JOB_DETAILS, "");
    SetDlgItemTextA(m_hWnd, IDC_JOB_TIME, "");
    m_JobName.SetFittedText("");
    m_Meter.SetMeterRange(0, 100, FALSE);
    m_Meter.SetMeterPosition(0, TRUE);
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
        if (!IsWindowEnabled(GetDlgItem(m_hWnd, IDC_JOB_PAUSE)) &&
            IsWindowEnabled(GetDlgItem(m_hWnd, IDC_JOB_CANCEL))) {
            EnableWindow(GetDlgItem(m_hWnd, IDC_JOB_PAUSE), TRUE);
        }
    }

    m_JobName.SetFittedText(job.jobText);
}

} // namespace krx
