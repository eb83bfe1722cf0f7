// The simulated port behind the port monitor's job operations, shared by the
// network-status library stand-in and the RPC server stand-in. Jobs come
// from the script (kit::kSimPortKey): each is printed by the port in turn and
// finishes after its number of polls; pause stops its progress, resume lets
// it go on, cancel ends it. Some answers are read from the script at every
// call, so that a test can change them while a worker runs:
//   "OpenPortResult"  port handle OpenPort answers (0: the port cannot be opened)
//   "PortInactive"    non-zero: IsPortActive answers 0
//   "FailProps"       comma-separated job properties whose reads fail
//   "FailSet"         non-zero: SetJobProperty fails
//   "CallLog"         file that receives one line per call
//   "SlowCallMs"      every call of the port monitor takes this long
//   "HangInCall"      operation inside which the port monitor stops for
//                     "HangMs" milliseconds (default: for good), as a port
//                     monitor stuck in a call; "HangCount" (when set) hangs
//                     only that many times
#pragma once

#include <string>

namespace kit {
namespace simport {

// Forgets the port and the jobs' progress. The jobs are read from the script
// at every OpenPort.
void ResetSession();

int OpenPort(const char* printer, const char* port, int flag);
int ClosePort(int port);
int IsPortActive(int port);
int GetCurrentJob(int port);
int IsJobActive(int port, int job);
// size < 0: the caller does not say (the local library gets no size).
int SetJobProperty(int port, int job, int property, const void* data, int size);
int GetJobProperty(int port, int job, int property, void* buffer, int size, int* needed);
int BeginJobWatch(int port, int job);
int EndJobWatch(int port, int job);

// Delays the named operation as the script says (SlowCallMs, HangInCall);
// side ("local", "rpc") starts the call-log line of a hang.
void StallIfScripted(const char* side, const char* operation);

// A script text value read now (empty when missing).
std::string ScriptText(const char* name);
int ScriptNumber(const char* name, int fallback);

// Appends one line to the call log when one is configured.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Printable form of call data: text up to its end or first zero, with
// control bytes escaped.
std::string Printable(const void* data, int size);

} // namespace simport
} // namespace kit
