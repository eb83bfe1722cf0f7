// Information reply parsers: the printer-information fields and entries,
// the "IR:" count, and replies cut short at every byte.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "status/info_reply.h"

using krx::ParseIRReply;
using krx::ParsePrinterInfoReply;
using krx::PrinterInfoRecord;

namespace {

const std::string kPS = "@BDC PS\r\n";

int ParseInfo(const std::string& reply, PrinterInfoRecord* record) {
    return ParsePrinterInfoReply(reinterpret_cast<const unsigned char*>(reply.data()), reply.size(),
                                 record);
}

int ParseIR(const std::string& reply, uint16_t* value) {
    return ParseIRReply(reinterpret_cast<const unsigned char*>(reply.data()), reply.size(), value);
}

std::string Info(const std::string& fields) {
    return kPS + "II:02;" + fields + "\x0C";
}

} // namespace

TEST(PrinterInfoReply, EmptyReplyKeepsInitialValues) {
    PrinterInfoRecord r;
    r.entry[0].tsh = 7;
    r.entry[1].log = "stale";
    ASSERT_EQ(ParseInfo(Info(""), &r), 1);
    for (const auto& e : r.entry) {
        EXPECT_EQ(e.tsh, 0xFFFF);
        EXPECT_EQ(e.pdy, 0xFF);
        EXPECT_EQ(e.ic2, 0xFFFF);
        EXPECT_EQ(e.tvu, 0xFF);
        EXPECT_EQ(e.log, "");
    }
}

TEST(PrinterInfoReply, EveryFieldFillsEntriesInReplyOrder) {
    PrinterInfoRecord r;
    ASSERT_EQ(ParseInfo(Info("TSH:01F4;PDY:18;PDM:06;IC1:0102;IC2:ABCD;IK1:01;IK2:02;TOV:03;"
                             "TVU:04;LOG:AB12;xxTSH:0032;LOG:C;"),
                        &r),
              1);
    const auto& a = r.entry[0];
    EXPECT_EQ(a.tsh, 500);
    EXPECT_EQ(a.pdy, 0x18);
    EXPECT_EQ(a.pdm, 0x06);
    EXPECT_EQ(a.ic1, 0x0102);
    EXPECT_EQ(a.ic2, 0xABCD);
    EXPECT_EQ(a.ik1, 1);
    EXPECT_EQ(a.ik2, 2);
    EXPECT_EQ(a.tov, 3);
    EXPECT_EQ(a.tvu, 4);
    EXPECT_EQ(a.log, "AB12");
    EXPECT_EQ(r.entry[1].tsh, 0x32);
    EXPECT_EQ(r.entry[1].log, "C");
    EXPECT_EQ(r.entry[1].pdy, 0xFF) << "a tag seen once leaves entry 1 alone";
}

TEST(PrinterInfoReply, ThirdOccurrenceIsReadAndDropped) {
    PrinterInfoRecord r;
    ASSERT_EQ(ParseInfo(Info("TSH:0001;TSH:0002;TSH:0003;LOG:a;LOG:b;LOG:ccc;PDY:11;"), &r), 1);
    EXPECT_EQ(r.entry[0].tsh, 1);
    EXPECT_EQ(r.entry[1].tsh, 2);
    EXPECT_EQ(r.entry[0].log, "a");
    EXPECT_EQ(r.entry[1].log, "b");
    EXPECT_EQ(r.entry[0].pdy, 0x11) << "parsing goes on after the dropped fields";
}

TEST(PrinterInfoReply, LogTakesFirstByteEvenASemicolon) {
    PrinterInfoRecord r;
    ASSERT_EQ(ParseInfo(Info("LOG:;x;"), &r), 1);
    EXPECT_EQ(r.entry[0].log, ";x");
}

TEST(PrinterInfoReply, BadHexDigitsKeepWhatTheyCannotSet) {
    PrinterInfoRecord r;
    // "G0": first digit bad, byte unchanged; "2G": high nibble only.
    ASSERT_EQ(ParseInfo(Info("PDY:G0;PDM:2G;TSH:G0A1;"), &r), 1);
    EXPECT_EQ(r.entry[0].pdy, 0xFF);
    EXPECT_EQ(r.entry[0].pdm, 0x20);
    EXPECT_EQ(r.entry[0].tsh, 0xFFA1);
}

TEST(PrinterInfoReply, MalformedRepliesFail) {
    const struct {
        const char* label;
        std::string reply;
    } cases[] = {
        {"status header", "@BDC ST\r\nII:02;\x0C"},
        {"IR where II belongs", kPS + "IR:02;\x0C"},
        {"no ; at 14", kPS + "II:02:\x0C"},
        {"no terminator", kPS + "II:02;TSH:0001;"},
        {"field without ;", Info("PDY:12:")},
        {"word field without ;", Info("TSH:0012,")},
        {"log without end", kPS + "II:02;LOG:abc"},
        {"terminator missing after the header", kPS + "II:02;"},
    };
    for (const auto& c : cases) {
        PrinterInfoRecord r;
        EXPECT_EQ(ParseInfo(c.reply, &r), -1) << c.label;
    }
    EXPECT_EQ(ParsePrinterInfoReply(nullptr, 20, nullptr), -1);
}

TEST(PrinterInfoReply, EveryPrefixOfAValidReplyFailsOrSucceedsInsideIt) {
    const std::string full = Info("TSH:01F4;PDY:18;PDM:06;IC1:0102;IC2:0001;IK1:01;IK2:02;"
                                  "TOV:00;TVU:01;LOG:A1B2;TSH:0032;LOG:C3;");
    for (size_t n = 0; n < full.size(); ++n) {
        // Each prefix in a buffer of its own size, so that a read past the
        // length would leave the allocation (and trip the heap checks).
        std::unique_ptr<unsigned char[]> copy(new unsigned char[n + 1]);
        memcpy(copy.get(), full.data(), n);
        PrinterInfoRecord r;
        EXPECT_EQ(ParsePrinterInfoReply(copy.get(), n, &r), -1) << "prefix " << n;
    }
    PrinterInfoRecord r;
    EXPECT_EQ(ParseInfo(full, &r), 1);
}

TEST(IRReply, ValuesAndResults) {
    const struct {
        const char* label;
        std::string reply;
        int result;
        uint16_t value;
    } cases[] = {
        {"count", kPS + "IR:00C8;\x0C", 1, 200},
        {"NAVL", kPS + "IR:NAVL;\x0C", 1, 0xFFFF},
        {"NANA", kPS + "IR:NANA", 1, 0xFFFF},
        {"missing ;", kPS + "IR:00C8", -1, 200},
        {"wrong byte at 16", kPS + "IR:00C8,", -1, 200},
        {"another field", kPS + "II:00C8;", 1, 1234},
        {"too short for the value", kPS + "IR:00C", -1, 1234},
        {"too short for the tag", kPS + "IR", -1, 1234},
        {"status header", "@BDC ST\r\nIR:00C8;", -1, 1234},
        {"bad low digits", kPS + "IR:01ZZ;", 1, (0x01 << 8) | 0xD2},
    };
    for (const auto& c : cases) {
        uint16_t value = 1234; // 0x04D2
        EXPECT_EQ(ParseIR(c.reply, &value), c.result) << c.label;
        EXPECT_EQ(value, c.value) << c.label;
    }
}

TEST(IRReply, EveryPrefixStaysInside) {
    const std::string full = kPS + "IR:00C8;";
    for (size_t n = 0; n <= full.size(); ++n) {
        std::unique_ptr<unsigned char[]> copy(new unsigned char[n + 1]);
        memcpy(copy.get(), full.data(), n);
        uint16_t value = 0xFFFF;
        int rc = ParseIRReply(copy.get(), n, &value);
        EXPECT_EQ(rc, n == full.size() ? 1 : -1) << "prefix " << n;
    }
}
