// LibraryRecovery: repair of the library's port settings through its
// settings tool, and the tool's report.
#include "ui/status_window/status_window_recovery.h"

#include <cstdio>

#include "common/safe_load.h"
#include "comm/library_recovery.h"
#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "base/module/message_box.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"
#include "base/trace/debug_trace.h"
#include "krxstat.h"
#include "ui/printer_messages.h"
#include "ui/status_window/recovery_command.h"
#include "ui/status_window/view_table.h"

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

void LibraryRecovery::Try(HWND window, int viewType, const std::string& printerName) {
    if (RouterNeedsNoRecovery()) {
        m_nState = kRecoveryNotNeeded;
        return;
    }
    {
        RegistryKey common(HKEY_LOCAL_MACHINE, kCommonKey);
        if (!common.IsOpen() || common.ReadNumber("BXAPIRECOVER", 0) == 0) {
            m_nState = kRecoveryFailed;
            return;
        }
    }
    if (viewType == kViewPopup) {
        ShowResourceMessageBox(window, IDS_RECOVERY_POPUP, IDS_MONITOR_CAPTION, kWarningBox);
        m_nState = kRecoveryFailed;
        return;
    }
    if (viewType != kViewDetail) {
        return; // the meter never offers a repair
    }
    if (IsNtFamily() && !IsAdministrator()) {
        ShowResourceMessageBox(window, IDS_LIBRARY_OTHER_ERROR, IDS_MONITOR_CAPTION, kWarningBox);
        m_nState = kRecoveryFailed;
        return;
    }
    std::string toolPath;
    std::string installDir;
    {
        RegistryKey info(HKEY_LOCAL_MACHINE, kLibraryInfoKey);
        if (!info.IsOpen()) {
            m_nState = kRecoveryFailed;
            return;
        }
        // Only the tool in its own folder, never one found by a search.
        installDir = info.ReadText("InstallDir", "", kLibraryTextSize);
        toolPath = FindProgram("bxapiset.exe", {installDir + "\\"});
    }
    if (toolPath.empty()) {
        DebugTrace("Recovery: no settings tool in %s\\\n", installDir.c_str());
        m_nState = kRecoveryFailed;
        return;
    }
    const std::string driver = ReadPrinterDriverName(printerName.c_str());
    if (driver.empty()) {
        m_nState = kRecoveryFailed;
        return;
    }
    const std::string command =
        BuildRecoveryCommandLine("\"" + toolPath + "\"", driver,
                                 reinterpret_cast<uintptr_t>(window), KRX_MSG_RECOVERY_REPORT);
    if (command.empty()) {
        DebugTrace("Recovery refused: driver name \"%s\" cannot be quoted\n", driver.c_str());
        m_nState = kRecoveryFailed;
        return;
    }
    DebugTrace("CreateProcess(%s)\n", command.c_str());
    m_nState =
        StartProgram(toolPath, command, SW_SHOWNORMAL) ? kRecoveryAwaitingReport : kRecoveryFailed;
}

void LibraryRecovery::OnReport(HWND window, LPARAM flags) {
    const uint32_t bits = static_cast<uint32_t>(flags);
    if (bits & kReportFreplace) {
        ShowResourceMessageBox(window, IDS_LIBRARY_REPLACED, IDS_MONITOR_CAPTION, kWarningBox);
        m_nState = kRecoveryFailed;
    } else if (bits & kReportInUse) {
        ShowResourceMessageBox(window, IDS_LIBRARY_IN_USE, IDS_MONITOR_CAPTION, kWarningBox);
        m_nState = kRecoveryFailed;
    } else if (bits & kReportOthers) {
        ShowResourceMessageBox(window, IDS_LIBRARY_OTHER_ERROR, IDS_MONITOR_CAPTION, kWarningBox);
        m_nState = kRecoveryFailed;
    } else if (bits & kReportDone) {
        if (RouterNeedsNoRecovery()) {
            m_nState = kRecoveryNotNeeded;
        }
        ShowResourceMessageBox(window, IDS_RECOVERY_DONE, IDS_MONITOR_CAPTION, kWarningBox);
    }
}

void LibraryRecovery::AfterCommunicationFailure(HWND window, int viewType,
                                                const std::string& printerName) {
    if (m_nFlagsShown == 0 && viewType != kViewProgress) {
        m_nFlagsShown = 1;
        CheckLibraryErrorFlags(window);
    }
    if (m_nState == kRecoveryNotTried) {
        Try(window, viewType, printerName);
    }
}

} // namespace krx
