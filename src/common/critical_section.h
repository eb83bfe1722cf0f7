// One critical section with its lifetime tied to its owner, and a scoped
// hold of it: every exit from a guarded block leaves the section.
#pragma once

#include <windows.h>

namespace krx {

class CriticalSection {
  public:
    CriticalSection() { InitializeCriticalSection(&m_Section); }
    ~CriticalSection() { DeleteCriticalSection(&m_Section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&m_Section); }
    void Leave() { LeaveCriticalSection(&m_Section); }

  private:
    CRITICAL_SECTION m_Section;
};

class CriticalSectionLock {
  public:
    explicit CriticalSectionLock(CriticalSection& section) : m_Section(section) {
        m_Section.Enter();
    }
    ~CriticalSectionLock() { m_Section.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

  private:
    CriticalSection& m_Section;
};

} // namespace krx
