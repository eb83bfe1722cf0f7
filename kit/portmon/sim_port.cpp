// The simulated port: scripted jobs printed one after the other.
#include "sim_port.h"
#include "call_log.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kit_paths.h"
#include "sim_port_paths.h"

namespace kit {
namespace simport {

namespace {

struct SimJob {
    std::string key; // name of the job's script key
    int spoolerId = 0;
    std::vector<unsigned char> text;
    int textNeeded = kUnset; // a size answer that differs from the text's
    unsigned char paper[6] = {};
    unsigned int status = 0;
    int sheets = 1;
    int polls = 3;
    int secondsPerPoll = 10;
    int done = 0; // polls consumed
    bool paused = false;
    bool finished = false;
    bool watched = false;
};

struct PortState {
    int port = 0;
    std::vector<SimJob> jobs;
};

// The RPC server answers on several threads. A critical section rather than
// std::mutex: the library is built with the win32 thread model.
class PortLock {
  public:
    PortLock() { EnterCriticalSection(Section()); }
    ~PortLock() { LeaveCriticalSection(Section()); }
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

  private:
    static CRITICAL_SECTION* Section() {
        static CRITICAL_SECTION* section = [] {
            static CRITICAL_SECTION cs;
            InitializeCriticalSection(&cs);
            return &cs;
        }();
        return section;
    }
};

PortState& State() {
    static PortState state;
    return state;
}

int ReadInt(HKEY key, const char* name, int fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(value)) {
        return fallback;
    }
    return static_cast<int>(value);
}

std::vector<unsigned char> ReadBytes(HKEY key, const char* name) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0) {
        return {};
    }
    std::vector<unsigned char> data(size);
    if (RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    data.resize(size);
    return data;
}

std::vector<SimJob> LoadJobs() {
    std::vector<SimJob> jobs;
    HKEY root = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimPortJobsKey, 0, KEY_READ, &root) != ERROR_SUCCESS) {
        return jobs;
    }
    std::vector<std::pair<long, std::string>> names;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(root, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(strtol(name, nullptr, 10), name);
    }
    std::sort(names.begin(), names.end());
    for (const auto& entry : names) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, entry.second.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            continue;
        }
        SimJob job;
        job.key = entry.second;
        job.spoolerId = ReadInt(key, "SpoolerId", 0);
        job.text = ReadBytes(key, "Text");
        job.textNeeded = ReadInt(key, "TextNeeded", kUnset);
        std::vector<unsigned char> paper = ReadBytes(key, "Paper");
        memcpy(job.paper, paper.data(), std::min(paper.size(), sizeof(job.paper)));
        job.status = static_cast<unsigned int>(ReadInt(key, "Status", 0));
        job.sheets = ReadInt(key, "Sheets", 1);
        job.polls = std::max(1, ReadInt(key, "Polls", 3));
        job.secondsPerPoll = ReadInt(key, "SecondsPerPoll", 10);
        job.paused = ReadInt(key, "Paused", 0) != 0;
        jobs.push_back(job);
        RegCloseKey(key);
    }
    RegCloseKey(root);
    return jobs;
}

SimJob* FindJob(int job) {
    PortState& s = State();
    size_t index = static_cast<size_t>(job - kSimJobHandleBase);
    if (job < kSimJobHandleBase || index >= s.jobs.size()) {
        return nullptr;
    }
    return &s.jobs[index];
}

bool PropertyFails(int property) {
    std::string list = ScriptText("FailProps");
    const char* p = list.c_str();
    while (*p != '\0') {
        char* end = nullptr;
        long value = strtol(p, &end, 10);
        if (end == p) {
            ++p;
            continue;
        }
        if (value == property) {
            return true;
        }
        p = end;
    }
    return false;
}

void Put32(std::vector<unsigned char>& data, unsigned int value) {
    unsigned char bytes[4];
    memcpy(bytes, &value, sizeof(bytes));
    data.insert(data.end(), bytes, bytes + 4);
}

} // namespace

std::string ScriptText(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimPortKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<unsigned char> data = ReadBytes(key, name);
    RegCloseKey(key);
    std::string text(data.begin(), data.end());
    size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    return text;
}

int ScriptNumber(const char* name, int fallback) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimPortKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return fallback;
    }
    int value = ReadInt(key, name, fallback);
    RegCloseKey(key);
    return value;
}

namespace {

// "HangCount" hangs, then no more: the count goes down at every hang and the
// hang is taken out of the script with the last one.
void CountDownHangs() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimPortKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    const int count = ReadInt(key, "HangCount", 0);
    if (count == 1) {
        RegDeleteValueA(key, "HangInCall");
        RegDeleteValueA(key, "HangCount");
    } else if (count > 1) {
        DWORD left = static_cast<DWORD>(count - 1);
        RegSetValueExA(key, "HangCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&left),
                       sizeof(left));
    }
    RegCloseKey(key);
}

} // namespace

void StallIfScripted(const char* side, const char* operation) {
    const int slow = ScriptNumber("SlowCallMs", 0);
    if (slow > 0) {
        Sleep(static_cast<DWORD>(slow));
    }
    if (ScriptText("HangInCall") == operation) {
        const int ms = ScriptNumber("HangMs", -1);
        CountDownHangs();
        Log("%s %s: hangs %d ms", side, operation, ms);
        Sleep(ms < 0 ? INFINITE : static_cast<DWORD>(ms));
    }
}

void Log(const char* format, ...) {
    std::string path = ScriptText("CallLog");
    va_list args;
    va_start(args, format);
    AppendCallLogLine(path, format, args);
    va_end(args);
}

std::string Printable(const void* data, int size) {
    if (data == nullptr) {
        return "(null)";
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    std::string text;
    for (int i = 0; i < size && bytes[i] != 0; ++i) {
        if (bytes[i] < 0x20 || bytes[i] >= 0x7F) {
            char hex[8];
            snprintf(hex, sizeof(hex), "<%02X>", bytes[i]);
            text += hex;
        } else {
            text += static_cast<char>(bytes[i]);
        }
    }
    return text;
}

void ResetSession() {
    PortLock hold;
    State() = PortState{};
}

int OpenPort(const char*, const char*, int) {
    PortLock hold;
    PortState& s = State();
    int result = ScriptNumber("OpenPortResult", kSimPortHandle);
    if (result == 0) {
        return 0;
    }
    // The port's queue as it stands when the port is opened; jobs it had
    // already keep their progress.
    std::vector<SimJob> jobs = LoadJobs();
    for (SimJob& job : jobs) {
        for (const SimJob& known : s.jobs) {
            if (known.key == job.key && known.spoolerId == job.spoolerId) {
                job = known;
            }
        }
    }
    s.jobs = jobs;
    s.port = result;
    return result;
}

int ClosePort(int port) {
    PortLock hold;
    PortState& s = State();
    if (port == 0 || port != s.port) {
        return 0;
    }
    s.port = 0;
    return 1;
}

int IsPortActive(int port) {
    PortLock hold;
    PortState& s = State();
    if (port == 0 || port != s.port || ScriptNumber("PortInactive", 0) != 0) {
        return 0;
    }
    for (const SimJob& job : s.jobs) {
        if (!job.finished) {
            return 1;
        }
    }
    return 0;
}

int GetCurrentJob(int port) {
    PortLock hold;
    PortState& s = State();
    if (port == 0 || port != s.port) {
        return 0;
    }
    for (size_t i = 0; i < s.jobs.size(); ++i) {
        SimJob& job = s.jobs[i];
        if (job.finished) {
            continue;
        }
        // A job nobody watches prints on by itself.
        if (!job.watched && !job.paused && ++job.done > job.polls) {
            job.finished = true;
            continue;
        }
        return kSimJobHandleBase + static_cast<int>(i);
    }
    return 0;
}

int IsJobActive(int port, int jobHandle) {
    PortLock hold;
    SimJob* job = FindJob(jobHandle);
    if (port == 0 || port != State().port || job == nullptr || job->finished) {
        return 0;
    }
    if (!job->paused && ++job->done > job->polls) {
        job->done = job->polls;
        job->finished = true;
        return 0;
    }
    return 1;
}

int SetJobProperty(int port, int jobHandle, int property, const void* data, int size) {
    PortLock hold;
    SimJob* job = FindJob(jobHandle);
    if (port == 0 || port != State().port || job == nullptr || data == nullptr ||
        ScriptNumber("FailSet", 0) != 0) {
        return 0;
    }
    if (property != 201 || (size >= 0 && size < 4)) {
        return 0;
    }
    int command = 0;
    memcpy(&command, data, sizeof(command));
    switch (command) {
    case 1:
        job->paused = true;
        return 1;
    case 2:
        job->paused = false;
        return 1;
    case 3:
        job->finished = true;
        return 1;
    default:
        return 0;
    }
}

int GetJobProperty(int port, int jobHandle, int property, void* buffer, int size, int* needed) {
    PortLock hold;
    SimJob* job = FindJob(jobHandle);
    if (port == 0 || port != State().port || job == nullptr || PropertyFails(property)) {
        return 0;
    }
    std::vector<unsigned char> data;
    switch (property) {
    case 1:
        data = job->text;
        break;
    case 3:
        Put32(data, static_cast<unsigned int>(job->spoolerId));
        break;
    case 21:
        data.assign(job->paper, job->paper + sizeof(job->paper));
        break;
    case 101:
        Put32(data, job->status | (job->paused ? 0x10u : 0u));
        break;
    case 102:
        Put32(data, static_cast<unsigned int>(
                        std::min(job->sheets, 1 + job->done * job->sheets / job->polls)));
        Put32(data, static_cast<unsigned int>(job->sheets));
        break;
    case 103:
        Put32(data, static_cast<unsigned int>(job->done));
        Put32(data, static_cast<unsigned int>(job->polls));
        break;
    case 104:
        Put32(data, static_cast<unsigned int>((job->polls - job->done) * job->secondsPerPoll));
        break;
    default:
        return 0;
    }
    int available = static_cast<int>(data.size());
    bool sizeOverridden = property == 1 && job->textNeeded != kUnset;
    if (needed != nullptr) {
        *needed = sizeOverridden ? job->textNeeded : available;
    }
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    if (sizeOverridden) {
        // A port monitor whose size answer is wrong: it fills what it is given.
        memcpy(buffer, data.data(), static_cast<size_t>(std::min(size, available)));
        return 1;
    }
    if (size < available) {
        return 0;
    }
    memcpy(buffer, data.data(), static_cast<size_t>(available));
    return 1;
}

int BeginJobWatch(int port, int jobHandle) {
    PortLock hold;
    SimJob* job = FindJob(jobHandle);
    if (port == 0 || port != State().port || job == nullptr) {
        return 0;
    }
    job->watched = true;
    return 1;
}

int EndJobWatch(int port, int jobHandle) {
    PortLock hold;
    SimJob* job = FindJob(jobHandle);
    if (port == 0 || port != State().port || job == nullptr) {
        return 0;
    }
    job->watched = false;
    return 1;
}

} // namespace simport
} // namespace kit
