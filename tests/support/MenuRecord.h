// Menus as the test instruments note them (menuhook.dll inside a program,
// the stand-in taskbar for the menus its clock window shows), and read back
// by the tests. A record is UTF-8 lines
//   menu
//   <depth> <id> <flags> <text>      flags: g grey, c checked, s submenu, - separator, . none
//   end
// (a submenu's id is 0: the shell gives its handle there). Other lines of
// the same file are skipped.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "graphics/records/ClockRecord.h"
#include "graphics/records/FixedText.h"

inline void DescribeMenu(HMENU menu, int depth, std::wstring* out)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        WCHAR text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text) - 1;
        if (!GetMenuItemInfoW(menu, i, TRUE, &info))
            continue;
        std::wstring flags;
        if (info.fState & MFS_GRAYED)
            flags += L'g';
        if (info.fState & MFS_CHECKED)
            flags += L'c';
        if (info.hSubMenu)
            flags += L's';
        if (info.fType & MFT_SEPARATOR)
            flags += L'-';
        if (flags.empty())
            flags = L".";
        UINT id = info.hSubMenu ? 0 : info.wID;
        std::wstring line = std::to_wstring(depth) + L' ' + std::to_wstring(id) + L' ' + flags + L' ' + text;
        for (WCHAR& c : line)
            if (c == L'\t' || c == L'\r' || c == L'\n')
                c = L' ';
        *out += line + L'\n';
        if (info.hSubMenu)
            DescribeMenu(info.hSubMenu, depth + 1, out);
    }
}

// The record of `menu` as UTF-8 bytes.
inline std::string MenuRecordBytes(HMENU menu)
{
    std::wstring text = L"menu\n";
    DescribeMenu(menu, 0, &text);
    text += L"end\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

// Appends the record of `menu` to `file`, shared with readers.
inline void AppendMenuRecord(HMENU menu, const std::wstring& file)
{
    if (file.empty())
        return;
    std::string utf8 = MenuRecordBytes(menu);
    HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, utf8.data(), (DWORD)utf8.size(), &written, nullptr);
    CloseHandle(h);
}

// One item as read back.
struct MenuItem {
    int depth;
    UINT id;
    std::string flags;
    std::string text;
    bool Has(char flag) const { return flags.find(flag) != std::string::npos; }
};
using MenuItems = std::vector<MenuItem>;

// The complete menus of a file's bytes, in the order they were noted.
inline std::vector<MenuItems> ParseMenus(const std::string& bytes)
{
    std::vector<MenuItems> menus;
    MenuItems current;
    bool open = false;
    size_t p = 0;
    while (p < bytes.size()) {
        size_t end = bytes.find('\n', p);
        if (end == std::string::npos)
            break;  // a line still being written
        std::string line = bytes.substr(p, end - p);
        p = end + 1;
        if (line == "menu") {
            current.clear();
            open = true;
        } else if (line == "end") {
            if (open)
                menus.push_back(current);
            open = false;
        } else if (open) {
            MenuItem item = {};
            char flags[8] = {};
            int used = 0;
            if (sscanf(line.c_str(), "%d %u %7s %n", &item.depth, &item.id, flags, &used) < 3)
                continue;
            item.flags = flags;
            item.text = line.substr(used < (int)line.size() ? used : line.size());
            current.push_back(item);
        }
    }
    return menus;
}

// The item `id` at any depth; null when the menu has none.
inline const MenuItem* FindItem(const MenuItems& menu, UINT id)
{
    for (const MenuItem& item : menu)
        if (item.id == id && !item.Has('-'))
            return &item;
    return nullptr;
}

// The items of a menu of this process, as a record would give them back.
inline MenuItems ReadMenu(HMENU menu)
{
    std::vector<MenuItems> menus = ParseMenus(MenuRecordBytes(menu));
    return menus.empty() ? MenuItems() : menus[0];
}

// An enabled clock of `kind` in UTC (a system zone), as the menus get it.
inline ClockRecord MenuClock(uint32_t id, uint32_t kind = 0)
{
    ClockRecord clock = {};
    clock.id = id;
    clock.kind = kind;
    clock.enabled = 1;
    CopyFixed(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), L"UTC");
    clock.zone.zoneId = 3;
    return clock;
}
