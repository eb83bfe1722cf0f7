// Shared test helpers: a clean registry per test, status replies built from
// their fields, and small registry writers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "kit_install.h"

namespace krxtest {

// "@BDC ST\r\n" + fields + 0x0C.
std::string StatusReply(const std::string& fields);

void WriteString(HKEY root, const std::string& path, const char* name, const std::string& value);
void WriteDword(HKEY root, const std::string& path, const char* name, DWORD value);
void WriteBinary(HKEY root, const std::string& path, const char* name, const std::string& bytes);
bool ValueExists(HKEY root, const std::string& path, const char* name);
std::string ReadBinary(HKEY root, const std::string& path, const char* name);
// Lets everyone read the key (and delete it, and change its permissions)
// but not write or create in it; false puts full access back.
bool SetKeyReadOnly(HKEY root, const std::string& path, bool readOnly);
DWORD ReadDword(HKEY root, const std::string& path, const char* name, DWORD fallback);

// Wipes everything the product and the kit write (NORVA keys under both
// hives, the simulated printer's script, the trace file) before and after
// each test, and puts the module-wide values back to their load-time state.
class CleanRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    static void Wipe();
};

// The simulated installation (without the spooler printer unless asked).
class InstalledSystemTest : public CleanRegistryTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    kit::InstallOptions options_;
};

constexpr char kTraceFile[] = "c:\\ORBIT.LOG";

} // namespace krxtest
