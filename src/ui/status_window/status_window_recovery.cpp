// StatusWindow: repair of the library's port settings through its settings
// tool, and the tool's report.
#include <cstdio>

#include "common/safe_load.h"
#include "comm/library_recovery.h"
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
// "InstallDir" holds up to 256 characters.
constexpr DWORD kLibraryTextSize = 256 + 1;
constexpr UINT kWarningBox = MB_ICONEXCLAMATION | MB_OK;

bool IsNtFamily() {
    return (GetVersion() & 0x80000000u) == 0;
}

} // namespace

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
    const std::string driver = ReadPrinterDriverName(m_Printer.Name().c_str());
    if (driver.empty()) {
        m_nRecoveryState = kRecoveryFailed;
        return;
    }
    const std::string command =
        BuildRecoveryCommandLine("\"" + toolPath + "\"", driver,
                                 reinterpret_cast<uintptr_t>(Hwnd()), KRX_MSG_RECOVERY_REPORT);
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
