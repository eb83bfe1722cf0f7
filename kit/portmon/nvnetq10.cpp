// Stand-in for the maker's network-status library: the port monitor's job
// operations on the simulated port, exported by ordinal only (see
// nvnetq10.def). The entry points this stand-in does not serve answer 0.
// Every call it serves can be slowed or stopped by the script and leaves
// one line in the call log.
#include <windows.h>

#include <cstring>

#include "sim_port.h"

namespace sim = kit::simport;

#define NV_ENTRY extern "C" int WINAPI

namespace {
const char* Text(const char* s) {
    return s != nullptr ? s : "(null)";
}
} // namespace

NV_ENTRY NvUnused1(const char*, const char*, int, const char*) {
    return 0;
}
NV_ENTRY NvUnused2(int) {
    return 0;
}
NV_ENTRY NvUnused100(int, int, const void*) {
    return 0;
}
NV_ENTRY NvUnused101(int, int) {
    return 0;
}
NV_ENTRY NvUnused201(int, int, int, int) {
    return 0;
}

NV_ENTRY NvOpenPort(const char* printer, const char* port, int flag, const char* data) {
    sim::StallIfScripted("local", "OpenPort");
    int result = sim::OpenPort(printer, port, flag);
    sim::Log("local OpenPort printer=%s port=%s flag=%d data=%s -> %d", Text(printer), Text(port),
             flag, data != nullptr ? sim::Printable(data, 0x7FFFFFFF).c_str() : "(null)", result);
    return result;
}

NV_ENTRY NvClosePort(int port) {
    sim::StallIfScripted("local", "ClosePort");
    int result = sim::ClosePort(port);
    sim::Log("local ClosePort -> %d", result);
    return result;
}

NV_ENTRY NvIsPortActive(int port) {
    sim::StallIfScripted("local", "IsPortActive");
    int result = sim::IsPortActive(port);
    sim::Log("local IsPortActive -> %d", result);
    return result;
}

NV_ENTRY NvGetCurrentJob(int port) {
    sim::StallIfScripted("local", "GetCurrentJob");
    int result = sim::GetCurrentJob(port);
    sim::Log("local GetCurrentJob -> %d", result);
    return result;
}

NV_ENTRY NvIsJobActive(int port, int job) {
    sim::StallIfScripted("local", "IsJobActive");
    int result = sim::IsJobActive(port, job);
    sim::Log("local IsJobActive job=%d -> %d", job, result);
    return result;
}

NV_ENTRY NvSetJobProperty(int port, int job, int property, const void* data) {
    sim::StallIfScripted("local", "SetJobProperty");
    int result = sim::SetJobProperty(port, job, property, data, -1);
    int value = 0;
    if (data != nullptr && property == 201) {
        memcpy(&value, data, sizeof(value));
    }
    sim::Log("local SetJobProperty job=%d property=%d value=%d -> %d", job, property, value,
             result);
    return result;
}

NV_ENTRY NvGetJobProperty(int port, int job, int property, void* buffer, int size, int* needed) {
    sim::StallIfScripted("local", "GetJobProperty");
    int result = sim::GetJobProperty(port, job, property, buffer, size, needed);
    sim::Log("local GetJobProperty job=%d property=%d size=%d -> %d", job, property, size, result);
    return result;
}

NV_ENTRY NvBeginJobWatch(int port, int job) {
    sim::StallIfScripted("local", "BeginJobWatch");
    int result = sim::BeginJobWatch(port, job);
    sim::Log("local BeginJobWatch job=%d -> %d", job, result);
    return result;
}

NV_ENTRY NvEndJobWatch(int port, int job) {
    sim::StallIfScripted("local", "EndJobWatch");
    int result = sim::EndJobWatch(port, job);
    sim::Log("local EndJobWatch job=%d -> %d", job, result);
    return result;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        sim::ResetSession();
    }
    return TRUE;
}
