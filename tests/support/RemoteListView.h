// The texts of a list view of another process. LVM_GETITEMTEXTW carries a
// pointer, which the system does not marshal between processes: the item
// record and its text buffer are placed in the list's process.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <stddef.h>

#include <string>
#include <vector>

// A block of memory in another process, freed with the object.
class CRemoteBlock {
public:
    CRemoteBlock(HANDLE process, size_t bytes)
        : m_process(process),
          m_address(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    ~CRemoteBlock()
    {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    CRemoteBlock(const CRemoteBlock&) = delete;
    CRemoteBlock& operator=(const CRemoteBlock&) = delete;

    char* Address() const { return (char*)m_address; }
    bool Write(size_t offset, const void* bytes, size_t n) const
    {
        SIZE_T done = 0;
        return m_address && WriteProcessMemory(m_process, Address() + offset, bytes, n, &done) && done == n;
    }
    bool Read(size_t offset, void* bytes, size_t n) const
    {
        SIZE_T done = 0;
        return m_address && ReadProcessMemory(m_process, Address() + offset, bytes, n, &done) && done == n;
    }

private:
    HANDLE m_process;
    void* m_address;
};

// Every row's texts of columns 0 .. columns-1 of `list`, which belongs to
// `process` (a handle with VM access: the handle of its start, since our
// program narrows who may open it later); false when it could not be read.
// Each text is cut at 511 characters.
inline bool ReadRemoteListTexts(HANDLE process, HWND list, int columns, std::vector<std::vector<std::wstring>>* rows)
{
    const int kChars = 512;
    // the record first, the text right after it
    CRemoteBlock block(process, sizeof(LVITEMW) + kChars * sizeof(WCHAR));
    if (!block.Address())
        return false;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count))
        return false;
    rows->clear();
    for (int row = 0; row < (int)count; ++row) {
        std::vector<std::wstring> texts;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iSubItem = column;
            item.pszText = (WCHAR*)(block.Address() + sizeof(LVITEMW));
            item.cchTextMax = kChars;
            const WCHAR empty = 0;
            if (!block.Write(0, &item, sizeof(item)) || !block.Write(sizeof(LVITEMW), &empty, sizeof(empty)))
                return false;
            DWORD_PTR length = 0;
            if (!SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, (LPARAM)block.Address(), SMTO_NORMAL, 5000, &length))
                return false;
            WCHAR text[kChars] = {};
            if (!block.Read(sizeof(LVITEMW), text, sizeof(text)))
                return false;
            text[kChars - 1] = 0;
            texts.push_back(text);
        }
        rows->push_back(texts);
    }
    return true;
}
