// The per-thread frame slot: a plain TLS index, so that no thread-exit code
// of this module runs in a host thread after unload.
#include "common/thread_frame.h"

#include <windows.h>

namespace krx {

namespace {

volatile LONG g_tlsIndex = static_cast<LONG>(TLS_OUT_OF_INDEXES);

DWORD FrameSlot() {
    LONG index = g_tlsIndex;
    if (index != static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        return static_cast<DWORD>(index);
    }
    DWORD fresh = TlsAlloc();
    if (fresh == TLS_OUT_OF_INDEXES) {
        return TLS_OUT_OF_INDEXES;
    }
    LONG before = InterlockedCompareExchange(&g_tlsIndex, static_cast<LONG>(fresh),
                                             static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (before != static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        TlsFree(fresh); // another thread was first
        return static_cast<DWORD>(before);
    }
    return fresh;
}

} // namespace

void* CurrentFrame() {
    DWORD slot = FrameSlot();
    return slot != TLS_OUT_OF_INDEXES ? TlsGetValue(slot) : nullptr;
}

void SetCurrentFrame(void* frame) {
    DWORD slot = FrameSlot();
    if (slot != TLS_OUT_OF_INDEXES) {
        TlsSetValue(slot, frame);
    }
}

void ReleaseFrameSlot() {
    LONG index = InterlockedExchange(&g_tlsIndex, static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (index != static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        TlsFree(static_cast<DWORD>(index));
    }
}

FrameSwitch::FrameSwitch(void* frame) : m_pFrame(frame), m_pPrevious(nullptr) {
    if (m_pFrame != nullptr) {
        m_pPrevious = CurrentFrame();
        SetCurrentFrame(m_pFrame);
    }
}

FrameSwitch::~FrameSwitch() {
    if (m_pFrame != nullptr) {
        SetCurrentFrame(m_pPrevious);
    }
}

} // namespace krx
