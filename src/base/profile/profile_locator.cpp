// Profile file lookup by model name.
#include "base/profile/profile_locator.h"

#include <windows.h>

#include "base/profile/profile_reader.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"

namespace krx {

int FindProfileFile(const char* modelName, std::string* path) {
    if (modelName == nullptr) {
        return 1;
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, regkey::kProfileKey);
    std::string file = key.ReadText(modelName, "");
    if (file.empty()) {
        return 1;
    }
    DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return 1;
    }
    if (!ProfileHasSection(file.c_str(), modelName)) {
        return 1;
    }
    if (path != nullptr) {
        *path = file;
    }
    return 0;
}

} // namespace krx
