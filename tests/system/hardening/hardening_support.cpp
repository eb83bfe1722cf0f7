// Helpers of the hardening tests and the soak benchmark.
#include "hardening_support.h"

#include <winternl.h>

#include <cstdio>
#include <map>

#include "kit_install.h"
#include "process_memory.h"

namespace hardening {

namespace {

constexpr int kTickBatch = 50;
constexpr UINT kSyncTimeoutMs = 30000;

} // namespace

// Where the system does not keep the counters (Wine answers 0), they are
// counted directly: handles by probing the handle values, private memory
// by walking the address space, GDI and USER objects by probing the 16-bit
// handle indices that both tables accept.
namespace {

constexpr UINT_PTR kHandleProbeLimit = 0x20000;
constexpr UINT_PTR kObjectIndexLimit = 0x10000;

DWORD ProbeKernelHandles() {
    DWORD count = 0;
    for (UINT_PTR value = 4; value < kHandleProbeLimit; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
        }
    }
    return count;
}

DWORD ProbeGdiObjects() {
    DWORD count = 0;
    for (UINT_PTR index = 1; index < kObjectIndexLimit; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
            ++count;
        }
    }
    return count;
}

DWORD ProbeUserObjects() {
    DWORD count = 0;
    const DWORD self = GetCurrentProcessId();
    for (UINT_PTR index = 2; index < kObjectIndexLimit; index += 2) {
        HWND window = reinterpret_cast<HWND>(index);
        DWORD owner = 0;
        if (IsWindow(window)) {
            GetWindowThreadProcessId(window, &owner);
            if (owner == self) {
                ++count;
            }
        } else if (IsMenu(reinterpret_cast<HMENU>(index))) {
            ++count;
        }
    }
    return count;
}

} // namespace

ResourceCounts MeasureResources() {
    ResourceCounts counts;
    if (!GetProcessHandleCount(GetCurrentProcess(), &counts.handles) || counts.handles == 0) {
        counts.handles = ProbeKernelHandles();
    }
    counts.privateBytes = krxtest::PrivateBytes();
    counts.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counts.gdiObjects == 0) {
        counts.gdiObjects = ProbeGdiObjects();
    }
    counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (counts.userObjects == 0) {
        counts.userObjects = ProbeUserObjects();
    }
    return counts;
}

std::string DescribeHandleKinds() {
    using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    std::map<std::string, int> kinds;
    for (UINT_PTR value = 4; value < kHandleProbeLimit; value += 4) {
        DWORD flags = 0;
        HANDLE handle = reinterpret_cast<HANDLE>(value);
        if (!GetHandleInformation(handle, &flags)) {
            continue;
        }
        alignas(8) unsigned char buffer[512] = {};
        ULONG needed = 0;
        std::string name = "?";
        // 2: the object's type, a counted wide string first.
        if (query != nullptr && query(handle, 2, buffer, sizeof(buffer), &needed) == 0) {
            const auto* type = reinterpret_cast<const UNICODE_STRING*>(buffer);
            name.clear();
            for (USHORT i = 0; i < type->Length / 2; ++i) {
                name += static_cast<char>(type->Buffer[i]);
            }
        }
        ++kinds[name];
    }
    std::string text;
    for (const auto& k : kinds) {
        text += k.first + " " + std::to_string(k.second) + "; ";
    }
    return text;
}

std::string Describe(const ResourceCounts& counts) {
    char text[160];
    std::snprintf(text, sizeof(text), "handles %lu, private %lu KB, GDI %lu, USER %lu",
                  static_cast<unsigned long>(counts.handles),
                  static_cast<unsigned long>(counts.privateBytes / 1024),
                  static_cast<unsigned long>(counts.gdiObjects),
                  static_cast<unsigned long>(counts.userObjects));
    return text;
}

namespace {

// Posted after a batch of ticks: the window's thread takes it from its queue
// only once it has handled every tick before it. The window itself ignores it.
constexpr UINT kTickSentinel = WM_APP + 0x3A5;

LRESULT CALLBACK WatchForSentinel(int code, WPARAM removed, LPARAM param) {
    if (code == HC_ACTION && removed == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(param);
        if (msg->message == kTickSentinel) {
            SetEvent(reinterpret_cast<HANDLE>(msg->lParam));
        }
    }
    return CallNextHookEx(nullptr, code, removed, param);
}

} // namespace

bool PostTicks(HWND window, UINT_PTR timerId, int count) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == 0) {
        return false;
    }
    HANDLE seen = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchForSentinel, nullptr, thread);
    bool ok = seen != nullptr && hook != nullptr;
    while (ok && count > 0) {
        const int batch = count < kTickBatch ? count : kTickBatch;
        for (int i = 0; ok && i < batch; ++i) {
            ok = PostMessageA(window, WM_TIMER, timerId, 0) != FALSE;
        }
        ok = ok && PostMessageA(window, kTickSentinel, 0, reinterpret_cast<LPARAM>(seen)) != FALSE;
        // A window that closes meanwhile drops the sentinel with its queue.
        DWORD waited = 0;
        while (ok && WaitForSingleObject(seen, 20) == WAIT_TIMEOUT) {
            waited += 20;
            ok = IsWindow(window) && waited < kSyncTimeoutMs;
        }
        count -= batch;
    }
    if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
    }
    if (seen != nullptr) {
        CloseHandle(seen);
    }
    return ok && IsWindow(window) != FALSE;
}

bool InstallTypicalPrinter() {
    kit::InstallOptions options;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    options.addSpoolerPrinter = true;
    if (!kit::InstallSimulatedSystem(options)) {
        return false;
    }
    kit::SimPrinter::ScriptTypicalPrinter();
    return true;
}

} // namespace hardening
