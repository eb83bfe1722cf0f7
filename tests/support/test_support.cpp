// Shared test helpers.
#include "test_support.h"

#include <vector>

#include "base/module/module_state.h"

namespace krxtest {

std::string StatusReply(const std::string& fields) {
    return std::string("@BDC ST\r\n") + fields + "\x0C";
}

namespace {
HKEY Create(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}
} // namespace

void WriteString(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = Create(root, path);
    ASSERT_NE(key, nullptr) << path;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void WriteDword(HKEY root, const std::string& path, const char* name, DWORD value) {
    HKEY key = Create(root, path);
    ASSERT_NE(key, nullptr) << path;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

void WriteBinary(HKEY root, const std::string& path, const char* name, const std::string& bytes) {
    HKEY key = Create(root, path);
    ASSERT_NE(key, nullptr) << path;
    RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

bool ValueExists(HKEY root, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    bool exists = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

bool SetKeyReadOnly(HKEY root, const std::string& path, bool readOnly) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS) {
        return false;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    alignas(DWORD) unsigned char aclBuffer[256] = {};
    auto* acl = reinterpret_cast<PACL>(aclBuffer);
    InitializeAcl(acl, sizeof(aclBuffer), ACL_REVISION);
    AddAccessAllowedAce(acl, ACL_REVISION,
                        readOnly ? (KEY_READ | WRITE_DAC | DELETE) : KEY_ALL_ACCESS, everyone);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    const bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    FreeSid(everyone);
    RegCloseKey(key);
    return ok;
}

std::string ReadBinary(HKEY root, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    DWORD size = 0;
    std::string data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return data;
}

DWORD ReadDword(HKEY root, const std::string& path, const char* name, DWORD fallback) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return fallback;
    }
    DWORD value = fallback;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        value = fallback;
    }
    RegCloseKey(key);
    return value;
}

void CleanRegistryTest::Wipe() {
    kit::DeleteTree(HKEY_LOCAL_MACHINE, "software\\NORVA");
    kit::DeleteTree(HKEY_CURRENT_USER, "software\\NORVA");
    kit::SimPrinter::Reset();
    DeleteFileA(kTraceFile);
}

void CleanRegistryTest::SetUp() {
    Wipe();
    krx::InitializeModuleState();
}

void CleanRegistryTest::TearDown() {
    Wipe();
    krx::InitializeModuleState();
}

void InstalledSystemTest::SetUp() {
    CleanRegistryTest::SetUp();
    options_.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    options_.addSpoolerPrinter = false;
    ASSERT_TRUE(kit::InstallSimulatedSystem(options_));
}

void InstalledSystemTest::TearDown() {
    CleanRegistryTest::TearDown();
}

} // namespace krxtest
