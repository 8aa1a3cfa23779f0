// What the child window of the stand-in map library (mapstub_child's
// orbex.dll) was sent or posted by its host, read from the loaded library.
#pragma once

#include <windows.h>

#include <vector>

struct StubMapMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
typedef const StubMapMessage*(WINAPI* StubMapMessagesProc)(int* count);

// The messages noted since the last call; none while no stand-in is loaded.
inline std::vector<StubMapMessage> TakeStubMapMessages()
{
    HMODULE library = GetModuleHandleW(L"orbex.dll");
    auto proc = library ? (StubMapMessagesProc)(void*)GetProcAddress(library, "StubMapMessages") : nullptr;
    int count = 0;
    const StubMapMessage* all = proc ? proc(&count) : nullptr;
    return all ? std::vector<StubMapMessage>(all, all + count) : std::vector<StubMapMessage>();
}

// Those of kind `message`, in order.
inline std::vector<StubMapMessage> OfKind(const std::vector<StubMapMessage>& noted, UINT message)
{
    std::vector<StubMapMessage> kind;
    for (const StubMapMessage& m : noted)
        if (m.message == message)
            kind.push_back(m);
    return kind;
}
