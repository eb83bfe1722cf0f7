// The printer information table's lookups: unit and kind codes against the
// values of the resource strings, state texts, and the date format.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/resource_ids.h"
#include "graphics/printer_info_table.h"

namespace {

// The English library's codes: units 1..3, kinds 1 and 2.
bool Codes(unsigned id, long* value) {
    static const std::map<unsigned, long> codes = {
        {3120, 1}, {3121, 2}, {3122, 3}, {3123, 1}, {3124, 2}};
    auto it = codes.find(id);
    if (it == codes.end()) {
        return false;
    }
    *value = it->second;
    return true;
}

} // namespace

TEST(PrinterInfoTable, KindAndDetailCells) {
    struct Case {
        unsigned ic1, ic2;
        unsigned kind, detail;
    } cases[] = {
        {1, 1, 3130, 3132},           {1, 2, 3131, 3132}, {2, 2, 3135, 3136}, {2, 1, 3134, 3136},
        {3, 1, 3138, 3140},           {3, 2, 3139, 3140}, {2, 3, 3101, 3101}, {4, 1, 3101, 3101},
        {0xFFFF, 0xFFFF, 3101, 3101}, {0, 0, 3101, 3101},
    };
    for (const Case& c : cases) {
        krx::InfoKindCells cells = krx::LookUpInfoKind(c.ic1, c.ic2, Codes);
        EXPECT_EQ(cells.kindTextId, c.kind) << "IC1 " << c.ic1 << " IC2 " << c.ic2;
        EXPECT_EQ(cells.detailTextId, c.detail) << "IC1 " << c.ic1 << " IC2 " << c.ic2;
    }
}

TEST(PrinterInfoTable, MissingCodeStringsNeverMatch) {
    // A library without the code strings: no row, even for code 0.
    auto none = [](unsigned, long*) { return false; };
    krx::InfoKindCells cells = krx::LookUpInfoKind(0, 0, none);
    EXPECT_EQ(cells.kindTextId, static_cast<unsigned>(IDS_INFO_NONE));
    // Only the kind strings missing: the row is found, the kind is not.
    auto unitsOnly = [](unsigned id, long* value) {
        if (id < 3120 || id > 3122) {
            return false;
        }
        *value = static_cast<long>(id - 3119);
        return true;
    };
    cells = krx::LookUpInfoKind(2, 1, unitsOnly);
    EXPECT_EQ(cells.kindTextId, static_cast<unsigned>(IDS_INFO_NONE));
    EXPECT_EQ(cells.detailTextId, static_cast<unsigned>(IDS_INFO_NONE));
}

TEST(PrinterInfoTable, StateCell) {
    EXPECT_EQ(krx::InfoStateTextId(1), 3102u);
    EXPECT_EQ(krx::InfoStateTextId(2), 3103u);
    for (unsigned other : {0u, 3u, 0xFFu}) {
        EXPECT_EQ(krx::InfoStateTextId(other), 3101u) << other;
    }
}

TEST(PrinterInfoTable, DateFormat) {
    EXPECT_FALSE(krx::InfoHasDate(0xFF));
    EXPECT_TRUE(krx::InfoHasDate(0x65));
    struct Case {
        const char* format;
        unsigned pdy, pdm;
        const char* text;
    } cases[] = {
        {"%d/%d", 0x65, 12, "1/12"}, // year and month of the century
        {"20%02d-%02d", 7, 3, "2007-03"},
        {"%u.%x", 199, 0x1F, "99.1f"},
        {"%02ld/%2hd", 5, 6, "05/ 6"}, // length modifiers are dropped
        {"100%% %d", 1, 2, "100% 1"},
        // Conversions the format text may not use are shown as written,
        // and a third number is never read.
        {"%s/%n/%p", 1, 2, "%s/%n/%p"},
        {"%d %d %d", 1, 2, "1 2 %d"},
        {"%999d", 1, 2, "%999d"}, // no field wider than two digits
        {"%", 1, 2, "%"},
        {"%-5d|", 3, 4, "3    |"},
        {"", 1, 2, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(krx::FormatInfoDate(c.format, c.pdy, c.pdm), c.text) << '"' << c.format << '"';
    }
}
