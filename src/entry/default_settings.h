// The settings exports: the list of notification items the host offers as
// check boxes, and the copy of a model's defaults from its profile file into
// a printer's store key.
#pragma once

#include <windows.h>

namespace krx {

// Size of the item name buffer the host passes.
constexpr int kItemNameSize = 260;

enum EnumItemResult : int {
    kItemReturned = 0,
    kItemOutOfRange = 1, // nothing returned, the index reset to 0
};

// The item at *index from the string table of the module (count in string
// 1000, names from 1001 on); *index then points at the next item.
int EnumNotificationItem(HMODULE module, int* index, char* name, int* itemNumber);

// The item number the status evaluation raises for the index-th item.
int ItemNumberForIndex(int index);

enum DefaultSettingsResult : int {
    kDefaultsWritten = 0,
    kDefaultsNoStoreKey = 1,   // nothing written
    kDefaultsNotifyKept = 3,   // "Notify" existed: the items were left alone
    kDefaultsNoItemCount = 4,  // no "ITEMNUM": "Notify" created empty
    kDefaultsItemsMissing = 5, // fewer items found than "ITEMNUM" says
};

// Copies the model's settings and, into a newly created "Notify" sub-key,
// its notification items into the store key (path under HKEY_CURRENT_USER).
int WriteDefaultSettings(const char* profilePath, const char* modelName, const char* storeKeyPath);

} // namespace krx
