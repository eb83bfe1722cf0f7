/* krxstat.h - interface of the printer status plug-in krxstat.dll for hosts.
 *
 * Lifecycle. The host loads krxstat.dll and calls its exports on its own
 * thread, one at a time. Loading creates only the module-wide strings and
 * reads the trace switch; nothing runs between calls. PrGetStatusB opens its
 * own connection to the bidirectional library, answers and closes it before
 * it returns; whatever it allocates it frees. The only state that survives a
 * call is the printer name of the first call and, for the registry, the
 * per-printer store values it writes. Buffers the host passes stay the
 * host's. Unloading leaves nothing running.
 *
 * All strings are single-byte (ANSI) and zero-terminated; names may be null
 * or empty.
 */
#ifndef KRXSTAT_H
#define KRXSTAT_H

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention of every export (and of the libraries the plug-in
 * loads): stdcall, undecorated names. */
#define KRX_API __stdcall

/* Channel kinds a host may pass to PrGetStatusB. */
#define KRX_CHANNEL_STATUS_FIRST 0x00000004
#define KRX_CHANNEL_PREFERRED 0x10010003
#define KRX_CHANNEL_STATUS_THIRD 0x10000003
#define KRX_CHANNEL_REMOTE 0x02000001

/* Status query. Returns 0 when the library has no status yet, -1 when it is
 * busy or memory runs out, 1 otherwise. See the integration guide for the
 * outputs. */
int KRX_API PrGetStatusB(int reserved1, int channelKind, int channelHandle, int* statusNumber,
                         int* stCode, int* soundFlag, int* notifyFlag, const char* printerName,
                         const char* portName, int reserved2, const char* modelName,
                         int* replyKind);

typedef int(KRX_API* PFN_PrGetStatusB)(int, int, int, int*, int*, int*, int*, const char*,
                                       const char*, int, const char*, int*);

#ifdef __cplusplus
}
#endif

#endif /* KRXSTAT_H */
