// Committed private memory of this process, for the soak, the load
// benchmark and the liveness matrix. Header only: the load benchmark
// measures a process that holds nothing of the plug-in but what it loads.
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

// The highest PrivateBytes figure from construction to Stop, sampled every
// few milliseconds on a thread of its own: a block that lives only during
// one library call is seen too.
class PrivateBytesPeak {
  public:
    PrivateBytesPeak() : start_(PrivateBytes()), peak_(start_) {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = stop_ != nullptr ? CreateThread(nullptr, 0, Sample, this, 0, nullptr) : nullptr;
    }
    ~PrivateBytesPeak() {
        Stop();
        if (stop_ != nullptr) {
            CloseHandle(stop_);
        }
    }
    PrivateBytesPeak(const PrivateBytesPeak&) = delete;
    PrivateBytesPeak& operator=(const PrivateBytesPeak&) = delete;

    // How far the figure rose above its value at construction.
    SIZE_T Stop() {
        if (thread_ != nullptr) {
            SetEvent(stop_);
            WaitForSingleObject(thread_, 5000);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return peak_ > start_ ? peak_ - start_ : 0;
    }

  private:
    static DWORD WINAPI Sample(void* self) {
        auto* peak = static_cast<PrivateBytesPeak*>(self);
        do {
            const SIZE_T now = PrivateBytes();
            if (now > peak->peak_) {
                peak->peak_ = now;
            }
        } while (WaitForSingleObject(peak->stop_, 2) == WAIT_TIMEOUT);
        return 0;
    }

    SIZE_T start_;
    volatile SIZE_T peak_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

} // namespace krxtest
