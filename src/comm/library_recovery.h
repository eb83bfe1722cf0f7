// Checks that decide whether the library's port settings may be repaired
// through its settings tool: the request router's configuration and the
// caller's rights.
#pragma once

#include <string>
#include <vector>

namespace krx {

// True when the routed ports make a repair pointless: both a local port
// ("LPT...") and a shared one ("SHARE...", not "BXPIP..." or "IPX...").
bool RoutedPortsNeedNoRecovery(const std::vector<std::string>& ports);

// 1 when the request router's configuration makes a library repair
// pointless (no router key, or both a local and a shared port routed).
int RouterNeedsNoRecovery();

// 1 when the thread's (else the process's) token lists the Administrators.
int IsAdministrator();

} // namespace krx
