// StatusWindow: repair of the library's port settings through its settings
// tool, and the tool's report.
#include <cstdio>

#include "common/safe_load.h"
#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "entry/module/message_box.h"
#include "entry/registry/registry_key.h"
#include "entry/registry/registry_paths.h"
#include "entry/trace/debug_trace.h"
#include "ui/status_window/recovery_command.h"
#include "ui/status_window/status_window.h"

namespace krx {

namespace {

using regkey::kCommonKey;
using regkey::kLibraryInfoKey;
using regkey::kRouterKey;
constexpr int kRoutedPortValues = 100;
// "InstallDir" and the routed ports hold up to 256 characters.
constexpr DWORD kLibraryTextSize = 256 + 1;
constexpr UINT kWarningBox = MB_ICONEXCLAMATION | MB_OK;

bool IsNtFamily() {
    return (GetVersion() & 0x80000000u) == 0;
}

} // namespace

int RouterNeedsNoRecovery() {
    RegistryKey router(HKEY_LOCAL_MACHINE, kRouterKey);
    if (!router.IsOpen()) {
        return 1;
    }
    std::vector<std::string> ports;
    for (int n = 0; n < kRoutedPortValues; ++n) {
        char name[8];
        snprintf(name, sizeof(name), "BXP%02d", n);
        ports.push_back(router.ReadText(name, "", kLibraryTextSize));
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

void StatusWindow::TryLibraryRecovery() {
    if (RouterNeedsNoRecovery()) {
        m_nRecoveryState = kRecoveryNotNeeded;
        return;
    }
    {
        RegistryKey common(HKEY_LOCAL_MACHINE, kCommonKey);
        if (!common.IsOpen() || common.ReadNumber("BXAPIRECOVER", 0) == 0) {
            m_nRecoveryState = kRecoveryFailed;
            return;
        }
    }
    if (m_nViewType == kViewPopup) {
        ShowResourceMessageBox(Hwnd(), IDS_RECOVERY_POPUP, IDS_MONITOR_CAPTION, kWarningBox);
        m_nRecoveryState = kRecoveryFailed;
        return;
    }
    if (m_nViewType != kViewDetail) {
        return; // the meter never offers a repair
    }
    if (IsNtFamily() && !IsAdministrator()) {
        ShowResourceMessageBox(Hwnd(), IDS_LIBRARY_OTHER_ERROR, IDS_MONITOR_CAPTION, kWarningBox);
        m_nRecoveryState = kRecoveryFailed;
        return;
    }
    std::string toolPath;
    std::string installDir;
    {
        RegistryKey info(HKEY_LOCAL_MACHINE, kLibraryInfoKey);
        if (!info.IsOpen()) {
            m_nRecoveryState = kRecoveryFailed;
            return;
        }
        // Only the tool in its own folder, never one found by a search.
        installDir = info.ReadText("InstallDir", "", kLibraryTextSize);
        toolPath = FindProgram("bxapiset.exe", {installDir + "\\"});
    }
    if (toolPath.empty()) {
        DebugTrace("Recovery: no settings tool in %s\\\n", installDir.c_str());
        m_nRecoveryState = kRecoveryFailed;
        return;
    }
    const std::string driver = ReadPrinterDriverName(m_strPrinterName.c_str());
    if (driver.empty()) {
        m_nRecoveryState = kRecoveryFailed;
        return;
    }
    const std::string command = BuildRecoveryCommandLine(
        "\"" + toolPath + "\"", driver, reinterpret_cast<uintptr_t>(Hwnd()), kMsgRecoveryReport);
    if (command.empty()) {
        DebugTrace("Recovery refused: driver name \"%s\" cannot be quoted\n", driver.c_str());
        m_nRecoveryState = kRecoveryFailed;
        return;
    }
    DebugTrace("CreateProcess(%s)\n", command.c_str());
    m_nRecoveryState =
        StartProgram(toolPath, command, SW_SHOWNORMAL) ? kRecoveryAwaitingReport : kRecoveryFailed;
}

void StatusWindow::OnRecoveryReport(LPARAM flags) {
    const uint32_t bits = static_cast<uint32_t>(flags);
    if (bits & kReportFreplace) {
        ShowResourceMessageBox(Hwnd(), IDS_LIBRARY_REPLACED, IDS_MONITOR_CAPTION, kWarningBox);
        m_nRecoveryState = kRecoveryFailed;
    } else if (bits & kReportInUse) {
        ShowResourceMessageBox(Hwnd(), IDS_LIBRARY_IN_USE, IDS_MONITOR_CAPTION, kWarningBox);
        m_nRecoveryState = kRecoveryFailed;
    } else if (bits & kReportOthers) {
        ShowResourceMessageBox(Hwnd(), IDS_LIBRARY_OTHER_ERROR, IDS_MONITOR_CAPTION, kWarningBox);
        m_nRecoveryState = kRecoveryFailed;
    } else if (bits & kReportDone) {
        if (RouterNeedsNoRecovery()) {
            m_nRecoveryState = kRecoveryNotNeeded;
        }
        ShowResourceMessageBox(Hwnd(), IDS_RECOVERY_DONE, IDS_MONITOR_CAPTION, kWarningBox);
    }
}

} // namespace krx
