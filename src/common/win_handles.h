// Owning wrappers for the Win32 handle kinds the plug-in uses: one small
// move-only type per kind, each naming its close function and its invalid
// value, so that every handle has exactly one owner and is closed on every path.
#pragma once

#include <windows.h>

#include <utility>

namespace krx {

template <typename T, typename Traits> class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : m_hValue(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_hValue(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T get() const { return m_hValue; }
    bool valid() const { return m_hValue != Traits::invalid(); }
    explicit operator bool() const { return valid(); }

    // For APIs that return the handle through an out parameter.
    T* put() {
        reset();
        return &m_hValue;
    }

    T release() {
        T value = m_hValue;
        m_hValue = Traits::invalid();
        return value;
    }

    void reset(T value = Traits::invalid()) {
        if (valid()) {
            Traits::close(m_hValue);
        }
        m_hValue = value;
    }

  private:
    T m_hValue = Traits::invalid();
};

struct HkeyTraits {
    static HKEY invalid() { return nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};
struct HmoduleTraits {
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE h) { FreeLibrary(h); }
};
struct HandleTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct MapViewTraits {
    static void* invalid() { return nullptr; }
    static void close(void* p) { UnmapViewOfFile(p); }
};
struct LocalMemTraits {
    static HLOCAL invalid() { return nullptr; }
    static void close(HLOCAL h) { LocalFree(h); }
};
struct PrinterTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h); // ClosePrinter, defined where winspool is linked
};

using unique_hkey = UniqueHandle<HKEY, HkeyTraits>;
using unique_hmodule = UniqueHandle<HMODULE, HmoduleTraits>;
using unique_handle = UniqueHandle<HANDLE, HandleTraits>;
using unique_hfile = UniqueHandle<HANDLE, FileHandleTraits>;
using unique_mapview = UniqueHandle<void*, MapViewTraits>;
using unique_hlocal = UniqueHandle<HLOCAL, LocalMemTraits>;
using unique_printer = UniqueHandle<HANDLE, PrinterTraits>;

} // namespace krx
