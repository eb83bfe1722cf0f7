// The host's printer tables.
#include "kit_printer_tables.h"

#include <cstring>

#include "krxstat.h"

namespace kit {

namespace {

constexpr size_t kRecords = 500;
constexpr size_t kShortNameLimit = 260;
constexpr unsigned char kEndMark = 0xFF;
constexpr unsigned char kFree = 0x00;

} // namespace

void PrinterTables::Open(Table& table, const char* name) {
    const DWORD size = static_cast<DWORD>(table.recordSize * kRecords);
    table.mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (table.mapping == nullptr) {
        return;
    }
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    table.view =
        static_cast<unsigned char*>(MapViewOfFile(table.mapping, FILE_MAP_ALL_ACCESS, 0, 0, size));
    if (table.view != nullptr && !existed) {
        table.view[0] = kEndMark; // a fresh table: no record used yet
    }
}

PrinterTables::PrinterTables() {
    Open(shortTable_, "KrxMapFile_05");
    Open(longTable_, "KrxMapFile2_05");
}

PrinterTables::~PrinterTables() {
    for (Table* t : {&shortTable_, &longTable_}) {
        if (t->view != nullptr) {
            UnmapViewOfFile(t->view);
        }
        if (t->mapping != nullptr) {
            CloseHandle(t->mapping);
        }
    }
}

PrinterTables::Table& PrinterTables::TableFor(const std::string& printer) {
    return printer.size() > kShortNameLimit ? longTable_ : shortTable_;
}

const PrinterTables::Table& PrinterTables::TableFor(const std::string& printer) const {
    return printer.size() > kShortNameLimit ? longTable_ : shortTable_;
}

unsigned char* PrinterTables::Find(const Table& table, const std::string& printer) {
    if (table.view == nullptr || printer.empty() || printer.size() > table.nameSize) {
        return nullptr;
    }
    for (size_t i = 0; i < kRecords; ++i) {
        unsigned char* record = table.view + i * table.recordSize;
        if (record[0] == kEndMark) {
            return nullptr;
        }
        if (record[0] != kFree && _strnicmp(reinterpret_cast<const char*>(record), printer.c_str(),
                                            table.nameSize) == 0) {
            return record;
        }
    }
    return nullptr;
}

bool PrinterTables::Claim(const std::string& printer) {
    Table& table = TableFor(printer);
    // A name that fills the whole name field is kept without its terminator.
    if (table.view == nullptr || printer.empty() || printer.size() > table.nameSize) {
        return false;
    }
    if (Find(table, printer) != nullptr) {
        return true;
    }
    for (size_t i = 0; i < kRecords; ++i) {
        unsigned char* record = table.view + i * table.recordSize;
        const bool end = record[0] == kEndMark;
        if (record[0] != kFree && !end) {
            continue;
        }
        memset(record, 0, table.recordSize);
        memcpy(record, printer.data(), printer.size());
        if (end && i + 1 < kRecords) {
            table.view[(i + 1) * table.recordSize] = kEndMark;
        }
        return true;
    }
    return false;
}

void PrinterTables::Release(const std::string& printer) {
    Table& table = TableFor(printer);
    if (unsigned char* record = Find(table, printer)) {
        memset(record, 0, table.recordSize);
    }
}

HWND PrinterTables::StatusWindow(const std::string& printer) const {
    const Table& table = TableFor(printer);
    const unsigned char* record = Find(table, printer);
    if (record == nullptr) {
        return nullptr;
    }
    DWORD value = 0;
    memcpy(&value, record + table.windowSlot, sizeof(value));
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
    return IsWindow(window) ? window : nullptr;
}

HWND PrinterTables::AnnounceJob(const std::string& printer, DWORD jobId) const {
    HWND window = StatusWindow(printer);
    if (window == nullptr ||
        !PostMessageA(window, KRX_MSG_ADD_JOB, 0, static_cast<LPARAM>(jobId))) {
        return nullptr;
    }
    return window;
}

} // namespace kit
