/* krxstat.h - interface of the printer status plug-in krxstat.dll for hosts.
 *
 * Lifecycle. The host loads krxstat.dll and calls its exports. Loading
 * creates the module-wide values empty and reads the trace switch; nothing
 * runs between calls. Every call works on the calling thread: PrGetStatusB
 * opens its own connection to the bidirectional library, answers and closes
 * it before it returns; a window export runs its window modally (and a
 * job-monitor worker thread for it) and returns when the window has closed.
 * Exports may be called from several threads at once and from inside
 * another window's modal loop: each window call keeps its own driver key,
 * resource library and status interval in a frame of its own, and the
 * shared values are guarded. Whatever a call allocates it frees. What
 * survives a call, for the module's life: the printer name of the first
 * call and its driver name, the language section the first window chose,
 * and a cache of the per-printer store keys' names (kept current by
 * registry change notifications); and, in the registry, the values the
 * plug-in writes. Buffers the host passes stay the host's, with one
 * exception: PrGetPrnData replaces the host's data buffer (both allocated
 * with LocalAlloc, freed with LocalFree). Unloading releases the cache and
 * leaves nothing running.
 *
 * All strings are single-byte (ANSI) and zero-terminated; names may be null
 * or empty.
 */
#ifndef KRXSTAT_H
#define KRXSTAT_H

#include <windows.h>

#include "krxchannels.h" /* channel ids and entries */

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention of every export (and of the libraries the plug-in
 * loads): stdcall, undecorated names. */
#define KRX_API __stdcall

/* Messages a status window accepts. A host finds the window in the shared
 * tables "KrxMapFile_05" / "KrxMapFile2_05" (slot type 1). */
#define KRX_MSG_INFO_DATA (WM_USER + 1)         /* 1025, library: data on lParam's channel */
#define KRX_MSG_STATUS_CHANGED (WM_USER + 2)    /* 1026, library: status on lParam's channel */
#define KRX_MSG_ADD_JOB (WM_USER + 5)           /* 1029, host: follow spooler job lParam */
#define KRX_MSG_OPEN_AS_DETAIL (WM_USER + 6)    /* 1030, host: become a detail window */
#define KRX_MSG_RECOVERY_REPORT (WM_USER + 200) /* 1224, settings tool: flags in lParam */

/* Status query. Returns 0 when the library has no status yet, -1 when it is
 * busy or memory runs out, 1 otherwise. See the integration guide for the
 * outputs. */
int KRX_API PrGetStatusB(int reserved1, int channelKind, int channelHandle, int* statusNumber,
                         int* stCode, int* soundFlag, int* notifyFlag, const char* printerName,
                         const char* portName, int reserved2, const char* modelName,
                         int* replyKind);

typedef int(KRX_API* PFN_PrGetStatusB)(int, int, int, int*, int*, int*, int*, const char*,
                                       const char*, int, const char*, int*);

/* Notification items: the index-th item's name (from string 1001 + index
 * of the given module, into a 260-byte buffer) and item number; *index then
 * names the next item. 0 = an item was returned; 1 = the index was outside
 * the list (string 1000 holds the count) and has been reset to 0. */
int KRX_API PrEnumItem(HMODULE resourceModule, int* index, char* itemName, int* itemNumber);

typedef int(KRX_API* PFN_PrEnumItem)(HMODULE, int*, char*, int*);

/* Copies a model's defaults from its profile file into the printer's store
 * key (path under HKEY_CURRENT_USER). 0 = all written; 1 = no store key,
 * nothing written; 3 = "Notify" existed, its items were left as they are;
 * 4 = the profile has no ITEMNUM; 5 = fewer items found than ITEMNUM. */
int KRX_API SetRegDefaultValue(const char* profilePath, const char* modelName,
                               const char* storeKeyPath);

typedef int(KRX_API* PFN_SetRegDefaultValue)(const char*, const char*, const char*);

/* Chooses the status channel among entries as BXGetAvailableChannel lists
 * them (8 bytes each). 1 = count below 1 or the entries could not be copied;
 * 0 otherwise, with *channelId set and *out5, *out6 cleared only when a
 * channel was chosen. */
int KRX_API PrSelectChan(DWORD reserved, const void* entries, int count, int* channelId, int* out5,
                         int* out6);

typedef int(KRX_API* PFN_PrSelectChan)(DWORD, const void*, int, int*, int*, int*);

/* Collects data the printer sent on the channel. On data, the buffer that
 * *buffer pointed to (if any) is freed with LocalFree and *buffer receives a
 * new LocalAlloc buffer (zero-terminated; the host frees it with LocalFree).
 * Otherwise *buffer is left as it was and the pending receive is cancelled.
 * 1 = library not ready; -1 = handle 0; 0 otherwise, with *out4 := 0 (the
 * length is not passed back). */
int KRX_API PrGetPrnData(DWORD reserved1, DWORD reserved2, int channelHandle, int* out4,
                         void** buffer);

typedef int(KRX_API* PFN_PrGetPrnData)(DWORD, DWORD, int, int*, void**);

/* Sends nothing: 0 for a channel handle above 0, else -1. */
int KRX_API PrSendPrnData(DWORD reserved1, DWORD reserved2, int channelHandle);

typedef int(KRX_API* PFN_PrSendPrnData)(DWORD, DWORD, int);

/* Does nothing; returns 0. */
int KRX_API PrReleaseReg(void);

typedef int(KRX_API* PFN_PrReleaseReg)(void);

/* Open the pop-up (S) or detail (D) status window, or the progress meter
 * (PM) that follows one print job, and run it modally on the calling thread.
 * Arguments: printer name (may be empty: the port name then stands for it),
 * port name, model section and model file of the profile, full path of the
 * language resource library, and for PM the job id. 0 after the window has
 * closed (also when the spooler does not know the printer); 1 when the
 * window cannot be opened. */
int KRX_API PrStartKRX_S(const char* printerName, const char* portName, const char* modelSection,
                         const char* modelFile, const char* resourcePath);
int KRX_API PrStartKRX_D(const char* printerName, const char* portName, const char* modelSection,
                         const char* modelFile, const char* resourcePath);
int KRX_API PrStartKRX_PM(const char* printerName, const char* portName, const char* modelSection,
                          const char* modelFile, const char* resourcePath, int jobId);

typedef int(KRX_API* PFN_PrStartKRX_S)(const char*, const char*, const char*, const char*,
                                       const char*);
typedef int(KRX_API* PFN_PrStartKRX_D)(const char*, const char*, const char*, const char*,
                                       const char*);
typedef int(KRX_API* PFN_PrStartKRX_PM)(const char*, const char*, const char*, const char*,
                                        const char*, int);

#ifdef __cplusplus
}
#endif

#endif /* KRXSTAT_H */
