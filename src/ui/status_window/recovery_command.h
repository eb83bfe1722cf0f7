// The settings tool's command line used by the status window's library
// recovery. Pure text handling.
#pragma once

#include <cstdint>
#include <string>

namespace krx {

// The command line that asks the tool to repair the driver's port settings
// and to post its report to the window; empty when the driver name cannot
// be quoted safely (it contains a double quote or a control character).
std::string BuildRecoveryCommandLine(const std::string& toolPath, const std::string& driverName,
                                     uintptr_t windowHandle, uint32_t message);

} // namespace krx
