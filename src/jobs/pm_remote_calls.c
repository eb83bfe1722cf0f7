/* Thunks from plain arguments to the generated client stubs, one guarded call
 * each. Kept in C: the guard's longjmp must not cross C++ frames. */
#include "jobs/pm_remote_calls.h"

#include <stdlib.h>

#include "jobs/rpc_guard.h"
#include "port_monitor.h"

void* KrxPmBinding(void) {
    return krxPortMonitorBinding;
}

void KrxPmSetBinding(void* binding) {
    krxPortMonitorBinding = (handle_t)binding;
}

typedef struct RemoteArgs {
    KrxPmSession* session;
    const char* text1;
    const char* text2;
    long value1;
    long value2;
    long n;
    unsigned char* bytes;
    long* needed;
} RemoteArgs;

static long CallOpenSession(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmOpenSession(a->session, (char*)a->text1);
}

static long CallCloseSession(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmCloseSession(a->session);
}

static long CallOpenPort(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmOpenPort(a->session, (char*)a->text1, (char*)a->text2, a->value1, a->n, a->bytes);
}

static long CallClosePort(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmClosePort(a->session);
}

static long CallIsPortActive(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmIsPortActive(a->session);
}

static long CallGetCurrentJob(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmGetCurrentJob(a->session);
}

static long CallIsJobActive(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmIsJobActive(a->session, a->value1);
}

static long CallSetJobProperty(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmSetJobProperty(a->session, a->value1, a->value2, a->n, a->bytes);
}

static long CallGetJobProperty(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmGetJobProperty(a->session, a->value1, a->value2, a->n, a->bytes, a->needed);
}

static long CallBeginJobWatch(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmBeginJobWatch(a->session, a->value1);
}

static long CallEndJobWatch(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    return PmEndJobWatch(a->session, a->value1);
}

static long CallDropSession(void* p) {
    RemoteArgs* a = (RemoteArgs*)p;
    RpcSsDestroyClientContext(a->session);
    return 1;
}

long KrxPmOpenSession(KrxPmSession* session, const char* libraryName, unsigned long* exception) {
    RemoteArgs a = {session, libraryName, 0, 0, 0, 0, 0, 0};
    return KrxRunGuarded(CallOpenSession, &a, exception);
}

long KrxPmCloseSession(KrxPmSession* session, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, 0, 0, 0, 0, 0};
    return KrxRunGuarded(CallCloseSession, &a, exception);
}

long KrxPmOpenPort(KrxPmSession* session, const char* printer, const char* port, long flag, long n,
                   const unsigned char* data, unsigned long* exception) {
    RemoteArgs a = {session, printer, port, flag, 0, n, (unsigned char*)data, 0};
    return KrxRunGuarded(CallOpenPort, &a, exception);
}

long KrxPmClosePort(KrxPmSession* session, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, 0, 0, 0, 0, 0};
    return KrxRunGuarded(CallClosePort, &a, exception);
}

long KrxPmIsPortActive(KrxPmSession* session, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, 0, 0, 0, 0, 0};
    return KrxRunGuarded(CallIsPortActive, &a, exception);
}

long KrxPmGetCurrentJob(KrxPmSession* session, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, 0, 0, 0, 0, 0};
    return KrxRunGuarded(CallGetCurrentJob, &a, exception);
}

long KrxPmIsJobActive(KrxPmSession* session, long job, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, job, 0, 0, 0, 0};
    return KrxRunGuarded(CallIsJobActive, &a, exception);
}

long KrxPmSetJobProperty(KrxPmSession* session, long job, long property, long n,
                         const unsigned char* data, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, job, property, n, (unsigned char*)data, 0};
    return KrxRunGuarded(CallSetJobProperty, &a, exception);
}

long KrxPmGetJobProperty(KrxPmSession* session, long job, long property, long n,
                         unsigned char* buffer, long* needed, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, job, property, n, buffer, needed};
    return KrxRunGuarded(CallGetJobProperty, &a, exception);
}

long KrxPmBeginJobWatch(KrxPmSession* session, long job, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, job, 0, 0, 0, 0};
    return KrxRunGuarded(CallBeginJobWatch, &a, exception);
}

long KrxPmEndJobWatch(KrxPmSession* session, long job, unsigned long* exception) {
    RemoteArgs a = {session, 0, 0, job, 0, 0, 0, 0};
    return KrxRunGuarded(CallEndJobWatch, &a, exception);
}

void KrxPmDropSession(KrxPmSession* session) {
    RemoteArgs a = {session, 0, 0, 0, 0, 0, 0, 0};
    KrxRunGuarded(CallDropSession, &a, 0);
}

/* Memory the RPC run time allocates for the stubs. */
void* __RPC_USER MIDL_user_allocate(size_t size) {
    return malloc(size);
}

void __RPC_USER MIDL_user_free(void* p) {
    free(p);
}
