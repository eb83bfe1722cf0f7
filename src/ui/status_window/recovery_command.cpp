// Settings tool command line.
#include "ui/status_window/recovery_command.h"

#include <cstdio>

namespace krx {

namespace {

// Eight upper-case hexadecimal digits, as the tool reads them back.
std::string Hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned>(value));
    return text;
}

} // namespace

std::string BuildRecoveryCommandLine(const std::string& toolPath, const std::string& driverName,
                                     uintptr_t windowHandle, uint32_t message) {
    // The driver name sits between quotes: a quote inside it would end the
    // argument early and let the rest be read as further switches.
    for (unsigned char c : driverName) {
        if (c == '"' || c < 0x20) {
            return std::string();
        }
    }
    std::string line = toolPath;
    line += " /Act=Ch /AN=\"";
    line += driverName;
    line += "\" /Ret=WM:";
    line += Hex8(static_cast<uint32_t>(windowHandle));
    line += ";";
    line += Hex8(message);
    line += " /BXP=A:On";
    return line;
}

} // namespace krx
