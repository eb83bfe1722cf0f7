// Status evaluation: classification from parsed replies, the status class
// table (by the rules its columns keep, and a few rows) and the ink state
// mask.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "status/status_classes.h"
#include "status/status_eval.h"
#include "status/status_reading.h"

using krx::ClassifyStatus;
using krx::InkStateMask;
using krx::MapStatusClass;
using krx::ParsedStatusRecord;
using krx::StatusClassRow;
using krx::StatusClassRowFor;

namespace {

ParsedStatusRecord Record(int st, int er, std::vector<int> ink = {},
                          std::vector<int> warnings = {}) {
    ParsedStatusRecord r;
    r.st = static_cast<uint8_t>(st);
    r.er = static_cast<uint8_t>(er);
    for (size_t i = 0; i < ink.size(); ++i) {
        r.ink[i] = static_cast<uint8_t>(ink[i]);
    }
    r.inkCount = static_cast<uint8_t>(ink.size());
    for (size_t i = 0; i < warnings.size(); ++i) {
        r.warn[i] = static_cast<uint8_t>(warnings[i]);
    }
    r.warnCount = static_cast<uint8_t>(warnings.size());
    return r;
}

} // namespace

TEST(ClassifyStatus, MachineStateAndWarnings) {
    struct Case {
        const char* label;
        ParsedStatusRecord record;
        int expected;
    } cases[] = {
        {"ST 4", Record(4, 0), 1},
        {"ST 4 black low", Record(4, 0, {}, {0x10}), 12},
        {"ST 4 black and colour low", Record(4, 0, {}, {0x10, 0x13}), 20},
        {"ST 4 black low then other", Record(4, 0, {}, {0x10, 0x20}), 12},
        {"ST 3 colour low first", Record(3, 0, {}, {0x11}), 13},
        {"ST 3 colour 0x15", Record(3, 0, {}, {0x15, 0x10}), 13},
        {"ST 2 unrelated warning", Record(2, 0, {}, {0x30}), 11},
        {"ST 3", Record(3, 0), 11},
        {"ST 7", Record(7, 0), 10},
        {"ST 1", Record(1, 0), 17},
        {"ST 8 before warnings", Record(8, 0, {}, {0x10}), 19},
        {"ST 9", Record(9, 0), 0},
        {"ST 0x16 colour low", Record(0x16, 0, {}, {0x16}), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyStatus(c.record), c.expected) << c.label;
    }
}

TEST(ClassifyStatus, ErrorCodes) {
    struct Case {
        int er;
        int expected;
    } cases[] = {{0x00, 14}, {0x01, 18}, {0x04, 6}, {0x06, 5}, {0x11, 21}, {0x02, 9}, {0xFF, 9}};
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyStatus(Record(0, c.er)), c.expected) << "ER " << c.er;
    }
}

TEST(ClassifyStatus, InkOutCases) {
    struct Case {
        const char* label;
        std::vector<int> ink;
        int expected;
    } cases[] = {
        {"black and colour out", {0, 40, 0, 30, 30, 30}, 2},
        {"colour out", {10, 40, 0, 30, 30, 30}, 4},
        {"black out", {0, 40, 50, 30, 30, 30}, 3},
        {"black equals lowest colour", {20, 20, 30, 40, 50, 60}, 2},
        {"black above lowest colour", {25, 20, 30, 40, 50, 60}, 4},
        {"black below lowest colour", {15, 20, 30, 40, 50, 60}, 3},
        {"scan stops at first special", {0xFE, 0, 0xFE, 30, 30, 30}, 23},
        {"RE both", {0xFE, 0xFE, 30, 30, 30, 30}, 22},
        {"RE colour", {40, 50, 0xFE, 30, 30, 30}, 24},
        {"NA both", {0xFF, 30, 0xFF, 30, 30, 30}, 25},
        {"NA black", {0xFF, 30, 30, 30, 30, 30}, 26},
        {"NA colour", {30, 30, 30, 30, 0xFF, 30}, 27},
        {"RE black wins over NA colour", {0xFE, 0xFF, 30, 30, 30, 30}, 23},
        {"all full", {100, 100, 100, 100, 100, 100}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyStatus(Record(0, 5, c.ink)), c.expected) << c.label;
    }
}

TEST(MapStatusClass, ClassesAndUnknownClasses) {
    // class, status number, item number
    const int rows[][3] = {
        {0, 11, 11},  {8, 11, 11},       {1, 1, 1},         {10, 1, 1},     {2, 10, 12},
        {19, 10, 12}, {5, 3, 12},        {6, 5, 12},        {11, 999, 999}, {12, 9, 9},
        {20, 9, 9},   {17, 14, 12},      {7, 12, 12},       {16, 12, 12},   {28, 12, 12},
        {-1, 12, 12}, {INT_MIN, 12, 12}, {INT_MAX, 12, 12},
    };
    for (const auto& row : rows) {
        int s = -1;
        int i = -1;
        MapStatusClass(row[0], &s, &i);
        EXPECT_EQ(s, row[1]) << "class " << row[0];
        EXPECT_EQ(i, row[2]) << "class " << row[0];
    }
    int s = -1;
    MapStatusClass(12, &s, nullptr);
    EXPECT_EQ(s, 9);
    MapStatusClass(12, nullptr, nullptr);
}

TEST(StatusClasses, EveryClassHasItsRowAndAnUnknownOneShowsTheUndefinedMessage) {
    for (int c = 0; c < krx::kStatusClassCount; ++c) {
        EXPECT_EQ(StatusClassRowFor(c).statusClass, c);
    }
    for (int c : {-1, 28, 1000, INT_MIN}) {
        const StatusClassRow& row = StatusClassRowFor(c);
        EXPECT_EQ(row.statusClass, -1) << c;
        EXPECT_EQ(row.pictureCategory, 7) << c;
        EXPECT_EQ(row.messageId, IDS_STATUS_UNDEFINED) << c;
        EXPECT_EQ(row.troubleCategory, krx::kTroubleNone) << c;
        EXPECT_EQ(row.inkKind, krx::kInkReplaceNone) << c;
    }
    // A few rows as the window shows them.
    EXPECT_EQ(StatusClassRowFor(6).troubleCategory, krx::kTroublePaperJam);
    EXPECT_EQ(StatusClassRowFor(6).messageId, IDS_STATUS_PAPER_JAM);
    EXPECT_EQ(StatusClassRowFor(20).messageId, IDS_STATUS_INK_LOW);
    EXPECT_EQ(StatusClassRowFor(20).inkKind, krx::kInkReplaceBoth);
    EXPECT_EQ(StatusClassRowFor(12).inkKind, krx::kInkReplaceBlack);
    EXPECT_EQ(StatusClassRowFor(27).inkKind, krx::kInkReplaceColor);
    EXPECT_EQ(StatusClassRowFor(16).messageId, IDS_STATUS_OTHER_PRINTER);
}

// What the columns owe each other, so that a new row cannot contradict
// the rest of the window.
TEST(StatusClasses, ColumnsAgreeWithEachOther) {
    const uint16_t kBlack = krx::kInkBlackLow | krx::kInkBlackOut;
    const uint16_t kColour = krx::kInkColourLow | krx::kInkColourOut;
    std::map<int, int> pictureOfKind;
    std::map<int, const StatusClassRow*> firstWithMessage;
    for (int c = -1; c < krx::kStatusClassCount; ++c) {
        const StatusClassRow& row = StatusClassRowFor(c);
        SCOPED_TRACE("class " + std::to_string(c));
        const int id = row.messageId;
        EXPECT_TRUE((id >= IDS_STATUS_FIRST && id <= IDS_STATUS_LAST) ||
                    id == IDS_STATUS_NO_ANSWER || id == IDS_STATUS_UNDEFINED)
            << id;
        // "No reply" to the host is "no answer" on the screen.
        const bool noReply = row.statusNumber == krx::kStatusNoReply;
        EXPECT_EQ(noReply, row.itemNumber == krx::kItemNoReply);
        EXPECT_EQ(noReply, id == IDS_STATUS_NO_ANSWER);
        EXPECT_EQ(noReply, row.pictureCategory == krx::kNoAnswerPictureCategory);
        // Ink replacement is the help of ink troubles, and of those only.
        EXPECT_TRUE(row.inkKind >= krx::kInkReplaceNone && row.inkKind <= krx::kInkReplaceColor);
        EXPECT_TRUE(row.troubleCategory >= krx::kTroubleNone &&
                    row.troubleCategory <= krx::kTroublePaperJam);
        EXPECT_EQ(row.inkKind != krx::kInkReplaceNone, row.troubleCategory == krx::kTroubleInk);
        // The ink state concerns the inks the replacement is for.
        const uint16_t mask = InkStateMask(Record(0, 5), c);
        const bool black =
            row.inkKind == krx::kInkReplaceBoth || row.inkKind == krx::kInkReplaceBlack;
        const bool colour =
            row.inkKind == krx::kInkReplaceBoth || row.inkKind == krx::kInkReplaceColor;
        EXPECT_EQ(black, (mask & kBlack) != 0) << std::hex << mask;
        EXPECT_EQ(colour, (mask & kColour) != 0) << std::hex << mask;
        // One picture per kind of ink trouble, showing the cartridges concerned.
        if (row.inkKind != krx::kInkReplaceNone) {
            auto known = pictureOfKind.emplace(row.inkKind, row.pictureCategory).first;
            EXPECT_EQ(known->second, row.pictureCategory);
        }
        // One message, one condition: the classes that show the same text
        // mean the same to the host and to the trouble help.
        auto first = firstWithMessage.emplace(id, &row).first->second;
        EXPECT_EQ(first->statusNumber, row.statusNumber) << "message " << id;
        EXPECT_EQ(first->troubleCategory, row.troubleCategory) << "message " << id;
    }
    std::set<int> pictures;
    for (const auto& kind : pictureOfKind) {
        pictures.insert(kind.second);
    }
    EXPECT_EQ(pictureOfKind.size(), 3u);
    EXPECT_EQ(pictures.size(), 3u) << "each kind of ink trouble has its own picture";
}

TEST(InkStateMask, Classes) {
    struct Case {
        const char* label;
        int statusClass;
        std::vector<int> warnings;
        uint16_t expected;
    } cases[] = {
        {"both out", 2, {}, 0x1010},
        {"RE both folds to both out", 22, {}, 0x1010},
        {"NA both folds to both out", 25, {}, 0x1010},
        {"black out", 3, {}, 0x0010},
        {"black out, colour low", 3, {0x12}, 0x0110},
        {"black out, both low", 23, {0x10, 0x11}, 0x0110},
        {"black out, black low only", 26, {0x10}, 0x0010},
        {"colour out", 4, {}, 0x1000},
        {"colour out, black low", 24, {0x10}, 0x1001},
        {"colour out, both low", 27, {0x10, 0x14}, 0x1001},
        {"colour out, colour low", 4, {0x11}, 0x1000},
        {"black low", 12, {}, 0x0001},
        {"colour low", 13, {}, 0x0100},
        {"both low", 20, {}, 0x0101},
        {"ready", 1, {0x10}, 0},
        {"error", 9, {}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InkStateMask(Record(0, 5, {}, c.warnings), c.statusClass), c.expected) << c.label;
    }
}

// A reading is what both the status query and the window make of a reply.
TEST(StatusReading, DecodedOrNot) {
    const std::string ink = "@BDC ST\r\nST:00;ER:05;IQ:005A5A5A5A5A;\x0C";
    const std::string infoOffered = "@BDC ST\r\nST:04;\x0C";
    const std::string cut = "@BDC ST\r\nST:0";
    const krx::StatusReading black = krx::DecodeStatusReading(
        reinterpret_cast<const unsigned char*>(ink.data()), ink.size());
    ASSERT_TRUE(black.decoded);
    EXPECT_EQ(black.statusClass, ClassifyStatus(black.record));
    EXPECT_EQ(black.numbers.statusNumber, 10);
    EXPECT_EQ(black.numbers.item, 12);
    EXPECT_FALSE(krx::OffersInformation(black.record));

    const krx::StatusReading info = krx::DecodeStatusReading(
        reinterpret_cast<const unsigned char*>(infoOffered.data()), infoOffered.size());
    ASSERT_TRUE(info.decoded);
    EXPECT_TRUE(krx::OffersInformation(info.record));

    const krx::StatusReading none = krx::DecodeStatusReading(
        reinterpret_cast<const unsigned char*>(cut.data()), cut.size());
    EXPECT_FALSE(none.decoded);
    EXPECT_EQ(none.statusClass, -1);
    EXPECT_EQ(none.numbers.statusNumber, krx::kStatusNoReply);
    EXPECT_EQ(none.numbers.item, krx::kItemNoReply);
}
