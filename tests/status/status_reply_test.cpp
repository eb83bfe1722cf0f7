// Status reply parser: header and length checks, every field kind, skipped
// bytes, terminators, and replies cut short at every byte.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "status/status_reply.h"

using krx::ParsedStatusRecord;
using krx::ParseHexByte;
using krx::ParseStatusReply;

namespace {

std::string Reply(const std::string& fields, char terminator = '\x0C') {
    return std::string("@BDC ST\r\n") + fields + terminator;
}

int Parse(const std::string& bytes, ParsedStatusRecord* r) {
    return ParseStatusReply(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), r);
}

} // namespace

TEST(ParseHexByte, DigitsOfEveryCase) {
    struct Case {
        char hi, lo;
        int result;
        int value;
    } cases[] = {{'0', '0', 1, 0x00}, {'4', 'B', 1, 0x4B}, {'f', 'e', 1, 0xFE},
                 {'A', '9', 1, 0xA9}, {'G', '0', 0, 0x77}, {'3', 'x', 0, 0x30},
                 {'3', ' ', 0, 0x30}, {'/', '0', 0, 0x77}, {':', '0', 0, 0x77}};
    for (const Case& c : cases) {
        uint8_t out = 0x77;
        EXPECT_EQ(ParseHexByte(c.hi, c.lo, &out), c.result) << c.hi << c.lo;
        EXPECT_EQ(out, c.value) << c.hi << c.lo;
    }
}

TEST(ParseStatusReply, MinimalReplyKeepsInitialValues) {
    ParsedStatusRecord r;
    r.inkCount = 9; // the parser leaves the ink count alone without an IQ field
    ASSERT_EQ(Parse(Reply("ST:04;"), &r), 0);
    EXPECT_EQ(r.st, 4);
    EXPECT_EQ(r.er, 0xFF);
    EXPECT_EQ(r.inkCount, 9);
    EXPECT_EQ(r.warnCount, 0);
    EXPECT_EQ(r.rv, 0);
    EXPECT_EQ(r.tc, 0xFFFF);
    EXPECT_EQ(r.rc, 0xFF);
}

TEST(ParseStatusReply, SkipsBytesOutsideFields) {
    ParsedStatusRecord r;
    EXPECT_EQ(Parse(Reply("ab"
                          "ST:04;"),
                    &r),
              0);
    EXPECT_EQ(r.st, 4);
    EXPECT_EQ(Parse(Reply("ST:02;XX:12;ER:05;"), &r), 0);
    EXPECT_EQ(r.st, 2);
    EXPECT_EQ(r.er, 5);
}

TEST(ParseStatusReply, NeedsAnStField) {
    ParsedStatusRecord r;
    EXPECT_EQ(Parse(Reply("ER:00;"), &r), -1);
    EXPECT_EQ(r.er, 0);
}

TEST(ParseStatusReply, InkEntries) {
    ParsedStatusRecord r;
    ASSERT_EQ(Parse(Reply("ST:00;IQ:NA4BREFF;"), &r), 0);
    EXPECT_EQ(r.inkCount, 4);
    EXPECT_EQ(r.ink[0], 0xFF);
    EXPECT_EQ(r.ink[1], 75);
    EXPECT_EQ(r.ink[2], 0xFE);
    EXPECT_EQ(r.ink[3], 100); // 0xFF as hex is clamped, unlike "NA"
    EXPECT_EQ(r.ink[4], 0);

    ASSERT_EQ(Parse(Reply("ST:00;IQ:WE0102030405;"), &r), 0);
    EXPECT_EQ(r.inkCount, 6);
    EXPECT_EQ(r.ink[0], 0xFE);
    EXPECT_EQ(r.ink[5], 5);

    // A second IQ field rewrites from the first entry; the rest stay.
    ASSERT_EQ(Parse(Reply("ST:00;IQ:101010;IQ:20;"), &r), 0);
    EXPECT_EQ(r.inkCount, 1);
    EXPECT_EQ(r.ink[0], 0x20);
    EXPECT_EQ(r.ink[1], 0x10);
}

TEST(ParseStatusReply, WarningCodesWithAndWithoutCommas) {
    for (const char* field : {"WR:10,11;", "WR:1011;"}) {
        ParsedStatusRecord r;
        ASSERT_EQ(Parse(Reply(std::string("ST:04;") + field), &r), 0) << field;
        EXPECT_EQ(r.warnCount, 2) << field;
        EXPECT_EQ(r.warn[0], 0x10) << field;
        EXPECT_EQ(r.warn[1], 0x11) << field;
    }
}

TEST(ParseStatusReply, RvTcAndRc) {
    ParsedStatusRecord r;
    ASSERT_EQ(Parse(Reply("ST:04;TC:01F4;RV:A;RC:zz;"), &r), 0);
    EXPECT_EQ(r.tc, 500);
    EXPECT_EQ(r.rv, 10);
    EXPECT_EQ(r.rc, 1);
}

TEST(ParseStatusReply, TerminatorFF) {
    ParsedStatusRecord r;
    EXPECT_EQ(Parse(Reply("ST:04;", '\xFF'), &r), 0);
}

TEST(ParseStatusReply, Rejects) {
    const std::string rejected[] = {
        "@BDC ST\r",                               // 8 bytes, shorter than the header
        std::string("@BDC ST\r\nS\x0C"),           // 11 bytes
        std::string("@BDC PS\r\nST:04;\x0C"),      // wrong header
        std::string("@BDC ST\r\nST:04;"),          // no terminator
        std::string("@BDC ST\r\nST:04;A"),         // last byte not a terminator
        Reply("ST:04"),                            // ";" missing
        Reply("ST:4G;"),                           // not hex
        Reply("ST:04;IQ:01020304050607;"),         // seventh ink entry
        Reply("ST:04;WR:0102030405060708090A0B;"), // eleventh warning
        Reply("ST:04;RV:G;"),
        Reply("ST:04;TC:01F;"),
        Reply("ST:04;RC:zz"),
    };
    for (const std::string& bytes : rejected) {
        ParsedStatusRecord r;
        EXPECT_EQ(Parse(bytes, &r), -1) << "reply of " << bytes.size() << " bytes";
    }
}

TEST(ParseStatusReply, EveryPrefixOfAValidReplyIsRejectedSafely) {
    // The parser must stay inside the given length whatever byte it stops
    // at: copy each prefix into a buffer of exactly that size.
    const std::string full = Reply("ST:00;ER:05;IQ:NA4BRE00FF10;WR:10,12;RV:3;TC:01F4;RC:00;");
    ParsedStatusRecord r;
    ASSERT_EQ(Parse(full, &r), 0);
    for (size_t n = 0; n < full.size(); ++n) {
        std::unique_ptr<unsigned char[]> exact(new unsigned char[n == 0 ? 1 : n]);
        memcpy(exact.get(), full.data(), n);
        EXPECT_EQ(ParseStatusReply(exact.get(), n, &r), -1) << "prefix " << n;
    }
}

TEST(ParseStatusReply, NullArguments) {
    ParsedStatusRecord r;
    EXPECT_EQ(ParseStatusReply(nullptr, 20, &r), -1);
    const std::string bytes = Reply("ST:04;");
    EXPECT_EQ(ParseStatusReply(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                               nullptr),
              -1);
}
