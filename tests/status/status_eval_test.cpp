// Status evaluation: classification from parsed replies, the class tables
// and the ink state mask.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "status/status_eval.h"

using krx::ClassifyStatus;
using krx::InkStateMask;
using krx::MapStatusClass;
using krx::ParsedStatusRecord;

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

TEST(MapStatusClass, EveryClass) {
    const int status[] = {11, 1,  10, 10, 10, 3,  5, 12, 11, 12, 1,  999, 9,  9,
                          12, 12, 12, 14, 14, 10, 9, 3,  10, 10, 10, 10,  10, 10};
    const int item[] = {11, 1,  12, 12, 12, 12, 12, 12, 11, 12, 1,  999, 9,  9,
                        12, 12, 12, 12, 12, 12, 9,  12, 12, 12, 12, 12,  12, 12};
    for (int c = 0; c < 28; ++c) {
        int s = -1;
        int i = -1;
        MapStatusClass(c, &s, &i);
        EXPECT_EQ(s, status[c]) << "class " << c;
        EXPECT_EQ(i, item[c]) << "class " << c;
    }
    int s = -1;
    int i = -1;
    MapStatusClass(28, &s, &i);
    EXPECT_EQ(s, 12);
    EXPECT_EQ(i, 12);
    MapStatusClass(-1, &s, &i);
    EXPECT_EQ(s, 12);
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
