// Benchmark of PrGetStatusB on the library path against the floor the
// design imposes: every call loads, initialises, releases and unloads the
// bidirectional library. Prints per-call times and the ratios. The hardest
// case for the store-key lookup is a large store with the printer at its
// last index and a reply that changes at every call, so that every call
// writes a new "Status" into the printer's key.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "kit_install.h"
#include "krxstat.h"

namespace {

constexpr int kCallsPerRound = 100;
constexpr int kRounds = bench::kRuns;
constexpr int kLargeStore = 2000;
constexpr char kByPrinterBase[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget";

template <typename F> double MicrosecondsPerCall(F call) {
    double start = bench::Now();
    for (int i = 0; i < kCallsPerRound; ++i) {
        call();
    }
    return (bench::Now() - start) * 1e6 / kCallsPerRound;
}

std::string g_libraryPath;

void Floor() {
    // The library as the plug-in loads it: by the path in the driver key.
    HMODULE lib = LoadLibraryA(g_libraryPath.c_str());
    using Fn = int(WINAPI*)();
    auto init = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, "BXInitialize")));
    auto release = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, "BXRelease")));
    if (init() == 0) {
        release();
    }
    FreeLibrary(lib);
}

// Store keys named so that the benchmarked printer enumerates last.
void FillStore(int printers) {
    kit::DeleteTree(HKEY_CURRENT_USER, kByPrinterBase);
    for (int i = 0; i < printers; ++i) {
        char sub[64];
        snprintf(sub, sizeof(sub), "%s\\P%05d", kByPrinterBase, i);
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        std::string name = i == printers - 1 ? std::string(kit::kPrinterName)
                                             : "Other Printer " + std::to_string(i);
        RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                       static_cast<DWORD>(name.size() + 1));
        RegCloseKey(key);
    }
}

} // namespace

int main() {
    kit::InstallOptions options;
    g_libraryPath = kit::ExecutableFolder() + "BXAPI.DLL";
    options.bxapiPath = g_libraryPath;
    kit::InstallSimulatedSystem(options);
    kit::SimPrinter::Reset();
    kit::SimPrinter::SetStatusReply(std::string("@BDC ST\r\nST:04;WR:10;IQ:0A5A5A5A5A5A;\x0C"));

    HMODULE plugin = LoadLibraryA("krxstat.dll");
    auto query = reinterpret_cast<PFN_PrGetStatusB>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "PrGetStatusB")));
    if (query == nullptr) {
        fprintf(stderr, "bench: cannot load krxstat.dll\n");
        return 1;
    }
    int status = 0, st = 0, sound = 0, notify = 0, kind = 0;
    auto call = [&] {
        query(0, KRX_CHANNEL_STATUS_FIRST, 1, &status, &st, &sound, &notify, kit::kPrinterName,
              kit::kPortName, 0, kit::kModelName, &kind);
    };

    call(); // first call fills the driver name from the spooler
    // Rounds interleave the three figures so that a change in the machine's
    // load during the run affects them alike.
    std::vector<double> floors, ones, manys, changings;
    int statusOne = 0, statusMany = 0, statusChanging = 0;
    const std::string replies[2] = {
        std::string("@BDC ST\r\nST:04;WR:10;IQ:0A5A5A5A5A5A;\x0C"),
        std::string("@BDC ST\r\nST:04;WR:10;IQ:0A5A5A5A5A5B;\x0C"),
    };
    int turn = 0;
    // The simulated library reads its reply at every initialisation, so a
    // new reply before each call reaches that call.
    auto changing = [&] {
        kit::SimPrinter::SetStatusReply(replies[turn++ & 1]);
        call();
    };
    auto changeOnly = [&] { kit::SimPrinter::SetStatusReply(replies[turn++ & 1]); };
    std::vector<double> changeCosts;
    for (int round = 0; round < kRounds; ++round) {
        FillStore(1);
        call(); // the first lookup after a change reads the store again
        ones.push_back(MicrosecondsPerCall(call));
        statusOne = status;
        floors.push_back(MicrosecondsPerCall(Floor));
        FillStore(200);
        call();
        manys.push_back(MicrosecondsPerCall(call));
        statusMany = status;
        FillStore(kLargeStore);
        changing();
        changings.push_back(MicrosecondsPerCall(changing));
        statusChanging = status;
        changeCosts.push_back(MicrosecondsPerCall(changeOnly));
    }
    kit::SimPrinter::SetStatusReply(replies[0]);
    const bench::Figure floor = bench::Summarise(floors);
    const bench::Figure one = bench::Summarise(ones);
    const bench::Figure many = bench::Summarise(manys);
    const bench::Figure large = bench::Summarise(changings);
    const bench::Figure changeCost = bench::Summarise(changeCosts);
    const char* libFloor = "(load/init/release/unload lib)";
    bench::Print("PrGetStatusB, 1 printer in the store", one, libFloor, floor, "us");
    bench::Print("PrGetStatusB, 200 printers in the store", many, libFloor, floor, "us");
    bench::Print("PrGetStatusB, 200 printers in the store", many, "(1 printer in the store)", one,
                 "us");
    bench::Print("PrGetStatusB, 2000 keys, last, reply changing", large, libFloor, floor, "us");
    printf("  of which changing the reply: min %.1f med %.1f us\n", changeCost.min,
           changeCost.median);
    printf("statuses: %d with 1 printer, %d with 200, %d with %d (targets: ratios 1.5, 2.0, 1.5)\n",
           statusOne, statusMany, statusChanging, kLargeStore);

    FreeLibrary(plugin);
    kit::RemoveSimulatedSystem();
    return 0;
}
