// RegistryKey implementation: thin, checked calls to the ANSI registry API.
#include "base/registry/registry_key.h"

#include <cstring>

namespace krx {

RegistryKey::RegistryKey(HKEY root, const char* path, bool create, REGSAM access) {
    const REGSAM mask = access != 0 ? access : (create ? kAllAccess : kReadAccess);
    if (path == nullptr) {
        return;
    }
    HKEY key = nullptr;
    LONG rc;
    if (create) {
        DWORD disposition = 0;
        rc = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, mask, nullptr, &key,
                             &disposition);
        m_bNewlyCreated = rc == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    } else {
        rc = RegOpenKeyExA(root, path, 0, mask, &key);
    }
    if (rc == ERROR_SUCCESS) {
        m_hKey.reset(key);
    }
}

RegistryKey RegistryKey::Borrow(HKEY key) {
    RegistryKey borrowed;
    borrowed.m_hBorrowed = key;
    return borrowed;
}

std::string RegistryKey::EnumerateSubKey(DWORD index) const {
    if (!IsOpen()) {
        return {};
    }
    char name[256];
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(Handle(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return {};
    }
    return std::string(name, length);
}

std::string RegistryKey::ReadText(const char* name, const char* default_text,
                                  DWORD buffer_size) const {
    std::string fallback = default_text != nullptr ? default_text : "";
    if (!IsOpen() || buffer_size == 0) {
        return fallback;
    }
    std::vector<char> buffer(buffer_size + 1, '\0');
    DWORD size = buffer_size;
    DWORD type = 0;
    if (RegQueryValueExA(Handle(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS) {
        return fallback;
    }
    // The data need not carry its own terminator, but the text must still
    // fit the buffer with one.
    if (size >= buffer_size && buffer[buffer_size - 1] != '\0') {
        return fallback;
    }
    buffer[size] = '\0';
    return std::string(buffer.data());
}

int RegistryKey::ReadNumber(const char* name, int default_value) const {
    int value = default_value;
    if (!IsOpen()) {
        return value;
    }
    DWORD size = sizeof(value);
    DWORD type = 0;
    unsigned char data[sizeof(value)] = {};
    if (RegQueryValueExA(Handle(), name, nullptr, &type, data, &size) == ERROR_SUCCESS) {
        // A shorter value fills only its own bytes of the default, as a
        // single read into the number would.
        for (DWORD i = 0; i < size && i < sizeof(value); ++i) {
            reinterpret_cast<unsigned char*>(&value)[i] = data[i];
        }
    }
    return value;
}

bool RegistryKey::WriteNumber(const char* name, DWORD value) const {
    return IsOpen() &&
           RegSetValueExA(Handle(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

DWORD RegistryKey::ValueSize(const char* name) const {
    if (!IsOpen()) {
        return 0;
    }
    DWORD size = 0;
    if (RegQueryValueExA(Handle(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return size;
}

std::vector<unsigned char> RegistryKey::ReadBytes(const char* name) const {
    DWORD size = ValueSize(name);
    if (size == 0) {
        return {};
    }
    std::vector<unsigned char> data(size);
    if (RegQueryValueExA(Handle(), name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    // The value may have shrunk between the two calls; never report more.
    data.resize(size);
    return data;
}

bool RegistryKey::WriteBytes(const char* name, const void* data, DWORD length) const {
    return IsOpen() && RegSetValueExA(Handle(), name, 0, REG_BINARY, static_cast<const BYTE*>(data),
                                      length) == ERROR_SUCCESS;
}

bool RegistryKey::WriteText(const char* name, const char* text) const {
    if (!IsOpen() || text == nullptr) {
        return false;
    }
    return RegSetValueExA(Handle(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(strlen(text)) + 1) == ERROR_SUCCESS;
}

} // namespace krx
