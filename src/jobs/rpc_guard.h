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

struct _EXCEPTION_RECORD;

typedef long (*KrxGuardedCall)(void* args);
/* Non-zero when the guard is to catch the exception. */
typedef int (*KrxExceptionFilter)(const struct _EXCEPTION_RECORD* record);

/* Runs call(args) and returns its result; when an RPC failure is raised
 * inside it, returns 0 instead. *exceptionCode (when given) receives the
 * exception code, or 0 when the call returned normally.
 *
 * An RPC failure is any exception raised in software: the run time's own
 * statuses and whatever fault status a server sends back (a server can send
 * any code, an access violation's included, and none of them may end the
 * host). A fault of the processor inside the call (a real access violation
 * or stack overflow, a bad instruction) is let through: it means memory of
 * this process is broken or the stack is exhausted, and carrying on after
 * it would hide the damage (after a stack overflow the thread has lost its
 * guard page, so the next overflow would end the process without notice). */
long KrxRunGuarded(KrxGuardedCall call, void* args, unsigned long* exceptionCode);

/* Whether an exception is an RPC failure in the sense above. */
int KrxIsRpcFailure(const struct _EXCEPTION_RECORD* record);

/* The same guard with another choice of what to catch. */
long KrxRunFiltered(KrxGuardedCall call, void* args, unsigned long* exceptionCode,
                    KrxExceptionFilter filter);

#ifdef __cplusplus
}
#endif

#endif /* KRX_JOBS_RPC_GUARD_H */
