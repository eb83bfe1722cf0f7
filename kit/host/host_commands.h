// Commands of the host stand-in. Each command file registers its commands
// with a static HostCommandRegistration, so that adding one touches no
// shared list.
#pragma once

namespace host {

using CommandFn = int (*)(int argc, char** argv); // argv[0] is the command name

struct HostCommand {
    const char* name;
    const char* usage;
    CommandFn run;
};

class HostCommandRegistration {
  public:
    HostCommandRegistration(const char* name, const char* usage, CommandFn run);
};

const HostCommand* FindCommand(const char* name);
void PrintUsage();

} // namespace host
