// ResourceText: a fixed-size text buffer that loads string resources by
// number from the current resource module (the language resource library).
#pragma once

#include <windows.h>

#include <string>

#include "base/module/resource_string.h"

namespace krx {

class ResourceText {
  public:
    static constexpr int kDefaultCapacity = kResourceTextCapacity;

    explicit ResourceText(int capacity = kDefaultCapacity);

    // 1 when a non-empty text was loaded (cut to capacity - 1 characters);
    // 0 otherwise, and the buffer keeps what it held.
    int LoadText(UINT id);
    const char* Text() const { return m_strText.c_str(); }
    const std::string& String() const { return m_strText; }
    HMODULE SourceModule() const { return m_hModule; }
    int Capacity() const { return m_nCapacity; }

  private:
    std::string m_strText;
    HMODULE m_hModule = nullptr;
    int m_nCapacity;
};

// The string's decimal value (leading digits after an optional sign, as the
// resource texts hold numbers); false when the string is missing.
bool LoadResourceNumber(UINT id, long* value);

} // namespace krx
