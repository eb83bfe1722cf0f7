// Host command "session": a realistic monitoring session on the simulated
// printer. A Detail window follows the printer through ready, ink low, ink
// out and an error as the printer changes state; a job printed while it is
// open is announced to it through the host's printer table, and the window
// follows that job; then a print job runs on the simulated port and the
// progress meter follows it (pause, resume, completion) and closes itself
// when the job ends. Each stage is named in a
// file while the window shows it, so that a script can photograph the
// screen at that moment.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/resource_ids.h"
#include "host_commands.h"
#include "host_plugin.h"
#include "kit_install.h"
#include "status/status_reply.h"
#include "kit_printer_tables.h"
#include "sim_port_script.h"

namespace {

constexpr DWORD kSettleMs = 1500; // a notification read and the redraw
constexpr DWORD kShotMs = 1500;   // time left for the photograph

struct Stage {
    const char* name;
    const char* fields;
    const char* what;
};

const Stage kPrinterStages[] = {
    {"ready", "ST:04;IQ:5A4B3C5A463C;", "the printer is ready, all inks well filled"},
    {"ink-low", "ST:04;WR:10;IQ:0C4B3C5A463C;", "black ink is running low"},
    {"ink-out", "ST:00;ER:05;IQ:004B3C5A463C;", "black ink has run out"},
    {"error", "ST:00;ER:06;IQ:0C4B3C5A463C;", "the printer is out of paper"},
};

std::string Reply(const char* fields) {
    return std::string(krx::kStatusReplyHeader) + fields + "\x0C";
}

struct Session {
    DWORD hostThread = 0;
    const kit::PrinterTables* tables = nullptr;
    bool jobAnnounced = false;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDC_STATUS_TEXT) != nullptr) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD thread, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND found = nullptr;
        EnumThreadWindows(thread, FindVisible, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr) {
            return found;
        }
        Sleep(50);
    }
    return nullptr;
}

std::string ItemText(HWND window, int id) {
    char text[512] = {};
    GetDlgItemTextA(window, id, text, sizeof(text));
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

// Names the stage in bin\session_stages.txt, where a script watching the
// file photographs the screen while the stage lasts.
void Shot(const char* name) {
    const std::string path = kit::ExecutableFolder() + "session_stages.txt";
    if (FILE* file = fopen(path.c_str(), "a")) {
        fprintf(file, "%s\n", name);
        fclose(file);
    }
    Sleep(kShotMs);
}

void PrintMeter(HWND window, const char* moment) {
    printf("  meter %-10s: \"%s\" | %s | %s | button \"%s\"\n", moment,
           ItemText(window, IDC_JOB_DOCUMENT).c_str(), ItemText(window, IDC_JOB_SHEETS).c_str(),
           ItemText(window, IDC_JOB_TIME).c_str(), ItemText(window, IDC_JOB_PAUSE).c_str());
    printf("              tip: %s\n", ItemText(window, IDC_TIP_TEXT).c_str());
    fflush(stdout);
}

bool WaitForText(HWND window, int id, const std::string& text, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (ItemText(window, id) == text) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

// The user prints while the Detail window is open: the host finds the
// printer's window in its printer table and announces the job there.
void AnnounceJobToDetail(Session& session, HWND window) {
    kit::SimPrinter::SetStatusReply(Reply(kPrinterStages[0].fields));
    kit::PostSimNotification(4);
    Sleep(kSettleMs);
    const std::string output = kit::ExecutableFolder() + "krxhost_session_detail.prn";
    kit::SpoolerJob printed(kit::kPrinterName, output);
    kit::SimPortJob job;
    job.spoolerId = printed.Id();
    job.text = "Shopping list.txt";
    job.polls = 5;
    job.secondsPerPoll = 5;
    kit::SimPort::AddJob(job);
    HWND announced =
        printed.Id() != 0 ? session.tables->AnnounceJob(kit::kPrinterName, printed.Id()) : nullptr;
    printf("  host: job %d announced through the printer table to %s\n", printed.Id(),
           announced == window ? "the Detail window" : "no window");
    fflush(stdout);
    if (announced == window && WaitForText(window, IDC_JOB_DOCUMENT, job.text, 10000)) {
        session.jobAnnounced = true;
        PrintMeter(window, "announced");
        Shot("detail-job");
        Sleep(static_cast<DWORD>(job.polls) * 1000); // the job ends at the port
    } else {
        printf("session: the Detail window did not follow the announced job\n");
    }
    printed.End();
    DeleteFileA(output.c_str());
}

DWORD WINAPI DriveDetail(void* param) {
    Session* session = static_cast<Session*>(param);
    HWND window = WaitForWindow(session->hostThread, 10000);
    if (window == nullptr) {
        printf("session: the Detail window did not appear\n");
        fflush(stdout);
        return 1;
    }
    Sleep(2000); // the first status tick opens the status channel
    for (const Stage& stage : kPrinterStages) {
        kit::SimPrinter::SetStatusReply(Reply(stage.fields));
        const int posted = kit::PostSimNotification(4);
        Sleep(kSettleMs);
        printf("  printer: %-34s -> window says \"%s\" (%d notification%s)\n", stage.what,
               ItemText(window, IDC_STATUS_TEXT).c_str(), posted, posted == 1 ? "" : "s");
        printf("           trouble help button %s\n",
               IsWindowVisible(GetDlgItem(window, IDC_TROUBLE_HELP)) ? "offered" : "hidden");
        fflush(stdout);
        std::string shot = std::string("detail-") + stage.name;
        Shot(shot.c_str());
    }
    AnnounceJobToDetail(*session, window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

DWORD WINAPI DriveMeter(void* param) {
    Session* session = static_cast<Session*>(param);
    HWND window = WaitForWindow(session->hostThread, 15000);
    if (window == nullptr) {
        printf("session: the progress meter did not appear\n");
        fflush(stdout);
        return 1;
    }
    Sleep(2500);
    PrintMeter(window, "printing");
    Shot("meter-printing");
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_JOB_PAUSE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_JOB_PAUSE)));
    printf("  user presses Pause\n");
    Sleep(4500);
    PrintMeter(window, "paused");
    Shot("meter-paused");
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_JOB_PAUSE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_JOB_PAUSE)));
    printf("  user presses Resume\n");
    Sleep(4500);
    PrintMeter(window, "resumed");
    Shot("meter-resumed");
    return 0;
}

int RunSession(int /*argc*/, char** /*argv*/) {
    kit::InstallOptions options;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    if (!kit::InstallSimulatedSystem(options)) {
        fprintf(stderr, "krxhost: the simulated installation is incomplete\n");
        return 1;
    }
    // As the host does, the printer has its record in the printer table
    // before any window of the plug-in opens for it.
    kit::PrinterTables tables;
    if (!tables.Ok() || !tables.Claim(kit::kPrinterName)) {
        fprintf(stderr, "krxhost: the printer tables could not be made\n");
        return 1;
    }
    kit::SimPort::Reset();
    kit::SimPrinter::Reset();
    kit::SimPrinter::ScriptTypicalPrinter();
    kit::SimPrinter::SetNumber("Live", 1); // the printer changes under an open window
    kit::SimPrinter::SetStatusReply(Reply(kPrinterStages[0].fields));

    host::Plugin plugin;
    if (!plugin.Load()) {
        return 1;
    }
    auto startDetail = plugin.Export<PFN_PrStartKRX_D>("PrStartKRX_D");
    auto startMeter = plugin.Export<PFN_PrStartKRX_PM>("PrStartKRX_PM");
    if (startDetail == nullptr || startMeter == nullptr) {
        fprintf(stderr, "krxhost: the plug-in has no window exports\n");
        return 1;
    }
    const std::string bin = kit::ExecutableFolder();
    const std::string model = bin + "KX500.ini";
    const std::string resources = bin + "krxres_en.dll";

    Session session;
    session.hostThread = GetCurrentThreadId();
    session.tables = &tables;

    printf("session: a Detail window follows \"%s\"\n", kit::kPrinterName);
    fflush(stdout);
    HANDLE driver = CreateThread(nullptr, 0, DriveDetail, &session, 0, nullptr);
    int result = startDetail(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                             resources.c_str());
    WaitForSingleObject(driver, INFINITE);
    CloseHandle(driver);
    printf("session: the Detail window closed (export returned %d)\n\n", result);

    kit::SimPrinter::SetStatusReply(Reply(kPrinterStages[0].fields));
    const std::string output = bin + "krxhost_session.prn";
    kit::SpoolerJob printed(kit::kPrinterName, output);
    if (printed.Id() == 0) {
        fprintf(stderr, "krxhost: the spooler did not take the job (error %lu)\n", GetLastError());
        return 1;
    }
    kit::SimPort::Reset();
    kit::SimPortJob job;
    job.spoolerId = printed.Id();
    job.text = "Holiday photos.jpg";
    job.sheets = 4;
    job.polls = 16;
    job.secondsPerPoll = 15;
    job.paper[1] = 259; // semi-gloss photo paper
    job.paper[2] = 9;   // A4
    kit::SimPort::AddJob(job);
    printf("session: job %d \"%s\" goes to the simulated port; the meter follows it\n",
           printed.Id(), job.text.c_str());
    fflush(stdout);

    driver = CreateThread(nullptr, 0, DriveMeter, &session, 0, nullptr);
    const DWORD start = GetTickCount();
    result = startMeter(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                        resources.c_str(), printed.Id());
    WaitForSingleObject(driver, INFINITE);
    CloseHandle(driver);
    printed.End();
    printf("session: the job ended and the meter closed itself after %.1f s (export returned "
           "%d)\n",
           (GetTickCount() - start) / 1000.0, result);
    kit::SimPort::Reset();
    DeleteFileA(output.c_str());
    return result == 0 && session.jobAnnounced ? 0 : 1;
}

const host::HostCommandRegistration kSession("session", "session", RunSession);

} // namespace
