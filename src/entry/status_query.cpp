// Status query: reads the reply from the host's channel (or from the debug
// registry value when no channel is given), decodes and classifies it,
// looks up the item's notify and sound flags and records the reply in the
// printer's store key.
#include "entry/status_query.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "comm/bxapi.h"
#include "comm/status_reply_read.h"
#include "common/win_handles.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"
#include "base/store/notify_settings.h"
#include "base/store/status_store.h"
#include "base/trace/debug_trace.h"
#include "krxstat.h"
#include "status/status_reading.h"

namespace krx {

namespace {

void Set(int* p, int value) {
    if (p != nullptr) {
        *p = value;
    }
}

const char* OrEmpty(const char* s) {
    return s != nullptr ? s : "";
}

// One call's context: the names and the store key, looked up at most once.
class StatusQuery {
  public:
    StatusQuery(const StatusQueryOutputs& out, const char* printer, const char* port,
                const char* model)
        : m_Out(out), m_pPrinter(OrEmpty(printer)), m_pPort(OrEmpty(port)),
          m_pModel(OrEmpty(model)) {}

    int LibraryPath(const CBxApi& bx, int handle);
    int DebugPath();
    int RemotePath(const CBxApi& bx, int handle);
    int FallbackPath();

  private:
    // The printer's store key path, looked up once per query.
    const std::string& StorePath() {
        if (!m_bStoreLooked) {
            m_bStoreLooked = true;
            if (FindStoreKeyFor(m_pPrinter, m_pPort, &m_strStorePath) != kStoreFound) {
                m_strStorePath.clear();
            }
        }
        return m_strStorePath;
    }
    // Opened (and created) for writing only by the writes; once open it
    // serves the reads of the same query too.
    const RegistryKey& WriteKey() {
        if (!m_WriteKey.IsOpen() && !StorePath().empty()) {
            m_WriteKey = OpenStoreKeyForWriting(m_strStorePath);
        }
        return m_WriteKey;
    }
    // Readers open the key for reading only: a key that may be read but not
    // written still gives the user's choices, and a key deleted since the
    // lookup is not made again.
    HKEY ReadKey() {
        if (m_WriteKey.IsOpen()) {
            return m_WriteKey.Handle();
        }
        if (!m_ReadKey.IsOpen() && !StorePath().empty()) {
            m_ReadKey = OpenStoreKeyForReading(m_strStorePath);
        }
        return m_ReadKey.IsOpen() ? m_ReadKey.Handle() : nullptr;
    }

    int Decode(const unsigned char* reply, unsigned length);
    int NoReplyOutcome(bool summary);
    void NotifyLookup(int item) {
        GetItemNotifySettingsIn(ReadKey(), item, m_Out.sound, m_Out.notify, m_pModel);
    }
    void Summary(int status, int item) {
        DebugTrace(" Status Num : %d,  Item Num : %d\n", status, item);
    }

    StatusQueryOutputs m_Out;
    const char* m_pPrinter;
    const char* m_pPort;
    const char* m_pModel;
    std::string m_strStorePath;
    RegistryKey m_WriteKey = RegistryKey(HKEY_CURRENT_USER, nullptr);
    RegistryKey m_ReadKey = RegistryKey(HKEY_CURRENT_USER, nullptr);
    bool m_bStoreLooked = false;
};

// A reply shown in the trace exactly as far as its returned length goes.
void TraceReply(const char* format, const void* bytes, int length) {
    if (!TraceOn()) {
        return;
    }
    std::string text(static_cast<const char*>(bytes), length > 0 ? length : 0);
    DebugTraceWrite(format, text.c_str());
}

unique_hlocal AllocateReply(int size) {
    return unique_hlocal(size > 0 ? LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(size)) : nullptr);
}

int StatusQuery::NoReplyOutcome(bool summary) {
    Set(m_Out.statusNumber, kStatusNoReply);
    NotifyLookup(kItemNoReply);
    if (summary) {
        Summary(kStatusNoReply, kItemNoReply);
    }
    return 1;
}

int StatusQuery::Decode(const unsigned char* reply, unsigned length) {
    const StatusReading reading = DecodeStatusReading(reply, length);
    if (!reading.decoded) {
        return NoReplyOutcome(false);
    }
    if (StorePath().empty()) {
        return 1;
    }
    const RegistryKey& key = WriteKey();
    StoreStatusReplyIn(key, reply, length);
    SetComStatusIn(key, kComStatusRead);
    Set(m_Out.replyKind, reading.record.st == 3 ? 2 : 1);
    Set(m_Out.stCode, reading.record.st);
    Set(m_Out.statusNumber, reading.numbers.statusNumber);
    NotifyLookup(reading.numbers.item);
    Summary(reading.numbers.statusNumber, reading.numbers.item);
    return 1;
}

int StatusQuery::LibraryPath(const CBxApi& bx, int handle) {
    const StatusReplyRead read = ReadStatusReply(bx, handle);
    DebugTrace(" Status length (BXAPI) : %d\n", read.announcedSize);
    DebugTrace(" (BXGetStatu() : %d)\n", read.firstResult);
    if (read.secondCalled) {
        TraceReply(" Printer status (BXAPI) : %s\n", read.bytes.data(),
                   static_cast<int>(read.bytes.size()));
        DebugTrace(" (BXGetStatus() : %d)\n", read.secondResult);
    }
    switch (read.outcome) {
    case StatusReadOutcome::kNothing:
        return 0;
    case StatusReadOutcome::kBusy:
    case StatusReadOutcome::kTooLong: // no room for it: the caller may ask again
        return -1;
    case StatusReadOutcome::kReply:
        return Decode(read.bytes.data(), static_cast<unsigned>(read.bytes.size()));
    case StatusReadOutcome::kFailed:
    default:
        break;
    }
    Set(m_Out.statusNumber, kStatusNoReply);
    NotifyLookup(kItemNoReply);
    SetComStatusIn(WriteKey(), kComStatusError);
    return 1;
}

int StatusQuery::DebugPath() {
    const std::string text = ReadDebugStatusReply();
    if (text.empty()) {
        return NoReplyOutcome(false);
    }
    unique_hlocal buffer = AllocateReply(static_cast<int>(text.size()));
    if (!buffer) {
        return -1;
    }
    memcpy(buffer.get(), text.data(), text.size());
    return Decode(static_cast<const unsigned char*>(buffer.get()),
                  static_cast<unsigned>(text.size()));
}

int StatusQuery::RemotePath(const CBxApi& bx, int handle) {
    const StatusReplyRead read = ReadStatusReply(bx, handle);
    if (read.outcome == StatusReadOutcome::kNothing) {
        return 0;
    }
    if (read.outcome == StatusReadOutcome::kBusy) {
        return -1;
    }
    if (read.outcome == StatusReadOutcome::kReply && !StorePath().empty()) {
        StoreStatusReplyIn(WriteKey(), read.bytes.data(), static_cast<unsigned>(read.bytes.size()));
    }
    Set(m_Out.stCode, kStatusNoReply);
    return NoReplyOutcome(true);
}

int StatusQuery::FallbackPath() {
    return NoReplyOutcome(true);
}

} // namespace

int QueryPrinterStatus(int channelKind, int channelHandle, const StatusQueryOutputs& out,
                       const char* printerName, const char* portName, const char* modelName) {
    RememberPrinterName(printerName);
    CBxApi bx(RememberedPrinterName());
    if (!bx.IsEnabled()) {
        return 1;
    }
    Set(out.stCode, 0);
    Set(out.sound, 0);
    Set(out.notify, 0);
    Set(out.replyKind, 0);
    DebugTrace("---\nPrGetStatusB\n");

    StatusQuery query(out, printerName, portName, modelName);
    switch (channelKind) {
    case KRX_CHANNEL_STATUS_FIRST:
    case KRX_CHANNEL_STATUS_THIRD:
    case KRX_CHANNEL_PREFERRED:
        return channelHandle == 0 ? query.DebugPath() : query.LibraryPath(bx, channelHandle);
    case KRX_CHANNEL_REMOTE:
        return query.RemotePath(bx, channelHandle);
    default:
        return query.FallbackPath();
    }
}

} // namespace krx
