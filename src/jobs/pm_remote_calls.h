/* The port monitor's remote procedures, each run under the RPC guard: a
 * result of 0 stands for failure, whatever the run time raised. *exception
 * (when given) receives the RPC status or exception code of a failed call, 0
 * otherwise. The session is the interface's context handle. */
#ifndef KRX_JOBS_PM_REMOTE_CALLS_H
#define KRX_JOBS_PM_REMOTE_CALLS_H

#ifdef __cplusplus
extern "C" {
#endif

typedef void* KrxPmSession;

/* Opens a session on the binding given; every later call goes by the
 * session's context handle, which carries its own copy of the binding. */
long KrxPmOpenSession(void* binding, KrxPmSession* session, const char* libraryName,
                      unsigned long* exception);
long KrxPmCloseSession(KrxPmSession* session, unsigned long* exception);
long KrxPmOpenPort(KrxPmSession* session, const char* printer, const char* port, long flag, long n,
                   const unsigned char* data, unsigned long* exception);
long KrxPmClosePort(KrxPmSession* session, unsigned long* exception);
long KrxPmIsPortActive(KrxPmSession* session, unsigned long* exception);
long KrxPmGetCurrentJob(KrxPmSession* session, unsigned long* exception);
long KrxPmIsJobActive(KrxPmSession* session, long job, unsigned long* exception);
long KrxPmSetJobProperty(KrxPmSession* session, long job, long property, long n,
                         const unsigned char* data, unsigned long* exception);
long KrxPmGetJobProperty(KrxPmSession* session, long job, long property, long n,
                         unsigned char* buffer, long* needed, unsigned long* exception);
long KrxPmBeginJobWatch(KrxPmSession* session, long job, unsigned long* exception);
long KrxPmEndJobWatch(KrxPmSession* session, long job, unsigned long* exception);

/* Frees the client side of a session whose server is gone, without a call. */
void KrxPmDropSession(KrxPmSession* session);

#ifdef __cplusplus
}
#endif

#endif /* KRX_JOBS_PM_REMOTE_CALLS_H */
