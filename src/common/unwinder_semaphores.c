/* Gives back the semaphores of the statically linked runtime when a DLL is
 * unloaded.
 *
 * The DWARF unwinder of the static libgcc (and its emulated TLS) creates an
 * unnamed semaphore for each of its locks the first time the DLL registers
 * its unwind tables, and never closes it. A host that loads and frees one of
 * our DLLs again and again would lose one or two handles each time. Every
 * DLL is linked with
 *   -Wl,--wrap=_imp__CreateSemaphoreW@16 -Wl,--wrap=__deregister_frame_info
 * so that the runtime's semaphores are noted here as they are made and
 * closed once the unwind tables are deregistered, the runtime's last step
 * at unload. Nothing of ours creates wide-character semaphores. */
#include <windows.h>

enum { kMaxNoted = 8 };

static HANDLE noted[kMaxNoted];
static volatile LONG notedCount;

typedef HANDLE(WINAPI* CreateSemaphoreWFn)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR);

/* The system's own entry, which the link leaves reachable under this name. */
extern const CreateSemaphoreWFn realCreateSemaphoreW __asm__("___real__imp__CreateSemaphoreW@16");

static HANDLE WINAPI NoteRuntimeSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial,
                                          LONG maximum, LPCWSTR name) {
    HANDLE semaphore = realCreateSemaphoreW(attributes, initial, maximum, name);
    if (semaphore != NULL && name == NULL) {
        const LONG slot = InterlockedIncrement(&notedCount) - 1;
        if (slot < kMaxNoted) {
            noted[slot] = semaphore;
        }
    }
    return semaphore;
}

/* The import slot the runtime calls through, redirected by the link. */
extern const CreateSemaphoreWFn wrappedCreateSemaphoreW;
const CreateSemaphoreWFn
    wrappedCreateSemaphoreW __asm__("___wrap__imp__CreateSemaphoreW@16") = NoteRuntimeSemaphore;

/* Weak: a DLL without C++ code has no unwinder, and must not get one. */
extern void* __real___deregister_frame_info(const void* begin) __attribute__((weak));
void* __wrap___deregister_frame_info(const void* begin);

void* __wrap___deregister_frame_info(const void* begin) {
    void* object =
        __real___deregister_frame_info != NULL ? __real___deregister_frame_info(begin) : NULL;
    LONG count = InterlockedExchange(&notedCount, 0);
    if (count > kMaxNoted) {
        count = kMaxNoted;
    }
    for (LONG i = 0; i < count; ++i) {
        CloseHandle(noted[i]);
        noted[i] = NULL;
    }
    return object;
}
