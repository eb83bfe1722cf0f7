// Window-opening exports: the objects of one call, the checks before the
// window runs, and their release in reverse order.
#include "ui/status_window/window_exports.h"

#include <cstdlib>
#include <string>

#include "comm/bxapi.h"
#include "comm/printer_identity.h"
#include "common/resource_ids.h"
#include "common/safe_load.h"
#include "common/win_handles.h"
#include "entry/module/module_state.h"
#include "entry/profile/profile_reader.h"
#include "entry/registry/registry_key.h"
#include "entry/registry/registry_paths.h"
#include "graphics/resource_text.h"
#include "jobs/job_monitor.h"
#include "ui/status_window/status_window.h"

namespace krx {

namespace {

using regkey::kCommonKey;
constexpr int kDefaultStatusInterval = 10;
constexpr int kMinStatusInterval = 2;
constexpr int kMaxStatusInterval = 60;
constexpr DWORD kWindows2000Family = 5;

DWORD SystemMajorVersion() {
    return static_cast<DWORD>(LOBYTE(LOWORD(GetVersion())));
}

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// The meter may run without polling on systems where the library is known
// not to work; then the library need not be loaded.
bool MeterWantsPolling(const char* modelSection, const char* modelFile) {
    RegistryKey common(HKEY_LOCAL_MACHINE, kCommonKey);
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
    const std::string driverKey = GetDriverKeyPath(printerName);
    if (driverKey.empty()) {
        return std::string();
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, driverKey.c_str());
    if (!key.IsOpen()) {
        return std::string();
    }
    std::string folder = key.ReadText("InstallPath", "", RegistryKey::kTextBufferSize + 1);
    return folder.empty() ? folder : folder + "\\";
}

// Makes the language library the module's current resource module for the
// call and puts the previous one back afterwards, so that nothing refers to
// a library already released.
class CurrentResourceModule {
  public:
    explicit CurrentResourceModule(HMODULE module) : m_hPrevious(Module().resourceModule) {
        Module().resourceModule = module;
    }
    ~CurrentResourceModule() { Module().resourceModule = m_hPrevious; }
    CurrentResourceModule(const CurrentResourceModule&) = delete;
    CurrentResourceModule& operator=(const CurrentResourceModule&) = delete;

  private:
    HMODULE m_hPrevious;
};

} // namespace

WindowSystemApi& WindowSystem() {
    static WindowSystemApi api = DefaultWindowSystem();
    return api;
}

const WindowSystemApi& DefaultWindowSystem() {
    static const WindowSystemApi api = {SystemMajorVersion};
    return api;
}

int StatusIntervalFromText(const char* text) {
    if (text == nullptr) {
        return kDefaultStatusInterval;
    }
    const long value = std::strtol(text, nullptr, 10);
    return value >= kMinStatusInterval && value <= kMaxStatusInterval ? static_cast<int>(value)
                                                                      : kDefaultStatusInterval;
}

int StartMonitorWindow(int viewType, const char* printerName, const char* portName,
                       const char* modelSection, const char* modelFile, const char* resourcePath,
                       int jobId) {
    // This call's driver key, resource module and status interval, apart
    // from those of calls on other threads or suspended under this one.
    ModuleFrame frame;
    // Destroyed in reverse order: ink library, resource library, job
    // monitor, library wrapper, window.
    StatusWindow window;
    RememberPrinterName(OrEmpty(printerName));
    CBxApi library(RememberedPrinterName());
    JobMonitor monitor;
    if (monitor.SetNames(OrEmpty(printerName), OrEmpty(portName)) == 0) {
        return 1;
    }

    if (viewType == kViewProgress) {
        if (!MeterWantsPolling(OrEmpty(modelSection), OrEmpty(modelFile))) {
            window.SetStatusPollingEnabled(0);
        } else if (!library.IsEnabled()) {
            return 1;
        }
    } else if (!library.IsEnabled()) {
        return 1;
    }

    if (resourcePath == nullptr || *resourcePath == '\0') {
        return 1;
    }
    // Dialogs, strings, icons and bitmaps only: none of its code runs.
    unique_hmodule resources(LoadResourceLibrary(resourcePath));
    if (!resources) {
        return 1;
    }
    CurrentResourceModule current(resources.get());

    std::string intervalText;
    LoadResourceString(IDS_STATUS_INTERVAL, &intervalText);
    Module().statusInterval = StatusIntervalFromText(intervalText.c_str());

    const std::string installFolder = InstallFolderFor(OrEmpty(printerName));
    unique_hmodule inkLibrary;
    std::string inkFile;
    if (ReadProfileString(OrEmpty(modelFile), OrEmpty(modelSection), "InkDll", &inkFile) ==
            kProfileFound &&
        !inkFile.empty()) {
        inkLibrary.reset(LoadCodeLibrary(installFolder + inkFile));
    }

    if (viewType == kViewProgress) {
        monitor.FollowJob(jobId);
    }

    window.SetResourceLibrary(resources.get());
    window.SetBaseViewType(viewType);
    window.SetJobMonitor(&monitor);
    window.SetLibrary(&library);
    window.SetResourcePath(OrEmpty(resourcePath));
    const INT_PTR result = window.Run(printerName, portName, modelSection, modelFile);
    // A library without the window's template cannot show it.
    return result == -1 ? 1 : 0;
}

} // namespace krx
