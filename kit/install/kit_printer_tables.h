// The host's printer tables: two named paging-file mappings, "KrxMapFile_05"
// for printer names of up to 260 characters and "KrxMapFile2_05" for longer
// ones, each of 500 records. The host owns them: it creates them, claims a
// record per printer it watches and frees it again. A status window of the
// plug-in writes its handle into its printer's record; the host reads it
// there to announce a job (1029) or to ask for the detail view (1030).
#pragma once

#include <windows.h>

#include <string>

namespace kit {

class PrinterTables {
  public:
    // Creates both tables, or joins them when another owner already has.
    PrinterTables();
    ~PrinterTables();
    PrinterTables(const PrinterTables&) = delete;
    PrinterTables& operator=(const PrinterTables&) = delete;

    bool Ok() const { return shortTable_.view != nullptr && longTable_.view != nullptr; }

    // Claims a record for the printer (a freed one first, else the next one
    // after the used ones); true when the printer has a record afterwards.
    bool Claim(const std::string& printer);
    // Frees the printer's record.
    void Release(const std::string& printer);

    // The status window that registered for the printer, or null.
    HWND StatusWindow(const std::string& printer) const;

    // Posts 1029 (follow this spooler job) to the printer's status window;
    // the window posted to, or null when none is registered.
    HWND AnnounceJob(const std::string& printer, DWORD jobId) const;

  private:
    struct Table {
        size_t recordSize;
        size_t nameSize;
        size_t windowSlot; // slot of types 1 and 2
        HANDLE mapping = nullptr;
        unsigned char* view = nullptr;
    };
    Table& TableFor(const std::string& printer);
    const Table& TableFor(const std::string& printer) const;
    static unsigned char* Find(const Table& table, const std::string& printer);
    static void Open(Table& table, const char* name);

    Table shortTable_{274, 260, 262};
    Table longTable_{534, 520, 522};
};

} // namespace kit
