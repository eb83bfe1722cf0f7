// Helpers of the hardening tests and the soak benchmark: the plug-in loaded as
// the host loads it, the kit installed with its typical printer, a window export run
// on a thread of its own with a time limit, ticks posted to a window, the
// process's resource figures.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "comm/spooler.h"
#include "loaded_plugin.h"
#include "spooler_jobs.h"
#include "window_call.h"

namespace hardening {

using Plugin = krxtest::LoadedPlugin;

// Installs the kit's system with the simulated printer in the spooler and
// scripts the printer's typical answers; false when the install failed.
bool InstallTypicalPrinter();

// The process's own resource figures at one moment.
struct ResourceCounts {
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};
ResourceCounts MeasureResources();
std::string Describe(const ResourceCounts& counts);
// How many handles of each kind the process holds (a leak's first clue).
std::string DescribeHandleKinds();

// Posts count WM_TIMER messages for the timer to the window, as the system
// would, and waits until the window has handled them (a posted sentinel
// follows every batch; a sent message would overtake the posted ticks).
// False when the window went away meanwhile.
bool PostTicks(HWND window, UINT_PTR timerId, int count);

} // namespace hardening
