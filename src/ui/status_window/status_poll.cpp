// Status polling and display of the status window: the status tick, the
// library's replies, the status message, picture and sound, the ink gauges,
// the information extras and the initial status text.
#include "ui/status_window/status_poll.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "comm/channel_table.h"
#include "comm/printer_identity.h"
#include "comm/receive_data.h"
#include "comm/status_reply_read.h"
#include "common/resource_ids.h"
#include "common/safe_load.h"
#include "common/win_handles.h"
#include "base/module/install_paths.h"
#include "base/module/module_state.h"
#include "base/profile/profile_reader.h"
#include "base/registry/registry_key.h"
#include "base/store/notify_settings.h"
#include "base/store/status_store.h"
#include "base/trace/debug_trace.h"
#include "status/info_reply.h"
#include "status/status_eval.h"
#include "status/status_reading.h"
#include "ui/printer_messages.h"
#include "ui/status_tables.h"
#include "ui/status_window/window_timers.h"
#include "ui/status_window/trouble_help.h"
#include "ui/status_window/view_table.h"

namespace krx {

namespace {

// Results of one status read.
constexpr int kReadReply = 1;
constexpr int kReadNone = 0;
constexpr int kReadFailed = -1;

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

void StatusPoll::Open(HWND window, CBxApi* library, StatusChannels* channels) {
    m_hWnd = window;
    m_pBxApi = library;
    m_pChannels = channels;
    int debugStatus = 0;
    if (ReadProfileInt(m_Printer.ModelFile().c_str(), m_Printer.ModelSection().c_str(), "Debug",
                       &debugStatus) != kProfileFound) {
        debugStatus = 0;
    }
    m_bDebugStatus = debugStatus;
    m_Sound.Load(m_Printer.ModelSection());
    m_nStatusInterval = ThisCall().statusInterval;
}

UINT StatusPoll::NextPeriodMs() const {
    const UINT seconds = static_cast<UINT>(m_nStatusInterval > 0 ? m_nStatusInterval : 1);
    return m_bPrinting ? kPrintingStatusPeriodMs : seconds * 1000;
}

// ---------------------------------------------------------------------------
// Status tick

StatusOutcome StatusPoll::Tick(int viewType, TipList& tips) {
    if (m_Recovery.AwaitingReport()) {
        return StatusOutcome::kNotShown;
    }
    int result = TickResult();
    DebugTrace("---\nStatus Timer : ");
    DebugTrace(m_bPrinting ? "Printing (%d)\n" : "Idling (%d)\n", result);
    if (viewType == kViewProgress && IsFilePort(m_Printer.Port())) {
        // Nothing answers behind a print-to-file port.
        return StatusOutcome::kPrintToFile;
    }
    result = SelectChannel(result);
    if (result == kTickFailure) {
        m_Recovery.AfterCommunicationFailure(m_hWnd, viewType, m_Printer.Name());
    }
    DebugTrace(" (iResult : %d)\n", result);
    ShowTickResult(result, viewType, tips);
    DebugTrace(" Total Status No. : %d\n", m_nStatusClass);
    return StatusOutcome::kShown;
}

StatusOutcome StatusPoll::OnStatusNews(LPARAM channel, int viewType, TipList& tips) {
    if (m_pChannels == nullptr || m_pChannels->m_hStat == 0 || channel != m_pChannels->m_hStat) {
        return StatusOutcome::kNotShown;
    }
    DebugTrace("---\nOnBXAPIStatus : ");
    ReadStatus(0, viewType, tips);
    return StatusOutcome::kShown;
}

int StatusPoll::TickResult() {
    // The store key found when the window was set up, opened once for the
    // tick's read and write of ComStatus; never created here.
    const RegistryKey store = m_Printer.OpenStoreKey();
    int result = kTickRead;
    if (JobBeingSent(m_Printer.JobActivityName())) {
        m_bPrinting = 1;
        switch (GetComStatusIn(store)) {
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

int StatusPoll::SelectChannel(int result) {
    if (m_pChannels != nullptr && m_pChannels->m_Stat == 0 && result >= 0) {
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
    } else if (m_pChannels == nullptr && result >= 0) {
        result = kTickFailure;
    }
    return result;
}

void StatusPoll::ShowTickResult(int result, int viewType, TipList& tips) {
    if (result < 0) {
        m_nStatusClass = result == kTickOtherPrinter ? kClassOtherPrinter : kClassNoAnswer;
        ShowStatus(0, viewType);
        UpdateInkDisplay(1, viewType, tips);
    } else if (result == kTickRead && m_pChannels != nullptr && m_pChannels->m_Stat != 0 &&
               (!m_bStatusSkip || m_bPrinting)) {
        ReadStatus(m_bPrinting, viewType, tips);
    }
}

// ---------------------------------------------------------------------------
// Reading one status

int StatusPoll::ReadReply(int fromRegistry, std::vector<unsigned char>* reply) {
    reply->clear();
    if (m_bDebugStatus) {
        const std::string text = ReadDebugStatusReply();
        if (text.empty()) {
            return kReadFailed;
        }
        reply->assign(text.begin(), text.end());
        return 0; // a test reply is decoded like a read one
    }
    if (fromRegistry) {
        const RegistryKey store = OpenStoreKeyForReading(m_Printer.StoreKey());
        if (!store.IsOpen()) {
            return kReadFailed;
        }
        *reply = ReadStoredStatusIn(store);
        return reply->empty() ? kReadNone : kReadReply;
    }
    if (m_pBxApi == nullptr || m_pChannels == nullptr) {
        return kReadFailed;
    }
    StatusReplyRead read = ReadStatusReply(*m_pBxApi, m_pChannels->m_hStat);
    switch (read.outcome) {
    case StatusReadOutcome::kNothing:
        return kReadNone;
    case StatusReadOutcome::kReply:
        *reply = std::move(read.bytes);
        return kReadReply;
    default:
        return kReadFailed; // busy, no room for the reply, or a library fault
    }
}

void StatusPoll::ReadStatus(int fromRegistry, int viewType, TipList& tips) {
    if (m_pChannels == nullptr) {
        return;
    }
    int readResult = kReadFailed;
    bool answered = false; // a reply came, whether or not it decodes
    const bool readsReply = ChannelGivesReply(m_pChannels->m_Stat) || fromRegistry;
    if (readsReply) {
        std::vector<unsigned char> reply;
        int statusClass = kClassNoAnswer;
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
            // A reply that does not decode shows no status: what was decoded
            // before the fault is not a status. The library did answer,
            // though, so it is no reason to show its error flags or to
            // repair it.
            answered = true;
            const StatusReading reading = DecodeStatusReading(reply.data(), reply.size());
            if (reading.decoded) {
                m_Status = reading.record;
                statusClass = reading.statusClass;
                m_bStatusSkip = 0;
            } else {
                readResult = kReadFailed;
            }
        }
        if (m_bDebugStatus && readResult < 0) {
            m_Status = ParsedStatusRecord();
            m_Display.NotePicture(kNoAnswerPictureCategory);
        }
        m_nStatusClass = statusClass;
        StartExternalProgram(viewType);
        UpdateDetailExtras(readResult, viewType);
        m_InkGauges.SetWarnings(InkStateMask(m_Status, m_nStatusClass));
        DebugTrace(" -> Status No. : %d\n", m_nStatusClass);
        ShowStatus(readResult, viewType);
    } else {
        // This kind of channel cannot tell a status.
        ShowNotAvailable(viewType);
    }
    UpdateInkDisplay(0, viewType, tips);
    if (answered) {
        m_Recovery.OnStatusRead();
    } else {
        m_Recovery.AfterCommunicationFailure(m_hWnd, viewType, m_Printer.Name());
    }
}

void StatusPoll::ShowNotAvailable(int viewType) {
    m_nStatusClass = kClassNoAnswer;
    m_Display.ShowMessage(IDS_STATUS_NOT_AVAILABLE);
    m_Display.ShowPicture(kNoAnswerPictureCategory);
    m_Help.ClearCategory(m_nStatusClass, viewType);
}

void StatusPoll::StartExternalProgram(int viewType) {
    if (m_pChannels == nullptr) {
        return;
    }
    if (m_pChannels->SlowPolling()) {
        return;
    }
    if (viewType != kViewProgress) {
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

void StatusPoll::UpdateDetailExtras(int readResult, int viewType) {
    const bool information =
        readResult >= 0 && OffersInformation(m_Status) && viewType == kViewDetail;
    m_Display.OfferInformation(information && m_pChannels->InfoOpen());
    if (!(information && m_pChannels->RemoteInfoOpen()) || m_pBxApi == nullptr) {
        m_Display.HideInformationLine();
        return;
    }
    m_Display.ShowInformationLine();
    m_pBxApi->BXSend(m_pChannels->m_hInfo2, kRemoteCountRequest, sizeof(kRemoteCountRequest));
    ReceiveRemoteCount();
}

void StatusPoll::ReceiveRemoteCount() {
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
    m_Display.SetInformationLine(RemoteCountText(m_Status.ink, count));
}

// ---------------------------------------------------------------------------
// Display

void StatusPoll::ShowStatus(int readResult, int viewType) {
    const int statusClass = m_nStatusClass;
    m_bStatusSkip = 0;
    const StatusDisplay display = StatusDisplayFor(readResult, statusClass);
    m_Display.ShowMessage(display.messageId);
    m_Display.ShowPicture(display.pictureCategory);
    m_Help.SetCategory(statusClass, viewType);

    if (!m_bPrinting || !m_Sound.Available()) {
        m_Sound.Forget();
        return;
    }
    int sound = 0;
    int soundNumber = -1;
    NotifySettings(statusClass, &sound, &soundNumber);
    m_Sound.Announce(soundNumber, sound != 0);
}

int StatusPoll::NotifySettings(int statusClass, int* sound, int* soundNumber) const {
    const StatusNumbers numbers = NumbersOfClass(statusClass);
    int soundFlag = 0;
    int notify = 0;
    GetItemNotifySettingsAt(m_Printer.StoreKey(), numbers.item, &soundFlag, &notify,
                            m_Printer.ModelSection().c_str());
    if (sound != nullptr) {
        *sound = soundFlag;
    }
    if (soundNumber != nullptr) {
        *soundNumber = numbers.statusNumber;
    }
    return notify ? 1 : 0;
}

bool StatusPoll::PopsUp(int statusClass) const {
    return NotifySettings(statusClass, nullptr, nullptr) == 1;
}

void StatusPoll::UpdateInkDisplay(int noInformation, int viewType, TipList& tips) {
    if (m_nStatusClass == -1) {
        return;
    }
    if (m_nStatusClass == kClassNoAnswer || noInformation) {
        m_InkGauges.Enable(false);
        return;
    }
    const bool levelsKnown = m_pChannels != nullptr && ChannelGivesReply(m_pChannels->m_Stat) &&
                             m_Status.inkCount == kInkCount;
    if (!levelsKnown) {
        m_InkGauges.Enable(false);
    } else {
        m_InkGauges.ShowLevels(m_Status.ink, viewType == kViewDetail);
    }
    m_InkGauges.ShowWarnings(tips);
}

// ---------------------------------------------------------------------------
// Initial status of a pop-up

void StatusPoll::ShowInitialStatus(int viewType) {
    RegistryKey store = m_Printer.OpenStoreKey();
    std::vector<unsigned char> stored;
    bool keyOpen = store.IsOpen();
    if (keyOpen) {
        m_bPrinting = 1;
        const int comStatus = GetComStatusIn(store);
        if (comStatus != kComStatusRead) {
            m_nStatusClass =
                comStatus == kComStatusOtherPrinter ? kClassOtherPrinter : kClassNoAnswer;
            ShowStatus(0, viewType);
            return;
        }
        stored = ReadStoredStatusIn(store);
    }
    if (stored.size() >= kRemoteReplyPrefixLength &&
        std::memcmp(stored.data(), kRemoteReplyPrefix, kRemoteReplyPrefixLength) == 0) {
        ShowNotAvailable(viewType);
        return;
    }
    // A reply without the status header does not decode either.
    const StatusReading reading = DecodeStatusReading(stored.data(), stored.size());
    if (!keyOpen || !reading.decoded) {
        m_nStatusClass = kClassNoAnswer;
        ShowStatus(0, viewType);
        return;
    }
    m_Status = reading.record;
    m_nStatusClass = reading.statusClass;
    m_InkGauges.SetWarnings(InkStateMask(m_Status, m_nStatusClass));
    ShowStatus(0, viewType);
}

// ---------------------------------------------------------------------------
// Answers of the library

void StatusPoll::OnInformationReply(LPARAM channel) {
    if (m_pChannels == nullptr || !m_pChannels->RemoteInfoOpen() || m_pBxApi == nullptr) {
        return;
    }
    DebugTrace("---\nOnBXAPIRead : \n");
    DebugTrace(" LPARAM = %d, m_hInfo2 = %d\r\n", static_cast<int>(channel), m_pChannels->m_hInfo2);
    if (channel != m_pChannels->m_hInfo2 || !m_bRemoteRequest) {
        return;
    }
    ReceiveRemoteCount();
    m_bRemoteRequest = 0;
}

} // namespace krx
