// Cost of one status tick (Detail window, the printer changing its state)
// and of one progress tick (meter following a stream of jobs), each posted
// to the window as its timer would be, against the floor of a timer message
// the window ignores. Every batch is followed by a posted sentinel, so the
// wait covers the ticks themselves.
//
// The status tick is also timed one at a time with a host writing ComStatus
// into the printer's store key before each, with 1 and with 2,000 store
// keys, against the library read the tick makes (one two-call BXGetStatus
// through the simulated library) plus the ignored timer sent the same way;
// and while another process sends a job, when the tick takes the reply the
// host stored.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "comm/bxapi.h"
#include "comm/device_id.h"
#include "comm/status_channels.h"
#include "common/win_handles.h"
#include "entry/module/module_state.h"
#include "hardening_support.h"
#include "kit_install.h"
#include "soak_session.h"
#include "ui/status_window/status_window.h"

// The spooler header's SetPrinter macro would rename the channels' method.
#undef SetPrinter

namespace {

constexpr int kTicksPerRun = 200;
constexpr int kHostTicksPerRun = 100;
constexpr int kLibraryReadsPerRun = 200;
constexpr int kLargeStore = 2000;
// A timer id neither window uses: the message reaches the window procedure
// and is dropped there.
constexpr UINT_PTR kIgnoredTimer = 0x7A11;
constexpr char kStoreBase[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget";
constexpr char kPrinterStore[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer01";

template <typename F> bench::Figure MicrosecondsPer(int count, F work) {
    return bench::Runs([&] {
        const double start = bench::Now();
        work(count);
        return (bench::Now() - start) * 1e6 / count;
    });
}

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

// The host notes a fresh reply, as its status query does between ticks.
void HostWritesComStatus() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPrinterStore, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        const DWORD read = 1;
        RegSetValueExA(key, "ComStatus", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&read),
                       sizeof(read));
        RegCloseKey(key);
    }
}

// The host stores a reply and notes it, as it does while a job is sent.
void HostStoresReply() {
    static const char kReply[] = "@BDC ST\r\nST:04;IQ:5A5A5A5A5A5A;\x0C";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPrinterStore, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Status", 0, REG_BINARY, reinterpret_cast<const BYTE*>(kReply),
                       sizeof(kReply) - 1);
        RegCloseKey(key);
    }
    HostWritesComStatus();
}

// Ticks one at a time, each after a host write and waited for on its own.
void TicksWithHostWrites(HWND window, UINT_PTR timerId, int count,
                         void (*hostWrite)() = HostWritesComStatus) {
    for (int i = 0; i < count; ++i) {
        hostWrite();
        hardening::PostTicks(window, timerId, 1);
    }
}

bench::Figure Sum(const bench::Figure& a, const bench::Figure& b) {
    return bench::Figure{a.min + b.min, a.median + b.median};
}

} // namespace

int main() {
    krx::InitializeModuleState();
    std::string error;
    hardening::SoakSession session;
    if (!session.Open(&error)) {
        std::printf("ticks: %s\n", error.c_str());
        return 1;
    }
    session.StatusTicks(100);
    session.ProgressTicks(40);
    const bench::Figure ignored = MicrosecondsPer(
        kTicksPerRun, [&](int n) { hardening::PostTicks(session.Detail(), kIgnoredTimer, n); });
    const bench::Figure status =
        MicrosecondsPer(kTicksPerRun, [&](int n) { session.StatusTicks(n); });
    const bench::Figure progress =
        MicrosecondsPer(kTicksPerRun, [&](int n) { session.ProgressTicks(n); });
    bench::Print("status tick (Detail window, library read, display)", status, "(ignored timer)",
                 ignored, "us");
    bench::Print("progress tick (meter, job record, display)", progress, "(ignored timer)", ignored,
                 "us");

    // The library read of one tick, on a status channel of its own.
    krx::RememberPrinterName(kit::kPrinterName);
    krx::CBxApi library(krx::RememberedPrinterName());
    krx::StatusChannels channels(library);
    channels.SetNames(kit::kPrinterName, kit::kPortName);
    if (!library.IsEnabled() || krx::ChannelSelect(channels) != krx::kChannelSelectOpen) {
        std::printf("ticks: no status channel of the simulated library\n");
        return 1;
    }
    std::vector<unsigned char> buffer;
    auto libraryReads = [&](int n) {
        for (int i = 0; i < n; ++i) {
            int size = 0;
            library.BXGetStatus(channels.m_hStat, nullptr, &size);
            buffer.assign(size > 0 ? static_cast<size_t>(size) + 1 : 1, 0);
            library.BXGetStatus(channels.m_hStat, buffer.data(), &size);
        }
    };

    const HWND detail = session.Detail();
    const UINT_PTR tick = krx::kStatusTimerId;
    auto ignoredTicks = [&](int n) { TicksWithHostWrites(detail, kIgnoredTimer, n); };
    auto idleTicks = [&](int n) { TicksWithHostWrites(detail, tick, n); };
    // Another process sending a job holds the printer's job-activity object:
    // the tick then takes the reply the host stored instead of asking the
    // library.
    auto printingTicks = [&](int n) {
        krx::unique_handle activity(
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16,
                               krx::JobActivityName(kit::kPrinterName, "").c_str()));
        TicksWithHostWrites(detail, tick, n, HostStoresReply);
    };
    // Rounds interleave the figures, so that a change in the machine's load
    // during the run affects them alike.
    std::vector<double> reads, ignoreds, ones, onesPrinting, manys, manysPrinting;
    auto sample = [](std::vector<double>& samples, int count, const auto& work) {
        const double start = bench::Now();
        work(count);
        samples.push_back((bench::Now() - start) * 1e6 / count);
    };
    idleTicks(10);
    for (int round = 0; round < bench::kRuns; ++round) {
        sample(reads, kLibraryReadsPerRun, libraryReads);
        sample(ignoreds, kHostTicksPerRun, ignoredTicks);
        sample(ones, kHostTicksPerRun, idleTicks);
        sample(onesPrinting, kHostTicksPerRun, printingTicks);
        AddOtherStoreKeys(kLargeStore - 1);
        idleTicks(10);
        sample(manys, kHostTicksPerRun, idleTicks);
        sample(manysPrinting, kHostTicksPerRun, printingTicks);
        RemoveOtherStoreKeys(kLargeStore - 1);
    }
    krx::CloseChannels(channels);
    const bench::Figure libraryRead = bench::Summarise(reads);
    const bench::Figure ignoredOne = bench::Summarise(ignoreds);
    const bench::Figure oneKey = bench::Summarise(ones);
    const bench::Figure onePrinting = bench::Summarise(onesPrinting);
    const bench::Figure manyKeys = bench::Summarise(manys);
    const bench::Figure manyPrinting = bench::Summarise(manysPrinting);

    bench::Print("library read (two-call BXGetStatus)", libraryRead, "(ignored timer)", ignored,
                 "us");
    bench::Print("ignored timer, one at a time, host writing", ignoredOne, "(ignored timer)",
                 ignored, "us");
    const bench::Figure readFloor = Sum(libraryRead, ignoredOne);
    bench::Print("status tick, 1 store key, host writing", oneKey, "(library read + ignored)",
                 readFloor, "us");
    bench::Print("status tick, 2000 store keys, host writing", manyKeys, "(1-key tick)", oneKey,
                 "us");
    bench::Print("status tick, 2000 store keys, host writing", manyKeys, "(library read + ignored)",
                 readFloor, "us");
    bench::Print("status tick, job sent, 1 store key", onePrinting, "(ignored, host writing)",
                 ignoredOne, "us");
    bench::Print("status tick, job sent, 2000 store keys", manyPrinting, "(1-key tick, job sent)",
                 onePrinting, "us");
    return 0;
}
