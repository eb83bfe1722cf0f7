// DebugTrace: field-diagnosis log appended to "c:\ORBIT.LOG" when the "log"
// switch was set at module load. With the switch off a call costs one test.
#pragma once

// Lets the compiler check a trace's format against its arguments where it
// can (GCC and clang); elsewhere it says nothing.
#if defined(__GNUC__)
#define KRX_PRINTF_FORMAT(formatIndex, firstArgument)                                              \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define KRX_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

namespace krx {

extern int g_traceSwitch;

inline bool TraceOn() {
    return g_traceSwitch != 0;
}

// Reads the switch once ("Software\Norva\KRX3", number "log"); called when
// the module is loaded.
void LoadTraceSwitch();

void DebugTraceWrite(const char* format, ...) KRX_PRINTF_FORMAT(1, 2);

} // namespace krx

// Keeps the disabled case down to the flag test: arguments are not even
// evaluated when tracing is off.
#define DebugTrace(...)                                                                            \
    do {                                                                                           \
        if (::krx::TraceOn()) {                                                                    \
            ::krx::DebugTraceWrite(__VA_ARGS__);                                                   \
        }                                                                                          \
    } while (0)
