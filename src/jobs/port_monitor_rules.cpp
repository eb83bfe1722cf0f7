// Server names, printer names, bindings and job property sizes of the
// port-monitor client.
#include "jobs/port_monitor_rules.h"

#include <cstring>

namespace krx {
namespace pm {

bool MeansConnectionGone(unsigned long failure) {
    switch (failure) {
    case 6:    // the server does not know the session's context (restarted)
    case 1722: // server unavailable
    case 1723: // server too busy
    case 1726: // call failed: the server went away inside it
    case 1727: // call failed and did not execute
    case 1775: // the session's context is null
    case 1818: // cancelled at its limit
    case 1820: // communication failure
        return true;
    default:
        return false;
    }
}

int JobPropertyDataSize(int property, const char* text) {
    switch (property) {
    case 0:
    case 1:
        return text != nullptr ? static_cast<int>(strlen(text)) + 1 : 0;
    case 2:
        return 16;
    case 3:
    case 100:
    case 101:
    case 104:
    case 200:
    case 201:
        return 4;
    case 21:
        return 6;
    case 102:
    case 103:
        return 8;
    default:
        return 0;
    }
}

namespace {
bool HasServerPrefix(const char* name) {
    return name != nullptr && name[0] == '\\' && name[1] == '\\';
}
} // namespace

std::string ServerNameOf(const char* printerName) {
    if (!HasServerPrefix(printerName)) {
        return {};
    }
    const char* server = printerName + 2;
    const char* end = strchr(server, '\\');
    if (end == nullptr) {
        return {};
    }
    size_t length = static_cast<size_t>(end - server);
    if (length == 0 || length > kMaxServerName) {
        return {};
    }
    return std::string(server, length);
}

const char* WithoutServerPart(const char* printerName) {
    if (printerName == nullptr) {
        return "";
    }
    if (!HasServerPrefix(printerName)) {
        return printerName;
    }
    const char* slash = strchr(printerName + 2, '\\');
    return slash != nullptr ? slash + 1 : printerName;
}

std::string PipeEndpoint(const std::string& pipeName) {
    return "\\pipe\\" + pipeName;
}

BindingParts ChooseBinding(const std::string& server, const std::string& computerName,
                           const std::string& protocol, const std::string& endpoint,
                           const std::string& pipeName) {
    BindingParts parts;
    const bool otherComputer = !server.empty() && server != "." && server != computerName;
    if (otherComputer) {
        parts.protocol = protocol;
        parts.networkAddress = server;
        parts.endpoint = endpoint;
    } else {
        parts.protocol = kProtocolLocal;
    }
    if (parts.protocol.empty()) {
        parts.protocol = kProtocolPipe;
    }
    if (parts.protocol == kProtocolPipe && parts.endpoint.empty()) {
        parts.endpoint = PipeEndpoint(pipeName);
    }
    return parts;
}

} // namespace pm
} // namespace krx
