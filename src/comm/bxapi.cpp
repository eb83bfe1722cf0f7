// Library wrapper: driver key "BXAPI32" first, "BXAPI.DLL" from the
// application's or the system's folder otherwise; enabled only with all eleven entry points and a
// successful BXInitialize; released whenever it was initialised.
#include "comm/bxapi.h"

#include <string>
#include <utility>

#include "comm/spooler.h"
#include "common/safe_load.h"
#include "entry/module/module_state.h"
#include "entry/registry/registry_key.h"
#include "entry/registry/registry_paths.h"
#include "entry/trace/debug_trace.h"

namespace krx {

namespace {
using regkey::kDriverKeyPrefix;
constexpr char kDefaultLibrary[] = "BXAPI.DLL";

template <typename Fn> bool Resolve(HMODULE module, const char* name, Fn* out) {
    FARPROC proc = GetProcAddress(module, name);
    if (proc == nullptr) {
        return false;
    }
    *out = reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
    return true;
}
} // namespace

CBxApi::CBxApi(std::string printerName) : m_strPrinterName(std::move(printerName)) {
    DebugTrace("CBxApi::CBxApi\r\n");
    DebugTrace("PrinterName : %s\r\n", m_strPrinterName.c_str());
    const std::string driverName =
        RememberedDriverName(m_strPrinterName.c_str(), ReadPrinterDriverName);
    DebugTrace("DriverName : %s\r\n", driverName.c_str());
    LoadLibraryForDriver(driverName);
    if (m_hLibrary && ResolveEntryPoints()) {
        m_nInitResult = m_pInitialize();
        m_bEnable = m_nInitResult == 0 ? 1 : 0;
    }
    DebugTrace("m_bEnable : %d\r\n", m_bEnable);
}

CBxApi::~CBxApi() {
    if (m_nInitResult >= 0 && m_pRelease != nullptr) {
        if (m_pRelease() > 0) {
            m_nInitResult = 0;
        }
    }
    m_hLibrary.reset();
}

void CBxApi::LoadLibraryForDriver(const std::string& driverName) {
    std::string keyPath = kDriverKeyPrefix + driverName;
    RegistryKey key(HKEY_LOCAL_MACHINE, keyPath.c_str());
    if (key.IsOpen()) {
        std::string path = key.ReadText("BXAPI32", "", 257);
        if (!path.empty()) {
            DebugTrace("BXAPI Name(from Registry) : %s\r\n", path.c_str());
            m_hLibrary.reset(LoadCodeLibrary(path));
        }
    }
    if (!m_hLibrary) {
        DebugTrace("BXAPI Name(not from Registry): BXAPI.DLL\r\n");
        m_hLibrary.reset(LoadCodeLibrary(kDefaultLibrary));
    }
}

bool CBxApi::ResolveEntryPoints() {
    HMODULE h = m_hLibrary.get();
    return Resolve(h, "BXInitialize", &m_pInitialize) && Resolve(h, "BXRelease", &m_pRelease) &&
           Resolve(h, "BXGetDeviceID", &m_pGetDeviceID) &&
           Resolve(h, "BXGetAvailableChannel", &m_pGetAvailableChannel) &&
           Resolve(h, "BXOpenChannel", &m_pOpenChannel) &&
           Resolve(h, "BXCloseChannel", &m_pCloseChannel) &&
           Resolve(h, "BXSetOption", &m_pSetOption) &&
           Resolve(h, "BXReceiveCancel", &m_pReceiveCancel) &&
           Resolve(h, "BXGetStatus", &m_pGetStatus) && Resolve(h, "BXReceive", &m_pReceive) &&
           Resolve(h, "BXSend", &m_pSend);
}

int CBxApi::BXGetDeviceID(int mode, const char* name, char* buffer, int* size) const {
    return m_bEnable ? m_pGetDeviceID(mode, name, buffer, size) : -1;
}
int CBxApi::BXGetAvailableChannel(int mode, const char* name, void* buffer, int* size) const {
    return m_bEnable ? m_pGetAvailableChannel(mode, name, buffer, size) : -1;
}
int CBxApi::BXOpenChannel(int mode, const char* name, int channelId) const {
    return m_bEnable ? m_pOpenChannel(mode, name, channelId) : 0;
}
int CBxApi::BXCloseChannel(int handle) const {
    return m_bEnable ? m_pCloseChannel(handle) : -1;
}
int CBxApi::BXSetOption(int handle, int option, HWND* window) const {
    return m_bEnable ? m_pSetOption(handle, option, window) : -1;
}
int CBxApi::BXReceiveCancel(int handle) const {
    return m_bEnable ? m_pReceiveCancel(handle) : -1;
}
int CBxApi::BXGetStatus(int handle, void* buffer, int* size) const {
    return m_bEnable ? m_pGetStatus(handle, buffer, size) : -1;
}
int CBxApi::BXReceive(int handle, void* buffer, int* size, int reserved) const {
    return m_bEnable ? m_pReceive(handle, buffer, size, reserved) : -1;
}
int CBxApi::BXSend(int handle, const void* bytes, int length) const {
    return m_bEnable ? m_pSend(handle, bytes, length) : -1;
}

} // namespace krx
