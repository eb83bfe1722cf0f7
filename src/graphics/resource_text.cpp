// String resources from the language resource library.
#include "graphics/resource_text.h"

#include <cstdlib>
#include <vector>

#include "base/module/module_state.h"

namespace krx {

ResourceText::ResourceText(int capacity)
    : m_nCapacity(capacity > 0 ? capacity : kDefaultCapacity) {}

int ResourceText::LoadText(UINT id) {
    HMODULE module = ThisCall().resourceModule;
    std::string loaded;
    if (!LoadResourceString(id, &loaded, m_nCapacity)) {
        return 0;
    }
    m_hModule = module;
    m_strText = std::move(loaded);
    return 1;
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
