// The simulated companion program N_QRLY02.EXE and host module file
// N_QHUB05.DLL: where the program records how it was started. Shared by the
// program and the tests.
#pragma once

namespace kit {

// HKEY_CURRENT_USER key of the companion's settings.
constexpr char kCompanionKey[] = "Software\\NorvaKit\\Companion";
// String value: file that every start appends its command line to.
constexpr char kCompanionLogValue[] = "LogFile";

constexpr char kCompanionFileName[] = "N_QRLY02.EXE";
constexpr char kHostModuleFileName[] = "N_QHUB05.DLL";

} // namespace kit
