// String resources from the language resource library.
#include "graphics/resource_text.h"

#include <cstdlib>
#include <vector>

#include "entry/module/module_state.h"

namespace krx {

ResourceText::ResourceText(int capacity)
    : m_nCapacity(capacity > 0 ? capacity : kDefaultCapacity) {}

int ResourceText::LoadText(UINT id) {
    HMODULE module = Module().resourceModule;
    std::string loaded;
    if (!LoadResourceString(id, &loaded, m_nCapacity)) {
        return 0;
    }
    m_hModule = module;
    m_strText = std::move(loaded);
    return 1;
}

bool LoadResourceString(UINT id, std::string* out, int capacity) {
    HMODULE module = Module().resourceModule;
    // Without a resource library there is nothing to load: the process's own
    // strings are not the product's texts.
    if (module == nullptr || out == nullptr || capacity <= 1) {
        return false;
    }
    // The system clears the buffer even when the string is missing; load
    // into a scratch buffer so that the caller's text survives a miss.
    std::vector<char> buffer(static_cast<size_t>(capacity), '\0');
    int length = LoadStringA(module, id, buffer.data(), capacity);
    if (length <= 0) {
        return false;
    }
    out->assign(buffer.data(), static_cast<size_t>(length));
    return true;
}

bool LoadResourceNumber(UINT id, long* value) {
    std::string text;
    if (value == nullptr || !LoadResourceString(id, &text, 64)) {
        return false;
    }
    *value = strtol(text.c_str(), nullptr, 10);
    return true;
}

} // namespace krx
