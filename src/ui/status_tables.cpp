// Display tables of the status window and the checks on outside names.
#include "ui/status_tables.h"

#include <cstddef>

namespace krx {

namespace {

struct MediaRow {
    unsigned code;
    int stringId;
};

// Names IDS_JOB_MEDIA_TYPE + 1 to IDS_MEDIA_LAST, by media type code.
constexpr MediaRow kMediaRows[] = {
    {1, 1562},   {2, 1567},   {257, 1563}, {258, 1565}, {259, 1566}, {260, 1564}, {261, 1568},
    {262, 1569}, {264, 1571}, {266, 1573}, {267, 1574}, {268, 1575}, {271, 1578}, {272, 1581},
};

constexpr int32_t kInkBlockCount = 6; // first value of every ink block
constexpr unsigned kTipKeepSeconds = 30;

} // namespace

StatusDisplay StatusDisplayFor(int readResult, int statusClass) {
    const StatusClassRow& row = StatusClassRowFor(readResult < 0 ? 0 : statusClass);
    return {row.pictureCategory, row.messageId};
}

std::vector<uint32_t> PictureBitmaps(int pictureCategory) {
    switch (pictureCategory) {
    case 1:
    case 9:
        return {IDB_PRINTER_READY};
    case 2:
        return {IDB_INK_CARRIAGE_1, IDB_INK_CARRIAGE_2, IDB_INK_BLACK};
    case 3:
        return {IDB_PAPER_JAM_1, IDB_PAPER_JAM_2};
    case 4:
        return {IDB_PAPER_OUT_1, IDB_PAPER_OUT_2, IDB_PAPER_OUT_3};
    case 6:
        return {IDB_PRINTER_SILENT_1, IDB_PRINTER_SILENT_2};
    case 7:
        return {IDB_PRINTER_ERROR_1, IDB_PRINTER_ERROR_2};
    case 8:
        return {IDB_INK_CARRIAGE_1, IDB_INK_CARRIAGE_2, IDB_INK_COLOR};
    case 10:
        return {IDB_INK_CARRIAGE_1, IDB_INK_CARRIAGE_2, IDB_INK_BLACK, IDB_INK_COLOR};
    default:
        return {kNoPicture};
    }
}

int MediaTypeStringId(unsigned mediaType) {
    for (const MediaRow& row : kMediaRows)
        if (row.code == mediaType)
            return row.stringId;
    return IDS_MEDIA_OTHER;
}

TimeText RemainingTimeText(uint32_t timeKnown, uint32_t seconds) {
    if (!timeKnown)
        return {0, 0};
    const unsigned minutes = seconds / 60;
    if (minutes != 0)
        return {IDS_JOB_MINUTES_LEFT, minutes};
    return {IDS_JOB_SECONDS_LEFT, seconds};
}

bool TipMayRotate(uint32_t timeKnown, uint32_t seconds) {
    return !timeKnown || seconds >= kTipKeepSeconds;
}

int32_t ClampInkLevel(uint8_t level) {
    return level > 100 ? 100 : level;
}

bool InkLevelUnknown(uint8_t level) {
    return level == 254 || level == 255;
}

void BlackInkBlock(const uint8_t (&levels)[6], InkBlock& block) {
    block[0] = kInkBlockCount;
    block[1] = ClampInkLevel(levels[0]);
    for (int i = 2; i < 7; ++i)
        block[i] = 0;
}

void ColourInkBlock(const uint8_t (&levels)[6], int32_t shownBlack, InkBlock& block) {
    // The colour gauge expects its five levels as c1, c4, c2, c5, c3.
    static constexpr int kOrder[5] = {1, 4, 2, 5, 3};
    block[0] = kInkBlockCount;
    block[1] = shownBlack;
    for (int i = 0; i < 5; ++i)
        block[2 + i] = ClampInkLevel(levels[kOrder[i]]);
}

std::string FormatResourceNumbers(const std::string& pattern, const std::vector<long>& numbers) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        const char spec = pattern[i + 1];
        if (spec == '%') {
            out += '%';
            ++i;
        } else if ((spec == 'd' || spec == 'u' || spec == 'i') && next < numbers.size()) {
            out += spec == 'u' ? std::to_string(static_cast<unsigned long>(numbers[next]))
                               : std::to_string(numbers[next]);
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

bool IsFilePort(const std::string& portName) {
    return portName.compare(0, 5, "FILE:") == 0;
}

bool IsSafePageName(const std::string& fileName) {
    if (fileName.empty() || fileName[0] == '\\' || fileName[0] == '/')
        return false;
    if (fileName.find(':') != std::string::npos)
        return false;
    // Each step between separators must not climb out of the folder.
    size_t start = 0;
    while (start <= fileName.size()) {
        size_t end = fileName.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = fileName.size();
        std::string step = fileName.substr(start, end - start);
        // Trailing dots and blanks are dropped by the file system, so
        // ". ." or ".. " would climb as well.
        while (!step.empty() && (step.back() == ' ' || step.back() == '.') && step != "." &&
               step != "..")
            step.pop_back();
        if (step == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool IsDocumentName(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.find_first_of("\\/", dot) != std::string::npos) {
        return false;
    }
    std::string extension = fileName.substr(dot + 1);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    for (const char* document : {"htm", "html", "hlp", "chm", "txt"}) {
        if (extension == document) {
            return true;
        }
    }
    return false;
}

std::string QuoteArgument(const std::string& text) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(backslashes, '\\');
            out += c;
        }
        backslashes = 0;
    }
    // Backslashes before the closing quote would escape it.
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string ExternalProgramCommand(const std::string& program, const std::string& printerName,
                                   const std::string& portName, const std::string& resourcePath) {
    return program + " /P " + QuoteArgument(printerName) + " /O " + QuoteArgument(portName) +
           " /R " + QuoteArgument(resourcePath);
}

bool IsBlankMessage(const std::string& text) {
    return text.empty() || text == " ";
}

} // namespace krx
