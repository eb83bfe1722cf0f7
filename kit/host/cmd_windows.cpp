// Host command that opens the plug-in's windows: the pop-up, the detail
// window and the progress meter of the simulated printer, each running
// modally inside its export until it is closed.
//
//   window popup|detail|meter [jobid] [--close-after SECONDS] [--reply FIELDS]
//
// --reply scripts the printer's status reply fields (for example
// "ST:00;ER:05;IQ:005A5A5A5A5A;", black ink out); the pop-up stays open only
// for a state the user is to be told about.
// --close-after posts a close request to the window after the given time
// (for the demo and screenshots); without it the window stays until the
// user closes it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host_commands.h"
#include "host_plugin.h"
#include "kit_install.h"
#include "status/status_reply.h"

namespace {

struct Closer {
    DWORD delayMs;
    DWORD threadId;
};

BOOL CALLBACK CloseThreadWindow(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER) == nullptr) {
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

DWORD WINAPI CloseLater(void* param) {
    const Closer* closer = static_cast<const Closer*>(param);
    Sleep(closer->delayMs);
    EnumThreadWindows(closer->threadId, CloseThreadWindow, 0);
    return 0;
}

int OpenWindow(int argc, char** argv) {
    if (argc < 2) {
        host::PrintUsage();
        return 2;
    }
    const std::string kind = argv[1];
    int jobId = 1;
    DWORD closeAfterMs = 0;
    const char* replyFields = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--close-after") == 0 && i + 1 < argc) {
            closeAfterMs = static_cast<DWORD>(std::atof(argv[++i]) * 1000);
        } else if (std::strcmp(argv[i], "--reply") == 0 && i + 1 < argc) {
            replyFields = argv[++i];
        } else {
            jobId = std::atoi(argv[i]);
        }
    }

    kit::InstallOptions options;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    if (!kit::InstallSimulatedSystem(options)) {
        fprintf(stderr, "krxhost: the simulated installation is incomplete\n");
        return 1;
    }
    kit::SimPrinter::ScriptTypicalPrinter();
    if (replyFields != nullptr) {
        kit::SimPrinter::SetStatusReply(std::string(krx::kStatusReplyHeader) + replyFields +
                                        "\x0C");
    }

    host::Plugin plugin;
    if (!plugin.Load()) {
        return 1;
    }
    const std::string bin = kit::ExecutableFolder();
    const std::string model = bin + "KX500.ini";
    const std::string resources = bin + "krxres_en.dll";

    Closer closer = {closeAfterMs, GetCurrentThreadId()};
    HANDLE closerThread = nullptr;
    if (closeAfterMs != 0) {
        closerThread = CreateThread(nullptr, 0, CloseLater, &closer, 0, nullptr);
    }

    int result = -1;
    if (kind == "popup" || kind == "detail") {
        auto start =
            plugin.Export<PFN_PrStartKRX_S>(kind == "popup" ? "PrStartKRX_S" : "PrStartKRX_D");
        if (start == nullptr) {
            fprintf(stderr, "krxhost: the plug-in has no window exports\n");
            return 1;
        }
        printf("opening the %s window of \"%s\"\n", kind.c_str(), kit::kPrinterName);
        fflush(stdout);
        result = start(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                       resources.c_str());
    } else if (kind == "meter") {
        auto start = plugin.Export<PFN_PrStartKRX_PM>("PrStartKRX_PM");
        if (start == nullptr) {
            fprintf(stderr, "krxhost: the plug-in has no window exports\n");
            return 1;
        }
        printf("opening the progress meter of \"%s\" for job %d\n", kit::kPrinterName, jobId);
        fflush(stdout);
        result = start(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                       resources.c_str(), jobId);
    } else {
        host::PrintUsage();
        return 2;
    }
    if (closerThread != nullptr) {
        WaitForSingleObject(closerThread, INFINITE);
        CloseHandle(closerThread);
    }
    printf("the %s window closed; the export returned %d\n", kind.c_str(), result);
    return result == 0 ? 0 : 1;
}

const host::HostCommandRegistration
    kWindow("window", "window popup|detail|meter [jobid] [--close-after SECONDS] [--reply FIELDS]",
            OpenWindow);

} // namespace
