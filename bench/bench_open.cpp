// Window open: PrStartKRX_S, PrStartKRX_D and PrStartKRX_PM from the call to
// a painted window (the meter opens hidden: to the end of its dialog's
// initialisation), warm and as the first open of a process, against the
// floor of DialogBoxParamA of the same template with an empty dialog
// procedure (loading and freeing the resource and ink libraries included,
// as the exports load them too). Also the first status shown: from the call
// until the first status tick has been handled and painted. The window's
// thread is watched through message hooks, which close the window once the
// figure is taken. "bench_open first KIND [status]" measures one first open
// in this process; the benchmark starts itself that way for the first-open
// figures.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "kit_install.h"
#include "krxstat.h"

namespace {

constexpr UINT_PTR kStatusTimer = 8;
constexpr UINT kSentinel = WM_APP + 0x2F1;
constexpr WPARAM kAfterPaint = 1;
constexpr WPARAM kAfterStatus = 2;
constexpr double kGiveUpSeconds = 10;

enum class Until { Painted, Created, StatusShown };

// What the hook has seen of the one window open in progress.
struct Watch {
    Until until = Until::Painted;
    double start = 0;
    double done = -1;
    bool statusHandled = false;
    HWND window = nullptr;
};
Watch g_watch;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (std::string(cls) == "#32770") {
        g_watch.window = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool PaintPending() {
    return (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) != 0 ||
           GetUpdateRect(g_watch.window, nullptr, FALSE);
}

void Finish() {
    if (g_watch.done < 0) {
        g_watch.done = bench::Now();
        PostMessageA(g_watch.window, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK WatchOpen(int code, WPARAM removed, LPARAM param) {
    if (code != HC_ACTION || removed != PM_REMOVE || g_watch.done >= 0) {
        return CallNextHookEx(nullptr, code, removed, param);
    }
    const MSG* msg = reinterpret_cast<const MSG*>(param);
    if (g_watch.window == nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    }
    if (g_watch.window != nullptr) {
        if (msg->message == WM_PAINT) {
            // Handled once the next posted message is taken.
            PostMessageA(g_watch.window, kSentinel, kAfterPaint, 0);
        } else if (msg->message == WM_TIMER && msg->hwnd == g_watch.window &&
                   msg->wParam == kStatusTimer) {
            PostMessageA(g_watch.window, kSentinel, kAfterStatus, 0);
        } else if (msg->message == kSentinel) {
            if (msg->wParam == kAfterStatus) {
                g_watch.statusHandled = true;
            }
            const bool wanted = g_watch.until == Until::Painted || g_watch.statusHandled;
            if (wanted && IsWindowVisible(g_watch.window) && !PaintPending()) {
                Finish();
            }
        }
        if (bench::Now() - g_watch.start > kGiveUpSeconds) {
            PostMessageA(g_watch.window, WM_CLOSE, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, removed, param);
}

// The hidden meter is open once its dialog has been initialised: the export
// then waits for messages, of which the first is its 400 ms progress timer.
LRESULT CALLBACK WatchCreation(int code, WPARAM sent, LPARAM param) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(param);
    if (code == HC_ACTION && g_watch.until == Until::Created && call->message == WM_INITDIALOG &&
        GetParent(call->hwnd) == nullptr) {
        g_watch.window = call->hwnd;
        Finish();
    }
    return CallNextHookEx(nullptr, code, sent, param);
}

INT_PTR CALLBACK EmptyDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    return FALSE;
}

struct Setup {
    std::string bin = kit::ExecutableFolder();
    std::string model = bin + "KX500.ini";
    std::string resources = bin + "krxres_en.dll";
    HMODULE plugin = nullptr;
};
Setup* g_setup = nullptr;

// Milliseconds from the call to the figure `until`, for one open of `kind`:
// "floor", "S", "D" or "PM".
double OpenOnce(const std::string& kind, Until until) {
    const Setup& s = *g_setup;
    g_watch = Watch();
    g_watch.until = until;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchOpen, nullptr, GetCurrentThreadId());
    HHOOK created =
        SetWindowsHookExA(WH_CALLWNDPROCRET, WatchCreation, nullptr, GetCurrentThreadId());
    // Each open starts from a quiet system: what the previous window left
    // to the display server and the spooler is done first.
    Sleep(100);
    g_watch.start = bench::Now();
    if (kind == "floor") {
        HMODULE ink = LoadLibraryA((s.bin + "kitink.dll").c_str());
        HMODULE res = LoadLibraryA(s.resources.c_str());
        DialogBoxParamA(res, MAKEINTRESOURCEA(102), nullptr, EmptyDialog, 0);
        FreeLibrary(res);
        FreeLibrary(ink);
    } else if (kind == "S") {
        auto start = reinterpret_cast<PFN_PrStartKRX_S>(
            reinterpret_cast<void*>(GetProcAddress(s.plugin, "PrStartKRX_S")));
        start(kit::kPrinterName, kit::kPortName, kit::kModelName, s.model.c_str(),
              s.resources.c_str());
    } else if (kind == "D") {
        auto start = reinterpret_cast<PFN_PrStartKRX_D>(
            reinterpret_cast<void*>(GetProcAddress(s.plugin, "PrStartKRX_D")));
        start(kit::kPrinterName, kit::kPortName, kit::kModelName, s.model.c_str(),
              s.resources.c_str());
    } else {
        auto start = reinterpret_cast<PFN_PrStartKRX_PM>(
            reinterpret_cast<void*>(GetProcAddress(s.plugin, "PrStartKRX_PM")));
        start(kit::kPrinterName, kit::kPortName, kit::kModelName, s.model.c_str(),
              s.resources.c_str(), 7);
    }
    UnhookWindowsHookEx(created);
    UnhookWindowsHookEx(hook);
    return g_watch.done < 0 ? -1 : (g_watch.done - g_watch.start) * 1e3;
}

Until UntilFor(const std::string& kind) {
    return kind == "PM" ? Until::Created : Until::Painted;
}

// First opens: each in a process of its own, started with "first KIND".
bench::Figure FirstOpens(const std::string& kind) {
    std::vector<double> samples;
    for (int r = 0; r < bench::kRuns; ++r) {
        samples.push_back(std::atof(bench::RunSelf("first " + kind).c_str()));
    }
    return bench::Summarise(samples);
}

} // namespace

int main(int argc, char** argv) {
    Setup setup;
    g_setup = &setup;
    const bool child = argc > 2 && std::string(argv[1]) == "first";
    if (!child) {
        kit::InstallOptions options;
        options.bxapiPath = setup.bin + "BXAPI.DLL";
        if (!kit::InstallSimulatedSystem(options)) {
            std::printf("open: the simulated system could not be installed\n");
            return 1;
        }
        kit::SimPrinter::ScriptTypicalPrinter();
    }
    // The host loads the plug-in before it opens any window.
    setup.plugin = LoadLibraryA((setup.bin + "krxstat.dll").c_str());
    if (setup.plugin == nullptr) {
        std::printf("open: krxstat.dll not found\n");
        return 1;
    }
    if (child) {
        const std::string kind = argv[2];
        const bool status = argc > 3 && std::string(argv[3]) == "status";
        std::printf("%.3f\n", OpenOnce(kind, status ? Until::StatusShown : UntilFor(kind)));
        return 0;
    }

    const char* const kinds[] = {"floor", "S", "D", "PM"};
    std::vector<bench::Figure> first, warm;
    for (const char* kind : kinds) {
        first.push_back(FirstOpens(kind));
    }
    for (const char* kind : kinds) {
        OpenOnce(kind, UntilFor(kind)); // warm-up
        warm.push_back(bench::Runs([&] { return OpenOnce(kind, UntilFor(kind)); }));
    }
    const char* const labels[] = {"", "PrStartKRX_S to painted window",
                                  "PrStartKRX_D to painted window",
                                  "PrStartKRX_PM to its (hidden) window"};
    for (size_t i = 1; i < 4; ++i) {
        bench::Print((std::string(labels[i]) + ", warm").c_str(), warm[i],
                     "(DialogBoxParamA 102, warm)", warm[0], "ms");
        bench::Print((std::string(labels[i]) + ", first open").c_str(), first[i],
                     "(DialogBoxParamA 102, first)", first[0], "ms");
    }
    const bench::Figure timer = {500, 500};
    for (const char* kind : {"S", "D"}) {
        const bench::Figure shown = bench::Runs([&] { return OpenOnce(kind, Until::StatusShown); });
        bench::Print((std::string("PrStartKRX_") + kind + " to first status shown").c_str(), shown,
                     "(first status timer)", timer, "ms");
    }
    FreeLibrary(setup.plugin);
    kit::RemoveSimulatedSystem();
    return 0;
}
