// Fuzz target: the record walk of the shared printer table, whose bytes
// another process writes. The table's owner is stood in by the input: the
// mapping is a buffer of exactly the input's size (a view larger than it
// fails, as it does on Windows), and the result and every byte written are
// compared with a plain walk of the same records.
//
// Input: the slot type, two bytes of key length, the key, then the table.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "comm/shared_table.h"

namespace {

std::vector<unsigned char>* g_table;

int Fold(unsigned char c) {
    return std::toupper(c);
}

bool SameName(const unsigned char* field, size_t fieldSize, const std::string& key) {
    size_t length = strnlen(reinterpret_cast<const char*>(field), fieldSize);
    if (length != key.size()) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (Fold(field[i]) != Fold(static_cast<unsigned char>(key[i]))) {
            return false;
        }
    }
    return true;
}

// What the walk must do: the result, and the table as it must be after.
int Expected(std::vector<unsigned char>& table, const std::string& key, uint32_t value, int type) {
    const krx::SharedTableLayout& layout = krx::SharedTableFor(key.size());
    if (table.empty()) {
        return krx::kTableMissing;
    }
    for (size_t i = 0; i < krx::kSharedTableRecords; ++i) {
        if ((i + 1) * layout.recordSize > table.size()) {
            return krx::kTableMissing;
        }
        unsigned char* record = table.data() + i * layout.recordSize;
        if (record[0] == krx::kRecordEndMark) {
            return krx::kNameNotFound;
        }
        if (record[0] == krx::kRecordFree || !SameName(record, layout.nameSize, key)) {
            continue;
        }
        size_t offset = type == 0                ? layout.slotOffset0
                        : type == 1 || type == 2 ? layout.slotOffset12
                        : type == 3              ? layout.slotOffset3
                                                 : 0;
        if (offset != 0) {
            memcpy(record + offset, &value, sizeof(value));
        }
        return krx::kRegistered;
    }
    return krx::kTableExhausted;
}

} // namespace

HANDLE OpenFileMappingA(DWORD, BOOL, LPCSTR) {
    return g_table->empty() ? nullptr : g_table;
}

void* MapViewOfFile(HANDLE mapping, DWORD, DWORD, DWORD, SIZE_T bytes) {
    auto* table = static_cast<std::vector<unsigned char>*>(mapping);
    return bytes <= table->size() ? table->data() : nullptr;
}

BOOL UnmapViewOfFile(const void*) {
    return TRUE;
}

int CompareStringA(LCID, DWORD, LPCSTR a, int aLength, LPCSTR b, int bLength) {
    for (int i = 0; i < aLength && i < bLength; ++i) {
        int d = Fold(static_cast<unsigned char>(a[i])) - Fold(static_cast<unsigned char>(b[i]));
        if (d != 0) {
            return d < 0 ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
        }
    }
    return aLength == bLength ? CSTR_EQUAL : aLength < bLength ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

LONG InterlockedExchange(volatile LONG* target, LONG value) {
    LONG old;
    memcpy(&old, const_cast<LONG*>(target), sizeof(old));
    memcpy(const_cast<LONG*>(target), &value, sizeof(value));
    return old;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const int type = data[0] % 5;
    size_t keyLength = (data[1] | (data[2] << 8)) % 600;
    data += 3;
    size -= 3;
    keyLength = keyLength < size ? keyLength : size;
    std::string key(reinterpret_cast<const char*>(data), keyLength);
    key.resize(strlen(key.c_str()));
    std::vector<unsigned char> table(data + keyLength, data + size);
    table.shrink_to_fit();
    std::vector<unsigned char> expected = table;
    const uint32_t value = 0xA5C3E1F0u;

    // A key that is empty stands for the port name.
    int want = Expected(expected, key, value, type);
    g_table = &table;
    int got =
        krx::RegisterStatusWindow(key.empty() ? nullptr : key.c_str(), key.c_str(), value, type);
    g_table = nullptr;
    if (got != want || table != expected) {
        __builtin_trap();
    }
    return 0;
}
