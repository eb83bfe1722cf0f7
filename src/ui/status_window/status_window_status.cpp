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

const int kInkItems[] = {IDC_INK_FRAME,       IDC_DETAIL_INK_FRAME, IDC_INK_BLACK_LABEL,
                         IDC_INK_COLOR_LABEL, IDC_INK_BLACK,        IDC_INK_COLOR};

// Channel kinds whose status comes as a reply.
bool ChannelGivesReply(int channelId) {
    return channelId == KRX_CHANNEL_STATUS_FIRST || channelId == KRX_CHANNEL_STATUS_THIRD ||
           channelId == KRX_CHANNEL_PREFERRED;
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

int StatusWindow::ProbeJobActivity() {
    unique_handle mapping(
        OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, m_strJobActivityName.c_str()));
    return mapping ? 1 : 0;
}

int StatusWindow::TickResult() {
    int result = kTickRead;
    if (ProbeJobActivity()) {
        m_bPrinting = 1;
        switch (GetComStatus(m_strPrinterName.c_str(), m_strPortName.c_str())) {
        case kComStatusError:
            result = kTickFailure;
            break;
        case kComStatusRead:
            m_bModelVerified = 1;
            SetComStatus(m_strPrinterName.c_str(), m_strPortName.c_str(), kComStatusNoted);
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
    SetComStatus(m_strPrinterName.c_str(), m_strPortName.c_str(), kComStatusNoted);
    m_bPrinting = 0;
    if (!m_bModelVerified && m_pBxApi != nullptr) {
        const std::string model =
            GetModelID(*m_pBxApi, m_strPrinterName.c_str(), m_strPortName.c_str());
        if (model.empty()) {
            result = kTickFailure;
        } else if (model == m_strModelSection) {
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
    if (m_nRecoveryState == kRecoveryAwaitingReport) {
        return;
    }
    int result = TickResult();
    DebugTrace("---\nStatus Timer : ");
    DebugTrace(m_bPrinting ? "Printing (%d)\n" : "Idling (%d)\n", result);

    if (m_nViewType == kViewProgress && IsFilePort(m_strPortName)) {
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
        AfterCommunicationFailure();
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
            SetTroubleCategory(m_nStatusClass);
        }
    }
    if (ShouldClose(m_nStatusClass) && JobCheckSaysClose()) {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
    }
}

void StatusWindow::AfterCommunicationFailure() {
    if (m_bLibraryFlagsShown == 0 && m_nViewType != kViewProgress) {
        m_bLibraryFlagsShown = 1;
        CheckLibraryErrorFlags(Hwnd());
    }
    if (m_nRecoveryState == kRecoveryNotTried) {
        TryLibraryRecovery();
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
        unsigned size = 0;
        const int sized =
            ReadStoredStatus(m_strPrinterName.c_str(), m_strPortName.c_str(), nullptr, &size);
        if (sized != kStoredReplyRead) {
            return sized == kStoredReplyNoKey ? kReadFailed : kReadNone;
        }
        if (size == 0) {
            return kReadNone;
        }
        reply->resize(size);
        unsigned length = size;
        const int read = ReadStoredStatus(m_strPrinterName.c_str(), m_strPortName.c_str(),
                                          reply->data(), &length);
        if (read != kStoredReplyRead) {
            reply->clear();
            return read == kStoredReplyNoKey ? kReadFailed : kReadNone;
        }
        reply->resize(length);
        return kReadReply;
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
            m_nPictureCategory = kNoAnswerPictureCategory;
            m_nStatusClass = kClassNoAnswer;
        }
        m_nStatusClass = readResult >= 0 ? ClassifyStatus(m_Status) : kClassNoAnswer;
        StartExternalProgram();
        UpdateDetailExtras(readResult);
        m_InkWarnings = InkStateMask(m_Status, m_nStatusClass);
        DebugTrace(" -> Status No. : %d\n", m_nStatusClass);
        ShowStatus(readResult, m_nStatusClass);
        if (readResult >= 0) {
            m_bLibraryFlagsShown = 2;
        }
    } else {
        // This kind of channel cannot tell a status.
        m_nStatusClass = kClassNoAnswer;
        ShowMessage(IDS_STATUS_NOT_AVAILABLE);
        ShowPictureCategory(kNoAnswerPictureCategory);
        ClearTroubleCategory();
        readResult = kReadFailed;
    }
    UpdateInkDisplay(0);
    if (readResult < 0) {
        AfterCommunicationFailure();
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
    if (ReadProfileString(m_strModelFile.c_str(), m_strModelSection.c_str(), "CSICEXE", &program) !=
            kProfileFound ||
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
    const std::string command = ExternalProgramCommand(QuoteArgument(path), m_strPrinterName,
                                                       m_strPortName, m_strResourcePath);
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

void StatusWindow::ShowMessage(int messageId) {
    m_nMessageId = messageId;
    std::string text;
    if (m_Message.LoadText(static_cast<UINT>(messageId))) {
        text = m_Message.String();
    }
    if (IsBlankMessage(text) && m_Message.LoadText(IDS_STATUS_BLANK)) {
        text = m_Message.String();
    }
    if (text != m_strLastStatusText) {
        SetDlgItemTextA(Hwnd(), IDC_STATUS_TEXT, text.c_str());
        HideCaret(Item(IDC_STATUS_TEXT));
        m_strLastStatusText = text;
    }
}

void StatusWindow::ShowPictureCategory(int category) {
    m_nPictureCategory = category;
    if (category == m_nLastPictureCategory) {
        return;
    }
    m_nLastPictureCategory = category;
    const std::vector<uint32_t> ids = PictureBitmaps(category);
    m_Picture.StopAnimation();
    if (ids.size() > 1) {
        m_Picture.StartAnimation(static_cast<uint32_t>(ids.size()), ids.data());
    } else {
        m_Picture.ShowBitmap(ids[0]);
    }
}

void StatusWindow::ShowStatus(int readResult, int statusClass) {
    m_bStatusSkip = 0;
    const StatusDisplay display = StatusDisplayFor(readResult, statusClass);
    ShowMessage(display.messageId);
    ShowPictureCategory(display.pictureCategory);
    SetTroubleCategory(statusClass);

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
    GetItemNotifySettingsAt(m_strStoreKey, item, &soundFlag, &notify, m_strModelSection.c_str());
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
        ShowJob(record);
        m_bKeepHidden = 0;
        ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
        m_JobSnapshot = record;
    } else {
        ShowWindow(Hwnd(), SW_HIDE);
        ClearJobDisplay();
        m_JobSnapshot = JobRecord{};
        m_nMeterStatusClass = -1;
    }
    SwitchView(kViewProgress, 0);
    return false;
}

void StatusWindow::EnableInkItems(bool enable) {
    for (int id : kInkItems) {
        EnableWindow(Item(id), enable ? TRUE : FALSE);
    }
}

void StatusWindow::UpdateInkDisplay(int noInformation) {
    if (m_nStatusClass == -1) {
        return;
    }
    if (m_nStatusClass == kClassNoAnswer || noInformation) {
        EnableInkItems(false);
        return;
    }
    const bool levelsKnown =
        m_pChannels && ChannelGivesReply(m_pChannels->m_Stat) && m_Status.inkCount == kInkCount;
    if (!levelsKnown) {
        EnableInkItems(false);
    } else {
        const bool detail = m_nViewType == kViewDetail;
        EnableWindow(Item(IDC_INK_FRAME), detail ? FALSE : TRUE);
        EnableWindow(Item(IDC_DETAIL_INK_FRAME), detail ? TRUE : FALSE);

        int32_t shownBlack = 0;
        if (InkLevelUnknown(m_Status.ink[0])) {
            EnableWindow(Item(IDC_INK_BLACK_LABEL), FALSE);
            EnableWindow(Item(IDC_INK_BLACK), FALSE);
        } else {
            InkBlock block;
            BlackInkBlock(m_Status.ink, block);
            shownBlack = block[1];
            EnableWindow(Item(IDC_INK_BLACK_LABEL), TRUE);
            EnableWindow(Item(IDC_INK_BLACK), TRUE);
            SendDlgItemMessageA(Hwnd(), IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_LEVELS,
                                reinterpret_cast<LPARAM>(block));
        }
        bool colourKnown = true;
        for (int i = 1; i < kInkCount; ++i) {
            if (InkLevelUnknown(m_Status.ink[i])) {
                colourKnown = false; // one unknown colour hides the whole gauge
            }
        }
        if (!colourKnown) {
            EnableWindow(Item(IDC_INK_COLOR_LABEL), FALSE);
            EnableWindow(Item(IDC_INK_COLOR), FALSE);
        } else {
            InkBlock block;
            ColourInkBlock(m_Status.ink, shownBlack, block);
            EnableWindow(Item(IDC_INK_COLOR_LABEL), TRUE);
            EnableWindow(Item(IDC_INK_COLOR), TRUE);
            SendDlgItemMessageA(Hwnd(), IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_LEVELS,
                                reinterpret_cast<LPARAM>(block));
        }
    }
    ApplyInkWarnings();
}

void StatusWindow::ApplyInkWarnings() {
    const int tipFlags = m_Tips.TipFlags();
    if ((m_InkWarnings & (kInkBlackLow | kInkBlackOut | kInkColourLow | kInkColourOut)) == 0) {
        m_Tips.SetTipFlags(tipFlags & ~TipList::kSpecialTipFlag);
        return;
    }
    if (m_InkWarnings & kInkBlackOut) {
        SendDlgItemMessageA(Hwnd(), IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_EMPTY, 0);
    } else if (m_InkWarnings & kInkBlackLow) {
        SendDlgItemMessageA(Hwnd(), IDC_INK_BLACK, KRX_INK_MESSAGE, KRX_INK_BLACK_LOW, 0);
        m_Tips.SetTipFlags(m_Tips.TipFlags() | TipList::kSpecialTipFlag);
    }
    if (m_InkWarnings & kInkColourOut) {
        SendDlgItemMessageA(Hwnd(), IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_EMPTY, 0);
    } else if (m_InkWarnings & kInkColourLow) {
        SendDlgItemMessageA(Hwnd(), IDC_INK_COLOR, KRX_INK_MESSAGE, KRX_INK_COLOR_LOW, 0);
        m_Tips.SetTipFlags(m_Tips.TipFlags() | TipList::kSpecialTipFlag);
    }
}

// ---------------------------------------------------------------------------
// Initial status of a pop-up

void StatusWindow::ShowInitialStatus() {
    RegistryKey store = OpenStoreKey();
    std::vector<unsigned char> stored;
    bool keyOpen = store.IsOpen();
    if (keyOpen) {
        m_bPrinting = 1;
        const int comStatus = GetComStatus(m_strPrinterName.c_str(), m_strPortName.c_str());
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
        ShowMessage(IDS_STATUS_NOT_AVAILABLE);
        ShowPictureCategory(kNoAnswerPictureCategory);
        ClearTroubleCategory();
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
    m_InkWarnings = InkStateMask(m_Status, m_nStatusClass);
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
