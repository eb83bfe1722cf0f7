// Binary contract of the bidirectional communication library (BXAPI.DLL):
// eleven stdcall entry points with undecorated names, 32-bit integers for
// handles, sizes and results. Shared by the plug-in and the kit's stand-in.
#pragma once

#include <windows.h>

#include "krxstat.h"

namespace bx {

// Result codes the plug-in tests.
constexpr int kOk = 0;
constexpr int kBufferTooSmall = -4;
constexpr int kNoChannelA = -3;
constexpr int kNoChannelB = -16;
constexpr int kNothingToReceive = -10;
constexpr int kBusy = -17;

// Name modes.
constexpr int kModePortName = 0;
constexpr int kModePrinterName = 1;

// BXSetOption options and the messages they make the library post.
constexpr int kOptionNotifyInfo = 3;   // posts KRX_MSG_INFO_DATA
constexpr int kOptionNotifyStatus = 4; // posts KRX_MSG_STATUS_CHANGED

using PfnInitialize = int(WINAPI*)();
using PfnRelease = int(WINAPI*)();
using PfnGetDeviceID = int(WINAPI*)(int mode, const char* name, char* buffer, int* size);
using PfnGetAvailableChannel = int(WINAPI*)(int mode, const char* name, void* buffer, int* size);
using PfnOpenChannel = int(WINAPI*)(int mode, const char* name, int channelId);
using PfnCloseChannel = int(WINAPI*)(int handle);
using PfnSetOption = int(WINAPI*)(int handle, int option, HWND* window);
using PfnReceiveCancel = int(WINAPI*)(int handle);
using PfnGetStatus = int(WINAPI*)(int handle, void* buffer, int* size);
using PfnReceive = int(WINAPI*)(int handle, void* buffer, int* size, int reserved);
using PfnSend = int(WINAPI*)(int handle, const void* bytes, int length);

} // namespace bx
