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

#include "kit_install.h"
#include "krxstat.h"

namespace {

constexpr int kCallsPerRound = 100;
constexpr int kRounds = 9;
constexpr int kLargeStore = 2000;
constexpr char kByPrinterBase[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget";

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

template <typename F> double MicrosecondsPerCall(F call) {
    double start = Now();
    for (int i = 0; i < kCallsPerRound; ++i) {
        call();
    }
    return (Now() - start) * 1e6 / kCallsPerRound;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
    double floor = Median(floors);
    double one = Median(ones);
    double many = Median(manys);
    double large = Median(changings);
    double changeCost = Median(changeCosts);

    printf("floor (load, initialise, release, unload BXAPI.DLL): %8.1f us/call\n", floor);
    printf("PrGetStatusB, 1 printer in the store:               %8.1f us/call (status %d)\n", one,
           statusOne);
    printf("PrGetStatusB, 200 printers in the store:            %8.1f us/call (status %d)\n", many,
           statusMany);
    printf("PrGetStatusB, %d printers, printer last, reply changing at every call:\n"
           "                                                    %8.1f us/call (status %d;"
           " of it %.1f us to change the reply)\n",
           kLargeStore, large, statusChanging, changeCost);
    printf("ratio 1 printer / floor:     %.2f (target <= 1.5)\n", one / floor);
    printf("ratio %d changing / floor: %.2f (target <= 1.5)\n", kLargeStore, large / floor);
    printf("ratio 200 printers / 1:      %.2f (target <= 2.0)\n", many / one);

    FreeLibrary(plugin);
    kit::RemoveSimulatedSystem();
    return 0;
}
