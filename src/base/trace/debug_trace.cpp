// Trace writer: one open, append and close of the log file per call, with
// other writers denied so that lines from another writer never interleave.
#include "base/trace/debug_trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "common/win_handles.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"

namespace krx {

int g_traceSwitch = 0;

namespace {
constexpr char kLogPath[] = "c:\\ORBIT.LOG";
}

void LoadTraceSwitch() {
    g_traceSwitch = 0;
    RegistryKey key(HKEY_LOCAL_MACHINE, regkey::kKrx3Key);
    if (key.IsOpen() && key.ReadNumber("log", 0) != 0) {
        g_traceSwitch = 1;
    }
}

void DebugTraceWrite(const char* format, ...) {
    if (g_traceSwitch == 0 || format == nullptr) {
        return;
    }
    unique_hfile file(CreateFileA(kLogPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;
    }
    SetFilePointer(file.get(), 0, nullptr, FILE_END);

    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        vsnprintf(&text[0], text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);

    DWORD written = 0;
    if (!text.empty()) {
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

} // namespace krx
