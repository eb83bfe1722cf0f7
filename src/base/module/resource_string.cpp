// String resources from the language resource library.
#include "base/module/resource_string.h"

#include <vector>

#include "base/module/module_state.h"

namespace krx {

bool LoadResourceString(UINT id, std::string* out, int capacity) {
    return LoadModuleString(ThisCall().resourceModule, id, out, capacity);
}

bool LoadModuleString(HMODULE module, UINT id, std::string* out, int capacity) {
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

std::string ResourceString(UINT id) {
    std::string text;
    LoadResourceString(id, &text);
    return text;
}

} // namespace krx
