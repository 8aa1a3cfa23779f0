// Counts access violations while it lives, before any handler sees them:
// Wine (as 64-bit Windows) swallows a fault inside a window procedure called
// back from the system, so only this shows it.
#pragma once

#include <windows.h>

class CFaultCounter {
public:
    CFaultCounter() : m_handler(AddVectoredExceptionHandler(1, Count)) { s_faults = 0; }
    ~CFaultCounter() { RemoveVectoredExceptionHandler(m_handler); }
    CFaultCounter(const CFaultCounter&) = delete;
    CFaultCounter& operator=(const CFaultCounter&) = delete;
    int Faults() const { return s_faults; }

private:
    static LONG CALLBACK Count(EXCEPTION_POINTERS* info)
    {
        if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
            ++s_faults;
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline int s_faults = 0;
    void* m_handler;
};
