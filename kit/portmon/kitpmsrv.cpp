// Stand-in for the port monitor's RPC service on a print server: serves the
// simulated port over ncalrpc and ncacn_np, registered with the endpoint
// mapper. Usage: kitpmsrv ENDPOINT [PARENT_PID [MODE]]. The pipe is
// "\pipe\ENDPOINT". MODE "holdpipe": the server holds the pipe's only
// instance itself, so that every client finds it busy and waits the pipe's
// default time-out ("HoldPipeWaitMs" of the script when the server starts,
// 60 s when missing); "silentbind": the server accepts every connection to
// the pipe and never answers the bind. Either way RPC is not served on the
// pipe. The server tells its starter that it listens through
// the event kServerReadyEventPrefix + ENDPOINT and stops when the event
// kServerStopEventPrefix + ENDPOINT is set or its starter's process ends.
// A hostile or broken server, scripted:
//   "ExitInCall"   operation inside which the server ends at once, as a print
//                  server that goes down in the middle of a call;
//   "HangInCall"   operation inside which the server sleeps "HangMs"
//                  milliseconds (default: for good) before it answers;
//   "SlowCallMs"   every call takes this long;
//   "ReplyBytes"   GetJobProperty answers with an array of this many bytes
//                  (at "ReplyOffset") whatever size was asked, filled with
//                  'X';
//   "ReplyNeeded"  the needed size every GetJobProperty answers.
#include <windows.h>
#include <rpc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "port_monitor.h"
#include "sim_port.h"
#include "sim_port_paths.h"

namespace sim = kit::simport;

namespace {

constexpr char kDummyData[] = "NVMA_DUMMY_DATA";
constexpr long kDummyDataLength = 15;

struct Session {
    int id;
};

bool IsDummy(const byte* data, long n) {
    return data != nullptr && n == kDummyDataLength && memcmp(data, kDummyData, n) == 0;
}

std::string Data(const byte* data, long n) {
    return IsDummy(data, n) ? std::string(kDummyData) : sim::Printable(data, n);
}

void ExitIfScripted(const char* operation) {
    if (sim::ScriptText("ExitInCall") == operation) {
        sim::Log("rpc %s: server exits", operation);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    sim::StallIfScripted("rpc", operation);
}

constexpr int kUnscripted = static_cast<int>(0x80000000u);

unsigned char* AlignUp4(unsigned char* at) {
    return reinterpret_cast<unsigned char*>((reinterpret_cast<ULONG_PTR>(at) + 3) & ~ULONG_PTR(3));
}

unsigned char* Put32(unsigned char* at, unsigned long value) {
    memcpy(at, &value, 4);
    return at + 4;
}

// GetJobProperty marshalled by hand, so that the reply's array can be of a
// size the interface does not allow: the same wire shapes as the stub's,
// other counts. The session context goes back as it came.
void __RPC_STUB HostileGetJobProperty(PRPC_MESSAGE message) {
    const int bytes = sim::ScriptNumber("ReplyBytes", kUnscripted);
    if (bytes == kUnscripted) {
        NdrServerCall2(message);
        return;
    }
    unsigned char context[20] = {};
    long job = 0;
    long property = 0;
    if (message->BufferLength >= 28) {
        const unsigned char* in = static_cast<const unsigned char*>(message->Buffer);
        memcpy(context, in, sizeof(context));
        memcpy(&job, in + 20, 4);
        memcpy(&property, in + 24, 4);
    }
    const unsigned long offset = static_cast<unsigned long>(sim::ScriptNumber("ReplyOffset", 0));
    const long needed = sim::ScriptNumber("ReplyNeeded", bytes);
    const unsigned long count = static_cast<unsigned long>(bytes);
    sim::Log("rpc GetJobProperty job=%ld property=%ld: hostile reply of %lu bytes at %lu", job,
             property, count, offset);
    message->BufferLength = 20 + 12 + count + 3 + 8;
    if (I_RpcGetBuffer(message) != RPC_S_OK) {
        RpcRaiseException(RPC_S_OUT_OF_MEMORY);
    }
    unsigned char* at = static_cast<unsigned char*>(message->Buffer);
    memcpy(at, context, sizeof(context));
    at = Put32(at + sizeof(context), offset + count);
    at = Put32(at, offset);
    at = Put32(at, count);
    memset(at, 'X', count);
    at = AlignUp4(at + count);
    at = Put32(at, static_cast<unsigned long>(needed));
    at = Put32(at, 1);
    message->BufferLength =
        static_cast<unsigned int>(at - static_cast<unsigned char*>(message->Buffer));
}

} // namespace

LONG __cdecl PmOpenSession(PM_SESSION* session, char* libraryName) {
    ExitIfScripted("OpenSession");
    sim::ResetSession();
    long result = sim::ScriptNumber("OpenSessionResult", 1);
    *session = result != 0 ? new Session{1} : nullptr;
    sim::Log("rpc OpenSession library=%s -> %ld", libraryName != nullptr ? libraryName : "(null)",
             result);
    return result;
}

LONG __cdecl PmCloseSession(PM_SESSION* session) {
    ExitIfScripted("CloseSession");
    delete static_cast<Session*>(*session);
    *session = nullptr;
    sim::Log("rpc CloseSession -> 1");
    return 1;
}

void __RPC_USER PM_SESSION_rundown(PM_SESSION session) {
    delete static_cast<Session*>(session);
}

LONG __cdecl PmUnused2(PM_SESSION*, char*, char*, LONG, LONG, byte*) {
    return 0;
}
LONG __cdecl PmUnused3(PM_SESSION*) {
    return 0;
}
LONG __cdecl PmUnused7(PM_SESSION*, LONG, LONG, byte*) {
    return 0;
}
LONG __cdecl PmUnused8(PM_SESSION*, LONG) {
    return 0;
}
LONG __cdecl PmUnused12(PM_SESSION*, LONG, LONG, LONG) {
    return 0;
}
LONG __cdecl PmUnused16(PM_SESSION*) {
    return 0;
}

LONG __cdecl PmOpenPort(PM_SESSION*, char* printer, char* port, LONG flag, LONG n, byte* data) {
    ExitIfScripted("OpenPort");
    int result = sim::OpenPort(printer, port, flag);
    sim::Log("rpc OpenPort printer=%s port=%s flag=%ld n=%ld data=%s -> %d", printer, port, flag, n,
             Data(data, n).c_str(), result);
    return result;
}

LONG __cdecl PmClosePort(PM_SESSION*) {
    ExitIfScripted("ClosePort");
    // The server keeps the one port of the session; the client's handle
    // only records that a port is open.
    int result = sim::ClosePort(kit::kSimPortHandle);
    sim::Log("rpc ClosePort -> %d", result);
    return result;
}

LONG __cdecl PmIsPortActive(PM_SESSION*) {
    ExitIfScripted("IsPortActive");
    int result = sim::IsPortActive(kit::kSimPortHandle);
    sim::Log("rpc IsPortActive -> %d", result);
    return result;
}

LONG __cdecl PmGetCurrentJob(PM_SESSION*) {
    ExitIfScripted("GetCurrentJob");
    int result = sim::GetCurrentJob(kit::kSimPortHandle);
    sim::Log("rpc GetCurrentJob -> %d", result);
    return result;
}

LONG __cdecl PmIsJobActive(PM_SESSION*, LONG job) {
    ExitIfScripted("IsJobActive");
    int result = sim::IsJobActive(kit::kSimPortHandle, job);
    sim::Log("rpc IsJobActive job=%ld -> %d", job, result);
    return result;
}

LONG __cdecl PmSetJobProperty(PM_SESSION*, LONG job, LONG property, LONG n, byte* data) {
    ExitIfScripted("SetJobProperty");
    int value = 0;
    if (!IsDummy(data, n) && n >= 4) {
        memcpy(&value, data, sizeof(value));
    }
    int result =
        IsDummy(data, n) ? 0 : sim::SetJobProperty(kit::kSimPortHandle, job, property, data, n);
    sim::Log("rpc SetJobProperty job=%ld property=%ld n=%ld value=%d -> %d", job, property, n,
             value, result);
    return result;
}

LONG __cdecl PmGetJobProperty(PM_SESSION*, LONG job, LONG property, LONG n, byte* buffer,
                              LONG* needed) {
    ExitIfScripted("GetJobProperty");
    bool dummy = IsDummy(buffer, n);
    int wanted = 0;
    int result = sim::GetJobProperty(kit::kSimPortHandle, job, property, dummy ? nullptr : buffer,
                                     dummy ? 0 : n, &wanted);
    *needed = sim::ScriptNumber("ReplyNeeded", wanted);
    if (dummy) {
        sim::Log("rpc GetJobProperty job=%ld property=%ld n=%ld data=%s -> %d needed=%d", job,
                 property, n, kDummyData, result, wanted);
    } else {
        sim::Log("rpc GetJobProperty job=%ld property=%ld size=%ld -> %d", job, property, n,
                 result);
    }
    return result;
}

LONG __cdecl PmBeginJobWatch(PM_SESSION*, LONG job) {
    ExitIfScripted("BeginJobWatch");
    int result = sim::BeginJobWatch(kit::kSimPortHandle, job);
    sim::Log("rpc BeginJobWatch job=%ld -> %d", job, result);
    return result;
}

LONG __cdecl PmEndJobWatch(PM_SESSION*, LONG job) {
    ExitIfScripted("EndJobWatch");
    int result = sim::EndJobWatch(kit::kSimPortHandle, job);
    sim::Log("rpc EndJobWatch job=%ld -> %d", job, result);
    return result;
}

void* __RPC_USER MIDL_user_allocate(size_t size) {
    return malloc(size);
}
void __RPC_USER MIDL_user_free(void* p) {
    free(p);
}

namespace {

RPC_CSTR Cstr(const std::string& s) {
    return reinterpret_cast<RPC_CSTR>(const_cast<char*>(s.c_str()));
}

// The pipe's only instance, held by the server itself: every client finds
// the pipe busy and waits the default time-out set here.
bool HoldPipe(const std::string& pipe) {
    const DWORD wait = static_cast<DWORD>(sim::ScriptNumber("HoldPipeWaitMs", 60000));
    HANDLE instance =
        CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX,
                         PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 1, 4096, 4096, wait, nullptr);
    if (instance == INVALID_HANDLE_VALUE) {
        return false;
    }
    HANDLE self = CreateFileA(pipe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    sim::Log("rpc pipe held busy (default wait %lu ms)", static_cast<unsigned long>(wait));
    return self != INVALID_HANDLE_VALUE; // both stay open until the server ends
}

// Accepts every connection to the pipe and never reads from it: the
// client's bind goes unanswered.
DWORD WINAPI AcceptSilently(void* parameter) {
    const std::string pipe = *static_cast<const std::string*>(parameter);
    for (;;) {
        HANDLE instance = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX,
                                           PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE,
                                           PIPE_UNLIMITED_INSTANCES, 4096, 4096, 5000, nullptr);
        if (instance == INVALID_HANDLE_VALUE) {
            return 1;
        }
        if (ConnectNamedPipe(instance, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
            sim::Log("rpc connection accepted, bind left unanswered");
        }
        // The instance stays open, unanswered, until the server ends.
    }
}

int Fail(const char* what, RPC_STATUS status) {
    fprintf(stderr, "kitpmsrv: %s failed (%ld)\n", what, static_cast<long>(status));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: kitpmsrv ENDPOINT [PARENT_PID [MODE]]\n");
        return 2;
    }
    const std::string endpoint = argv[1];
    const std::string pipe = "\\pipe\\" + endpoint;
    const std::string mode = argc > 3 ? argv[3] : "";
    static std::string pipePath;
    pipePath = "\\\\." + pipe;
    RPC_STATUS status = RpcServerUseProtseqEpA(Cstr("ncalrpc"), RPC_C_PROTSEQ_MAX_REQS_DEFAULT,
                                               Cstr(endpoint), nullptr);
    if (status != RPC_S_OK) {
        return Fail("ncalrpc endpoint", status);
    }
    if (mode == "holdpipe") {
        if (!HoldPipe(pipePath)) {
            return Fail("held pipe", GetLastError());
        }
    } else if (mode == "silentbind") {
        HANDLE acceptor = CreateThread(nullptr, 0, AcceptSilently, &pipePath, 0, nullptr);
        if (acceptor == nullptr) {
            return Fail("silent acceptor", GetLastError());
        }
        CloseHandle(acceptor);
    } else {
        status = RpcServerUseProtseqEpA(Cstr("ncacn_np"), RPC_C_PROTSEQ_MAX_REQS_DEFAULT,
                                        Cstr(pipe), nullptr);
        if (status != RPC_S_OK) {
            return Fail("pipe endpoint", status);
        }
    }
    // The generated interface with GetJobProperty's entry replaced.
    static RPC_SERVER_INTERFACE hostile =
        *static_cast<RPC_SERVER_INTERFACE*>(PortMonitorRpc_v1_0_s_ifspec);
    static RPC_DISPATCH_FUNCTION table[32];
    static RPC_DISPATCH_TABLE dispatch;
    const RPC_DISPATCH_TABLE* generated = hostile.DispatchTable;
    dispatch.DispatchTableCount = generated->DispatchTableCount;
    for (unsigned int i = 0; i < generated->DispatchTableCount && i < 32; ++i) {
        table[i] = generated->DispatchTable[i];
    }
    table[13] = HostileGetJobProperty;
    dispatch.DispatchTable = table;
    hostile.DispatchTable = &dispatch;
    status = RpcServerRegisterIf(&hostile, nullptr, nullptr);
    if (status != RPC_S_OK) {
        return Fail("interface registration", status);
    }
    // A client that names this computer binds over ncalrpc without an
    // endpoint and finds this server through the endpoint mapper.
    RPC_BINDING_VECTOR* bindings = nullptr;
    status = RpcServerInqBindings(&bindings);
    if (status != RPC_S_OK) {
        return Fail("binding query", status);
    }
    status = RpcEpRegisterA(PortMonitorRpc_v1_0_s_ifspec, bindings, nullptr,
                            Cstr("simulated port monitor"));
    if (status != RPC_S_OK) {
        return Fail("endpoint mapper registration", status);
    }
    status = RpcServerListen(1, RPC_C_LISTEN_MAX_CALLS_DEFAULT, TRUE);
    if (status != RPC_S_OK) {
        return Fail("listen", status);
    }

    HANDLE waits[2] = {};
    DWORD count = 0;
    std::string stopName = std::string(kit::kServerStopEventPrefix) + endpoint;
    waits[count++] = CreateEventA(nullptr, TRUE, FALSE, stopName.c_str());
    if (argc > 2) {
        HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, strtoul(argv[2], nullptr, 10));
        if (parent != nullptr) {
            waits[count++] = parent;
        }
    }
    std::string readyName = std::string(kit::kServerReadyEventPrefix) + endpoint;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName.c_str());
    if (ready != nullptr) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    WaitForMultipleObjects(count, waits, FALSE, INFINITE);

    RpcEpUnregister(PortMonitorRpc_v1_0_s_ifspec, bindings, nullptr);
    RpcBindingVectorFree(&bindings);
    RpcMgmtStopServerListening(nullptr);
    RpcServerUnregisterIf(&hostile, nullptr, FALSE);
    for (DWORD i = 0; i < count; ++i) {
        CloseHandle(waits[i]);
    }
    return 0;
}
