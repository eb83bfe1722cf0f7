/* A bidirectional library for the several-threads test: stateless, so that
 * any number of threads may call it at once, and answering each status
 * channel handle with its own fixed reply. It offers no channels to windows. */
#include <windows.h>
#include <string.h>

#define BX_EXPORT __declspec(dllexport) int WINAPI

static const char* ReplyFor(int handle) {
    switch (handle) {
    case 1:
        return "@BDC ST\r\nST:04;\x0C";
    case 2:
        return "@BDC ST\r\nST:04;WR:10;IQ:0A5A5A5A5A5A;\x0C";
    case 3:
        return "@BDC ST\r\nST:00;ER:05;IQ:005A5A5A5A5A;\x0C";
    default:
        return NULL;
    }
}

BX_EXPORT BXInitialize(void) {
    return 0;
}
BX_EXPORT BXRelease(void) {
    return 1;
}
BX_EXPORT BXGetDeviceID(int mode, const char* name, char* buffer, int* size) {
    (void)mode, (void)name, (void)buffer, (void)size;
    return -3;
}
BX_EXPORT BXGetAvailableChannel(int mode, const char* name, void* buffer, int* size) {
    (void)mode, (void)name, (void)buffer, (void)size;
    return -3;
}
BX_EXPORT BXOpenChannel(int mode, const char* name, int channelId) {
    (void)mode, (void)name, (void)channelId;
    return 0;
}
BX_EXPORT BXCloseChannel(int handle) {
    (void)handle;
    return 0;
}
BX_EXPORT BXSetOption(int handle, int option, HWND* window) {
    (void)handle, (void)option, (void)window;
    return 0;
}
BX_EXPORT BXReceiveCancel(int handle) {
    (void)handle;
    return 0;
}
BX_EXPORT BXGetStatus(int handle, void* buffer, int* size) {
    const char* reply = ReplyFor(handle);
    int length = reply != NULL ? (int)strlen(reply) : 0;
    if (reply == NULL || size == NULL) {
        return -3;
    }
    if (buffer == NULL || *size < length) {
        *size = length;
        return -4;
    }
    memcpy(buffer, reply, (size_t)length);
    *size = length;
    return length;
}
BX_EXPORT BXReceive(int handle, void* buffer, int* size, int reserved) {
    (void)handle, (void)buffer, (void)size, (void)reserved;
    return -10;
}
BX_EXPORT BXSend(int handle, const void* bytes, int length) {
    (void)handle, (void)bytes, (void)length;
    return -3;
}
