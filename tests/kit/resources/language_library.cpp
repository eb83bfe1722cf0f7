// Readers of the language libraries' resources.
#include "language_library.h"

#include <cctype>

namespace krxtest {

std::string LoadText(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    // A length-only load: the string as stored, whatever the code page.
    int length = LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return {};
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

bool HasText(HMODULE module, UINT id) {
    return !LoadText(module, id).empty();
}

const BYTE* ResourceBytes(HMODULE module, const char* type, UINT id, DWORD* size) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) {
        return nullptr;
    }
    *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(loaded));
}

int LeadingNumber(const std::string& text) {
    int value = 0;
    size_t i = 0;
    while (i < text.size() && isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        ++i;
    }
    return value;
}

} // namespace krxtest
