// Cost of one status tick of a Detail window and one progress tick of a
// meter, against the floor of a timer message the window ignores. Every
// tick is handed to the window as its timer's message with a sent (not
// posted) message and timed on its own: the call returns once the window
// has handled that tick, so the time covers the tick and nothing else, and
// no tick can be merged with or hidden behind another. The Detail window's
// own status timer is held back meanwhile, so that the status ticks made are
// exactly those sent.
//
// The meter does not poll the status here, so that the Detail window alone
// takes the host's notes of a new reply. The simulated library's call log
// is on throughout: every measured status
// tick must have made its two-call read on the window's own status channel
// (the Detail window's, told apart from the meter's by the channel it
// registered for its notifications), and the library read timed for
// comparison its two calls on a channel of its own; a run in which they did
// not is refused. While another process sends a job the tick reads the
// reply the host stored instead of asking the library: there each tick must
// show the reply stored just before it.
//
// The figures are taken in interleaved rounds, so that a change in the
// machine's load during the run affects them alike, and printed beside the
// parts they are made of: a status tick beside its library read plus the
// ignored message, and what remains when those are taken away.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "base/registry/registry_paths.h"
#include "bench_stats.h"
#include "comm/bxapi.h"
#include "comm/device_id.h"
#include "comm/status_channels.h"
#include "common/resource_ids.h"
#include "common/win_handles.h"
#include "base/module/module_state.h"
#include "hardening_support.h"
#include "kit_install.h"
#include "kit_paths.h"
#include "soak_session.h"
#include "ui/status_window/window_timers.h"

// The spooler header's SetPrinter macro would rename the channels' method.
#undef SetPrinter

namespace {

constexpr int kTicksPerSample = 100;
constexpr int kLargeStore = 2000;
constexpr int kTicksPerState = 25; // the printer changes its state this often
constexpr int kTicksPerJob = 40;   // a new job reaches the meter this often
constexpr DWORD kTickTimeoutMs = 30000;
// A timer id neither window uses: the message reaches the window procedure
// and is dropped there.
constexpr UINT_PTR kIgnoredTimer = 0x7A11;
// The status notification option a window registers its status channel for.
constexpr int kStatusNotification = 4;
constexpr const char* kStoreBase = krx::regkey::kByPrinterBase;
constexpr char kPrinterStore[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer01";

const char* const kPrinterStates[] = {
    "ST:04;IQ:5A4B3C5A463C;",
    "ST:04;WR:10;IQ:0C4B3C5A463C;",
    "ST:00;ER:05;IQ:004B3C5A463C;",
    "ST:00;ER:06;IQ:0C4B3C5A463C;",
};
// Two stored replies with different messages, alternated while a job is
// sent: ready, black ink low.
const char* const kStoredReplies[] = {"ST:04;IQ:5A5A5A5A5A5A;", "ST:04;WR:10;IQ:0A5A5A5A5A5A;"};

std::string Reply(const char* fields) {
    return std::string("@BDC ST\r\n") + fields + "\x0C";
}

// One timer message handled by the window, in microseconds; negative when
// the window did not answer.
double TimedTick(HWND window, UINT_PTR timerId) {
    DWORD_PTR answer = 0;
    const double start = bench::Now();
    const LRESULT sent =
        SendMessageTimeoutA(window, WM_TIMER, timerId, 0, SMTO_NORMAL, kTickTimeoutMs, &answer);
    const double elapsed = (bench::Now() - start) * 1e6;
    return sent != 0 ? elapsed : -1;
}

// Keeps the Detail window's own status timer from reaching it while the
// ticks are measured. The window restarts that timer at every tick, at 1 s
// while a job is being sent; on a loaded machine the time between a job-sent
// round and the next status round can exceed that, and the tick the timer
// then made would be read in the middle of a round's call log. The timer's
// messages are turned into WM_NULL as the window's thread takes them from
// its queue (and counted); the ticks the benchmark sends are sent messages,
// which do not pass this hook, so each does exactly what a tick does.
class OwnStatusTimerBlock {
  public:
    explicit OwnStatusTimerBlock(HWND window) {
        s_window = window;
        s_blocked = 0;
        hook_ = SetWindowsHookExA(WH_GETMESSAGE, Watch, nullptr,
                                  GetWindowThreadProcessId(window, nullptr));
    }
    ~OwnStatusTimerBlock() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }
    OwnStatusTimerBlock(const OwnStatusTimerBlock&) = delete;
    OwnStatusTimerBlock& operator=(const OwnStatusTimerBlock&) = delete;
    bool Active() const { return hook_ != nullptr; }
    static long Blocked() { return InterlockedCompareExchange(&s_blocked, 0, 0); }

  private:
    static LRESULT CALLBACK Watch(int code, WPARAM removed, LPARAM param) {
        MSG* msg = reinterpret_cast<MSG*>(param);
        if (code == HC_ACTION && msg->hwnd == s_window && msg->message == WM_TIMER &&
            msg->wParam == krx::kStatusTimerId) {
            msg->message = WM_NULL;
            if (removed == PM_REMOVE) {
                InterlockedIncrement(&s_blocked);
            }
        }
        return CallNextHookEx(nullptr, code, removed, param);
    }
    static HWND s_window;
    static volatile LONG s_blocked;
    HHOOK hook_ = nullptr;
};

HWND OwnStatusTimerBlock::s_window = nullptr;
volatile LONG OwnStatusTimerBlock::s_blocked = 0;

// The library's call log: the calls made since it was last taken.
class CallLog {
  public:
    CallLog() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "bench_ticks_calls.log";
        DeleteFileA(path_.c_str());
    }
    ~CallLog() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }
    // Status reads on the channel since the last call: both calls counted.
    int TakeStatusReads(int channel) {
        const std::string text = kit::ReadTextFile(path_);
        DeleteFileA(path_.c_str());
        const std::string first = "BXGetStatus " + std::to_string(channel) + " none\n";
        const std::string second = "BXGetStatus " + std::to_string(channel) + " buffer\n";
        return Count(text, first) + Count(text, second);
    }

  private:
    static int Count(const std::string& text, const std::string& line) {
        int n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
            ++n;
        }
        return n;
    }
    std::string path_;
};

// Other printers' store keys beside the benchmarked one ("Printer01",
// which enumerates after them).
void AddOtherStoreKeys(int count) {
    for (int i = 0; i < count; ++i) {
        char sub[96];
        std::snprintf(sub, sizeof(sub), "%s\\P%05d", kStoreBase, i);
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            const std::string name = "Other Printer " + std::to_string(i);
            RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                           static_cast<DWORD>(name.size() + 1));
            RegCloseKey(key);
        }
    }
}

void RemoveOtherStoreKeys(int count) {
    for (int i = 0; i < count; ++i) {
        char sub[96];
        std::snprintf(sub, sizeof(sub), "%s\\P%05d", kStoreBase, i);
        RegDeleteKeyA(HKEY_CURRENT_USER, sub);
    }
}

void WriteStore(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPrinterStore, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
}

// The host notes a fresh reply, as its status query does between ticks.
void HostWritesComStatus() {
    const DWORD read = 1;
    WriteStore("ComStatus", REG_DWORD, &read, sizeof(read));
}

// The host stores a reply and notes it, as it does while a job is sent.
void HostStoresReply(const char* fields) {
    const std::string reply = Reply(fields);
    WriteStore("Status", REG_BINARY, reply.data(), static_cast<DWORD>(reply.size()));
    HostWritesComStatus();
}

std::string StatusText(HWND window) {
    char text[512] = {};
    GetDlgItemTextA(window, IDC_STATUS_TEXT, text, sizeof(text));
    return text;
}

bench::Figure Sum(const bench::Figure& a, const bench::Figure& b) {
    return bench::Figure{a.min + b.min, a.median + b.median};
}

bench::Figure Less(const bench::Figure& a, const bench::Figure& b) {
    return bench::Figure{a.min - b.min, a.median - b.median};
}

// One figure: its per-round means and the check of each round.
struct Series {
    const char* name;
    std::function<bool(std::string*)> round; // times one sample; false: refused
    std::vector<double> samples;
};

} // namespace

int main() {
    krx::InitializeModuleState();
    std::string error;
    hardening::SoakSession session;
    if (!session.Open(&error, true, false)) {
        std::printf("ticks: %s\n", error.c_str());
        return 1;
    }
    CallLog log;
    kit::SimPrinter::SetText("CallLog", log.Path());
    const HWND detail = session.Detail();
    const HWND meter = session.Meter();
    // The first tick selects the Detail window's channel.
    TimedTick(detail, krx::kStatusTimerId);
    const int detailChannel = kit::SimRegisteredHandle(detail, kStatusNotification);

    krx::RememberPrinterName(kit::kPrinterName);
    krx::CBxApi library(krx::RememberedPrinterName());
    krx::StatusChannels channels(library);
    channels.SetNames(kit::kPrinterName, kit::kPortName);
    if (detailChannel == 0 || !library.IsEnabled() ||
        krx::ChannelSelect(channels) != krx::kChannelSelectOpen) {
        std::printf("ticks: no status channel of the simulated library (Detail window: %d)\n",
                    detailChannel);
        return 1;
    }
    OwnStatusTimerBlock ownTimer(detail);
    if (!ownTimer.Active()) {
        std::printf("ticks: the Detail window's own status timer cannot be held back\n");
        return 1;
    }
    log.TakeStatusReads(detailChannel);

    int stateTicks = 0;
    int jobTicks = 0;
    int stored = 0;
    std::vector<unsigned char> buffer;
    // Each round of a series times kTicksPerSample items and returns the
    // mean; work before an item (the host's write, the printer's change) is
    // not timed.
    auto timed = [](std::vector<double>& samples, const std::function<double()>& one) {
        double total = 0;
        for (int i = 0; i < kTicksPerSample; ++i) {
            const double t = one();
            if (t < 0) {
                return false;
            }
            total += t;
        }
        samples.push_back(total / kTicksPerSample);
        return true;
    };
    // The library-read ticks of a round made both calls each.
    auto readsMade = [&](const char* what, std::string* why) {
        const int reads = log.TakeStatusReads(detailChannel);
        if (reads != 2 * kTicksPerSample) {
            *why = std::string(what) + ": " + std::to_string(kTicksPerSample) + " ticks made " +
                   std::to_string(reads) + " library calls, not " +
                   std::to_string(2 * kTicksPerSample);
            return false;
        }
        return true;
    };

    Series ignored = {"ignored timer", nullptr, {}};
    ignored.round = [&](std::string*) {
        return timed(ignored.samples, [&] { return TimedTick(detail, kIgnoredTimer); });
    };
    Series libraryRead = {"library read", nullptr, {}};
    libraryRead.round = [&](std::string* why) {
        const bool ok = timed(libraryRead.samples, [&] {
            const double start = bench::Now();
            int size = 0;
            library.BXGetStatus(channels.m_hStat, nullptr, &size);
            buffer.assign(size > 0 ? static_cast<size_t>(size) + 1 : 1, 0);
            library.BXGetStatus(channels.m_hStat, buffer.data(), &size);
            return (bench::Now() - start) * 1e6;
        });
        const int reads = log.TakeStatusReads(channels.m_hStat);
        if (ok && reads != 2 * kTicksPerSample) {
            *why = "library read: " + std::to_string(reads) + " calls";
            return false;
        }
        return ok;
    };
    Series status = {"status tick", nullptr, {}};
    status.round = [&](std::string* why) {
        log.TakeStatusReads(detailChannel);
        const bool ok = timed(status.samples, [&] {
            if (stateTicks++ % kTicksPerState == 0) {
                const int state = (stateTicks / kTicksPerState) % 4;
                kit::SimPrinter::SetStatusReply(Reply(kPrinterStates[state]));
            }
            return TimedTick(detail, krx::kStatusTimerId);
        });
        return ok && readsMade("status tick", why);
    };
    Series progress = {"progress tick", nullptr, {}};
    progress.round = [&](std::string*) {
        return timed(progress.samples, [&] {
            if (jobTicks++ % kTicksPerJob == 0) {
                session.AnnounceJob();
            }
            return TimedTick(meter, krx::kProgressTimerId);
        });
    };
    auto hostWriting = [&](Series& series) {
        return [&](std::string* why) {
            log.TakeStatusReads(detailChannel);
            const bool ok = timed(series.samples, [&] {
                HostWritesComStatus();
                return TimedTick(detail, krx::kStatusTimerId);
            });
            return ok && readsMade(series.name, why);
        };
    };
    // Another process sending a job holds the printer's job-activity object.
    auto jobSent = [&](Series& series) {
        return [&](std::string* why) {
            krx::unique_handle activity(
                CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16,
                                   krx::JobActivityName(kit::kPrinterName, "").c_str()));
            log.TakeStatusReads(detailChannel);
            std::string previous = StatusText(detail);
            int unchanged = 0;
            const bool ok = timed(series.samples, [&] {
                HostStoresReply(kStoredReplies[stored++ % 2]);
                const double t = TimedTick(detail, krx::kStatusTimerId);
                const std::string now = StatusText(detail);
                unchanged += now == previous ? 1 : 0;
                previous = now;
                return t;
            });
            const int reads = log.TakeStatusReads(detailChannel);
            if (ok && (unchanged > 0 || reads != 0)) {
                *why = std::string(series.name) + ": " + std::to_string(unchanged) +
                       " ticks did not show the stored reply, " + std::to_string(reads) +
                       " library calls";
                return false;
            }
            return ok;
        };
    };
    Series idleOne = {"host writing, 1 store key", nullptr, {}};
    idleOne.round = hostWriting(idleOne);
    Series idleMany = {"host writing, 2000 store keys", nullptr, {}};
    idleMany.round = hostWriting(idleMany);
    Series sentOne = {"job sent, 1 store key", nullptr, {}};
    sentOne.round = jobSent(sentOne);
    Series sentMany = {"job sent, 2000 store keys", nullptr, {}};
    sentMany.round = jobSent(sentMany);

    // Warm-up, then the rounds.
    Series* const small[] = {&ignored, &libraryRead, &status, &progress, &idleOne, &sentOne};
    Series* const large[] = {&idleMany, &sentMany};
    for (int round = 0; round <= bench::kRuns; ++round) {
        for (Series* series : small) {
            std::string why;
            if (!series->round(&why)) {
                std::printf("ticks: refused: %s\n",
                            why.empty() ? "a window stopped answering" : why.c_str());
                return 1;
            }
        }
        AddOtherStoreKeys(kLargeStore - 1);
        TimedTick(detail, krx::kStatusTimerId);
        log.TakeStatusReads(detailChannel);
        for (Series* series : large) {
            std::string why;
            if (!series->round(&why)) {
                std::printf("ticks: refused: %s\n",
                            why.empty() ? "a window stopped answering" : why.c_str());
                return 1;
            }
        }
        RemoveOtherStoreKeys(kLargeStore - 1);
        if (round == 0) {
            for (Series* series : small) {
                series->samples.clear();
            }
            for (Series* series : large) {
                series->samples.clear();
            }
        }
    }
    krx::CloseChannels(channels);

    const bench::Figure floor = bench::Summarise(ignored.samples);
    const bench::Figure read = bench::Summarise(libraryRead.samples);
    const bench::Figure tick = bench::Summarise(status.samples);
    const bench::Figure one = bench::Summarise(idleOne.samples);
    const bench::Figure many = bench::Summarise(idleMany.samples);
    const bench::Figure printingOne = bench::Summarise(sentOne.samples);
    const bench::Figure printingMany = bench::Summarise(sentMany.samples);
    const bench::Figure parts = Sum(read, floor);

    std::printf("each status tick below made its two library calls (call log), each tick with a "
                "job sent showed the reply stored before it; the window's own status timer "
                "was held back %ld times\n",
                OwnStatusTimerBlock::Blocked());
    bench::Print("ignored timer (sent, one at a time)", floor, "(ignored timer)", floor, "us");
    bench::Print("library read (two-call BXGetStatus)", read, "(ignored timer)", floor, "us");
    bench::Print("status tick (Detail, printer changing state)", tick, "(library read + ignored)",
                 parts, "us");
    bench::Print("  of which display and the rest", Less(tick, parts), "(ignored timer)", floor,
                 "us");
    bench::Print("progress tick (meter, job record, display)", bench::Summarise(progress.samples),
                 "(ignored timer)", floor, "us");
    bench::Print("status tick, 1 store key, host writing", one, "(library read + ignored)", parts,
                 "us");
    bench::Print("status tick, 2000 store keys, host writing", many, "(1-key tick)", one, "us");
    bench::Print("status tick, job sent, 1 key, reply changing", printingOne, "(ignored timer)",
                 floor, "us");
    bench::Print("status tick, job sent, 2000 keys, reply changing", printingMany,
                 "(1-key tick, job sent)", printingOne, "us");
    return 0;
}
