// RegistryKey: how the plug-in reads and writes the registry (only the store
// key cache keeps raw handles, to be told when the store changes). A scoped
// handle to one open key with typed reads that fall back to the caller's
// default; failures show only as "not open", a default, or a write result
// of 0.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win_handles.h"

namespace krx {

class RegistryKey {
  public:
    static constexpr REGSAM kReadAccess = 0x20019; // KEY_READ
    static constexpr REGSAM kAllAccess = 0xF003F;  // KEY_ALL_ACCESS
    static constexpr DWORD kTextBufferSize = 256;  // at most 255 characters

    // create = false opens an existing key; true creates it or opens it,
    // and NewlyCreated() then tells whether the key did not exist before.
    RegistryKey(HKEY root, const char* path, bool create = false, REGSAM access = 0);

    // Reads and writes through a key handle that someone else owns.
    static RegistryKey Borrow(HKEY key);

    RegistryKey(RegistryKey&&) = default;
    RegistryKey& operator=(RegistryKey&&) = default;

    bool IsOpen() const { return Handle() != nullptr; }
    bool NewlyCreated() const { return m_bNewlyCreated; }
    HKEY Handle() const { return m_hKey.valid() ? m_hKey.get() : m_hBorrowed; }

    // Name of the index-th sub-key; empty past the end or on failure.
    std::string EnumerateSubKey(DWORD index) const;

    // The value's text when it fits a buffer of buffer_size bytes
    // (terminator included), else the default.
    std::string ReadText(const char* name, const char* default_text,
                         DWORD buffer_size = kTextBufferSize) const;

    // Starts from the default and takes the value's data when it exists and
    // fits in four bytes; the value's type is not examined.
    int ReadNumber(const char* name, int default_value) const;

    bool WriteNumber(const char* name, DWORD value) const;

    DWORD ValueSize(const char* name) const;

    // A copy of the value's data; empty when missing, empty or unreadable.
    std::vector<unsigned char> ReadBytes(const char* name) const;

    bool WriteBytes(const char* name, const void* data, DWORD length) const;

    bool WriteText(const char* name, const char* text) const;

  private:
    RegistryKey() = default;

    unique_hkey m_hKey;
    HKEY m_hBorrowed = nullptr;
    bool m_bNewlyCreated = false;
};

} // namespace krx
