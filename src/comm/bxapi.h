// CBxApi: loads the bidirectional library that belongs to the driver of the
// printer it is given, resolves its eleven entry points, initialises it, and
// on destruction releases and unloads it. Short-lived: each user builds one.
// A window's wrapper makes every call through the window's LibraryCallThread,
// so that a library that stops answering fails the call after a limit.
#pragma once

#include <windows.h>

#include <string>

#include "comm/bxapi_abi.h"
#include "comm/library_calls.h"
#include "common/win_handles.h"

namespace krx {

class CBxApi {
  public:
    // The library of printerName's driver; the module asks the spooler for
    // the driver once and keeps it (RememberedDriverName). Callers pass the
    // module's remembered printer (RememberedPrinterName). With calls, every
    // entry point, BXInitialize and BXRelease among them, runs there within
    // its limit and on copies of what it is given; an overdue call fails
    // with the entry point's failure value.
    explicit CBxApi(std::string printerName, LibraryCallThread* calls = nullptr);
    ~CBxApi();
    CBxApi(const CBxApi&) = delete;
    CBxApi& operator=(const CBxApi&) = delete;

    int IsEnabled() const { return m_bEnable; }
    int InitializeResult() const { return m_nInitResult; }
    const std::string& PrinterName() const { return m_strPrinterName; }
    LibraryCallThread* CallThread() const { return m_pCalls; }

    // Entry points; each answers -1 (failure) when the wrapper is disabled.
    int BXGetDeviceID(int mode, const char* name, char* buffer, int* size) const;
    int BXGetAvailableChannel(int mode, const char* name, void* buffer, int* size) const;
    int BXOpenChannel(int mode, const char* name, int channelId) const;
    int BXCloseChannel(int handle) const;
    int BXSetOption(int handle, int option, HWND* window) const;
    int BXReceiveCancel(int handle) const;
    int BXGetStatus(int handle, void* buffer, int* size) const;
    int BXReceive(int handle, void* buffer, int* size, int reserved) const;
    int BXSend(int handle, const void* bytes, int length) const;

  private:
    void LoadLibraryForDriver(const std::string& driverName);
    bool ResolveEntryPoints();

    int m_bEnable = 0;
    unique_hmodule m_hLibrary;
    int m_nInitResult = -1;
    bx::PfnInitialize m_pInitialize = nullptr;
    bx::PfnRelease m_pRelease = nullptr;
    bx::PfnGetDeviceID m_pGetDeviceID = nullptr;
    bx::PfnGetAvailableChannel m_pGetAvailableChannel = nullptr;
    bx::PfnOpenChannel m_pOpenChannel = nullptr;
    bx::PfnCloseChannel m_pCloseChannel = nullptr;
    bx::PfnSetOption m_pSetOption = nullptr;
    bx::PfnReceiveCancel m_pReceiveCancel = nullptr;
    bx::PfnGetStatus m_pGetStatus = nullptr;
    bx::PfnReceive m_pReceive = nullptr;
    bx::PfnSend m_pSend = nullptr;
    std::string m_strPrinterName; // whose driver names the library
    LibraryCallThread* m_pCalls;  // null: calls are made directly
};

} // namespace krx
