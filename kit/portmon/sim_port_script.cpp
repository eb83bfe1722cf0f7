// Script writers of the simulated port and the RPC server starter.
#include "sim_port_script.h"

#include <winspool.h>

#include <cstdio>
#include <vector>

#include "kit_install.h"

namespace kit {

namespace {

HKEY CreateKey(const char* path) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

void SetDword(HKEY key, const char* name, int value) {
    DWORD v = static_cast<DWORD>(value);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
}

void SetBinary(HKEY key, const char* name, const void* data, size_t size) {
    RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data),
                   static_cast<DWORD>(size));
}

} // namespace

void SimPort::Reset() {
    DeleteTree(HKEY_CURRENT_USER, kSimPortKey);
}

void SimPort::AddJob(const SimPortJob& job) {
    HKEY jobs = CreateKey(kSimPortJobsKey);
    if (jobs == nullptr) {
        return;
    }
    DWORD count = 0;
    RegQueryInfoKeyA(jobs, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    char name[16];
    snprintf(name, sizeof(name), "%lu", static_cast<unsigned long>(count));
    HKEY key = nullptr;
    RegCreateKeyExA(jobs, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(jobs);
    if (key == nullptr) {
        return;
    }
    SetDword(key, "SpoolerId", job.spoolerId);
    SetBinary(key, "Text", job.text.c_str(), job.text.size() + (job.terminated ? 1 : 0));
    if (job.textNeeded != kUnset) {
        SetDword(key, "TextNeeded", job.textNeeded);
    }
    SetBinary(key, "Paper", job.paper, sizeof(job.paper));
    SetDword(key, "Status", job.status);
    SetDword(key, "Sheets", job.sheets);
    SetDword(key, "Polls", job.polls);
    SetDword(key, "SecondsPerPoll", job.secondsPerPoll);
    SetDword(key, "Paused", job.paused ? 1 : 0);
    RegCloseKey(key);
}

void SimPort::SetNumber(const char* name, int value) {
    HKEY key = CreateKey(kSimPortKey);
    if (key != nullptr) {
        SetDword(key, name, value);
        RegCloseKey(key);
    }
}

void SimPort::SetText(const char* name, const std::string& text) {
    HKEY key = CreateKey(kSimPortKey);
    if (key != nullptr) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
}

void SimPort::Remove(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimPortKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

SpoolerJob::SpoolerJob(const char* printerName, const std::string& outputFile) {
    if (!OpenPrinterA(const_cast<char*>(printerName), &printer_, nullptr)) {
        printer_ = nullptr;
        return;
    }
    DOC_INFO_1A doc = {};
    doc.pDocName = const_cast<char*>("Kit test page");
    doc.pOutputFile = const_cast<char*>(outputFile.c_str());
    doc.pDatatype = const_cast<char*>("RAW");
    id_ = static_cast<int>(StartDocPrinterA(printer_, 1, reinterpret_cast<BYTE*>(&doc)));
}

SpoolerJob::~SpoolerJob() {
    End();
    if (printer_ != nullptr) {
        ClosePrinter(printer_);
    }
}

void SpoolerJob::End() {
    if (id_ != 0) {
        EndDocPrinter(printer_);
        id_ = 0;
    }
}

PortMonitorServer::PortMonitorServer(std::string endpoint, Pipe pipe)
    : endpoint_(std::move(endpoint)), pipe_(pipe) {}

PortMonitorServer::~PortMonitorServer() {
    Kill();
    if (stop_ != nullptr) {
        CloseHandle(stop_);
    }
}

bool PortMonitorServer::Start(DWORD timeoutMs) {
    if (Running()) {
        return true;
    }
    if (process_ != nullptr) {
        CloseHandle(process_);
        process_ = nullptr;
    }
    std::string readyName = std::string(kServerReadyEventPrefix) + endpoint_;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    if (stop_ == nullptr) {
        std::string stopName = std::string(kServerStopEventPrefix) + endpoint_;
        stop_ = CreateEventA(nullptr, TRUE, FALSE, stopName.c_str());
    }
    ResetEvent(stop_);
    std::string exe = ExecutableFolder() + kPortMonitorServerExe;
    char command[512];
    const char* mode = pipe_ == Pipe::kHoldBusy     ? "holdpipe"
                       : pipe_ == Pipe::kSilentBind ? "silentbind"
                                                    : "serve";
    snprintf(command, sizeof(command), "\"%s\" %s %lu %s", exe.c_str(), endpoint_.c_str(),
             GetCurrentProcessId(), mode);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        CloseHandle(ready);
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    HANDLE waits[2] = {ready, process_};
    DWORD which = WaitForMultipleObjects(2, waits, FALSE, timeoutMs);
    CloseHandle(ready);
    if (which != WAIT_OBJECT_0) {
        Kill();
        return false;
    }
    return true;
}

bool PortMonitorServer::Stop(DWORD timeoutMs) {
    if (!Running()) {
        return true;
    }
    SetEvent(stop_);
    bool ended = WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        Kill();
    }
    return ended;
}

void PortMonitorServer::Kill() {
    if (process_ == nullptr) {
        return;
    }
    if (Running()) {
        TerminateProcess(process_, 9);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

bool PortMonitorServer::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

} // namespace kit
