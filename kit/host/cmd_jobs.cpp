// Host command "jobs": a print job followed by the plug-in's job monitor on
// the simulated port, once through the network-status library and, with
// --rpc, through the simulated print server's RPC interface. Two jobs are
// put into this process's spooler: the port prints the first, which is
// paused, resumed and cancelled along the way; the second never reaches the
// port, so the worker stays until the spooler no longer knows it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "comm/spooler.h"
#include "host_commands.h"
#include "jobs/job_monitor.h"
#include "jobs/port_monitor_client.h"
#include "kit_install.h"
#include "sim_port_script.h"

namespace {

using krx::JobMonitor;
using krx::JobRecord;

constexpr DWORD kTick = 250; // how often the host looks at the record

// Wine's spooler does not report a job's data type; the print server of a
// shared printer would report EMF, which is what sends the plug-in to RPC.
BOOL WINAPI GetJobSpooledAsEmf(HANDLE printer, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                               LPDWORD needed) {
    static const char kEmf[] = "NT EMF 1.008";
    if (level != 2) {
        return krx::DefaultSpooler().getJob(printer, jobId, level, buffer, size, needed);
    }
    DWORD own = 0;
    krx::DefaultSpooler().getJob(printer, jobId, 1, nullptr, 0, &own);
    if (own == 0) {
        *needed = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *needed = sizeof(JOB_INFO_2A) + sizeof(kEmf);
    if (buffer == nullptr || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(buffer, 0, *needed);
    auto* info = reinterpret_cast<JOB_INFO_2A*>(buffer);
    info->JobId = jobId;
    info->pDatatype = reinterpret_cast<char*>(buffer + sizeof(JOB_INFO_2A));
    memcpy(info->pDatatype, kEmf, sizeof(kEmf));
    return TRUE;
}

std::string Remaining(const JobRecord& r) {
    if (!r.timeKnown) {
        return "unknown";
    }
    char text[32];
    if (r.time >= 60) {
        snprintf(text, sizeof(text), "%u min", (r.time + 59) / 60);
    } else {
        snprintf(text, sizeof(text), "%u s", r.time);
    }
    return text;
}

void Show(DWORD elapsed, const JobRecord& r) {
    printf("  %5.2fs  job %u \"%s\"  sheet %u/%u  progress %u/%u  remaining %-7s %s\n",
           elapsed / 1000.0, r.jobId, r.jobText, r.sheet, r.sheets, r.progress, r.progressRange,
           Remaining(r).c_str(), (r.jobStatus & krx::kJobStatusPaused) ? "paused" : "printing");
    fflush(stdout);
}

void Say(DWORD elapsed, const char* text) {
    printf("  %5.2fs  %s\n", elapsed / 1000.0, text);
    fflush(stdout);
}

int RunJobs(const char* printer, const char* label) {
    std::string output = kit::ExecutableFolder() + "krxhost_job.prn";
    kit::SpoolerJob printed(kit::kPrinterName, output);
    kit::SpoolerJob waiting(kit::kPrinterName, output + "2");
    if (printed.Id() == 0 || waiting.Id() == 0) {
        fprintf(stderr, "krxhost: the spooler did not take the jobs (error %lu)\n", GetLastError());
        return 1;
    }
    kit::SimPort::Reset();
    kit::SimPortJob job;
    job.spoolerId = printed.Id();
    job.text = "Quarterly report.doc";
    job.sheets = 3;
    job.polls = 6;
    job.secondsPerPoll = 40;
    kit::SimPort::AddJob(job);

    printf("\n%s: printer \"%s\", jobs %d (printed) and %d (held in the spooler)\n", label, printer,
           printed.Id(), waiting.Id());
    JobMonitor monitor; // the product's own polling: once a second
    monitor.SetNames(printer, kit::kPortName);
    monitor.FollowJob(printed.Id());
    monitor.FollowJob(waiting.Id());

    DWORD start = GetTickCount();
    JobRecord last = {};
    bool pauseSent = false, resumeSent = false, cancelSent = false, spoolerDone = false;
    int pausedTicks = 0;
    while (monitor.IsWorkerRunning() && GetTickCount() - start < 20000) {
        DWORD now = GetTickCount() - start;
        JobRecord r = {};
        if (monitor.GetJobRecord(&r)) {
            if (memcmp(&r, &last, sizeof(r)) != 0) {
                Show(now, r);
                last = r;
            }
            bool paused = (r.jobStatus & krx::kJobStatusPaused) != 0;
            if (!pauseSent && r.progress >= 1) {
                monitor.RequestCommand(static_cast<int>(r.jobId), krx::kJobCommandPause);
                Say(now, "pause requested");
                pauseSent = true;
            } else if (pauseSent && !resumeSent && paused && ++pausedTicks > 2) {
                monitor.RequestCommand(static_cast<int>(r.jobId), krx::kJobCommandResume);
                Say(now, "resume requested");
                resumeSent = true;
            } else if (resumeSent && !cancelSent && !paused && r.progress >= 3) {
                monitor.RequestCommand(static_cast<int>(r.jobId), krx::kJobCommandCancel);
                Say(now, "cancel requested");
                cancelSent = true;
            }
        } else if (cancelSent && !spoolerDone && monitor.GetJobCount() == 1) {
            Say(now, "job cancelled; the worker waits while the spooler still knows the held job");
            Sleep(1000);
            waiting.End();
            Say(GetTickCount() - start, "held job ended in the spooler");
            spoolerDone = true;
        }
        Sleep(kTick);
    }
    bool ended = !monitor.IsWorkerRunning();
    char text[96];
    snprintf(text, sizeof(text), "worker %s, %d job(s) listed",
             ended ? "ended" : "still running after 20 s", monitor.GetJobCount());
    Say(GetTickCount() - start, text);
    DeleteFileA(output.c_str());
    DeleteFileA((output + "2").c_str());
    return ended ? 0 : 1;
}

int Jobs(int argc, char** argv) {
    bool rpc = argc > 1 && strcmp(argv[1], "--rpc") == 0;
    if (!kit::AddSpoolerPrinter(kit::kPrinterName, kit::kDriverName)) {
        fprintf(stderr, "krxhost: cannot add the printer to the spooler\n");
        return 1;
    }
    int result = 0;
    if (!rpc) {
        result = RunJobs(kit::kPrinterName, "local library nvnetq10.dll");
    } else {
        // A printer shared from this computer: the plug-in binds over ncalrpc
        // and finds the server through the endpoint mapper.
        kit::PortMonitorServer server(krx::pm::kPipeName);
        if (!server.Start()) {
            fprintf(stderr, "krxhost: the simulated port monitor server did not start\n");
            result = 1;
        } else {
            std::string shared = "\\\\" + krx::ThisComputerName() + "\\" + kit::kPrinterName;
            krx::Spooler().getJob = GetJobSpooledAsEmf;
            result = RunJobs(shared.c_str(), "RPC to the port monitor (kitpmsrv.exe)");
            krx::Spooler() = krx::DefaultSpooler();
            server.Stop();
        }
    }
    kit::SimPort::Reset();
    kit::RemoveSpoolerPrinter(kit::kPrinterName);
    return result;
}

const host::HostCommandRegistration
    kJobs("jobs", "jobs [--rpc]          follow a print job through the port monitor", Jobs);

} // namespace
