/* Structured exception guard around one call: __try with MSVC; with GCC and
 * clang (which have no __try) an SEH registration frame, left by longjmp
 * when anything below it raises. Either way the frames between the raise
 * and ours (the RPC run time's own clean-up) are unwound first, so the run
 * time frees what it holds. */
#include <windows.h>

#include "jobs/rpc_guard.h"

#if defined(_MSC_VER)

/* The compiler's own structured exception handling does what the frame
 * below does by hand for GCC: unwind the run time's frames, then resume. */
static int FilterOf(const EXCEPTION_POINTERS* pointers, KrxExceptionFilter filter, DWORD* code) {
    if (!filter(pointers->ExceptionRecord)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    *code = pointers->ExceptionRecord->ExceptionCode;
    return EXCEPTION_EXECUTE_HANDLER;
}

long KrxRunFiltered(KrxGuardedCall call, void* args, unsigned long* exceptionCode,
                    KrxExceptionFilter filter) {
    DWORD code = 0;
    long result = 0;
    __try {
        result = call(args);
    } __except (FilterOf(GetExceptionInformation(), filter, &code)) {
        result = 0;
    }
    if (exceptionCode != NULL) {
        *exceptionCode = code;
    }
    return result;
}

#else /* GCC and clang: no __try; a registration frame made by hand. */

typedef struct GuardFrame {
    /* First member: the system finds the frame through this record. */
    EXCEPTION_REGISTRATION_RECORD registration;
    void* resume[5]; /* __builtin_setjmp buffer */
    DWORD code;
    KrxExceptionFilter filter;
} GuardFrame;

/* The thread's chain of registration frames starts at fs:0. */
static EXCEPTION_REGISTRATION_RECORD* FirstFrame(void) {
    EXCEPTION_REGISTRATION_RECORD* frame;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(frame));
    return frame;
}

static void SetFirstFrame(EXCEPTION_REGISTRATION_RECORD* frame) {
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(frame) : "memory");
}

static void PushFrame(EXCEPTION_REGISTRATION_RECORD* frame) {
    frame->Next = FirstFrame();
    SetFirstFrame(frame);
}

static void PopFrame(EXCEPTION_REGISTRATION_RECORD* frame) {
    SetFirstFrame(frame->Next);
}

/* RtlUnwind may leave ebx, esi and edi changed on return; they are saved
 * around the call so that the handler can go on using its locals. */
static void UnwindTo(EXCEPTION_REGISTRATION_RECORD* target, EXCEPTION_RECORD* record) {
    void* unwind = (void*)RtlUnwind;
    int scratchA, scratchC, scratchD;
    __asm__ __volatile__("pushl %%ebp\n\t"
                         "pushl %%ebx\n\t"
                         "pushl %%esi\n\t"
                         "pushl %%edi\n\t"
                         "pushl $0\n\t"    /* return value */
                         "pushl %%edx\n\t" /* exception record */
                         "pushl $0\n\t"    /* target address: return here */
                         "pushl %%ecx\n\t" /* target frame */
                         "call *%%eax\n\t"
                         "popl %%edi\n\t"
                         "popl %%esi\n\t"
                         "popl %%ebx\n\t"
                         "popl %%ebp\n\t"
                         : "=a"(scratchA), "=c"(scratchC), "=d"(scratchD)
                         : "0"(unwind), "1"(target), "2"(record)
                         : "memory", "cc");
}

static EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, PVOID establisher,
                                                CONTEXT* context, PVOID dispatcher) {
    GuardFrame* frame = (GuardFrame*)establisher;
    (void)context;
    (void)dispatcher;
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        return ExceptionContinueSearch;
    }
    if (!frame->filter(record)) {
        return ExceptionContinueSearch;
    }
    frame->code = record->ExceptionCode;
    UnwindTo(&frame->registration, record);
    __builtin_longjmp(frame->resume, 1);
}

long KrxRunFiltered(KrxGuardedCall call, void* args, unsigned long* exceptionCode,
                    KrxExceptionFilter filter) {
    GuardFrame frame;
    volatile long result = 0;
    frame.registration.Next = NULL;
    frame.registration.Handler = GuardHandler;
    frame.code = 0;
    frame.filter = filter;
    if (__builtin_setjmp(frame.resume) == 0) {
        PushFrame(&frame.registration);
        result = call(args);
        PopFrame(&frame.registration);
    } else {
        /* Back from the handler: the unwind stopped at our frame. */
        PopFrame(&frame.registration);
        result = 0;
    }
    if (exceptionCode != NULL) {
        *exceptionCode = frame.code;
    }
    return result;
}

#endif /* _MSC_VER */

int KrxIsRpcFailure(const EXCEPTION_RECORD* record) {
    /* The processor's faults carry the faulting access (or, for a stack
     * overflow, the address) as parameters; the run time raises its
     * statuses, and a server's fault status, without any. */
    if (record->NumberParameters == 0) {
        return 1;
    }
    switch (record->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_GUARD_PAGE:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_BREAKPOINT:
    case STATUS_STACK_BUFFER_OVERRUN:
        return 0;
    default:
        return 1;
    }
}

long KrxRunGuarded(KrxGuardedCall call, void* args, unsigned long* exceptionCode) {
    return KrxRunFiltered(call, args, exceptionCode, KrxIsRpcFailure);
}
