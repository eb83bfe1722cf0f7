// The status-monitor system's shared printer table: named shared memory
// with one record per printer, through which other components find the
// printer's status window. This module only writes a slot of an existing
// record; the table's owner creates it and claims and frees the records.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krx {

// Layout of one table kind.
struct SharedTableLayout {
    const char* mappingName;
    size_t recordSize;
    size_t nameSize;     // the printer name field at the record's start
    size_t slotOffset12; // slot of types 1 and 2 (the status window's handle)
    size_t slotOffset0;  // slot of type 0
    size_t slotOffset3;  // slot of type 3
};

constexpr size_t kSharedTableRecords = 500;
// Names up to this many characters are in the short table, longer ones in
// the long table.
constexpr size_t kShortTableNameLimit = 260;

constexpr unsigned char kRecordEndMark = 0xFF; // first byte: end of the used records
constexpr unsigned char kRecordFree = 0x00;    // first byte: a free record

inline constexpr SharedTableLayout kShortSharedTable = {"KrxMapFile_05", 274, 260, 262, 266, 270};
inline constexpr SharedTableLayout kLongSharedTable = {"KrxMapFile2_05", 534, 520, 522, 526, 530};

// Slot types.
constexpr int kSlotType0 = 0;
constexpr int kSlotStatusWindow = 1;
constexpr int kSlotType2 = 2;
constexpr int kSlotType3 = 3;

// Results of RegisterStatusWindow.
constexpr int kRegistered = 0;
constexpr int kTableMissing = -1;  // no table, or no view of it
constexpr int kNameNotFound = -2;  // end mark reached without the name
constexpr int kTableExhausted = 1; // every record examined, no name, no end mark

// The table whose records hold a key of this length.
const SharedTableLayout& SharedTableFor(size_t keyLength);

// Writes `value` into the slot of `type` in the record of the printer (the
// port name stands for the printer when the printer name is empty); the
// names compare without regard to letter case. Any other type writes
// nothing but still reports the record as found.
int RegisterStatusWindow(const char* printerName, const char* portName, uint32_t value, int type);

} // namespace krx
