// Host stand-in: runs one command against the plug-in (default: demo).
#include <cstdio>
#include <cstring>
#include <vector>

#include "host_commands.h"
#include "host_plugin.h"

namespace host {

namespace {
std::vector<HostCommand>& Commands() {
    static std::vector<HostCommand> commands;
    return commands;
}
} // namespace

HostCommandRegistration::HostCommandRegistration(const char* name, const char* usage,
                                                 CommandFn run) {
    Commands().push_back({name, usage, run});
}

const HostCommand* FindCommand(const char* name) {
    for (const HostCommand& c : Commands()) {
        if (strcmp(c.name, name) == 0) {
            return &c;
        }
    }
    return nullptr;
}

void PrintUsage() {
    fprintf(stderr, "usage: krxhost COMMAND [ARGS]\n");
    for (const HostCommand& c : Commands()) {
        fprintf(stderr, "  %s\n", c.usage);
    }
}

Plugin::~Plugin() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

bool Plugin::Load(const char* path) {
    module_ = LoadLibraryA(path);
    if (module_ == nullptr) {
        fprintf(stderr, "krxhost: cannot load %s (error %lu)\n", path, GetLastError());
        return false;
    }
    getStatus = Export<PFN_PrGetStatusB>("PrGetStatusB");
    if (getStatus == nullptr) {
        fprintf(stderr, "krxhost: %s lacks PrGetStatusB\n", path);
        return false;
    }
    return true;
}

} // namespace host

int main(int argc, char** argv) {
    const char* name = argc > 1 ? argv[1] : "demo";
    const host::HostCommand* command = host::FindCommand(name);
    if (command == nullptr) {
        host::PrintUsage();
        return 2;
    }
    return command->run(argc > 1 ? argc - 1 : 1, argc > 1 ? argv + 1 : argv);
}
