// The port-monitor client: local library by ordinal, or RPC to a print server.
#include "jobs/port_monitor_client.h"

#include <rpc.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "comm/spooler.h"
#include "common/safe_load.h"
#include "base/module/module_state.h"
#include "common/critical_section.h"
#include "jobs/pm_remote_calls.h"
#include "jobs/session_opening.h"

namespace krx {

// Owns the RPC binding handle of a remote session.
class RpcBindingHolder {
  public:
    explicit RpcBindingHolder(RPC_BINDING_HANDLE handle) : m_hBinding(handle) {}
    ~RpcBindingHolder() { Release(); }
    RpcBindingHolder(const RpcBindingHolder&) = delete;
    RpcBindingHolder& operator=(const RpcBindingHolder&) = delete;

    RPC_BINDING_HANDLE Get() const { return m_hBinding; }
    // The handle becomes the caller's.
    RPC_BINDING_HANDLE Take() {
        RPC_BINDING_HANDLE handle = m_hBinding;
        m_hBinding = nullptr;
        return handle;
    }

    RPC_STATUS Release() {
        RPC_STATUS status = RPC_S_OK;
        if (m_hBinding != nullptr) {
            status = RpcBindingFree(&m_hBinding);
            if (status == RPC_S_OK) {
                m_hBinding = nullptr;
            }
        }
        return status;
    }

  private:
    RPC_BINDING_HANDLE m_hBinding;
};

namespace {

// Local library entry points, looked up by ordinal at every call.
enum LocalOrdinal : int {
    kOrdinalOpenPort = 3,
    kOrdinalClosePort = 4,
    kOrdinalIsPortActive = 5,
    kOrdinalGetCurrentJob = 102,
    kOrdinalIsJobActive = 103,
    kOrdinalSetJobProperty = 200,
    kOrdinalGetJobProperty = 202,
    kOrdinalBeginJobWatch = 300,
    kOrdinalEndJobWatch = 301,
};

using PfnOpenPort = int(WINAPI*)(const char*, const char*, int, const char*);
using PfnPortCall = int(WINAPI*)(int);
using PfnJobCall = int(WINAPI*)(int, int);
using PfnSetJobProperty = int(WINAPI*)(int, int, int, const void*);
using PfnGetJobProperty = int(WINAPI*)(int, int, int, void*, int, int*);

template <typename Fn> Fn As(FARPROC entry) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(entry));
}

const unsigned char* DummyData() {
    return reinterpret_cast<const unsigned char*>(pm::kDummyData);
}

bool IsNtFamily() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The folder of this module's own file, with its backslash; empty when the
// path cannot be read whole.
std::string OwnFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(SelfModule(), path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return {};
    }
    std::string folder(path, n);
    size_t slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

} // namespace

const std::string& ThisComputerName() {
    static const std::string name = [] {
        char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD size = sizeof(buffer);
        return GetComputerNameA(buffer, &size) ? std::string(buffer) : std::string();
    }();
    return name;
}

bool JobIsSpooledAsEmf(const char* printerName, int jobId) {
    if (printerName == nullptr || *printerName == '\0') {
        return false;
    }
    std::string name(printerName);
    unique_printer printer;
    if (!Spooler().openPrinter(&name[0], printer.put(), nullptr) || !printer) {
        return false;
    }
    DWORD needed = 0;
    Spooler().getJob(printer.get(), static_cast<DWORD>(jobId), 2, nullptr, 0, &needed);
    if (needed < sizeof(JOB_INFO_2A)) {
        return false;
    }
    std::vector<BYTE> buffer(needed);
    if (!Spooler().getJob(printer.get(), static_cast<DWORD>(jobId), 2, buffer.data(), needed,
                          &needed)) {
        return false;
    }
    const auto* info = reinterpret_cast<const JOB_INFO_2A*>(buffer.data());
    return info->pDatatype != nullptr && strstr(info->pDatatype, "EMF") != nullptr;
}

PortMonitorClient::PortMonitorClient(std::string pipeName, DWORD callLimit, HANDLE stopEvent)
    : m_strPipeName(std::move(pipeName)), m_nCallLimit(callLimit), m_hStopEvent(stopEvent) {}

// The run time cancels a thread's call by that thread's handle. A cancelled
// call ends at once with an RPC failure, which the guard turns into 0; the
// connection it used is dropped by the run time.
PortMonitorClient::CallDeadline::CallDeadline(DWORD limitMs, HANDLE stopEvent) {
    HANDLE self = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0,
                        FALSE, DUPLICATE_SAME_ACCESS)) {
        m_hThread.reset(self);
    }
    // A cancelled call does not wait for the server to agree.
    RpcMgmtSetCancelTimeout(1);
    if (!m_hThread) {
        return;
    }
    bool stopping = stopEvent != nullptr && WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0;
    if (stopEvent != nullptr && !stopping) {
        // Ends at the limit or as soon as the monitor is being destroyed.
        m_bWait = RegisterWaitForSingleObject(&m_hTimer, stopEvent, OnExpired, this, limitMs,
                                              WT_EXECUTEONLYONCE) != FALSE;
        if (m_bWait) {
            return;
        }
        m_hTimer = nullptr;
    }
    if (!CreateTimerQueueTimer(&m_hTimer, nullptr, OnExpired, this,
                               stopping ? std::min<DWORD>(limitMs, pm::kStoppingCallLimitMs)
                                        : limitMs,
                               0, WT_EXECUTEONLYONCE)) {
        m_hTimer = nullptr;
    }
}

PortMonitorClient::CallDeadline::~CallDeadline() {
    if (m_hTimer == nullptr) {
        return;
    }
    // Both wait for a callback that already started.
    if (m_bWait) {
        UnregisterWaitEx(m_hTimer, INVALID_HANDLE_VALUE);
    } else {
        DeleteTimerQueueTimer(nullptr, m_hTimer, INVALID_HANDLE_VALUE);
    }
}

void CALLBACK PortMonitorClient::CallDeadline::OnExpired(void* self, BOOLEAN) {
    auto* deadline = static_cast<CallDeadline*>(self);
    InterlockedExchange(&deadline->m_nExpired, 1);
    RpcCancelThread(deadline->m_hThread.get());
}

PortMonitorClient::~PortMonitorClient() {
    if (m_hPort != 0) {
        ClosePort(m_hPort);
    }
    if (m_nSession != 0) {
        Close(m_nSession);
    }
    if (m_hContext != nullptr) {
        // The server is gone with the session: free our side of it.
        KrxPmDropSession(&m_hContext);
    }
    m_pBinding.reset();
}

int PortMonitorClient::Open(const char* libraryFileName, const char* printerName, int jobId) {
    if (m_nSession != 0 || libraryFileName == nullptr) {
        return 0;
    }
    std::string server;
    if (IsNtFamily()) {
        server = pm::ServerNameOf(printerName);
    }
    if (!server.empty() && JobIsSpooledAsEmf(printerName, jobId)) {
        return OpenRemote(server, libraryFileName);
    }
    return OpenLocal(libraryFileName);
}

int PortMonitorClient::OpenRemote(const std::string& server, const char* libraryFileName) {
    m_nMode = kModeRemote;
    std::string key;
    if (!MakeBinding(server, pm::kProtocolPipe, pm::PipeEndpoint(m_strPipeName).c_str(), &key)) {
        return 0;
    }
    // The opening runs on a thread that can be left behind: a server that
    // holds its pipe busy or never answers the bind keeps that thread, not
    // this one, and no other monitor waits for it.
    DWORD limit = m_nCallLimit;
    if (m_hStopEvent != nullptr && WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0) {
        limit = std::min<DWORD>(limit, pm::kStoppingCallLimitMs);
    }
    OpenedSession opened =
        OpenSessionWithin(key, m_pBinding->Take(), libraryFileName, limit, m_hStopEvent);
    if (opened.binding != nullptr) {
        m_pBinding.reset(new RpcBindingHolder(static_cast<RPC_BINDING_HANDLE>(opened.binding)));
    } else {
        m_pBinding.reset();
    }
    m_hContext = opened.context;
    if (opened.failure != 0) {
        m_nLastRpcFailure = opened.failure;
    }
    if (opened.session != 0 && m_hContext != nullptr) {
        m_nSession = static_cast<int>(opened.session);
    }
    return m_nSession;
}

int PortMonitorClient::OpenLocal(const char* libraryFileName) {
    m_nMode = kModeLocal;
    std::string path = OwnFolder() + libraryFileName;
    m_hLibrary.reset(LoadCodeLibrary(path));
    m_nSession = static_cast<int>(reinterpret_cast<INT_PTR>(m_hLibrary.get()));
    return m_nSession;
}

int PortMonitorClient::Close(int session) {
    if (session == 0 || session != m_nSession) {
        return 0;
    }
    if (m_nMode == kModeLocal) {
        m_hLibrary.reset();
        m_nSession = 0;
        return 1;
    }
    if (Remote([&](unsigned long* failure) { return KrxPmCloseSession(&m_hContext, failure); }) !=
        1) {
        return 0;
    }
    m_nSession = 0;
    ReleaseBinding();
    m_pBinding.reset();
    return 1;
}

bool PortMonitorClient::MakeBinding(const std::string& server, const char* protocol,
                                    const char* endpoint, std::string* key) {
    pm::BindingParts parts =
        pm::ChooseBinding(server, ThisComputerName(), protocol != nullptr ? protocol : "",
                          endpoint != nullptr ? endpoint : "", m_strPipeName);
    auto text = [](const std::string& s) {
        return s.empty() ? nullptr : reinterpret_cast<RPC_CSTR>(const_cast<char*>(s.c_str()));
    };
    RPC_CSTR binding = nullptr;
    RPC_STATUS status =
        RpcStringBindingComposeA(nullptr, text(parts.protocol), text(parts.networkAddress),
                                 text(parts.endpoint), nullptr, &binding);
    if (status == RPC_S_OK) {
        *key = reinterpret_cast<const char*>(binding);
        RPC_BINDING_HANDLE handle = nullptr;
        status = RpcBindingFromStringBindingA(binding, &handle);
        RpcStringFreeA(&binding);
        if (status == RPC_S_OK) {
            m_pBinding.reset(new RpcBindingHolder(handle));
        }
    }
    SetLastError(status);
    return status == RPC_S_OK;
}

void PortMonitorClient::ReleaseBinding() {
    RPC_STATUS status = m_pBinding ? m_pBinding->Release() : RPC_S_OK;
    SetLastError(status);
}

FARPROC PortMonitorClient::Entry(int ordinal) const {
    if (!m_hLibrary) {
        return nullptr;
    }
    return GetProcAddress(m_hLibrary.get(), MAKEINTRESOURCEA(ordinal));
}

int PortMonitorClient::OpenPort(const char* printerName, const char* portName, int flag,
                                const char* data) {
    int port = 0;
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnOpenPort>(Entry(kOrdinalOpenPort));
        port = fn != nullptr ? fn(printerName, portName, flag, data) : 0;
    } else if (m_nMode == kModeRemote && m_nSession != 0) {
        long n = data != nullptr ? static_cast<long>(strlen(data)) : 0;
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
        if (n == 0) {
            bytes = DummyData();
            n = pm::kDummyDataLength;
        }
        port = Remote([&](unsigned long* failure) {
            return KrxPmOpenPort(&m_hContext, pm::WithoutServerPart(printerName),
                                 portName != nullptr ? portName : "", flag, n, bytes, failure);
        });
    }
    if (port != 0) {
        m_hPort = port;
    }
    return port;
}

int PortMonitorClient::ClosePort(int portHandle) {
    int result = 0;
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnPortCall>(Entry(kOrdinalClosePort));
        result = fn != nullptr ? fn(portHandle) : 0;
    } else if (m_nMode == kModeRemote && m_nSession != 0) {
        result =
            Remote([&](unsigned long* failure) { return KrxPmClosePort(&m_hContext, failure); });
    }
    if (result == 1) {
        m_hPort = 0;
    }
    return result;
}

int PortMonitorClient::IsPortActive(int portHandle) {
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnPortCall>(Entry(kOrdinalIsPortActive));
        return fn != nullptr ? fn(portHandle) : 0;
    }
    if (m_nMode == kModeRemote && m_nSession != 0) {
        return Remote(
            [&](unsigned long* failure) { return KrxPmIsPortActive(&m_hContext, failure); });
    }
    return 0;
}

int PortMonitorClient::GetCurrentJob(int portHandle) {
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnPortCall>(Entry(kOrdinalGetCurrentJob));
        return fn != nullptr ? fn(portHandle) : 0;
    }
    if (m_nMode == kModeRemote && m_nSession != 0) {
        return Remote(
            [&](unsigned long* failure) { return KrxPmGetCurrentJob(&m_hContext, failure); });
    }
    return 0;
}

int PortMonitorClient::IsJobActive(int portHandle, int job) {
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnJobCall>(Entry(kOrdinalIsJobActive));
        return fn != nullptr ? fn(portHandle, job) : 0;
    }
    if (m_nMode == kModeRemote && m_nSession != 0) {
        return Remote(
            [&](unsigned long* failure) { return KrxPmIsJobActive(&m_hContext, job, failure); });
    }
    return 0;
}

int PortMonitorClient::GetJobProperty(int portHandle, int job, int property, void* buffer, int size,
                                      int* needed) {
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnGetJobProperty>(Entry(kOrdinalGetJobProperty));
        return fn != nullptr ? fn(portHandle, job, property, buffer, size, needed) : 0;
    }
    if (m_nMode != kModeRemote || m_nSession == 0) {
        return 0;
    }
    // Without a buffer the marker goes out in a scratch copy; whatever the
    // reply writes into it is dropped.
    unsigned char scratch[pm::kDummyDataLength];
    unsigned char* bytes = static_cast<unsigned char*>(buffer);
    long n = size;
    if (bytes == nullptr || n <= 0) {
        memcpy(scratch, pm::kDummyData, sizeof(scratch));
        bytes = scratch;
        n = pm::kDummyDataLength;
    }
    long wireNeeded = needed != nullptr ? *needed : 0;
    bool delivered = false;
    long result = Remote([&](unsigned long* failure) {
        long answer =
            KrxPmGetJobProperty(&m_hContext, job, property, n, bytes, &wireNeeded, failure);
        delivered = *failure == 0;
        return answer;
    });
    if (needed != nullptr && delivered) {
        *needed = static_cast<int>(wireNeeded);
    }
    return result;
}

int PortMonitorClient::SetJobProperty(int portHandle, int job, int property, const void* data) {
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnSetJobProperty>(Entry(kOrdinalSetJobProperty));
        return fn != nullptr ? fn(portHandle, job, property, data) : 0;
    }
    if (m_nMode != kModeRemote || m_nSession == 0) {
        return 0;
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    long n = pm::JobPropertyDataSize(property, static_cast<const char*>(data));
    if (bytes == nullptr || n == 0) {
        bytes = DummyData();
        n = pm::kDummyDataLength;
    }
    return Remote([&](unsigned long* failure) {
        return KrxPmSetJobProperty(&m_hContext, job, property, n, bytes, failure);
    });
}

int PortMonitorClient::BeginJobWatch(int portHandle, int job) {
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnJobCall>(Entry(kOrdinalBeginJobWatch));
        return fn != nullptr ? fn(portHandle, job) : 0;
    }
    if (m_nMode == kModeRemote && m_nSession != 0) {
        return Remote(
            [&](unsigned long* failure) { return KrxPmBeginJobWatch(&m_hContext, job, failure); });
    }
    return 0;
}

int PortMonitorClient::EndJobWatch(int portHandle, int job) {
    if (m_nMode == kModeLocal) {
        auto fn = As<PfnJobCall>(Entry(kOrdinalEndJobWatch));
        return fn != nullptr ? fn(portHandle, job) : 0;
    }
    if (m_nMode == kModeRemote && m_nSession != 0) {
        return Remote(
            [&](unsigned long* failure) { return KrxPmEndJobWatch(&m_hContext, job, failure); });
    }
    return 0;
}

} // namespace krx
