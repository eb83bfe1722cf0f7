// Registration in the shared printer table.
#include "comm/shared_table.h"

#include <windows.h>

#include <cstring>

#include "common/win_handles.h"

namespace krx {

namespace {

// The stored name ends at its terminator or at the end of its field; the
// key must match all of it.
bool NameMatches(const unsigned char* field, size_t fieldSize, const char* key, size_t keyLength) {
    if (keyLength > fieldSize) {
        return false;
    }
    const void* nul = memchr(field, '\0', fieldSize);
    size_t storedLength = nul != nullptr
                              ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - field)
                              : fieldSize;
    if (storedLength != keyLength) {
        return false;
    }
    if (keyLength == 0) {
        return true;
    }
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE,
                          reinterpret_cast<const char*>(field), static_cast<int>(storedLength), key,
                          static_cast<int>(keyLength)) == CSTR_EQUAL;
}

bool WriteSlot(unsigned char* record, const SharedTableLayout& layout, uint32_t value, int type) {
    size_t offset;
    switch (type) {
    case kSlotType0:
        offset = layout.slotOffset0;
        break;
    case kSlotStatusWindow:
    case kSlotType2:
        offset = layout.slotOffset12;
        break;
    case kSlotType3:
        offset = layout.slotOffset3;
        break;
    default:
        return false;
    }
    // One locked 32-bit store: other processes read the slot without a lock,
    // and the record layout does not keep the slot on a 4-byte boundary.
    InterlockedExchange(reinterpret_cast<LONG*>(record + offset), static_cast<LONG>(value));
    return true;
}

} // namespace

const SharedTableLayout& SharedTableFor(size_t keyLength) {
    return keyLength > kShortTableNameLimit ? kLongSharedTable : kShortSharedTable;
}

int RegisterStatusWindow(const char* printerName, const char* portName, uint32_t value, int type) {
    const char* key = printerName != nullptr && printerName[0] != '\0' ? printerName : portName;
    if (key == nullptr) {
        key = "";
    }
    const size_t keyLength = strlen(key);
    const SharedTableLayout& layout = SharedTableFor(keyLength);

    unique_handle mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, layout.mappingName));
    if (!mapping) {
        return kTableMissing;
    }
    // The owner makes the table with all its records: one view of all of it.
    const size_t tableSize = kSharedTableRecords * layout.recordSize;
    unique_mapview table(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, tableSize));
    for (size_t index = 0; index < kSharedTableRecords; ++index) {
        unique_mapview shortView;
        unsigned char* record;
        if (table) {
            record = static_cast<unsigned char*>(table.get()) + index * layout.recordSize;
        } else {
            // A table made smaller than that: records are read as far as a
            // view of them can be mapped.
            shortView.reset(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0,
                                          (index + 1) * layout.recordSize));
            if (!shortView) {
                return kTableMissing;
            }
            record = static_cast<unsigned char*>(shortView.get()) + index * layout.recordSize;
        }
        if (record[0] == kRecordEndMark) {
            return kNameNotFound;
        }
        if (record[0] == kRecordFree || !NameMatches(record, layout.nameSize, key, keyLength)) {
            continue;
        }
        WriteSlot(record, layout, value, type);
        return kRegistered;
    }
    return kTableExhausted;
}

} // namespace krx
