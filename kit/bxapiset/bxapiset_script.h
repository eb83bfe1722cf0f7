// Where the settings tool stand-in finds its script and leaves its record,
// under HKEY_CURRENT_USER.
#pragma once

namespace kit {

constexpr char kSettingsToolKey[] = "Software\\NorvaKit\\BxapiSet";
// DWORD: the flag word posted with the report; no report when missing.
constexpr char kSettingsToolReport[] = "ReportFlags";
// Written by the tool: the command line it was given, and the parsed parts.
constexpr char kSettingsToolCommandLine[] = "CommandLine";
constexpr char kSettingsToolDriver[] = "DriverName";
// DWORD: 1 when the command line parsed and the report was posted.
constexpr char kSettingsToolPosted[] = "Posted";

} // namespace kit
