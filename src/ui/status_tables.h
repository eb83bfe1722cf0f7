// Display tables of the status window: what a status class shows (picture
// and message, from the status class table), the bitmaps of each picture,
// the job display's media texts and remaining time, the ink blocks sent to
// the gauges, and the checks on names that come from outside (ports,
// profile values, program arguments). Pure code (no Windows headers).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/resource_ids.h"
#include "status/status_classes.h"

namespace krx {

// Picture and message of one status class.
struct StatusDisplay {
    int pictureCategory;
    int messageId;
};

// Status class to picture category and message id; a negative read result
// gives the no-answer display of class 0 whatever the class. (The no-answer
// picture, kNoAnswerPictureCategory, also goes with IDS_STATUS_NOT_AVAILABLE
// when the status channel cannot give a status at all.)
StatusDisplay StatusDisplayFor(int readResult, int statusClass);

// Bitmap ids of a picture category; more than one id is an animation. A
// category without pictures gives one id that the picture library does not
// hold (kNoPicture): the picture stays empty.
constexpr uint32_t kNoPicture = 10000;
std::vector<uint32_t> PictureBitmaps(int pictureCategory);

// String id of a media type code (IDS_MEDIA_OTHER for every code outside
// the table).
int MediaTypeStringId(unsigned mediaType);

// Remaining-time text choice: string 0 means an empty text.
struct TimeText {
    int stringId;
    unsigned value;
};
TimeText RemainingTimeText(uint32_t timeKnown, uint32_t seconds);

// Tip rotation: whether a job's remaining time lets the tip change.
bool TipMayRotate(uint32_t timeKnown, uint32_t seconds);

// Blocks of seven 32-bit values for the ink gauges: {6, black, 0...} and
// {6, b, c1, c4, c2, c5, c3}, each level clamped to 100.
using InkBlock = int32_t[7];
void BlackInkBlock(const uint8_t (&levels)[6], InkBlock& block);
void ColourInkBlock(const uint8_t (&levels)[6], int32_t shownBlack, InkBlock& block);
int32_t ClampInkLevel(uint8_t level);
// Levels 254 (not readable) and 255 (not available) cannot be shown.
bool InkLevelUnknown(uint8_t level);

// Puts the numbers in place of the "%d", "%u" and "%i" of a resource text,
// in order, and turns "%%" into "%"; other '%' stay as they are, missing
// numbers leave the rest of the text alone. The text is never a printf
// format.
std::string FormatResourceNumbers(const std::string& pattern, const std::vector<long>& numbers);

// A print-to-file port: the first five characters are exactly "FILE:".
bool IsFilePort(const std::string& portName);

// A troubleshooting page name from the model profile that stays inside the
// pages folder: relative, no drive, no ".." step.
bool IsSafePageName(const std::string& fileName);

// A troubleshooting page the shell may open: a help, HTML or text document
// by its extension, never a program or a link.
bool IsDocumentName(const std::string& fileName);

// One argument in double quotes, read back as the same text by the
// program's command-line parser: quotes and the backslashes before them
// are escaped, so a name cannot end the quotes early.
std::string QuoteArgument(const std::string& text);

// The external program's command line: the program, then /P, /O and /R
// with the printer name, port name and resource library path.
std::string ExternalProgramCommand(const std::string& program, const std::string& printerName,
                                   const std::string& portName, const std::string& resourcePath);

// A message text that must be replaced by IDS_STATUS_BLANK.
bool IsBlankMessage(const std::string& text);

} // namespace krx
