// Stand-in for <windows.h> in the native fuzz builds: the few types and calls
// of the code under test that reach the system. A target that compiles such
// code defines the calls (fuzz_shared_table.cpp maps its input as the
// shared table); the handle wrappers' close functions do nothing here.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using DWORD = uint32_t;
using LONG = int32_t;
using LCID = DWORD;
using SIZE_T = size_t;
using HANDLE = void*;
using HKEY = struct HKEY__*;
using HMODULE = struct HMODULE__*;
using HLOCAL = void*;
using LPCSTR = const char*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(~static_cast<uintptr_t>(0)))
constexpr DWORD FILE_MAP_ALL_ACCESS = 0xF001F;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr DWORD NORM_IGNORECASE = 0x1;
constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;

inline LONG RegCloseKey(HKEY) {
    return 0;
}
inline BOOL FreeLibrary(HMODULE) {
    return TRUE;
}
inline BOOL CloseHandle(HANDLE) {
    return TRUE;
}
inline HLOCAL LocalFree(HLOCAL) {
    return nullptr;
}

HANDLE OpenFileMappingA(DWORD access, BOOL inherit, LPCSTR name);
void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(const void* view);
int CompareStringA(LCID locale, DWORD flags, LPCSTR a, int aLength, LPCSTR b, int bLength);
LONG InterlockedExchange(volatile LONG* target, LONG value);
