// Registration of the status window in the shared printer table, on tables
// created the way their owner creates them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "comm/shared_table.h"

namespace {

// The table's owner: a paging-file mapping of 500 records with the end mark
// after the claimed ones.
class TableOwner {
  public:
    explicit TableOwner(const krx::SharedTableLayout& layout) : layout_(layout) {
        const DWORD size = static_cast<DWORD>(layout.recordSize * krx::kSharedTableRecords);
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size,
                                      layout.mappingName);
        view_ = static_cast<unsigned char*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        memset(view_, 0, size);
        view_[0] = krx::kRecordEndMark;
    }
    ~TableOwner() {
        UnmapViewOfFile(view_);
        CloseHandle(mapping_);
    }
    bool Ok() const { return mapping_ != nullptr && view_ != nullptr; }
    // Claims the next record for a name (empty: a freed record).
    void Claim(const std::string& name) {
        unsigned char* record = Record(used_++);
        memset(record, 0, layout_.recordSize);
        memcpy(record, name.data(), std::min(name.size(), layout_.nameSize));
        if (used_ < krx::kSharedTableRecords) {
            Record(used_)[0] = krx::kRecordEndMark;
        }
    }
    uint32_t Slot(size_t index, size_t offset) const {
        uint32_t value;
        memcpy(&value, view_ + index * layout_.recordSize + offset, sizeof(value));
        return value;
    }
    unsigned char* Record(size_t index) { return view_ + index * layout_.recordSize; }

  private:
    const krx::SharedTableLayout& layout_;
    HANDLE mapping_ = nullptr;
    unsigned char* view_ = nullptr;
    size_t used_ = 0;
};

} // namespace

TEST(SharedTable, RecordLayouts) {
    EXPECT_EQ(krx::kShortSharedTable.recordSize * krx::kSharedTableRecords, 137000u);
    EXPECT_EQ(krx::kLongSharedTable.recordSize * krx::kSharedTableRecords, 267000u);
    EXPECT_EQ(&krx::SharedTableFor(260), &krx::kShortSharedTable);
    EXPECT_EQ(&krx::SharedTableFor(261), &krx::kLongSharedTable);
}

TEST(SharedTable, WritesTheSlotOfTheMatchingRecord) {
    TableOwner owner(krx::kShortSharedTable);
    ASSERT_TRUE(owner.Ok());
    owner.Claim("Other Printer");
    owner.Claim(""); // freed
    owner.Claim("Kit Printer KX500");
    EXPECT_EQ(krx::RegisterStatusWindow("kit printer kx500", "LPT1:", 0x1234ABCD, 1), 0);
    EXPECT_EQ(owner.Slot(2, 262), 0x1234ABCDu);
    EXPECT_EQ(owner.Slot(2, 266), 0u);
    EXPECT_EQ(owner.Slot(0, 262), 0u);

    struct Case {
        int type;
        size_t offset;
    } types[] = {{0, 266}, {2, 262}, {3, 270}};
    for (const Case& c : types) {
        EXPECT_EQ(krx::RegisterStatusWindow("Kit Printer KX500", "", 100u + c.type, c.type), 0);
        EXPECT_EQ(owner.Slot(2, c.offset), 100u + c.type) << "type " << c.type;
    }
    // Another type writes nothing but the record was found.
    EXPECT_EQ(krx::RegisterStatusWindow("Kit Printer KX500", "", 7, 9), 0);
    EXPECT_EQ(owner.Slot(2, 262), 102u);
    EXPECT_EQ(owner.Slot(2, 270), 103u);

    // The port stands for a printer without a name; an unknown name meets
    // the end mark.
    owner.Claim("KITPORT1:");
    EXPECT_EQ(krx::RegisterStatusWindow(nullptr, "kitport1:", 55, 1), 0);
    EXPECT_EQ(owner.Slot(3, 262), 55u);
    EXPECT_EQ(krx::RegisterStatusWindow("Kit Printer", "", 1, 1), -2) << "a prefix is not a match";
}

TEST(SharedTable, NamesAt260And261CharactersUseTheirTables) {
    const std::string name260(260, 'P');
    const std::string name261 = std::string(260, 'Q') + "R";
    {
        // Only the short table exists: the 261-character name has no table.
        TableOwner shortTable(krx::kShortSharedTable);
        ASSERT_TRUE(shortTable.Ok());
        shortTable.Claim(name260); // fills the whole name field, no terminator in it
        EXPECT_EQ(krx::RegisterStatusWindow(name260.c_str(), "", 260, 1), 0);
        EXPECT_EQ(shortTable.Slot(0, 262), 260u);
        EXPECT_EQ(krx::RegisterStatusWindow(name261.c_str(), "", 261, 1), -1);
        // A stored name that fills its field does not match a longer key.
        EXPECT_EQ(krx::RegisterStatusWindow((name260 + "X").c_str(), "", 1, 1), -1);
    }
    TableOwner longTable(krx::kLongSharedTable);
    ASSERT_TRUE(longTable.Ok());
    longTable.Claim(name261);
    EXPECT_EQ(krx::RegisterStatusWindow(name261.c_str(), "", 261, 1), 0);
    EXPECT_EQ(longTable.Slot(0, 522), 261u);
    EXPECT_EQ(krx::RegisterStatusWindow(name260.c_str(), "", 260, 1), -1) << "no short table now";
    // Longer than any name field: never found, nothing read past a record.
    const std::string huge(600, 'Q');
    EXPECT_EQ(krx::RegisterStatusWindow(huge.c_str(), "", 1, 1), -2);
}

TEST(SharedTable, FullTableWithoutTheName) {
    TableOwner owner(krx::kShortSharedTable);
    ASSERT_TRUE(owner.Ok());
    for (size_t i = 0; i < krx::kSharedTableRecords; ++i) {
        owner.Claim("Printer " + std::to_string(i));
    }
    EXPECT_EQ(krx::RegisterStatusWindow("Printer 499", "", 9, 1), 0);
    EXPECT_EQ(owner.Slot(499, 262), 9u);
    EXPECT_EQ(krx::RegisterStatusWindow("Printer 500", "", 9, 1), 1);
}

TEST(SharedTable, NoTableNoRegistration) {
    EXPECT_EQ(krx::RegisterStatusWindow("Kit Printer KX500", "KITPORT1:", 1, 1), -1);
    EXPECT_EQ(krx::RegisterStatusWindow(std::string(300, 'L').c_str(), "", 1, 1), -1);
}

TEST(SharedTable, TableMadeSmallerThanItsRecords) {
    // Three records and no end mark: the records there are found, and the
    // search for another name ends where no view of the table can be mapped.
    const krx::SharedTableLayout& layout = krx::kShortSharedTable;
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                           static_cast<DWORD>(3 * layout.recordSize), layout.mappingName);
    ASSERT_NE(mapping, nullptr);
    auto* view = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 3; ++i) {
        snprintf(reinterpret_cast<char*>(view + i * layout.recordSize), layout.nameSize,
                 "Printer %d", i);
    }
    EXPECT_EQ(krx::RegisterStatusWindow("printer 2", "", 0x5150, 1), 0);
    uint32_t slot = 0;
    memcpy(&slot, view + 2 * layout.recordSize + layout.slotOffset12, sizeof(slot));
    EXPECT_EQ(slot, 0x5150u);
    EXPECT_EQ(krx::RegisterStatusWindow("Printer 3", "", 1, 1), -1);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
}
