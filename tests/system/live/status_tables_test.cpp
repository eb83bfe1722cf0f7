// Display tables of the status window and the checks on outside names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/status_tables.h"

namespace krx {
namespace {

TEST(StatusTables, StatusClassesShowTheirPictureAndMessage) {
    struct Row {
        int statusClass;
        int picture;
        int message;
    };
    // The no-answer classes, a few others and classes without a message.
    const Row rows[] = {
        {0, 6, 2002},  {8, 6, 2002},  {2, 10, 3024},  {6, 4, 3010},   {16, 7, 3025},
        {27, 8, 3029}, {7, 7, 10000}, {28, 7, 10000}, {-1, 7, 10000},
    };
    for (const Row& row : rows) {
        const StatusDisplay d = StatusDisplayFor(0, row.statusClass);
        EXPECT_EQ(row.picture, d.pictureCategory) << "class " << row.statusClass;
        EXPECT_EQ(row.message, d.messageId) << "class " << row.statusClass;
    }
    // Every class has a picture with bitmaps.
    for (int c = -1; c < kStatusClassCount; ++c) {
        const StatusDisplay d = StatusDisplayFor(0, c);
        EXPECT_NE(std::vector<uint32_t>({kNoPicture}), PictureBitmaps(d.pictureCategory))
            << "class " << c;
    }
}

TEST(StatusTables, FailedReadShowsNoAnswerWhateverTheClass) {
    for (int statusClass : {0, 1, 12, 27, 99}) {
        const StatusDisplay d = StatusDisplayFor(-1, statusClass);
        EXPECT_EQ(6, d.pictureCategory) << statusClass;
        EXPECT_EQ(2002, d.messageId) << statusClass;
    }
}

TEST(StatusTables, PictureCategoriesGiveTheirBitmaps) {
    using Ids = std::vector<uint32_t>;
    EXPECT_EQ(Ids({510}), PictureBitmaps(1));
    EXPECT_EQ(Ids({510}), PictureBitmaps(9));
    EXPECT_EQ(Ids({521, 522, 523}), PictureBitmaps(2));
    EXPECT_EQ(Ids({531, 532}), PictureBitmaps(3));
    EXPECT_EQ(Ids({516, 517, 518}), PictureBitmaps(4));
    EXPECT_EQ(Ids({511, 512}), PictureBitmaps(6));
    EXPECT_EQ(Ids({536, 537}), PictureBitmaps(7));
    EXPECT_EQ(Ids({521, 522, 524}), PictureBitmaps(8));
    EXPECT_EQ(Ids({521, 522, 523, 524}), PictureBitmaps(10));
    for (int other : {0, 5, 11, -1})
        EXPECT_EQ(Ids({10000}), PictureBitmaps(other)) << other;
}

TEST(StatusTables, MediaTypesOutsideTheTableAreOther) {
    const unsigned rows[][2] = {
        {1, 1562},   {2, 1567},   {257, 1563}, {258, 1565},   {259, 1566}, {260, 1564},
        {261, 1568}, {262, 1569}, {264, 1571}, {266, 1573},   {267, 1574}, {268, 1575},
        {271, 1578}, {272, 1581}, {0, 1561},   {263, 1561},   {265, 1561}, {269, 1561},
        {270, 1561}, {3, 1561},   {273, 1561}, {65535, 1561},
    };
    for (const auto& row : rows)
        EXPECT_EQ(static_cast<int>(row[1]), MediaTypeStringId(row[0])) << "media " << row[0];
}

TEST(StatusTables, RemainingTimeInMinutesFromOneMinuteOn) {
    struct Row {
        uint32_t known, seconds;
        int stringId;
        unsigned value;
    };
    const Row rows[] = {
        {0, 500, 0, 0},
        {1, 0, 1703, 0},
        {1, 59, 1703, 59},
        {1, 60, 1702, 1},
        {1, 119, 1702, 1},
        {1, 3600, 1702, 60},
        {1, 0xFFFFFFFFu, 1702, 0xFFFFFFFFu / 60},
    };
    for (const Row& row : rows) {
        const TimeText t = RemainingTimeText(row.known, row.seconds);
        EXPECT_EQ(row.stringId, t.stringId) << row.known << "/" << row.seconds;
        EXPECT_EQ(row.value, t.value) << row.known << "/" << row.seconds;
    }
    EXPECT_TRUE(TipMayRotate(0, 0));
    EXPECT_TRUE(TipMayRotate(1, 30));
    EXPECT_FALSE(TipMayRotate(1, 29));
}

TEST(StatusTables, InkBlocksClampAndReorderTheColours) {
    const uint8_t levels[6] = {150, 11, 22, 33, 44, 101};
    InkBlock black;
    BlackInkBlock(levels, black);
    const int32_t wantBlack[7] = {6, 100, 0, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(wantBlack[i], black[i]) << i;
    InkBlock colour;
    ColourInkBlock(levels, 100, colour);
    const int32_t wantColour[7] = {6, 100, 11, 44, 22, 100, 33};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(wantColour[i], colour[i]) << i;
    EXPECT_TRUE(InkLevelUnknown(254));
    EXPECT_TRUE(InkLevelUnknown(255));
    EXPECT_FALSE(InkLevelUnknown(253));
    EXPECT_EQ(100, ClampInkLevel(253));
}

TEST(StatusTables, ResourceNumbersNeverUseTheTextAsAFormat) {
    EXPECT_EQ("Sheet 2 of 5", FormatResourceNumbers("Sheet %d of %d", {2, 5}));
    EXPECT_EQ("About 59 sec.", FormatResourceNumbers("About %u sec.", {59}));
    EXPECT_EQ("100% 3", FormatResourceNumbers("100%% %i", {3}));
    // More placeholders than numbers, and other directives, stay as text.
    EXPECT_EQ("1 %d %s %n %", FormatResourceNumbers("%d %d %s %n %", {1}));
    EXPECT_EQ("7% left, %d", FormatResourceNumbers("%d%% left, %d", {7}));
    EXPECT_EQ("no number", FormatResourceNumbers("no number", {3}));
    EXPECT_EQ("", FormatResourceNumbers("", {1, 2}));
}

TEST(StatusTables, OnlyUpperCaseFilePortIsAFile) {
    EXPECT_TRUE(IsFilePort("FILE:"));
    EXPECT_TRUE(IsFilePort("FILE:out.prn"));
    EXPECT_FALSE(IsFilePort("file:"));
    EXPECT_FALSE(IsFilePort("FILE"));
    EXPECT_FALSE(IsFilePort("LPT1:"));
    EXPECT_FALSE(IsFilePort(""));
}

TEST(StatusTables, PageNamesMustStayInThePagesFolder) {
    for (const char* good : {"ink_trouble_en.htm", "en\\jam.htm", "a..b.htm", ".\\page.htm"})
        EXPECT_TRUE(IsSafePageName(good)) << good;
    for (const char* bad :
         {"", "..\\secret.htm", "en\\..\\..\\x.htm", "../x.htm", "..", "\\windows\\x.htm", "/etc/x",
          "c:\\x.htm", "en\\.. \\x.htm", "...\\x.htm", "en\\..."})
        EXPECT_FALSE(IsSafePageName(bad)) << bad;
}

TEST(StatusTables, OnlyDocumentsAreOpenedAsPages) {
    for (const char* good : {"ink.htm", "INK.HTML", "help\\tips.hlp", "a.chm", "read.me.txt"})
        EXPECT_TRUE(IsDocumentName(good)) << good;
    for (const char* bad : {"ink.exe", "ink.htm.exe", "ink.lnk", "ink.url", "ink.bat", "ink.scr",
                            "ink", "ink.htm\\x", "ink.htm "})
        EXPECT_FALSE(IsDocumentName(bad)) << bad;
}

// Reads a command line back as the program's C run time would.
std::vector<std::string> SplitLikeRuntime(const std::string& line) {
    std::vector<std::string> args;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || line[i] != ' ')) {
            size_t slashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                arg.append(slashes / 2, '\\');
                if (slashes % 2) {
                    arg += '"';
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, '\\');
                if (i < line.size() && (quoted || line[i] != ' '))
                    arg += line[i++];
            }
        }
        args.push_back(arg);
    }
    return args;
}

TEST(StatusTables, ProgramArgumentsSurviveQuotesAndBackslashes) {
    const std::string printers[] = {
        "KX-500", "My \"Office\" Printer", "evil\" /X \"c:\\x", "ends\\", "two\\\\\"q", ""};
    for (const std::string& name : printers) {
        const std::string line =
            ExternalProgramCommand("csic.exe", name, "USB001", "C:\\kit\\krxres_en.dll");
        const std::vector<std::string> args = SplitLikeRuntime(line);
        ASSERT_EQ(7u, args.size()) << line;
        EXPECT_EQ("csic.exe", args[0]);
        EXPECT_EQ("/P", args[1]);
        EXPECT_EQ(name, args[2]) << line;
        EXPECT_EQ("/O", args[3]);
        EXPECT_EQ("USB001", args[4]);
        EXPECT_EQ("/R", args[5]);
        EXPECT_EQ("C:\\kit\\krxres_en.dll", args[6]);
    }
}

TEST(StatusTables, BlankMessagesAreReplaced) {
    EXPECT_TRUE(IsBlankMessage(""));
    EXPECT_TRUE(IsBlankMessage(" "));
    EXPECT_FALSE(IsBlankMessage("  "));
    EXPECT_FALSE(IsBlankMessage("Printing."));
}

} // namespace
} // namespace krx
