// Waits for a window to exist, for scripts that start programs under Wine.
//   waitwindow <milliseconds> [--visible] <class> [<child class>...]
// Exit code 0 once a top-level window of <class> exists that holds the chain
// of child classes (each a child of the one before), 1 when the time runs
// out, 2 on bad arguments. --visible takes only visible top-level windows:
// Wine's explorer owns a hidden "Shell_TrayWnd" of its own.
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include <vector>

namespace {

struct Query {
    bool visible = false;
    std::vector<const wchar_t*> classes;
    bool found = false;
};

bool HoldsChain(HWND top, const Query& query)
{
    HWND window = top;
    for (size_t i = 1; i < query.classes.size(); ++i) {
        window = FindWindowExW(window, nullptr, query.classes[i], nullptr);
        if (!window)
            return false;
    }
    return true;
}

BOOL CALLBACK CheckTop(HWND window, LPARAM param)
{
    auto* query = reinterpret_cast<Query*>(param);
    wchar_t name[256];
    if (!GetClassNameW(window, name, 256) || wcscmp(name, query->classes[0]) != 0)
        return TRUE;
    if (query->visible && !IsWindowVisible(window))
        return TRUE;
    if (!HoldsChain(window, *query))
        return TRUE;
    query->found = true;
    return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Query query;
    int first = 2;
    if (argc > first && wcscmp(argv[first], L"--visible") == 0) {
        query.visible = true;
        ++first;
    }
    wchar_t* end = nullptr;
    long limit = argc > 1 ? wcstol(argv[1], &end, 10) : -1;
    if (argc <= first || limit < 0 || !end || *end) {
        fwprintf(stderr, L"usage: waitwindow <milliseconds> [--visible] <class> [<child class>...]\n");
        return 2;
    }
    for (int i = first; i < argc; ++i)
        query.classes.push_back(argv[i]);

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limit);
    for (;;) {
        query.found = false;
        EnumWindows(CheckTop, reinterpret_cast<LPARAM>(&query));
        if (query.found)
            return 0;
        if (GetTickCount64() >= deadline)
            return 1;
        Sleep(50);
    }
}
