// The RPC guard: what it catches (anything raised in software, whatever the
// code, since a server's fault status arrives that way) and what it lets
// through (the processor's own faults inside the guarded call).
#include <gtest/gtest.h>
#include <windows.h>
#include <rpc.h>

#include "jobs/rpc_guard.h"

namespace {

int CatchAll(const EXCEPTION_RECORD*) {
    return 1;
}

long RaiseCode(void* code) {
    RaiseException(*static_cast<DWORD*>(code), 0, 0, nullptr);
    return 7;
}

long Returns7(void*) {
    return 7;
}

long TouchNull(void* address) {
    *static_cast<volatile int*>(address) = 1;
    return 7;
}

volatile int g_bottom = 0; // never set: keeps the recursion open-ended

long Recurse(void* depth) {
    if (g_bottom) {
        return 0;
    }
    volatile char block[4096];
    block[0] = static_cast<char>(reinterpret_cast<INT_PTR>(depth));
    return Recurse(static_cast<char*>(depth) + 1) + block[0];
}

long GuardedByRpcGuard(void* call) {
    unsigned long code = 0;
    long result = KrxRunGuarded(reinterpret_cast<KrxGuardedCall>(call), nullptr, &code);
    // Reached only when the inner guard caught or nothing was raised.
    return code == 0 ? result : -1;
}

// Runs `inner` under the RPC guard, itself under a catch-all frame; the code
// the outer frame caught (0 when the RPC guard dealt with everything).
DWORD LetThroughCode(KrxGuardedCall inner) {
    unsigned long outer = 0;
    KrxRunFiltered(GuardedByRpcGuard, reinterpret_cast<void*>(inner), &outer, CatchAll);
    return outer;
}

DWORD WINAPI OverflowThread(void* result) {
    *static_cast<DWORD*>(result) = LetThroughCode(Recurse);
    return 0;
}

TEST(RpcGuardTest, CatchesRaisedFailuresOfAnyCode) {
    const DWORD codes[] = {RPC_S_SERVER_UNAVAILABLE, RPC_S_CALL_FAILED, RPC_X_BAD_STUB_DATA,
                           // a server's fault status carrying a processor fault's code
                           EXCEPTION_ACCESS_VIOLATION, EXCEPTION_STACK_OVERFLOW, 0xE0000001};
    for (DWORD code : codes) {
        SCOPED_TRACE(code);
        unsigned long caught = 0;
        DWORD raised = code;
        EXPECT_EQ(KrxRunGuarded(RaiseCode, &raised, &caught), 0);
        EXPECT_EQ(caught, code);
    }
    unsigned long caught = 99;
    EXPECT_EQ(KrxRunGuarded(Returns7, nullptr, &caught), 7);
    EXPECT_EQ(caught, 0u);
}

TEST(RpcGuardTest, LetsProcessorFaultsThrough) {
    EXPECT_EQ(LetThroughCode(TouchNull), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    // On a thread of its own: the thread loses its stack guard page.
    DWORD overflow = 0;
    HANDLE thread = CreateThread(nullptr, 256 * 1024, OverflowThread, &overflow, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(overflow, static_cast<DWORD>(EXCEPTION_STACK_OVERFLOW));
}

} // namespace
