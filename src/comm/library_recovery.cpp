// The request router's check and the token check of library recovery.
#include "comm/library_recovery.h"

#include <windows.h>

#include <cstdio>

#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"

namespace krx {

namespace {

using regkey::kRouterKey;
constexpr int kRoutedPortValues = 100;
// The routed ports hold up to 256 characters.
constexpr DWORD kRoutedPortSize = 256 + 1;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

} // namespace

bool RoutedPortsNeedNoRecovery(const std::vector<std::string>& ports) {
    bool local = false;
    bool shared = false;
    for (const std::string& port : ports) {
        if (StartsWith(port, "LPT")) {
            local = true;
        } else if (!StartsWith(port, "BXPIP") && !StartsWith(port, "IPX") &&
                   StartsWith(port, "SHARE")) {
            shared = true;
        }
    }
    return local && shared;
}

int RouterNeedsNoRecovery() {
    RegistryKey router(HKEY_LOCAL_MACHINE, kRouterKey);
    if (!router.IsOpen()) {
        return 1;
    }
    std::vector<std::string> ports;
    for (int n = 0; n < kRoutedPortValues; ++n) {
        char name[8];
        snprintf(name, sizeof(name), "BXP%02d", n);
        ports.push_back(router.ReadText(name, "", kRoutedPortSize));
    }
    return RoutedPortsNeedNoRecovery(ports) ? 1 : 0;
}

int IsAdministrator() {
    // Effective membership only: the thread's token when it impersonates,
    // else the process's. A token that lists Administrators for deny only
    // (an administrator who is not elevated) cannot run the repair.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                  0, 0, 0, 0, 0, &administrators)) {
        return 0;
    }
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) {
        member = FALSE;
    }
    FreeSid(administrators);
    return member ? 1 : 0;
}

} // namespace krx
