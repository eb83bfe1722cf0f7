// Committed private memory of this process, for the soak and the load
// benchmark. Header only: the load benchmark measures a process that holds
// nothing of the plug-in but what it loads.
#pragma once

#include <windows.h>

#include <psapi.h>

namespace krxtest {

// The system's figure, or where it keeps none (Wine answers 0), the
// committed private regions of the address space.
inline SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)) &&
        memory.PrivateUsage != 0) {
        return memory.PrivateUsage;
    }
    SIZE_T total = 0;
    const char* address = nullptr;
    MEMORY_BASIC_INFORMATION info = {};
    while (VirtualQuery(address, &info, sizeof(info)) == sizeof(info)) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) {
            total += info.RegionSize;
        }
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address) {
            break;
        }
        address = next;
    }
    return total;
}

} // namespace krxtest
