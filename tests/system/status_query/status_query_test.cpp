// PrGetStatusB through the DLL boundary against the simulated printer: each
// path, each result and output row, the store writes and the trace.
#include <gtest/gtest.h>

#include <string>

#include "base/registry/registry_paths.h"
#include "krxstat.h"
#include "loaded_plugin.h"
#include "test_support.h"

using kit::SimPrinter;
using krxtest::StatusReply;

namespace {

constexpr int kKind4 = 0x00000004;
constexpr char kPrinterStore[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer01";
constexpr char kPortStore[] = "software\\NORVA\\KRX3\\KRXData\\NRNTarget\\Port01";
constexpr const char* kDebugKey = krx::regkey::kDebugKey;
constexpr int kUntouched = -99;

struct Outputs {
    int result = kUntouched;
    int status = kUntouched;
    int st = kUntouched;
    int sound = kUntouched;
    int notify = kUntouched;
    int kind = kUntouched;
};

std::ostream& operator<<(std::ostream& os, const Outputs& o) {
    return os << "result=" << o.result << " status=" << o.status << " st=" << o.st
              << " sound=" << o.sound << " notify=" << o.notify << " out12=" << o.kind;
}

class StatusQueryTest : public krxtest::InstalledSystemTest {
  protected:
    void SetUp() override {
        InstalledSystemTest::SetUp();
        callLog_ = kit::ExecutableFolder() + "status_query_calls.log";
        DeleteFileA(callLog_.c_str());
    }
    void TearDown() override {
        Unload();
        DeleteFileA(callLog_.c_str());
        InstalledSystemTest::TearDown();
    }
    // The plug-in reads its trace switch when it is loaded: load it after
    // the registry is set for the test.
    void Load() {
        ASSERT_TRUE(plugin_.Load());
        fn_ = plugin_.Get<PFN_PrGetStatusB>("PrGetStatusB");
        ASSERT_NE(fn_, nullptr);
    }
    void Unload() { plugin_.Unload(); }
    Outputs Call(int kind, int handle, const char* printer = kit::kPrinterName,
                 const char* port = kit::kPortName, const char* model = kit::kModelName) {
        if (!plugin_.Loaded()) {
            Load();
        }
        Outputs o;
        o.result = fn_(0, kind, handle, &o.status, &o.st, &o.sound, &o.notify, printer, port, 0,
                       model, &o.kind);
        return o;
    }
    void RecordCalls() { SimPrinter::SetText("CallLog", callLog_); }
    std::string Calls() const { return kit::ReadTextFile(callLog_); }
    static std::string StoredStatus(const char* key = kPrinterStore) {
        return krxtest::ReadBinary(HKEY_CURRENT_USER, key, "Status");
    }
    static DWORD ComStatus(const char* key = kPrinterStore) {
        return krxtest::ReadDword(HKEY_CURRENT_USER, key, "ComStatus", 0xDEAD);
    }

    krxtest::LoadedPlugin plugin_{krxtest::LoadedPlugin::When::Later};
    PFN_PrGetStatusB fn_ = nullptr;
    std::string callLog_;
};

} // namespace

TEST_F(StatusQueryTest, LibraryPathDecodesAndStores) {
    const std::string reply = StatusReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;");
    SimPrinter::SetStatusReply(reply);
    RecordCalls();
    Outputs o = Call(kKind4, 7);
    EXPECT_EQ(o.result, 1) << o;
    EXPECT_EQ(o.status, 9) << o;
    EXPECT_EQ(o.st, 4) << o;
    EXPECT_EQ(o.notify, 1) << o; // item 9 is switched on in the installed store
    EXPECT_EQ(o.sound, 1) << o;
    EXPECT_EQ(o.kind, 1) << o;
    EXPECT_EQ(StoredStatus(), reply);
    EXPECT_EQ(ComStatus(), 1u);
    EXPECT_EQ(Calls(), "BXInitialize\nBXGetStatus 7 none\nBXGetStatus 7 buffer\nBXRelease\n");
}

TEST_F(StatusQueryTest, StoreKeyReadableButNotWritable) {
    // The user's choices differ from the model file's, so that they show.
    const std::string notify = std::string(kPrinterStore) + "\\Notify";
    krxtest::WriteDword(HKEY_CURRENT_USER, notify, "009", 0);
    krxtest::WriteDword(HKEY_CURRENT_USER, notify, "011", 1);
    ASSERT_TRUE(krxtest::SetKeyReadOnly(HKEY_CURRENT_USER, kPrinterStore, true));
    SimPrinter::SetStatusReply(StatusReply("ST:04;WR:10;IQ:0A5A5A5A5A5A;"));
    Outputs decoded = Call(kKind4, 1);
    Outputs fallback = Call(0x10000004, 1);
    SimPrinter::SetStatusReply("@BDC ST\r\nER:00;\x0C");
    Outputs unparsed = Call(kKind4, 1);
    EXPECT_TRUE(krxtest::SetKeyReadOnly(HKEY_CURRENT_USER, kPrinterStore, false));
    EXPECT_EQ(decoded.status, 9) << decoded;
    EXPECT_EQ(decoded.notify, 0) << decoded;
    EXPECT_EQ(fallback.notify, 1) << fallback;
    EXPECT_EQ(fallback.sound, 1) << fallback;
    EXPECT_EQ(unparsed.notify, 1) << unparsed;
    EXPECT_EQ(StoredStatus(), ""); // nothing could be written
}

TEST_F(StatusQueryTest, StCode3GivesReplyKind2) {
    SimPrinter::SetStatusReply(StatusReply("ST:03;"));
    Outputs o = Call(0x10000003, 1);
    EXPECT_EQ(o.kind, 2) << o;
    EXPECT_EQ(o.status, 999) << o;
    EXPECT_EQ(o.notify, 0) << o; // no notification setting for item 999
}

TEST_F(StatusQueryTest, DebugPathMatchesLibraryPath) {
    const std::string reply = StatusReply("ST:00;ER:05;IQ:005A5A5A5A5A;");
    SimPrinter::SetStatusReply(reply);
    Outputs fromLibrary = Call(kKind4, 3);
    krxtest::WriteDword(HKEY_CURRENT_USER, kPrinterStore, "ComStatus", 7);
    krxtest::WriteBinary(HKEY_CURRENT_USER, kPrinterStore, "Status", "old");
    SimPrinter::Reset();
    krxtest::WriteString(HKEY_LOCAL_MACHINE, kDebugKey, "Status", reply);
    for (int kind : {0x00000004, 0x10000003, 0x10010003}) {
        Outputs fromDebug = Call(kind, 0);
        EXPECT_EQ(fromDebug.result, fromLibrary.result) << std::hex << kind;
        EXPECT_EQ(fromDebug.status, 10) << fromDebug;
        EXPECT_EQ(fromDebug.st, fromLibrary.st) << fromDebug;
        EXPECT_EQ(fromDebug.notify, fromLibrary.notify) << fromDebug;
        EXPECT_EQ(fromDebug.sound, fromLibrary.sound) << fromDebug;
        EXPECT_EQ(fromDebug.kind, fromLibrary.kind) << fromDebug;
        EXPECT_EQ(StoredStatus(), reply);
        EXPECT_EQ(ComStatus(), 1u);
    }
}

TEST_F(StatusQueryTest, DebugValueMissingEmptyOrTooLong) {
    std::string values[] = {"", std::string(256, 'x')};
    Outputs missing = Call(kKind4, 0);
    EXPECT_EQ(missing.result, 1);
    EXPECT_EQ(missing.status, 11);
    EXPECT_EQ(missing.notify, 0); // item 11 is switched off
    for (const std::string& value : values) {
        krxtest::WriteString(HKEY_LOCAL_MACHINE, kDebugKey, "Status", value);
        Outputs o = Call(kKind4, 0);
        EXPECT_EQ(o.result, 1) << value.size();
        EXPECT_EQ(o.status, 11) << value.size();
        EXPECT_EQ(o.st, 0) << value.size();
    }
    EXPECT_EQ(StoredStatus(), "");
}

TEST_F(StatusQueryTest, LibraryResults) {
    struct Case {
        const char* label;
        int first;  // kit::kUnset: -4 with the reply's size
        int second; // kit::kUnset: the reply's length
        int result;
        int status;
        DWORD comStatus;
    } cases[] = {
        {"no status yet", 0, kit::kUnset, 0, kUntouched, 0xDEAD},
        {"busy", -17, kit::kUnset, -1, kUntouched, 0xDEAD},
        {"error", -5, kit::kUnset, 1, 11, 0},
        {"-4 then nothing", kit::kUnset, 0, 0, kUntouched, 0xDEAD},
        {"-4 then busy", kit::kUnset, -17, -1, kUntouched, 0xDEAD},
        {"-4 then error", kit::kUnset, -2, 1, 11, 0},
    };
    for (const Case& c : cases) {
        SimPrinter::Reset();
        krxtest::WriteDword(HKEY_CURRENT_USER, kPrinterStore, "ComStatus", 0xDEAD);
        SimPrinter::SetStatusReply(StatusReply("ST:04;"));
        if (c.first != kit::kUnset) {
            SimPrinter::SetNumber("StatusFirstResult", c.first);
        }
        if (c.second != kit::kUnset) {
            SimPrinter::SetNumber("StatusSecondResult", c.second);
        }
        Outputs o = Call(kKind4, 1);
        EXPECT_EQ(o.result, c.result) << c.label << ": " << o;
        EXPECT_EQ(o.status, c.status) << c.label << ": " << o;
        EXPECT_EQ(o.st, 0) << c.label;
        EXPECT_EQ(o.sound, 0) << c.label;
        EXPECT_EQ(o.kind, 0) << c.label;
        EXPECT_EQ(ComStatus(), c.comStatus) << c.label;
    }
}

TEST_F(StatusQueryTest, LibraryNotReadyTouchesNothing) {
    SimPrinter::SetNumber("InitResult", -1);
    RecordCalls();
    Outputs o = Call(kKind4, 1);
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.status, kUntouched);
    EXPECT_EQ(o.st, kUntouched);
    EXPECT_EQ(o.sound, kUntouched);
    EXPECT_EQ(o.notify, kUntouched);
    EXPECT_EQ(o.kind, kUntouched);
    EXPECT_EQ(Calls(), "BXInitialize\n"); // a failed start is not released
}

TEST_F(StatusQueryTest, UnparsableReplyLeavesTheStoreAlone) {
    SimPrinter::SetStatusReply("@BDC ST\r\nER:00;\x0C");
    Outputs o = Call(kKind4, 1);
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.status, 11);
    EXPECT_EQ(StoredStatus(), "");
    EXPECT_EQ(ComStatus(), 0xDEADu);
}

TEST_F(StatusQueryTest, PrinterWithoutStoreKey) {
    SimPrinter::SetStatusReply(StatusReply("ST:04;"));
    Outputs o = Call(kKind4, 1, "Unknown Printer", "NOPORT:");
    EXPECT_EQ(o.result, 1) << o;
    EXPECT_EQ(o.status, kUntouched) << o;
    EXPECT_EQ(o.st, 0) << o;
    EXPECT_EQ(o.notify, 0) << o;
    EXPECT_EQ(o.kind, 0) << o;
}

TEST_F(StatusQueryTest, PortNameStandsForAnEmptyPrinterName) {
    const std::string reply = StatusReply("ST:04;");
    SimPrinter::SetStatusReply(reply);
    Outputs o = Call(kKind4, 1, "", kit::kPortName);
    EXPECT_EQ(o.status, 1) << o;
    EXPECT_EQ(StoredStatus(kPortStore), reply);
    EXPECT_EQ(StoredStatus(kPrinterStore), "");
}

TEST_F(StatusQueryTest, RemotePath) {
    const std::string reply = "hbm remote data";
    SimPrinter::SetStatusReply(reply);
    krxtest::WriteDword(HKEY_CURRENT_USER, kPrinterStore, "ComStatus", 5);
    Outputs o = Call(0x02000001, 2);
    EXPECT_EQ(o.result, 1) << o;
    EXPECT_EQ(o.status, 11) << o;
    EXPECT_EQ(o.st, 11) << o;
    EXPECT_EQ(o.kind, 0) << o;
    EXPECT_EQ(StoredStatus(), reply);
    EXPECT_EQ(ComStatus(), 5u);

    SimPrinter::SetNumber("StatusFirstResult", -8);
    o = Call(0x02000001, 2);
    EXPECT_EQ(o.status, 11) << o;
    EXPECT_EQ(o.st, 11) << o;
}

TEST_F(StatusQueryTest, OtherKindsFallBack) {
    SimPrinter::SetStatusReply(StatusReply("ST:04;"));
    RecordCalls();
    for (int kind : {0x10000004, 0, 0x10000005}) {
        Outputs o = Call(kind, 1);
        EXPECT_EQ(o.result, 1) << std::hex << kind;
        EXPECT_EQ(o.status, 11) << o;
        EXPECT_EQ(o.st, 0) << o;
    }
    EXPECT_EQ(Calls().find("BXGetStatus"), std::string::npos);
}

TEST_F(StatusQueryTest, LyingLibraryLengthsStayInsideTheBuffer) {
    const std::string reply = StatusReply("ST:04;");
    struct Case {
        const char* label;
        const char* name;
        int value;
        int result;
        int status;
    } cases[] = {
        // Claims more bytes than it was given room for: only the buffer counts.
        {"returned length too large", "StatusReturnedLength", 100000, 1, 1},
        {"returned length negative", "StatusReturnedLength", -50, 1, 11},
        {"announced size zero", "StatusAnnouncedSize", 0, 1, 11},
        {"announced size negative", "StatusAnnouncedSize", -3, 1, 11},
        {"announced size huge", "StatusAnnouncedSize", 0x7FFFFFF0, -1, kUntouched},
    };
    for (const Case& c : cases) {
        SimPrinter::Reset();
        SimPrinter::SetStatusReply(reply);
        SimPrinter::SetNumber("Misbehave", 1); // a short buffer gets what fits
        SimPrinter::SetNumber(c.name, c.value);
        Outputs o = Call(kKind4, 1);
        EXPECT_EQ(o.result, c.result) << c.label << ": " << o;
        EXPECT_EQ(o.status, c.status) << c.label << ": " << o;
    }
}

TEST_F(StatusQueryTest, NullArgumentsAreSafe) {
    SimPrinter::SetStatusReply(StatusReply("ST:04;"));
    Load();
    EXPECT_EQ(fn_(0, kKind4, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                  nullptr),
              1);
    int status = 0;
    EXPECT_EQ(fn_(0, kKind4, 1, &status, nullptr, nullptr, nullptr, kit::kPrinterName, nullptr, 0,
                  nullptr, nullptr),
              1);
    EXPECT_EQ(status, 1);
}

TEST_F(StatusQueryTest, TraceOfOneCall) {
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    SimPrinter::SetStatusReply(StatusReply("ST:04;"));
    // A reply the library returns without any terminator in its buffer: the
    // trace shows exactly the returned bytes.
    Call(kKind4, 1, "First");
    Call(kKind4, 1, "Second"); // the first call's printer name is kept
    const std::string one =
        "CBxApi::CBxApi\r\nPrinterName : First\r\nDriverName : \r\n"
        "BXAPI Name(not from Registry): BXAPI.DLL\r\nm_bEnable : 1\r\n"
        "---\nPrGetStatusB\n Status length (BXAPI) : 16\n (BXGetStatu() : -4)\n"
        " Printer status (BXAPI) : @BDC ST\r\nST:04;\x0C\n (BXGetStatus() : 16)\n";
    EXPECT_EQ(kit::ReadTextFile(krxtest::kTraceFile), one + one);
}

TEST_F(StatusQueryTest, SummaryTraceOnFallback) {
    krxtest::WriteDword(HKEY_LOCAL_MACHINE, krx::regkey::kKrx3Key, "log", 1);
    Call(0x10000004, 1);
    std::string trace = kit::ReadTextFile(krxtest::kTraceFile);
    EXPECT_NE(trace.find("---\nPrGetStatusB\n Status Num : 11,  Item Num : 11\n"),
              std::string::npos)
        << trace;
}
