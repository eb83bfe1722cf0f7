// String resources of the current resource module (ThisCall().resourceModule,
// the language resource library) or of a library the host hands over: the
// one loader every text by number goes through.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

// Room for a text: at most 1023 characters are loaded.
constexpr int kResourceTextCapacity = 1024;

// True and *out := the text (cut to capacity - 1 characters) when the
// string exists and is not empty. False otherwise, with *out left as it
// was: also when no resource library is loaded, since the process's own
// strings are not the product's texts.
bool LoadResourceString(UINT id, std::string* out, int capacity = kResourceTextCapacity);

// The same from the given library (none: false).
bool LoadModuleString(HMODULE module, UINT id, std::string* out,
                      int capacity = kResourceTextCapacity);

// The same text as a value: empty when LoadResourceString finds none.
std::string ResourceString(UINT id);

} // namespace krx
