// MonitorSession: the checks and loads before a status window opens, and
// their release in reverse order.
#include "ui/status_window/monitor_session.h"

#include <string>

#include "comm/printer_identity.h"
#include "common/resource_ids.h"
#include "common/safe_load.h"
#include "base/module/install_paths.h"
#include "base/profile/profile_reader.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"
#include "graphics/resource_text.h"
#include "ui/status_window/window_exports.h"

namespace krx {

namespace {

constexpr DWORD kWindows2000Family = 5;

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// The library wrapper follows the first printer the module was asked
// about.
std::string RememberedFor(const char* printerName) {
    RememberPrinterName(OrEmpty(printerName));
    return RememberedPrinterName();
}

// The meter may run without polling on systems where the library is known
// not to work; then the library need not be loaded.
bool MeterWantsPolling(const char* modelSection, const char* modelFile) {
    RegistryKey common(HKEY_LOCAL_MACHINE, regkey::kCommonKey);
    if (common.IsOpen() && common.ReadNumber("ERR_OSVERNOTSUPPORT", 0) == 1) {
        return false;
    }
    if (WindowSystem().majorVersion() == kWindows2000Family) {
        int value = 1;
        if (ReadProfileInt(modelFile, modelSection, "WIN2000", &value) == kProfileFound &&
            value == 0) {
            return false;
        }
    }
    return true;
}

std::string InstallFolderFor(const char* printerName) {
    return DriverKeyFolder(GetDriverKeyPath(printerName), kInstallPathValue);
}

} // namespace

MonitorSession::MonitorSession(const MonitorRequest& request, const JobMonitorSettings& jobSettings)
    : m_Request(request), m_Library(RememberedFor(request.printerName), &m_LibraryCalls),
      m_Monitor(jobSettings) {}

MonitorSession::~MonitorSession() {
    if (m_bResourcesCurrent) {
        ThisCall().resourceModule = m_hPreviousResources;
    }
}

int MonitorSession::Run() {
    if (!Prepare()) {
        return 1;
    }
    // A library without the window's template cannot show it.
    return RunWindow() == -1 ? 1 : 0;
}

bool MonitorSession::Prepare() {
    if (m_bPrepared) {
        return true;
    }
    if (m_Monitor.SetNames(OrEmpty(m_Request.printerName), OrEmpty(m_Request.portName)) == 0) {
        return false;
    }
    int statusPolling = 1;
    if (m_Request.viewType == kViewProgress &&
        !MeterWantsPolling(OrEmpty(m_Request.modelSection), OrEmpty(m_Request.modelFile))) {
        statusPolling = 0;
    } else if (!m_Library.IsEnabled()) {
        return false;
    }

    const char* resourcePath = m_Request.resourcePath;
    if (resourcePath == nullptr || *resourcePath == '\0') {
        return false;
    }
    // Dialogs, strings, icons and bitmaps only: none of its code runs.
    m_hResources.reset(LoadResourceLibrary(resourcePath));
    if (!m_hResources) {
        return false;
    }
    MakeResourcesCurrent();

    std::string intervalText;
    LoadResourceString(IDS_STATUS_INTERVAL, &intervalText);
    ThisCall().statusInterval = StatusIntervalFromText(intervalText.c_str());

    LoadInkLibrary();
    if (m_Request.viewType == kViewProgress) {
        m_Monitor.FollowJob(m_Request.jobId);
    }

    StatusWindowSetup setup;
    setup.resourceLibrary = m_hResources.get();
    setup.baseViewType = m_Request.viewType;
    setup.jobMonitor = &m_Monitor;
    setup.library = &m_Library;
    setup.resourcePath = resourcePath;
    setup.statusPolling = statusPolling;
    m_Window.Configure(setup);
    m_bPrepared = true;
    return true;
}

INT_PTR MonitorSession::RunWindow() {
    if (!m_bPrepared) {
        return -1;
    }
    return m_Window.Run(m_Request.printerName, m_Request.portName, m_Request.modelSection,
                        m_Request.modelFile);
}

void MonitorSession::MakeResourcesCurrent() {
    m_hPreviousResources = ThisCall().resourceModule;
    ThisCall().resourceModule = m_hResources.get();
    m_bResourcesCurrent = true;
}

void MonitorSession::LoadInkLibrary() {
    const std::string installFolder = InstallFolderFor(OrEmpty(m_Request.printerName));
    std::string inkFile;
    if (ReadProfileString(OrEmpty(m_Request.modelFile), OrEmpty(m_Request.modelSection), "InkDll",
                          &inkFile) != kProfileFound ||
        inkFile.empty()) {
        return;
    }
    m_hInkLibrary.reset(LoadCodeLibrary(installFolder + inkFile));
}

} // namespace krx
