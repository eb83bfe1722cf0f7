/* Guard for calls into the RPC run time. A server that is gone or a pipe that
 * breaks makes the client stub raise a structured exception, which C++
 * try/catch of this toolchain does not see: the call runs under an SEH
 * registration frame instead and leaves it by longjmp. Only plain C data may
 * live inside the guarded call, since the longjmp skips destructors. */
#ifndef KRX_JOBS_RPC_GUARD_H
#define KRX_JOBS_RPC_GUARD_H

#ifdef __cplusplus
extern "C" {
#endif

typedef long (*KrxGuardedCall)(void* args);

/* Runs call(args) and returns its result; when anything raises an exception
 * inside it, returns 0 instead. *exceptionCode (when given) receives the
 * exception code, or 0 when the call returned normally. */
long KrxRunGuarded(KrxGuardedCall call, void* args, unsigned long* exceptionCode);

#ifdef __cplusplus
}
#endif

#endif /* KRX_JOBS_RPC_GUARD_H */
