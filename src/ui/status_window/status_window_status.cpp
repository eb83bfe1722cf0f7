// Status polling and display of the status window: the status tick, the
// library's notifications and replies, the status message and picture, the
// ink gauges and the initial status text.
#include "ui/status_window/status_window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "comm/channel_table.h"
#include "comm/printer_identity.h"
#include "comm/receive_data.h"
#include "common/resource_ids.h"
#include "common/safe_load.h"
#include "common/win_handles.h"
#include "entry/profile/profile_reader.h"
#include "entry/registry/registry_key.h"
#include "entry/registry/registry_paths.h"
#include "entry/store/notify_settings.h"
#include "entry/store/status_store.h"
#include "entry/trace/debug_trace.h"
#include "jobs/job_monitor.h"
#include "status/info_reply.h"
#include "status/status_eval.h"
#include "ui/printer_messages.h"
#include "ui/status_tables.h"

namespace krx {

namespace {

// Results of one status tick.
constexpr int kTickRead = 1;
constexpr int kTickNothing = 0;
constexpr int kTickFailure = -1;
constexpr int kTickOtherPrinter = -2;

// Results of one status read.
constexpr int kReadReply = 1;
constexpr int kReadNone = 0;
constexpr int kReadFailed = -1;

// Status classes the tick shows for its own failures.
constexpr int kClassNoAnswer = 0;
constexpr int kClassOtherPrinter = 16;

// A reply's ST code that offers the information extras.
constexpr uint8_t kStateInformation = 4;

constexpr int kDebugStatusSize = 256;
// Far above any real status reply; a larger announced size is a fault.
constexpr int kMaxStatusReplySize = 64 * 1024;
using regkey::kDebugKey;

// The "IR" request: tag, 16-bit length 1, parameter 1.
constexpr unsigned char kRemoteCountRequest[] = {0x49, 0x52, 0x01, 0x00, 0x01};

constexpr int kInkCount = 6;

// Channel kinds whose status comes as a reply.
bool ChannelGivesReply(int channelId) {
    return channelId == KRX_CHANNEL_STATUS_FIRST || channelId == KRX_CHANNEL_STATUS_THIRD ||
           channelId == KRX_CHANNEL_PREFERRED;
}

// True while another process sends a job to the printer: it holds the
// job-activity object of the printer.
bool JobBeingSent(const std::string& activityName) {
    unique_handle mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, activityName.c_str()));
    return static_cast<bool>(mapping);
}

// The reply as the trace shows it: up to its first zero byte.
std::string ReplyText(const std::vector<unsigned char>& reply) {
    std::string text(reply.begin(), reply.end());
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

} // namespace

// ---------------------------------------------------------------------------
// Status tick

int StatusWindow::TickResult() {
    // The store key found when the window was set up, opened once for the
    // tick's read and write of ComStatus; never created here.
    const RegistryKey store = m_Printer.OpenStoreKey();
    int result = kTickRead;
    if (JobBeingSent(m_Printer.JobActivityName())) {
        m_bPrinting = 1;
        switch (store.ReadNumber("ComStatus", kComStatusNoted)) {
        case kComStatusError:
            result = kTickFailure;
            break;
        case kComStatusRead:
            m_bModelVerified = 1;
            SetComStatusIn(store, kComStatusNoted);
            result = kTickRead;
            break;
        case kComStatusOtherPrinter:
            result = kTickOtherPrinter;
            break;
        default:
            result = kTickNothing;
            break;
        }
        return result;
    }
    if (m_bDebugStatus) {
        m_bModelVerified = 1;
    }
    SetComStatusIn(store, kComStatusNoted);
    m_bPrinting = 0;
    if (!m_bModelVerified && m_pBxApi != nullptr) {
        const std::string model =
            GetModelID(*m_pBxApi, m_Printer.Name().c_str(), m_Printer.Port().c_str());
        if (model.empty()) {
            result = kTickFailure;
        } else if (model == m_Printer.ModelSection()) {
            m_bModelVerified = 1;
        } else {
            result = kTickOtherPrinter;
        }
    } else if (!m_bModelVerified) {
        result = kTickFailure;
    }
    return result;
}

void StatusWindow::StatusTick() {
    if (m_Recovery.AwaitingReport()) {
        return;
    }
    int result = TickResult();
    DebugTrace("---\nStatus Timer : ");
    DebugTrace(m_bPrinting ? "Printing (%d)\n" : "Idling (%d)\n", result);

    if (m_nViewType == kViewProgress && IsFilePort(m_Printer.Port())) {
        // Nothing answers behind a print-to-file port.
        if (ShowInkArea(0)) {
            PlaceWindow(m_nViewType, 0);
        }
        return;
    }

    if (m_pChannels && m_pChannels->m_Stat == 0 && result >= 0) {
        if (m_bDebugStatus) {
            m_bStatusSkip = 0;
            m_pChannels->m_Stat = KRX_CHANNEL_PREFERRED;
        } else {
            const int selected = ChannelSelect(*m_pChannels);
            if (selected < kChannelSelectOpen) {
                result = kTickFailure;
            } else if (m_pChannels->SlowPolling()) {
                m_nStatusInterval *= 3;
            }
        }
    } else if (!m_pChannels && result >= 0) {
        result = kTickFailure;
    }

    if (result == kTickFailure) {
        m_Recovery.AfterCommunicationFailure(Hwnd(), m_nViewType, m_Printer.Name());
    }
    DebugTrace(" (iResult : %d)\n", result);

    if (result < 0) {
        m_nStatusClass = result == kTickOtherPrinter ? kClassOtherPrinter : kClassNoAnswer;
        ShowStatus(0, m_nStatusClass);
        UpdateInkDisplay(1);
    } else if (result == kTickRead && m_pChannels && m_pChannels->m_Stat != 0 &&
               (!m_bStatusSkip || m_bPrinting)) {
        ReadStatus(m_bPrinting);
    }
    DebugTrace(" Total Status No. : %d\n", m_nStatusClass);

    if (m_nViewType == kViewProgress) {
        const int popsUp = PopsUp(m_nStatusClass, nullptr, nullptr);
        if (ShowInkArea(popsUp == 0 && m_nStatusClass == kClassNoAnswer ? 0 : 1)) {
            PlaceWindow(m_nViewType, 0);
        }
        if (popsUp == 1) {
            if (m_pJobMonitor != nullptr && m_pJobMonitor->GetJobRecord(nullptr)) {
                SwitchView(kViewPopup, 0);
            } else if (m_nStatusClass != m_nMeterStatusClass) {
                SwitchView(kViewDetail, 0);
            }
            m_Help.SetCategory(m_nStatusClass, m_nStatusClass, m_nViewType);
        }
    }
    if (ShouldClose(m_nStatusClass) && JobCheckSaysClose()) {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    }
}

// ---------------------------------------------------------------------------
// Reading one status

int StatusWindow::ReadReply(int fromRegistry, std::vector<unsigned char>* reply) {
    reply->clear();
    if (m_bDebugStatus) {
        RegistryKey debug(HKEY_LOCAL_MACHINE, kDebugKey);
        const std::string text =
            debug.IsOpen() ? debug.ReadText("Status", "", kDebugStatusSize + 1) : std::string();
        if (text.empty()) {
            return kReadFailed;
        }
        reply->assign(text.begin(), text.end());
        return 0; // a test reply is decoded like a read one
    }
    if (fromRegistry) {
        // One read of the value: a size asked first could be outdated by a
        // newer reply before the bytes are read.
        const RegistryKey store = OpenStoreKeyForReading(m_Printer.StoreKey());
        if (!store.IsOpen()) {
            return kReadFailed;
        }
        *reply = store.ReadBytes("Status");
        return reply->empty() ? kReadNone : kReadReply;
    }
    if (m_pBxApi == nullptr || !m_pChannels) {
        return kReadFailed;
    }
    int size = 0;
    const int first = m_pBxApi->BXGetStatus(m_pChannels->m_hStat, nullptr, &size);
    if (first != bx::kBufferTooSmall && first < 0) {
        return kReadFailed;
    }
    if (size <= 0) {
        return kReadNone;
    }
    if (size > kMaxStatusReplySize) {
        return kReadFailed; // no status reply is that long
    }
    // One byte more than announced keeps a text end inside the buffer.
    std::vector<unsigned char> buffer(static_cast<size_t>(size) + 1, 0);
    int length = size;
    const int second = m_pBxApi->BXGetStatus(m_pChannels->m_hStat, buffer.data(), &length);
    if (second < 0) {
        return kReadFailed;
    }
    if (second == 0) {
        return kReadNone;
    }
    if (length < 0 || length > size) {
        length = second <= size ? second : size;
    }
    buffer.resize(static_cast<size_t>(length));
    *reply = std::move(buffer);
    return kReadReply;
}

void StatusWindow::ReadStatus(int fromRegistry) {
    if (!m_pChannels) {
        return;
    }
    int readResult = kReadFailed;
    const bool readsReply = ChannelGivesReply(m_pChannels->m_Stat) || fromRegistry;
    if (readsReply) {
        std::vector<unsigned char> reply;
        readResult = ReadReply(fromRegistry, &reply);
        DebugTrace("\n");
        DebugTrace(fromRegistry ? " Printer status (Registry) : %s\n"
                                : " Printer status (BXAPI) : %s\n",
                   ReplyText(reply).c_str());
        if (!m_bDebugStatus && readResult == kReadNone) {
            if (!fromRegistry) {
                m_bStatusSkip = 1;
            }
            return;
        }
        if (readResult >= 0) {
            // A reply that does not decode is a failed read: what was
            // decoded before the fault is not a status.
            ParsedStatusRecord record;
            if (ParseStatusReply(reply.data(), reply.size(), &record) == 0) {
                m_Status = record;
                m_bStatusSkip = 0;
            } else {
                readResult = kReadFailed;
            }
        }
        if (m_bDebugStatus && readResult < 0) {
            m_Status = ParsedStatusRecord();
            m_Display.NotePicture(kNoAnswerPictureCategory);
            m_nStatusClass = kClassNoAnswer;
        }
        m_nStatusClass = readResult >= 0 ? ClassifyStatus(m_Status) : kClassNoAnswer;
        StartExternalProgram();
        UpdateDetailExtras(readResult);
        m_InkGauges.SetWarnings(InkStateMask(m_Status, m_nStatusClass));
        DebugTrace(" -> Status No. : %d\n", m_nStatusClass);
        ShowStatus(readResult, m_nStatusClass);
        if (readResult >= 0) {
            m_Recovery.OnStatusRead();
        }
    } else {
        // This kind of channel cannot tell a status.
        m_nStatusClass = kClassNoAnswer;
        m_Display.ShowMessage(IDS_STATUS_NOT_AVAILABLE);
        m_Display.ShowPicture(kNoAnswerPictureCategory);
        m_Help.ClearCategory(m_nStatusClass, m_nViewType);
        readResult = kReadFailed;
    }
    UpdateInkDisplay(0);
    if (readResult < 0) {
        m_Recovery.AfterCommunicationFailure(Hwnd(), m_nViewType, m_Printer.Name());
    }
}

void StatusWindow::StartExternalProgram() {
    if (!m_pChannels) {
        return;
    }
    if (m_pChannels->SlowPolling()) {
        return;
    }
    if (m_nViewType != kViewProgress) {
        m_bExternalStarted = 0;
        return;
    }
    if (m_bExternalStarted || m_Status.rc != 1) {
        return;
    }
    std::string program;
    if (ReadProfileString(m_Printer.ModelFile().c_str(), m_Printer.ModelSection().c_str(),
                          "CSICEXE", &program) != kProfileFound ||
        program.empty()) {
        return;
    }
    // A bare name comes from the driver's install folder, the host's or the
    // system's folder, never from a search of the current folder or PATH.
    const std::string path =
        FindProgram(program, {DriverInstallFolder(), ApplicationFolder(), SystemFolder()});
    if (path.empty()) {
        return;
    }
    const std::string command = ExternalProgramCommand(QuoteArgument(path), m_Printer.Name(),
                                                       m_Printer.Port(), m_strResourcePath);
    if (StartProgram(path, command, SW_SHOW)) {
        m_bExternalStarted = 1;
    }
}

void StatusWindow::UpdateDetailExtras(int readResult) {
    const bool information =
        readResult >= 0 && m_Status.st == kStateInformation && m_nViewType == kViewDetail;
    if (information && m_pChannels->m_hInfo > 0) {
        EnableWindow(Item(IDC_INFO_BUTTON), TRUE);
    } else {
        EnableWindow(Item(IDC_INFO_BUTTON), FALSE);
        if (m_pInfoDialog && m_bInfoDialogShown && m_pInfoDialog->IsRunning()) {
            m_pInfoDialog->End(PrinterInfoDialog::kCancelCode);
            m_bInfoDialogShown = 0;
        }
    }
    if (!(information && m_pChannels->m_hInfo2 > 0) || m_pBxApi == nullptr) {
        SetDlgItemTextA(Hwnd(), IDC_INFO_LINE, "");
        ShowWindow(Item(IDC_INFO_LINE), SW_HIDE);
        return;
    }
    ShowWindow(Item(IDC_INFO_LINE), SW_SHOW);
    m_pBxApi->BXSend(m_pChannels->m_hInfo2, kRemoteCountRequest, sizeof(kRemoteCountRequest));
    ReceiveRemoteCount();
}

void StatusWindow::ReceiveRemoteCount() {
    void* buffer = nullptr;
    int length = 0;
    const int received = ReceivePrinterData(*m_pBxApi, m_pChannels->m_hInfo2, &buffer, &length);
    DebugTrace(" GetPrnData()Return Value:%d\r\n", received);
    if (received == kReceiveNothing) {
        m_bRemoteRequest = 1;
        return;
    }
    // A failed receive leaves the mark as it was: an answer still on its way
    // is read when the library reports it.
    if (received != kReceiveData || buffer == nullptr) {
        return;
    }
    m_bRemoteRequest = 0;
    DebugTrace(" Return Buffer:%s\r\n", static_cast<const char*>(buffer));
    uint16_t count = kIRNotAvailable;
    ParseIRReply(static_cast<const unsigned char*>(buffer), static_cast<size_t>(length), &count);
    LocalFree(buffer);
    SetDlgItemTextA(Hwnd(), IDC_INFO_LINE, RemoteCountText(m_Status.ink, count).c_str());
}

// ---------------------------------------------------------------------------
// Display

void StatusWindow::ShowStatus(int readResult, int statusClass) {
    m_bStatusSkip = 0;
    const StatusDisplay display = StatusDisplayFor(readResult, statusClass);
    m_Display.ShowMessage(display.messageId);
    m_Display.ShowPicture(display.pictureCategory);
    m_Help.SetCategory(statusClass, m_nStatusClass, m_nViewType);

    if (!m_bPrinting || !m_pSound) {
        m_nLastSound = -1;
        return;
    }
    int sound = 0;
    int soundNumber = -1;
    PopsUp(statusClass, &sound, &soundNumber);
    if (soundNumber != m_nLastSound) {
        if (sound) {
            m_pSound->PlayStatusSound(soundNumber);
        }
        m_nLastSound = soundNumber;
    }
}

int StatusWindow::PopsUp(int statusClass, int* sound, int* soundNumber) {
    int statusNumber = kStatusNoReply;
    int item = kItemNoReply;
    MapStatusClass(statusClass, &statusNumber, &item);
    int soundFlag = 0;
    int notify = 0;
    GetItemNotifySettingsAt(m_Printer.StoreKey(), item, &soundFlag, &notify,
                            m_Printer.ModelSection().c_str());
    if (sound != nullptr) {
        *sound = soundFlag;
    }
    if (soundNumber != nullptr) {
        *soundNumber = statusNumber;
    }
    return notify ? 1 : 0;
}

bool StatusWindow::ShouldClose(int statusClass) {
    if (statusClass == -1) {
        return false;
    }
    const bool popupLike = m_nBaseViewType == kViewPopup || m_nViewType == kViewPopup ||
                           (m_nViewType == kViewDetail && m_nBaseViewType == kViewProgress);
    return popupLike && PopsUp(statusClass, nullptr, nullptr) == 0;
}

bool StatusWindow::JobCheckSaysClose() {
    if (m_pJobMonitor == nullptr || m_pJobMonitor->GetJobCount() <= 0) {
        return true;
    }
    JobRecord record = {};
    if (m_pJobMonitor->GetJobRecord(&record)) {
        m_JobView.Follow(record);
        m_Layout.SetKeepHidden(false);
        ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    } else {
        ShowWindow(Hwnd(), SW_HIDE);
        m_JobView.Clear();
        m_nMeterStatusClass = -1;
    }
    SwitchView(kViewProgress, 0);
    return false;
}

void StatusWindow::UpdateInkDisplay(int noInformation) {
    if (m_nStatusClass == -1) {
        return;
    }
    if (m_nStatusClass == kClassNoAnswer || noInformation) {
        m_InkGauges.Enable(false);
        return;
    }
    const bool levelsKnown =
        m_pChannels && ChannelGivesReply(m_pChannels->m_Stat) && m_Status.inkCount == kInkCount;
    if (!levelsKnown) {
        m_InkGauges.Enable(false);
    } else {
        m_InkGauges.ShowLevels(m_Status.ink, m_nViewType == kViewDetail);
    }
    m_InkGauges.ShowWarnings(m_Tips.List());
}

// ---------------------------------------------------------------------------
// Initial status of a pop-up

void StatusWindow::ShowInitialStatus() {
    RegistryKey store = m_Printer.OpenStoreKey();
    std::vector<unsigned char> stored;
    bool keyOpen = store.IsOpen();
    if (keyOpen) {
        m_bPrinting = 1;
        const int comStatus = store.ReadNumber("ComStatus", kComStatusNoted);
        if (comStatus != kComStatusRead) {
            m_nStatusClass =
                comStatus == kComStatusOtherPrinter ? kClassOtherPrinter : kClassNoAnswer;
            ShowStatus(0, m_nStatusClass);
            return;
        }
        stored = store.ReadBytes("Status");
    }
    if (stored.size() >= kRemoteReplyPrefixLength &&
        std::memcmp(stored.data(), kRemoteReplyPrefix, kRemoteReplyPrefixLength) == 0) {
        m_nStatusClass = kClassNoAnswer;
        m_Display.ShowMessage(IDS_STATUS_NOT_AVAILABLE);
        m_Display.ShowPicture(kNoAnswerPictureCategory);
        m_Help.ClearCategory(m_nStatusClass, m_nViewType);
        return;
    }
    ParsedStatusRecord record;
    const bool usable =
        keyOpen && stored.size() >= kStatusReplyHeaderLength &&
        std::memcmp(stored.data(), kStatusReplyHeader, kStatusReplyHeaderLength) == 0 &&
        ParseStatusReply(stored.data(), stored.size(), &record) == 0;
    if (!usable) {
        m_nStatusClass = kClassNoAnswer;
        ShowStatus(0, kClassNoAnswer);
        return;
    }
    m_Status = record;
    m_nStatusClass = ClassifyStatus(m_Status);
    m_InkGauges.SetWarnings(InkStateMask(m_Status, m_nStatusClass));
    ShowStatus(0, m_nStatusClass);
}

// ---------------------------------------------------------------------------
// Notifications of the library

void StatusWindow::OnStatusNotification(LPARAM lParam) {
    if (!m_pChannels || m_pChannels->m_hStat == 0 || lParam != m_pChannels->m_hStat) {
        return;
    }
    DebugTrace("---\nOnBXAPIStatus : ");
    ReadStatus(0);
    if (ShouldClose(m_nStatusClass) && JobCheckSaysClose()) {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    }
}

void StatusWindow::OnInformationReply(LPARAM lParam) {
    if (!m_pChannels || m_pChannels->m_hInfo2 <= 0 || m_pBxApi == nullptr) {
        return;
    }
    DebugTrace("---\nOnBXAPIRead : \n");
    DebugTrace(" LPARAM = %d, m_hInfo2 = %d\r\n", static_cast<int>(lParam), m_pChannels->m_hInfo2);
    if (lParam != m_pChannels->m_hInfo2 || !m_bRemoteRequest) {
        return;
    }
    ReceiveRemoteCount();
    m_bRemoteRequest = 0;
}

} // namespace krx
