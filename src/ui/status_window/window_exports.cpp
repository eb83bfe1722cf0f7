// Window-opening exports: each call is one monitor session.
#include "ui/status_window/window_exports.h"

#include <cstdlib>

#include "ui/status_window/monitor_session.h"

namespace krx {

namespace {

constexpr int kDefaultStatusInterval = 10;
constexpr int kMinStatusInterval = 2;
constexpr int kMaxStatusInterval = 60;

DWORD SystemMajorVersion() {
    return static_cast<DWORD>(LOBYTE(LOWORD(GetVersion())));
}

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
    MonitorRequest request;
    request.viewType = viewType;
    request.printerName = printerName;
    request.portName = portName;
    request.modelSection = modelSection;
    request.modelFile = modelFile;
    request.resourcePath = resourcePath;
    request.jobId = jobId;
    MonitorSession session(request);
    return session.Run();
}

} // namespace krx
