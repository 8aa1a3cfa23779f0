#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

// Bytes placed right before an inaccessible page: any read past the end faults.
class GuardedBytes {
public:
    explicit GuardedBytes(size_t size) : m_size(size)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size_t page = info.dwPageSize;
        size_t body = (size + page - 1) / page * page;
        m_base = (uint8_t*)VirtualAlloc(nullptr, body + page, MEM_RESERVE, PAGE_NOACCESS);
        if (body)
            VirtualAlloc(m_base, body, MEM_COMMIT, PAGE_READWRITE);
        m_data = m_base + body - size;
    }
    ~GuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    uint8_t* Data() { return m_data; }
    size_t Size() const { return m_size; }

private:
    size_t m_size;
    uint8_t* m_base;
    uint8_t* m_data;
};
