// Every dialog template of the English resource library, created hidden with
// a procedure that does nothing: each control inside the dialog, no two
// controls on top of each other (a group box around its controls aside),
// and each button's and static's text fits its control in the dialog's font.
// New templates are covered as they come.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/system/Handles.h"
#include "settings/backgrounds/BackgroundPageIds.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/taskbarpage/TaskbarPage.h"
#include "tests/support/TestMessages.h"

namespace {

// the box of a check box or radio button and its gap to the text
const int kCheckBoxRoom = 12;
// a push button's frame and the space Windows keeps around its text
const int kPushButtonRoom = 6;
// a group box's caption starts this far in
const int kGroupBoxRoom = 8;

// A template's words; the dialog style and each item read from it.
class CTemplateReader {
public:
    CTemplateReader(const void* data, DWORD bytes) : m_words((const WORD*)data), m_count(bytes / 2) {}

    struct Item {
        DWORD style;
        int id;
        std::wstring className;  // empty: a predefined class by atom
        WORD atom;
    };

    // False when the template is cut short.
    bool Read(std::vector<Item>* items, size_t* styleOffset)
    {
        bool extended = m_count >= 2 && m_words[1] == 0xFFFF;
        size_t p;
        DWORD style;
        WORD count;
        if (extended) {
            // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy
            if (m_count < 13)
                return false;
            *styleOffset = 6;
            style = Dword(6);
            count = m_words[8];
            p = 13;
        } else {
            // style, exStyle, cdit, x, y, cx, cy
            if (m_count < 9)
                return false;
            *styleOffset = 0;
            style = Dword(0);
            count = m_words[4];
            p = 9;
        }
        std::wstring ignored;
        WORD atom = 0;
        if (!SkipNameOrOrdinal(&p, &ignored, &atom) || !SkipNameOrOrdinal(&p, &ignored, &atom) ||
            !SkipString(&p))
            return false;
        if (style & (DS_SETFONT | DS_SHELLFONT)) {
            p += extended ? 3 : 1;  // point size; weight, italic and charset
            if (!SkipString(&p))
                return false;
        }
        for (WORD i = 0; i < count; ++i) {
            p = (p + 1) & ~(size_t)1;  // items start on a DWORD
            Item item = {};
            if (extended) {
                // helpID, exStyle, style, x, y, cx, cy, id (DWORD)
                if (p + 12 > m_count)
                    return false;
                item.style = Dword(p + 4);
                item.id = (int)Dword(p + 10);
                p += 12;
            } else {
                // style, exStyle, x, y, cx, cy, id (WORD)
                if (p + 9 > m_count)
                    return false;
                item.style = Dword(p);
                item.id = (short)m_words[p + 8];
                p += 9;
            }
            if (!SkipNameOrOrdinal(&p, &item.className, &item.atom) || !SkipNameOrOrdinal(&p, &ignored, &atom) ||
                p >= m_count)
                return false;
            p += 1 + (m_words[p] + 1) / 2;  // creation data
            items->push_back(item);
        }
        return p <= m_count;
    }

private:
    DWORD Dword(size_t p) const { return m_words[p] | (DWORD)m_words[p + 1] << 16; }
    bool SkipString(size_t* p) const
    {
        while (*p < m_count && m_words[*p])
            ++*p;
        return ++*p <= m_count;
    }
    bool SkipNameOrOrdinal(size_t* p, std::wstring* name, WORD* atom) const
    {
        name->clear();
        *atom = 0;
        if (*p >= m_count)
            return false;
        if (m_words[*p] == 0xFFFF) {
            *atom = m_words[*p + 1];
            *p += 2;
            return *p <= m_count;
        }
        size_t start = *p;
        if (!SkipString(p))
            return false;
        name->assign((const wchar_t*)&m_words[start], *p - start - 1);
        return true;
    }

    const WORD* m_words;
    size_t m_count;
};

INT_PTR CALLBACK DoNothingProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    auto* names = (std::vector<std::wstring>*)param;
    names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring((UINT)(ULONG_PTR)name) : std::wstring(name));
    return TRUE;
}

const wchar_t* ResourceName(const std::wstring& name)
{
    return name[0] == L'#' ? MAKEINTRESOURCEW(_wtoi(name.c_str() + 1)) : name.c_str();
}

struct Control {
    HWND window;
    int id;
    RECT rect;  // in the dialog's client coordinates
    bool groupBox;
    bool visible;  // shown by its template; hidden ones take turns with others
};

std::wstring Describe(const Control& c)
{
    WCHAR text[128] = {};
    GetWindowTextW(c.window, text, 128);
    return L"control " + std::to_wstring(c.id) + L" \"" + text + L"\"";
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The room the control's text needs beside itself, and whether it wraps;
// -1 when the control shows no text of its own.
int TextRoom(HWND control, bool* wraps, UINT* prefix)
{
    DWORD style = (DWORD)GetWindowLongPtrW(control, GWL_STYLE);
    *wraps = false;
    *prefix = 0;
    if (HasWindowClass(control, WC_BUTTONW)) {
        *wraps = (style & BS_MULTILINE) != 0;
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return kPushButtonRoom;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return kCheckBoxRoom;
        case BS_GROUPBOX:
            *wraps = false;
            return kGroupBoxRoom;
        }
        return -1;
    }
    if (HasWindowClass(control, WC_STATICW)) {
        *prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            *wraps = true;
            return 0;
        case SS_LEFTNOWORDWRAP:
        case SS_SIMPLE:
            return 0;
        }
    }
    return -1;
}

// The faults of one created dialog, each a line.
std::vector<std::wstring> LayoutFaults(HWND dialog)
{
    std::vector<std::wstring> faults;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Control c = {child, (int)GetWindowLongPtrW(child, GWLP_ID), {}, false, false};
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, dialog, (POINT*)&c.rect, 2);
        DWORD style = (DWORD)GetWindowLongPtrW(child, GWL_STYLE);
        c.groupBox = HasWindowClass(child, WC_BUTTONW) && (style & BS_TYPEMASK) == BS_GROUPBOX;
        c.visible = (style & WS_VISIBLE) != 0;
        controls.push_back(c);
    }

    for (const Control& c : controls)
        if (!Inside(c.rect, client))
            faults.push_back(Describe(c) + L" reaches out of the dialog");

    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const Control& a = controls[i];
            const Control& b = controls[j];
            RECT common;
            if (!a.visible || !b.visible || !IntersectRect(&common, &a.rect, &b.rect))
                continue;
            if ((a.groupBox && Inside(b.rect, a.rect)) || (b.groupBox && Inside(a.rect, b.rect)))
                continue;
            faults.push_back(Describe(a) + L" overlaps " + Describe(b));
        }

    HDC dc = GetDC(dialog);
    for (const Control& c : controls) {
        bool wraps;
        UINT prefix;
        int room = TextRoom(c.window, &wraps, &prefix);
        WCHAR text[512] = {};
        if (room < 0 || GetWindowTextW(c.window, text, 512) == 0)
            continue;
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(c.window, WM_GETFONT, 0, 0));
        int width = c.rect.right - c.rect.left - room;
        int height = c.rect.bottom - c.rect.top;
        RECT need = {0, 0, width, 0};
        DrawTextW(dc, text, -1, &need, DT_CALCRECT | prefix | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        // a word longer than the line sticks out to the right even when wrapped
        if (need.right > width || need.bottom > height)
            faults.push_back(Describe(c) + L" needs " + std::to_wstring(need.right + room) + L"x" +
                             std::to_wstring(need.bottom) + L" px, has " + std::to_wstring(c.rect.right - c.rect.left) +
                             L"x" + std::to_wstring(height));
    }
    ReleaseDC(dialog, dc);
    return faults;
}

// Windows of classes no one registered in this process: they stand in for
// the settings program's own controls, so that their templates still load.
void RegisterUnknownClasses(const std::vector<CTemplateReader::Item>& items, HINSTANCE instance)
{
    for (const CTemplateReader::Item& item : items) {
        WNDCLASSEXW info = {sizeof(info)};
        if (item.className.empty() || GetClassInfoExW(nullptr, item.className.c_str(), &info) ||
            GetClassInfoExW(instance, item.className.c_str(), &info))
            continue;
        WNDCLASSW wc = {};
        // found whichever module's dialog names it
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = instance;
        wc.lpszClassName = item.className.c_str();
        RegisterClassW(&wc);
    }
}

TEST(DialogLayout, EveryTemplateOfTheEnglishLibraryFits)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), 0xFFFF};
    InitCommonControlsEx(&init);
    CModule library(LoadLibraryExW(TL_RES_EN_DLL, nullptr, 0));
    ASSERT_TRUE(library);
    std::vector<std::wstring> names;
    EnumResourceNamesW(library.Get(), (LPCWSTR)RT_DIALOG, CollectName, (LONG_PTR)&names);
    ASSERT_FALSE(names.empty());

    // child templates (the settings pages) come up inside a hidden parent
    HWND host = CreateWindowW(WC_STATICW, L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, host);
    for (const std::wstring& name : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        HRSRC found = FindResourceW(library.Get(), ResourceName(name), (LPCWSTR)RT_DIALOG);
        ASSERT_NE(nullptr, found);
        DWORD bytes = SizeofResource(library.Get(), found);
        const void* data = LockResource(LoadResource(library.Get(), found));
        ASSERT_NE(nullptr, data);
        std::vector<WORD> copy(bytes / 2 + 1);
        memcpy(copy.data(), data, bytes);
        std::vector<CTemplateReader::Item> items;
        size_t styleAt = 0;
        ASSERT_TRUE(CTemplateReader(copy.data(), bytes).Read(&items, &styleAt)) << "the template is cut short";
        DWORD style = copy[styleAt] | (DWORD)copy[styleAt + 1] << 16;
        // hidden, whatever the template says
        style &= ~WS_VISIBLE;
        copy[styleAt] = LOWORD(style);
        copy[styleAt + 1] = HIWORD(style);
        RegisterUnknownClasses(items, GetModuleHandleW(nullptr));

        HWND dialog = CreateDialogIndirectParamW(library.Get(), (const DLGTEMPLATE*)copy.data(),
                                                 (style & WS_CHILD) ? host : nullptr, DoNothingProc, 0);
        ASSERT_NE(nullptr, dialog) << "error " << GetLastError();
        int children = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ++children;
        EXPECT_EQ((int)items.size(), children) << "controls that were not created";
        for (const std::wstring& fault : LayoutFaults(dialog))
            ADD_FAILURE() << testing::PrintToString(fault);
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
}

// The pages of a clock, and the taskbar page with its preview, find the
// controls they drive in the templates we designed, each of the kind the
// page treats it as.
TEST(DialogLayout, ClockPageTemplatesHoldTheirControls)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), 0xFFFF};
    InitCommonControlsEx(&init);
    CModule library(LoadLibraryExW(TL_RES_EN_DLL, nullptr, 0));
    ASSERT_TRUE(library);
    HWND host = CreateWindowW(WC_STATICW, L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, host);
    struct Need {
        int id;
        const wchar_t* className;
    };
    const std::vector<Need> place = {{kIdcLocationText, WC_STATICW}, {kIdcLocationButton, WC_BUTTONW},
                                     {kIdcUseDaylight, WC_BUTTONW},  {kIdcAction, WC_COMBOBOXW},
                                     {kIdcUrl, WC_EDITW},            {kIdcBrowse, WC_BUTTONW},
                                     {kIdcCaption, WC_EDITW},        {kIdcCaptionShown, WC_STATICW},
                                     {kIdcOnDesktop, WC_BUTTONW},    {kIdcInTaskbar, WC_BUTTONW}};
    auto with = [&](std::vector<Need> more) {
        more.insert(more.begin(), place.begin(), place.end());
        return more;
    };
    struct Template {
        UINT id;
        std::vector<Need> controls;
    } templates[] = {
        {166, place},
        {208, with({{kIdcFixedDuration, WC_BUTTONW}, {kIdcToDate, WC_BUTTONW}, {kIdcDays, WC_EDITW},
                    {kIdcHours, WC_EDITW}, {kIdcMinutes, WC_EDITW}, {kIdcSeconds, WC_EDITW},
                    {kIdcDate, DATETIMEPICK_CLASSW}, {kIdcTime, DATETIMEPICK_CLASSW}})},
        {209, with({{kIdcFromDate, WC_BUTTONW}, {kIdcDate, DATETIMEPICK_CLASSW}, {kIdcTime, DATETIMEPICK_CLASSW}})},
        {198, {{kIdcOpacity, TRACKBAR_CLASSW}, {kIdcSkin, WC_COMBOBOXW}, {kIdcOpaque, WC_BUTTONW},
               {kIdcPreview, WC_STATICW}}},
        {197, {{kIdcTimeFormat, WC_COMBOBOXW}, {kIdcDateFormat, WC_COMBOBOXW}, {kIdcSecondsHand, WC_BUTTONW},
               {kIdcSuffix, WC_BUTTONW}, {kIdcPreview, WC_STATICW}}},
        {210, {{kIdcTimeFormat, WC_COMBOBOXW}, {kIdcPreview, WC_STATICW}}},
        {199, {{kIdcTrayClocks, WC_EDITW}, {kIdcTrayClocksSpin, UPDOWN_CLASSW}, {kIdcTaskbarSkin, WC_COMBOBOXW},
               {kIdcTransparentSkin, WC_BUTTONW}, {kIdcOverlayPrefixes, WC_BUTTONW}, {kIdcTooltips, WC_BUTTONW},
               {kIdcTooltipKind, WC_BUTTONW}, {kIdcTooltipCalendar, WC_BUTTONW}, {kIdcPreview, WC_STATICW}}},
    };
    for (const Template& t : templates) {
        SCOPED_TRACE(t.id);
        HWND page = CreateDialogParamW(library.Get(), MAKEINTRESOURCEW(t.id), host, DoNothingProc, 0);
        ASSERT_NE(nullptr, page);
        for (const Need& need : t.controls) {
            SCOPED_TRACE(need.id);
            HWND control = GetDlgItem(page, need.id);
            ASSERT_NE(nullptr, control);
            EXPECT_TRUE(HasWindowClass(control, need.className));
        }
        // the preview is drawn by its page, the format boxes take typed text
        if (HWND preview = GetDlgItem(page, kIdcPreview)) {
            EXPECT_EQ((DWORD)SS_OWNERDRAW, (DWORD)GetWindowLongPtrW(preview, GWL_STYLE) & SS_TYPEMASK);
        }
        for (int id : {kIdcTimeFormat, kIdcDateFormat, kIdcSkin}) {
            if (HWND box = GetDlgItem(page, id)) {
                EXPECT_EQ((DWORD)CBS_DROPDOWN, (DWORD)GetWindowLongPtrW(box, GWL_STYLE) & 3) << id;
            }
        }
        DestroyWindow(page);
    }
    DestroyWindow(host);
}

}  // namespace

// The background pages find their controls by these ids: each template
// holds the ones of its kind and none of another's, and its time boxes take
// typed text.
TEST(DialogLayout, BackgroundTemplatesHoldTheirControls)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), 0xFFFF};
    InitCommonControlsEx(&init);
    CModule library(LoadLibraryExW(TL_RES_EN_DLL, nullptr, 0));
    ASSERT_TRUE(library);
    std::vector<int> common = {kIdcBkgLabel, kIdcBkgLabelShown, kIdcBkgColor, kIdcBkgOpacity, kIdcBkgPreview};
    std::vector<int> window = {kIdcBkgStartTime, kIdcBkgEndTime};
    window.insert(window.end(), std::begin(kIdcBkgWeekdays), std::end(kIdcBkgWeekdays));
    std::vector<int> offsets(std::begin(kIdcBkgStartOffset), std::end(kIdcBkgStartOffset));
    offsets.insert(offsets.end(), std::begin(kIdcBkgEndOffset), std::end(kIdcBkgEndOffset));
    std::vector<int> moments = {kIdcBkgFromDate, kIdcBkgFromTime, kIdcBkgToDate, kIdcBkgToTime};
    const struct {
        UINT templateId;
        const std::vector<int>* own;
    } pages[] = {{146, &window}, {214, &moments}, {215, &offsets}, {216, &offsets}};
    HWND host = CreateWindowW(WC_STATICW, L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, host);
    for (const auto& page : pages) {
        SCOPED_TRACE(page.templateId);
        HWND dialog = CreateDialogParamW(library.Get(), MAKEINTRESOURCEW(page.templateId), host, DoNothingProc, 0);
        ASSERT_NE(nullptr, dialog);
        const std::vector<int>& own = *page.own;
        auto mine = [&](int id) {
            return std::find(common.begin(), common.end(), id) != common.end() ||
                   std::find(own.begin(), own.end(), id) != own.end();
        };
        for (const std::vector<int>* ids : {&common, &window, &offsets, &moments}) {
            for (int id : *ids) {
                if (mine(id))
                    EXPECT_NE(nullptr, GetDlgItem(dialog, id)) << "control " << id;
                else
                    EXPECT_EQ(nullptr, GetDlgItem(dialog, id)) << "control " << id << " of another kind";
            }
        }
        if (&own == &window) {
            for (int id : {kIdcBkgStartTime, kIdcBkgEndTime}) {
                DWORD style = (DWORD)GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE);
                EXPECT_EQ((DWORD)CBS_DROPDOWN, style & 3) << "an edit field to type a time in";
            }
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
}

namespace {

// The schedule sub-pages are made the size of the alarm page's placeholder
// 1114: each template has that size, so that none of its controls is cut
// off or stretched away from the others.
TEST(DialogLayout, SchedulePagesHaveTheAlarmPagesPaneSize)
{
    const UINT kAlarmPage = 144;
    const int kPane = 1114;
    const UINT kSchedulePages[] = {147, 148, 149, 150, 151, 152};
    INITCOMMONCONTROLSEX init = {sizeof(init), 0xFFFF};
    InitCommonControlsEx(&init);
    CModule library(LoadLibraryExW(TL_RES_EN_DLL, nullptr, 0));
    ASSERT_TRUE(library);
    HWND host = CreateWindowW(WC_STATICW, L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, host);
    HWND page = CreateDialogParamW(library.Get(), MAKEINTRESOURCEW(kAlarmPage), host, DoNothingProc, 0);
    ASSERT_NE(nullptr, page);
    RECT pane;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(page, kPane), &pane));
    for (UINT id : kSchedulePages) {
        SCOPED_TRACE(id);
        HWND schedule = CreateDialogParamW(library.Get(), MAKEINTRESOURCEW(id), page, DoNothingProc, 0);
        ASSERT_NE(nullptr, schedule);
        RECT r;
        GetWindowRect(schedule, &r);
        EXPECT_EQ(pane.right - pane.left, r.right - r.left);
        EXPECT_EQ(pane.bottom - pane.top, r.bottom - r.top);
        DestroyWindow(schedule);
    }
    DestroyWindow(page);
    DestroyWindow(host);
}

}  // namespace
