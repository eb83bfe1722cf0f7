// Library wrapper: driver key "BXAPI32" first, "BXAPI.DLL" from the
// application's or the system's folder otherwise; enabled only with all eleven entry points and a
// successful BXInitialize; released whenever it was initialised.
#include "comm/bxapi.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "comm/spooler.h"
#include "common/safe_load.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"
#include "base/trace/debug_trace.h"

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

// A call on the call thread with a plain result; failure when it is overdue.
template <typename Invoke> int BoundedCall(LibraryCallThread& calls, int failure, Invoke invoke) {
    auto result = std::make_shared<int>(failure);
    if (!calls.Run([result, invoke] { *result = invoke(); })) {
        return failure;
    }
    return *result;
}

// What a call with a buffer and a size owns: an overdue call may still write
// into them after its caller has gone.
struct SizedCallBlock {
    std::vector<unsigned char> bytes;
    int size = 0;
    int result = 0;
};

// A call with a buffer (or none) and a size in and out, made on copies: the
// caller's buffer and size get the copies back once the call has returned.
template <typename Invoke>
int BoundedSizedCall(LibraryCallThread& calls, void* buffer, int* size, int failure,
                     Invoke invoke) {
    auto block = std::make_shared<SizedCallBlock>();
    block->result = failure;
    const int capacity = size != nullptr ? *size : 0;
    block->size = capacity;
    const bool withBuffer = buffer != nullptr;
    const bool withSize = size != nullptr;
    if (withBuffer) {
        const unsigned char* from = static_cast<const unsigned char*>(buffer);
        block->bytes.assign(1, 0);
        if (capacity > 0) {
            block->bytes.assign(from, from + capacity);
        }
    }
    if (!calls.Run([block, withBuffer, withSize, invoke] {
            block->result = invoke(withBuffer ? block->bytes.data() : nullptr,
                                   withSize ? &block->size : nullptr);
        })) {
        return failure;
    }
    if (withBuffer && capacity > 0) {
        memcpy(buffer, block->bytes.data(), static_cast<size_t>(capacity));
    }
    if (withSize) {
        *size = block->size;
    }
    return block->result;
}

// A name the library is given, kept by the call.
struct CallName {
    explicit CallName(const char* name)
        : text(name != nullptr ? name : ""), given(name != nullptr) {}
    const char* Get() const { return given ? text.c_str() : nullptr; }
    std::string text;
    bool given;
};
} // namespace

CBxApi::CBxApi(std::string printerName, LibraryCallThread* calls)
    : m_strPrinterName(std::move(printerName)), m_pCalls(calls) {
    DebugTrace("CBxApi::CBxApi\r\n");
    DebugTrace("PrinterName : %s\r\n", m_strPrinterName.c_str());
    const std::string driverName =
        RememberedDriverName(m_strPrinterName.c_str(), ReadPrinterDriverName);
    DebugTrace("DriverName : %s\r\n", driverName.c_str());
    LoadLibraryForDriver(driverName);
    if (m_hLibrary && ResolveEntryPoints()) {
        if (m_pCalls != nullptr) {
            m_pCalls->HoldModule(m_hLibrary.get());
            const bx::PfnInitialize initialize = m_pInitialize;
            m_nInitResult = BoundedCall(*m_pCalls, -1, [initialize] { return initialize(); });
        } else {
            m_nInitResult = m_pInitialize();
        }
        m_bEnable = m_nInitResult == 0 ? 1 : 0;
    }
    DebugTrace("m_bEnable : %d\r\n", m_bEnable);
}

CBxApi::~CBxApi() {
    if (m_nInitResult >= 0 && m_pRelease != nullptr) {
        const bx::PfnRelease release = m_pRelease;
        const int released = m_pCalls != nullptr
                                 ? BoundedCall(*m_pCalls, 0, [release] { return release(); })
                                 : release();
        if (released > 0) {
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
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pGetDeviceID(mode, name, buffer, size);
    }
    const bx::PfnGetDeviceID fn = m_pGetDeviceID;
    const CallName n(name);
    return BoundedSizedCall(*m_pCalls, buffer, size, -1, [fn, mode, n](void* b, int* s) {
        return fn(mode, n.Get(), static_cast<char*>(b), s);
    });
}

int CBxApi::BXGetAvailableChannel(int mode, const char* name, void* buffer, int* size) const {
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pGetAvailableChannel(mode, name, buffer, size);
    }
    const bx::PfnGetAvailableChannel fn = m_pGetAvailableChannel;
    const CallName n(name);
    return BoundedSizedCall(*m_pCalls, buffer, size, -1,
                            [fn, mode, n](void* b, int* s) { return fn(mode, n.Get(), b, s); });
}

int CBxApi::BXOpenChannel(int mode, const char* name, int channelId) const {
    if (!m_bEnable) {
        return 0;
    }
    if (m_pCalls == nullptr) {
        return m_pOpenChannel(mode, name, channelId);
    }
    const bx::PfnOpenChannel fn = m_pOpenChannel;
    const CallName n(name);
    return BoundedCall(*m_pCalls, 0,
                       [fn, mode, n, channelId] { return fn(mode, n.Get(), channelId); });
}

int CBxApi::BXCloseChannel(int handle) const {
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pCloseChannel(handle);
    }
    const bx::PfnCloseChannel fn = m_pCloseChannel;
    return BoundedCall(*m_pCalls, -1, [fn, handle] { return fn(handle); });
}

int CBxApi::BXSetOption(int handle, int option, HWND* window) const {
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pSetOption(handle, option, window);
    }
    const bx::PfnSetOption fn = m_pSetOption;
    const bool given = window != nullptr;
    const HWND copy = given ? *window : nullptr;
    return BoundedCall(*m_pCalls, -1, [fn, handle, option, given, copy] {
        HWND registered = copy;
        return fn(handle, option, given ? &registered : nullptr);
    });
}

int CBxApi::BXReceiveCancel(int handle) const {
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pReceiveCancel(handle);
    }
    const bx::PfnReceiveCancel fn = m_pReceiveCancel;
    return BoundedCall(*m_pCalls, -1, [fn, handle] { return fn(handle); });
}

int CBxApi::BXGetStatus(int handle, void* buffer, int* size) const {
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pGetStatus(handle, buffer, size);
    }
    const bx::PfnGetStatus fn = m_pGetStatus;
    return BoundedSizedCall(*m_pCalls, buffer, size, -1,
                            [fn, handle](void* b, int* s) { return fn(handle, b, s); });
}

int CBxApi::BXReceive(int handle, void* buffer, int* size, int reserved) const {
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pReceive(handle, buffer, size, reserved);
    }
    const bx::PfnReceive fn = m_pReceive;
    return BoundedSizedCall(*m_pCalls, buffer, size, -1, [fn, handle, reserved](void* b, int* s) {
        return fn(handle, b, s, reserved);
    });
}

int CBxApi::BXSend(int handle, const void* bytes, int length) const {
    if (!m_bEnable) {
        return -1;
    }
    if (m_pCalls == nullptr) {
        return m_pSend(handle, bytes, length);
    }
    const bx::PfnSend fn = m_pSend;
    auto copy = std::make_shared<std::vector<unsigned char>>(1, 0);
    if (bytes != nullptr && length > 0) {
        const unsigned char* from = static_cast<const unsigned char*>(bytes);
        copy->assign(from, from + length);
    }
    const bool given = bytes != nullptr;
    return BoundedCall(*m_pCalls, -1, [fn, handle, copy, given, length] {
        return fn(handle, given ? copy->data() : nullptr, length);
    });
}

} // namespace krx
