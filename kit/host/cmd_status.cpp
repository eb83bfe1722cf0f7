// Host commands for the status query: the simulated installation, a single
// status query, and the demo over a series of printer states.
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

using host::Plugin;

struct StatusAnswer {
    int result = 0;
    int statusNumber = -99; // sentinel: shows when the plug-in left it untouched
    int stCode = 0;
    int sound = 0;
    int notify = 0;
    int replyKind = 0;
};

StatusAnswer Query(const Plugin& plugin, int kind, int handle, const char* printer,
                   const char* port, const char* model) {
    StatusAnswer a;
    a.result = plugin.getStatus(0, kind, handle, &a.statusNumber, &a.stCode, &a.sound, &a.notify,
                                printer, port, 0, model, &a.replyKind);
    return a;
}

// Shows a reply with its control bytes escaped.
std::string Printable(const std::string& reply) {
    std::string text;
    for (unsigned char c : reply) {
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            snprintf(hex, sizeof(hex), "<%02X>", c);
            text += hex;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

int Setup(int = 0, char** = nullptr) {
    kit::InstallOptions options;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    if (!kit::InstallSimulatedSystem(options)) {
        fprintf(stderr, "krxhost: the simulated installation is incomplete\n");
        return 1;
    }
    printf("simulated installation written for \"%s\" on %s\n", kit::kPrinterName, kit::kPortName);
    return 0;
}

int Status(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: krxhost status KIND HANDLE [PRINTER [PORT [MODEL]]]\n");
        return 2;
    }
    Plugin plugin;
    if (!plugin.Load()) {
        return 1;
    }
    int kind = static_cast<int>(strtoul(argv[1], nullptr, 0));
    int handle = static_cast<int>(strtol(argv[2], nullptr, 0));
    const char* printer = argc > 3 ? argv[3] : kit::kPrinterName;
    const char* port = argc > 4 ? argv[4] : kit::kPortName;
    const char* model = argc > 5 ? argv[5] : kit::kModelName;
    StatusAnswer a = Query(plugin, kind, handle, printer, port, model);
    printf("result=%d status=%d st=%d sound=%d notify=%d out12=%d\n", a.result, a.statusNumber,
           a.stCode, a.sound, a.notify, a.replyKind);
    return 0;
}

struct DemoState {
    const char* name;
    const char* fields; // between the header and the terminator; null: scripted otherwise
    int firstResult;    // kit::kUnset unless the library is to answer otherwise
};

int Demo(int, char**) {
    if (Setup() != 0) {
        return 1;
    }
    Plugin plugin;
    if (!plugin.Load()) {
        return 1;
    }
    const DemoState states[] = {
        {"ready", "ST:04;IQ:5A5A5A5A5A5A;", kit::kUnset},
        {"printing", "ST:03;IQ:5A5A5A5A5A5A;", kit::kUnset},
        {"black ink low", "ST:04;WR:10;IQ:0A5A5A5A5A5A;", kit::kUnset},
        {"colour ink low", "ST:04;WR:12;IQ:5A5A0A5A5A5A;", kit::kUnset},
        {"black ink out", "ST:00;ER:05;IQ:005A5A5A5A5A;", kit::kUnset},
        {"colour ink out", "ST:00;ER:05;IQ:5A5A005A5A5A;", kit::kUnset},
        {"RE/WE cartridge", "ST:00;ER:05;IQ:RE5A5A5A5A5A;", kit::kUnset},
        {"NA cartridge", "ST:00;ER:05;IQ:5A5ANA5A5A5A;", kit::kUnset},
        {"paper error", "ST:00;ER:04;IQ:5A5A5A5A5A5A;", kit::kUnset},
        {"cover open/other error", "ST:00;ER:02;IQ:5A5A5A5A5A5A;", kit::kUnset},
        {"garbled reply", "ST:0", kit::kUnset},
        {"no reply", nullptr, 0},
        {"library busy", nullptr, -17},
    };
    printf("\n%-24s %-6s %-6s %-4s %-6s %-5s %-5s  %s\n", "printer state", "result", "status", "ST",
           "notify", "sound", "out12", "raw reply");
    for (const DemoState& s : states) {
        kit::SimPrinter::Reset();
        std::string reply;
        if (s.fields != nullptr) {
            reply = std::string(krx::kStatusReplyHeader) + s.fields + "\x0C";
            kit::SimPrinter::SetStatusReply(reply);
        }
        if (s.firstResult != kit::kUnset) {
            kit::SimPrinter::SetNumber("StatusFirstResult", s.firstResult);
        }
        StatusAnswer a = Query(plugin, KRX_CHANNEL_STATUS_FIRST, 1, kit::kPrinterName,
                               kit::kPortName, kit::kModelName);
        char status[16];
        if (a.statusNumber == -99) {
            snprintf(status, sizeof(status), "-");
        } else {
            snprintf(status, sizeof(status), "%d", a.statusNumber);
        }
        printf("%-24s %-6d %-6s %-4d %-6d %-5d %-5d  %s\n", s.name, a.result, status, a.stCode,
               a.notify, a.sound, a.replyKind, reply.empty() ? "(none)" : Printable(reply).c_str());
    }
    kit::SimPrinter::Reset();
    return 0;
}

int Teardown(int, char**) {
    kit::RemoveSimulatedSystem();
    return 0;
}

const host::HostCommandRegistration
    kSetup("setup", "setup                 write the simulated installation", Setup);
const host::HostCommandRegistration
    kTeardown("teardown", "teardown              remove the simulated installation", Teardown);
const host::HostCommandRegistration
    kStatus("status", "status KIND HANDLE [PRINTER [PORT [MODEL]]]  one PrGetStatusB call", Status);
const host::HostCommandRegistration
    kDemo("demo", "demo                  the status query in a series of printer states", Demo);

} // namespace
