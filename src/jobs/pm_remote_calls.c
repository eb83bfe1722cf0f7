/* Thunks from plain arguments to the generated client stubs, one guarded call
 * each. Kept in C: the guard's longjmp must not cross C++ frames. */
#include "jobs/pm_remote_calls.h"

#include <stdlib.h>
#include <string.h>

#include "jobs/rpc_guard.h"
#include "port_monitor.h"

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

/* GetJobProperty is the one call whose reply writes into the caller's
 * memory. The generated stub would unmarshal the returned array with the
 * size and offset the server sends, straight into the caller's buffer, so
 * this call is marshalled here instead, byte for byte as the stub does: the
 * reply is checked whole in the run time's own buffer and only an array of
 * exactly the size sent (the only answer the interface allows) is copied
 * back. */
enum {
    kProcGetJobProperty = 13,
    kContextWireSize = 20,
    kArrayHeaderSize = 12 /* maximum count, offset, actual count */
};

typedef struct CheckedCall {
    RPC_MESSAGE message;
    MIDL_STUB_MESSAGE stub;
    MIDL_STUB_DESC desc;
} CheckedCall;

typedef struct GetPropertyArgs {
    RemoteArgs* remote;
    CheckedCall* call;
} GetPropertyArgs;

static unsigned char* AlignUp4(unsigned char* at) {
    return (unsigned char*)(((ULONG_PTR)at + 3) & ~(ULONG_PTR)3);
}

static unsigned char* Put32(unsigned char* at, unsigned long value) {
    memcpy(at, &value, 4);
    return at + 4;
}

/* Reads a 32-bit value of the reply, aligned as NDR aligns it; raises when
 * the reply ends first. */
static unsigned long Take32(MIDL_STUB_MESSAGE* stub) {
    unsigned long value;
    unsigned char* at = AlignUp4(stub->Buffer);
    if (at > stub->BufferEnd || (size_t)(stub->BufferEnd - at) < 4) {
        RpcRaiseException(RPC_X_BAD_STUB_DATA);
    }
    memcpy(&value, at, 4);
    stub->Buffer = at + 4;
    return value;
}

static void InitializeCall(CheckedCall* call, unsigned int procedure);

static long CallGetJobProperty(void* p) {
    GetPropertyArgs* g = (GetPropertyArgs*)p;
    RemoteArgs* a = g->remote;
    MIDL_STUB_MESSAGE* stub = &g->call->stub;
    unsigned long n = (unsigned long)a->n;
    handle_t binding = NDRCContextBinding((NDR_CCONTEXT)*a->session);
    unsigned char* at;
    unsigned long maximum, offset, actual, needed, result;
    const unsigned char* data;

    InitializeCall(g->call, kProcGetJobProperty);

    /* Request: context, job, property, n, the array (n, 0, n, bytes), needed. */
    stub->BufferLength = kContextWireSize + 12 + kArrayHeaderSize + n + 3 + 4;
    NdrGetBuffer(stub, stub->BufferLength, binding);
    NdrClientContextMarshall(stub, (NDR_CCONTEXT)*a->session, 1);
    at = AlignUp4(stub->Buffer);
    at = Put32(at, (unsigned long)a->value1);
    at = Put32(at, (unsigned long)a->value2);
    at = Put32(at, n);
    at = Put32(at, n);
    at = Put32(at, 0);
    at = Put32(at, n);
    memcpy(at, a->bytes, n);
    at = AlignUp4(at + n);
    at = Put32(at, (unsigned long)*a->needed);
    NdrSendReceive(stub, at);

    if ((g->call->message.DataRepresentation & 0xFFFFUL) != NDR_LOCAL_DATA_REPRESENTATION) {
        RpcRaiseException(RPC_X_BAD_STUB_DATA);
    }
    /* Reply: context, the array, needed, the result. */
    NdrClientContextUnmarshall(stub, (NDR_CCONTEXT*)a->session, binding);
    maximum = Take32(stub);
    offset = Take32(stub);
    actual = Take32(stub);
    if (maximum != n || offset != 0 || actual != n ||
        (size_t)(stub->BufferEnd - stub->Buffer) < n) {
        RpcRaiseException(RPC_X_BAD_STUB_DATA);
    }
    data = stub->Buffer;
    stub->Buffer += n;
    needed = Take32(stub);
    result = Take32(stub);
    memcpy(a->bytes, data, n);
    *a->needed = (long)needed;
    return (long)result;
}

/* OpenSession marshalled by hand too, for the binding it goes out on: the
 * stub would take the interface's one module-wide binding handle, so that
 * every monitor opening a session would have to wait for the others. The
 * wire is the stub's: the library name as a conformant varying string; the
 * reply is the session's context handle and the result. */
enum { kProcOpenSession = 0 };

typedef struct OpenSessionArgs {
    RPC_BINDING_HANDLE binding;
    KrxPmSession* session;
    const char* libraryName;
    CheckedCall* call;
} OpenSessionArgs;

static void InitializeCall(CheckedCall* call, unsigned int procedure) {
    call->desc.RpcInterfaceInformation = (void*)PortMonitorRpc_v1_0_c_ifspec;
    call->desc.pfnAllocate = MIDL_user_allocate;
    call->desc.pfnFree = MIDL_user_free;
    call->desc.IMPLICIT_HANDLE_INFO.pPrimitiveHandle = &krxPortMonitorBinding;
    call->desc.fCheckBounds = 1;
    call->desc.Version = 0x50002;
    call->desc.MIDLVersion = 0x50200ca;
    call->desc.mFlags = 1;
    NdrClientInitializeNew(&call->message, &call->stub, &call->desc, procedure);
}

static long CallOpenSessionOn(void* p) {
    OpenSessionArgs* a = (OpenSessionArgs*)p;
    MIDL_STUB_MESSAGE* stub = &a->call->stub;
    unsigned long length = (unsigned long)strlen(a->libraryName) + 1;
    unsigned char* at;
    unsigned long result;

    InitializeCall(a->call, kProcOpenSession);
    /* Request: the string (length, 0, length, bytes with the terminator). */
    stub->BufferLength = kArrayHeaderSize + length;
    NdrGetBuffer(stub, stub->BufferLength, a->binding);
    at = AlignUp4(stub->Buffer);
    at = Put32(at, length);
    at = Put32(at, 0);
    at = Put32(at, length);
    memcpy(at, a->libraryName, length);
    NdrSendReceive(stub, at + length);

    if ((a->call->message.DataRepresentation & 0xFFFFUL) != NDR_LOCAL_DATA_REPRESENTATION) {
        RpcRaiseException(RPC_X_BAD_STUB_DATA);
    }
    /* Reply: the context, the result. */
    if ((size_t)(stub->BufferEnd - stub->Buffer) < kContextWireSize) {
        RpcRaiseException(RPC_X_BAD_STUB_DATA);
    }
    NdrClientContextUnmarshall(stub, (NDR_CCONTEXT*)a->session, a->binding);
    result = Take32(stub);
    return (long)result;
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

long KrxPmOpenSession(void* binding, KrxPmSession* session, const char* libraryName,
                      unsigned long* exception) {
    CheckedCall call;
    OpenSessionArgs a = {(RPC_BINDING_HANDLE)binding, session, libraryName, &call};
    long result;
    if (binding == NULL || session == NULL || libraryName == NULL) {
        if (exception != NULL) {
            *exception = RPC_X_NULL_REF_POINTER;
        }
        return 0;
    }
    memset(&call, 0, sizeof(call));
    result = KrxRunGuarded(CallOpenSessionOn, &a, exception);
    if (call.stub.RpcMsg != NULL) {
        NdrFreeBuffer(&call.stub);
    }
    return result;
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
    CheckedCall call;
    GetPropertyArgs g = {&a, &call};
    long result;
    if (n <= 0 || buffer == NULL || needed == NULL) {
        if (exception != NULL) {
            *exception = RPC_X_NULL_REF_POINTER;
        }
        return 0;
    }
    memset(&call, 0, sizeof(call));
    result = KrxRunGuarded(CallGetJobProperty, &g, exception);
    /* The run time's buffer, on every path (the guard's unwind skips the
     * clean-up a stub would run). */
    if (call.stub.RpcMsg != NULL) {
        NdrFreeBuffer(&call.stub);
    }
    return result;
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
