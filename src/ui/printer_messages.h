// What the status window tells the user about the printer and its library:
// a box for each error flag a recovery of the library left, and the text
// shown with the ink levels for the count read over the remote channel.
// The facts come from comm; the texts from the language resource library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace krx {

// Shows one box (IDS_LIBRARY_REPLACED, IDS_LIBRARY_IN_USE or
// IDS_LIBRARY_OTHER_ERROR, caption IDS_MONITOR_CAPTION) per error flag set,
// in that order. 1 only when the flags' key opened and no flag was set.
int CheckLibraryErrorFlags(HWND owner);

// Text shown with the ink levels for the count read over the remote
// information channel (IDS_REMOTE_COUNT_*, empty when not to be shown).
std::string RemoteCountText(const uint8_t (&inkLevels)[6], unsigned count);

} // namespace krx
