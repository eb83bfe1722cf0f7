// The two language libraries as the tests open them, and small readers of
// their resources.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>

#include "common/resource_ids.h"

namespace krxtest {

struct LanguageLibrary {
    const char* file;
    WORD language; // LANGID of its language-specific resources
};

constexpr LanguageLibrary kEnglishLibrary = {"krxres_en.dll",
                                             MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)};
constexpr LanguageLibrary kJapaneseLibrary = {"krxres_ja.dll",
                                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)};
constexpr LanguageLibrary kLanguageLibraries[] = {kEnglishLibrary, kJapaneseLibrary};

inline void PrintTo(const LanguageLibrary& library, std::ostream* os) {
    *os << library.file;
}

// A string resource as UTF-8 (empty when missing).
std::string LoadText(HMODULE module, UINT id);
bool HasText(HMODULE module, UINT id);

// A resource's bytes (nullptr when missing).
const BYTE* ResourceBytes(HMODULE module, const char* type, UINT id, DWORD* size);

// A string as the product's readers convert it: leading decimal digits.
int LeadingNumber(const std::string& text);

} // namespace krxtest
