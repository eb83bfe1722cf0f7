// Names shared by the simulated port (nvnetq10.dll and kitpmsrv.exe) and by
// the tests and host commands that script it.
#pragma once

namespace kit {

// HKEY_CURRENT_USER key holding the simulated port's script. Jobs are the
// sub-keys of "Jobs", followed in the numeric order of their names.
constexpr char kSimPortKey[] = "Software\\NorvaKit\\SimPort";
constexpr char kSimPortJobsKey[] = "Software\\NorvaKit\\SimPort\\Jobs";

// Handles the simulated port hands out.
constexpr int kSimPortHandle = 0x2A01;
constexpr int kSimJobHandleBase = 0x7000; // job i of the script: base + i

// The RPC server's executable, and the events by which its starter learns
// that it listens and tells it to stop ("<prefix><endpoint>").
constexpr char kPortMonitorServerExe[] = "kitpmsrv.exe";
constexpr char kServerReadyEventPrefix[] = "KitPmSrvReady.";
constexpr char kServerStopEventPrefix[] = "KitPmSrvStop.";

} // namespace kit
