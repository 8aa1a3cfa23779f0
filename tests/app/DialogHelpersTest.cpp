#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/ui/DialogHelpers.h"
#include "app/ui/Hyperlink.h"
#include "app/ui/LocalText.h"
#include "graphics/system/Handles.h"
#include "graphics/text/Fonts.h"
#include "graphics/text/LinkText.h"
#include "tests/support/TestFiles.h"

namespace {

void WriteUtf16(const CTempFolder& folder, const wchar_t* name, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    bytes.append((const char*)text.data(), text.size() * sizeof(wchar_t));
    ASSERT_TRUE(folder.WriteBytes(name, bytes));
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// A window owner: destroys it when the test ends.
class CWindow {
public:
    explicit CWindow(HWND window) : m_window(window) {}
    ~CWindow()
    {
        if (m_window && IsWindow(m_window))
            DestroyWindow(m_window);
    }
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

HWND MakePopup(int width, int height, DWORD style = WS_POPUP)
{
    return CreateWindowExW(0, L"Static", L"", style, 10, 20, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// An in-memory dialog template, laid out as DLGTEMPLATE and DLGITEMTEMPLATEs.
class CDialogTemplate {
public:
    explicit CDialogTemplate(const wchar_t* caption)
    {
        DLGTEMPLATE head = {};
        head.style = WS_POPUP | WS_CAPTION | DS_SETFONT;
        head.cx = 200;
        head.cy = 120;
        AddBytes(&head, sizeof(head));
        m_words.push_back(0);  // no menu
        m_words.push_back(0);  // the dialog class
        AddString(caption);
        m_words.push_back(8);  // font size
        AddString(L"MS Shell Dlg");
        m_countAt = offsetof(DLGTEMPLATE, cdit) / 2;
    }
    void Add(const wchar_t* className, WORD id, const wchar_t* text, DWORD style = 0)
    {
        while (m_words.size() % 2)
            m_words.push_back(0);
        DLGITEMTEMPLATE item = {};
        item.style = WS_CHILD | WS_VISIBLE | style;
        item.x = 5;
        item.y = (short)(5 + 12 * m_count);
        item.cx = 100;
        item.cy = 10;
        item.id = id;
        AddBytes(&item, sizeof(item));
        AddString(className);
        AddString(text);
        m_words.push_back(0);  // no creation data
        ++m_count;
        m_words[m_countAt] = (WORD)m_count;
    }
    const DLGTEMPLATE* Get() const { return (const DLGTEMPLATE*)m_words.data(); }

private:
    void AddBytes(const void* data, size_t bytes)
    {
        const WORD* words = (const WORD*)data;
        m_words.insert(m_words.end(), words, words + bytes / 2);
    }
    void AddString(const wchar_t* text) { AddBytes(text, (wcslen(text) + 1) * 2); }

    std::vector<WORD> m_words;
    size_t m_countAt = 0;
    int m_count = 0;
};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class DialogTranslation : public testing::Test {
protected:
    DialogTranslation() : m_savedLocale(GetThreadLocale()) {}
    ~DialogTranslation() override { SetThreadLocale(m_savedLocale); }
    void SetUp() override
    {
        WriteUtf16(folder, L"tempolan_de.ini",
                   L"[DLG_Test]\r\nCaption=Einstellungen\r\n10=Schlie\u00dfen\r\n11=Zeitzone\r\n"
                   L"12=kein Text\r\n0=Null\r\n14=\r\n");
        WriteUtf16(folder, L"tempolan_en.ini", L"[DLG_Test]\r\n13=English only\r\n");
        lang.SetAppName(L"tempolan");
        lang.SetFolder(folder.Path().c_str());
    }
    HWND MakeDialog()
    {
        CDialogTemplate dlg(L"Settings");
        dlg.Add(L"BUTTON", 10, L"Close", BS_PUSHBUTTON);
        dlg.Add(L"static", 11, L"Zone");
        dlg.Add(L"Edit", 12, L"typed");
        dlg.Add(L"Button", 13, L"Check", BS_AUTOCHECKBOX);
        dlg.Add(L"Static", 14, L"Kept");
        dlg.Add(L"Static", 0, L"Label");
        return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dlg.Get(), nullptr, QuietDialogProc, 0);
    }
    CTempFolder folder;
    CLanguage lang;

private:
    LCID m_savedLocale;
};

TEST_F(DialogTranslation, ButtonsAndStaticsTakeTheTextsOfTheirIds)
{
    lang.SetLanguage(L"de");
    ASSERT_NE(lang.GetIniPath()[0], 0);
    CWindow dialog(MakeDialog());
    ASSERT_TRUE(dialog.Get());
    EXPECT_TRUE(LocalizeDialog(dialog.Get(), L"DLG_Test", lang));

    EXPECT_EQ(WindowText(dialog.Get()), L"Einstellungen");
    struct Case {
        int id;
        const wchar_t* text;
    } cases[] = {
        {10, L"Schlie\u00dfen"},   // class names match without regard to case
        {11, L"Zeitzone"},
        {12, L"typed"},            // an edit control is not translated
        {13, L"English only"},     // from the English file
        {14, L"Kept"},             // an empty text leaves the control
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowText(GetDlgItem(dialog.Get(), c.id)), c.text) << c.id;
    // the control without an id keeps its text though key "0" exists
    HWND label = FindWindowExW(dialog.Get(), nullptr, L"Static", L"Label");
    EXPECT_TRUE(label);
}

TEST_F(DialogTranslation, ANestedDialogKeepsItsOwnTexts)
{
    lang.SetLanguage(L"de");
    CWindow outer(MakeDialog());
    ASSERT_TRUE(outer.Get());
    // a page inside the dialog whose control shares an id with the dialog's
    CDialogTemplate page(L"");
    page.Add(L"Button", 11, L"Daylight saving", BS_AUTOCHECKBOX);
    HWND inner = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), page.Get(), outer.Get(), QuietDialogProc, 0);
    ASSERT_TRUE(inner);
    SetWindowLongPtrW(inner, GWL_STYLE, WS_CHILD);
    SetParent(inner, outer.Get());

    EXPECT_TRUE(LocalizeDialog(outer.Get(), L"DLG_Test", lang));
    EXPECT_EQ(WindowText(GetDlgItem(outer.Get(), 11)), L"Zeitzone");
    EXPECT_EQ(WindowText(GetDlgItem(inner, 11)), L"Daylight saving");
}

TEST_F(DialogTranslation, NothingChangesWithoutALanguageFile)
{
    lang.SetLanguage(L"fr");
    ASSERT_EQ(lang.GetIniPath()[0], 0);
    CWindow dialog(MakeDialog());
    ASSERT_TRUE(dialog.Get());
    EXPECT_FALSE(LocalizeDialog(dialog.Get(), L"DLG_Test", lang));
    EXPECT_EQ(WindowText(dialog.Get()), L"Settings");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.Get(), 13)), L"Check");
}

TEST_F(DialogTranslation, LocalStringsAndMessagesComeFromTheLanguageFile)
{
    std::wstring longText(200, L'x');
    WriteUtf16(folder, L"tempolan_de.ini",
               L"[StringTable]\r\n300=Hallo\r\n301=" + longText + L"\r\n302=" + longText +
                   L"\r\n[Other]\r\n300=Anders\r\n");
    lang.SetLanguage(L"de");
    wchar_t text[64];
    EXPECT_EQ(LoadLocalString(lang, nullptr, 300, text, 64, nullptr), 5);
    EXPECT_STREQ(text, L"Hallo");
    LoadLocalString(lang, nullptr, 300, text, 64, L"Other");
    EXPECT_STREQ(text, L"Anders");

    wchar_t message[128];
    wchar_t caption[32];
    LoadLocalMessage(lang, nullptr, 301, 302, nullptr, message, caption);
    EXPECT_EQ(wcslen(message), 127u);
    EXPECT_EQ(wcslen(caption), 31u);
}

TEST_F(DialogTranslation, WordFormsReadFromTheLanguageAreCutToTheirSlot)
{
    // slot 0: its third group lies past what a slot holds, the second one's
    // text is cut at the slot's end; slot 1: longer than a string is read
    std::wstring cutName(1100, L'x');
    WriteUtf16(folder, L"tempolan_de.ini",
               L"[StringTable]\r\n257=Tage;1 Tag;2-4 " + cutName + L";5 f\u00fcnf\r\n258=" +
                   std::wstring(4000, L'y') + L"\r\n");
    lang.SetResources(GetModuleHandleW(nullptr), kUnitNameStringIds);
    lang.SetLanguage(L"de");
    ASSERT_NE(lang.GetIniPath()[0], 0);

    const size_t secondGroupText = wcslen(L"Tage;1 Tag;2-4 ");
    struct Case {
        int slot;
        int number;
        std::wstring form;
    } cases[] = {
        {0, 1, L"Tag"},
        {0, 3, std::wstring(CUnitNames::kTextChars - secondGroupText, L'x')},
        {0, 5, L"Tage"},  // its group was cut off: the default
        {1, 7, std::wstring(CUnitNames::kTextChars, L'y')},
        {2, 1, L"h"},     // no string: the built-in default
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(GetWordForm(lang, c.slot, c.number)), c.form) << c.slot << " " << c.number;
    lang.SetResources(nullptr, nullptr);
}

TEST(LocalText, SafeNamesKeepOnlyKeyCharacters)
{
    struct Case {
        std::wstring in;
        std::wstring out;
    } cases[] = {
        {L"&Time zones...", L"Time_zones..."},
        {L"a/b\\c:d", L"abcd"},
        {L"\u00e4-\u00f6_1.2 Z", L"-_1.2_Z"},
        {L"", L""},
        {std::wstring(300, L'a'), std::wstring(256, L'a')},
        {std::wstring(255, L'#') + L"ab", L"a"},
    };
    for (const Case& c : cases) {
        std::vector<wchar_t> buffer(c.in.begin(), c.in.end());
        buffer.push_back(0);
        EXPECT_EQ(MakeSafeName(buffer.data()), (int)c.out.size());
        EXPECT_EQ(std::wstring(buffer.data()), c.out) << c.in.size();
    }
}

TEST(LocalText, WordFormsFollowTheGroupsOfTheNumber)
{
    CLanguage lang;
    lang.ParseUnitNames(2, L"Stunden;1,21,31 Stunde;2-4,22-24 Stunden2");
    struct Case {
        int number;
        const wchar_t* form;
    } cases[] = {{1, L"Stunde"}, {121, L"Stunde"}, {3, L"Stunden2"}, {23, L"Stunden2"}, {5, L"Stunden"}};
    for (const Case& c : cases)
        EXPECT_STREQ(GetWordForm(lang, 2, c.number), c.form) << c.number;
    EXPECT_STREQ(GetWordForm(lang, 7, 1), L"");

    // a text longer than a slot holds is cut, never overruns the slot
    std::wstring longText(3000, L'w');
    lang.ParseUnitNames(0, longText.c_str());
    EXPECT_EQ(wcslen(GetWordForm(lang, 0, 1)), (size_t)CUnitNames::kTextChars);
}

TEST(LocalText, LanguageAbbreviationIsLowerCase)
{
    wchar_t abbrev[kLanguageAbbrevChars];
    ASSERT_TRUE(GetLanguageAbbrev(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT), abbrev));
    EXPECT_STREQ(abbrev, L"deu");
    EXPECT_FALSE(GetLanguageAbbrev(0x7FFF, abbrev));
    EXPECT_STREQ(abbrev, L"");
}

TEST(LocalText, ActivateLanguageSetsTheLocaleAndItsNames)
{
    LCID saved = GetThreadLocale();
    CLanguage lang;
    CalendarNames names = {};
    ActivateLanguage(lang, L"de", &names);
    LCID lcid = GetLanguageLcid(lang);
    SetThreadLocale(saved);
    EXPECT_EQ(PRIMARYLANGID(LANGIDFROMLCID(lcid)), LANG_GERMAN);
    EXPECT_STREQ(names.days[0], L"Montag");
    EXPECT_STREQ(names.months[2], L"M\u00e4rz");
}

TEST(LocalText, ResourceVersionNeedsALibrary)
{
    EXPECT_FALSE(IsResourceVersionOk(nullptr));
#ifdef TL_PROGRAM_FOLDER
    CModule module(LoadLibraryExW(TL_PROGRAM_FOLDER L"res_en.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    EXPECT_TRUE(IsResourceVersionOk(module.Get()));
#endif
}

TEST(DialogHelpers, FontFromSpecCarriesSizeStyleAndCharset)
{
    CGdiObject<HFONT> font(CreateFontFromSpec(L"Arial", 10, kFontBold | kFontItalic, 0));
    ASSERT_TRUE(font);
    LOGFONTW info = {};
    GetObjectW(font.Get(), sizeof(info), &info);
    EXPECT_STREQ(info.lfFaceName, L"Arial");
    EXPECT_LT(info.lfHeight, 0);
    EXPECT_EQ(info.lfWeight, FW_BOLD);
    EXPECT_TRUE(info.lfItalic);
    EXPECT_FALSE(CGdiObject<HFONT>(CreateFontFromSpec(nullptr, 10, 0, 0)));
    EXPECT_FALSE(CGdiObject<HFONT>(CreateFontFromSpec(L"", 10, 0, 0)));
}

TEST(DialogHelpers, ComboDropDownShowsAtMostItsItems)
{
    CWindow parent(MakePopup(300, 300));
    ASSERT_TRUE(parent.Get());
    struct Case {
        int items;
        int asked;
        int shown;
    } cases[] = {{10, 5, 5}, {3, 8, 3}, {0, 4, 0}, {6, 6, 6}};
    for (const Case& c : cases) {
        CWindow combo(CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 7, 9, 120,
                                      200, parent.Get(), nullptr, GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(combo.Get());
        for (int i = 0; i < c.items; ++i)
            SendMessageW(combo.Get(), CB_ADDSTRING, 0, (LPARAM)L"item");
        int itemHeight = (int)SendMessageW(combo.Get(), CB_GETITEMHEIGHT, 0, 0);
        RECT dropped;
        // with no item asked for the list is the closed height plus 2; each item adds its height
        ASSERT_TRUE(SizeComboDropDown(combo.Get(), 0));
        SendMessageW(combo.Get(), CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
        int emptyHeight = dropped.bottom - dropped.top;
        ASSERT_TRUE(SizeComboDropDown(combo.Get(), c.asked));
        SendMessageW(combo.Get(), CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
        EXPECT_EQ(dropped.bottom - dropped.top, emptyHeight + itemHeight * c.shown) << c.items << " " << c.asked;
        RECT now;
        GetWindowRect(combo.Get(), &now);
        MapWindowPoints(nullptr, parent.Get(), (POINT*)&now, 2);
        EXPECT_EQ(now.left, 7);
        EXPECT_EQ(now.top, 9);
        EXPECT_EQ(now.right - now.left, 120);
    }
}

TEST(DialogHelpers, CenterOnDesktopKeepsTheSize)
{
    CWindow window(MakePopup(200, 100));
    ASSERT_TRUE(window.Get());
    CenterOnDesktop(window.Get());
    RECT desktop;
    RECT rect;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window.Get(), &rect);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 100);
    EXPECT_LE(abs((rect.left + rect.right) - (desktop.left + desktop.right)), 1);
    EXPECT_LE(abs((rect.top + rect.bottom) - (desktop.top + desktop.bottom)), 1);
}

struct ThreadWindows {
    bool dialogAlive;
    bool otherAlive;
    bool dialogWasDialog;
    bool otherWasDialog;
};

// In a thread of its own, so that no other test's windows are enumerated.
DWORD WINAPI DestroyDialogsThread(void* param)
{
    auto* result = (ThreadWindows*)param;
    HWND dialog = CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND other = MakePopup(50, 50);
    result->dialogWasDialog = IsDialogWindow(dialog);
    result->otherWasDialog = IsDialogWindow(other);
    EnumThreadWindows(GetCurrentThreadId(), DestroyDialogsProc, 0);
    result->dialogAlive = dialog && IsWindow(dialog);
    result->otherAlive = other && IsWindow(other);
    if (dialog && IsWindow(dialog))
        DestroyWindow(dialog);
    if (other && IsWindow(other))
        DestroyWindow(other);
    return 0;
}

TEST(DialogHelpers, OnlyDialogsAreDestroyedAtExit)
{
    ThreadWindows result = {true, false, false, true};
    CKernelHandle thread(CreateThread(nullptr, 0, DestroyDialogsThread, &result, 0, nullptr));
    ASSERT_TRUE(thread);
    WaitForSingleObject(thread.Get(), 10000);
    EXPECT_TRUE(result.dialogWasDialog);
    EXPECT_FALSE(result.otherWasDialog);
    EXPECT_FALSE(result.dialogAlive);
    EXPECT_TRUE(result.otherAlive);
    EXPECT_FALSE(IsDialogWindow(nullptr));
}

class CFakeOpener : public ILinkOpener {
public:
    void OpenLink(const WCHAR* url) override { opened.push_back(url); }
    std::vector<std::wstring> opened;
};

// A visible static control with the link procedure, on a popup.
class Hyperlink : public testing::Test {
protected:
    void Make(const wchar_t* text)
    {
        m_parent = MakePopup(400, 200, WS_POPUP | WS_VISIBLE);
        ASSERT_TRUE(m_parent);
        control = CreateWindowExW(0, L"Static", text, WS_CHILD | WS_VISIBLE, 0, 0, 380, 180, m_parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(control);
        SendMessageW(control, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
        ASSERT_TRUE(AttachHyperlink(control, &opener));
    }
    ~Hyperlink() override
    {
        if (m_parent)
            DestroyWindow(m_parent);
    }
    // The runs as the control lays them out.
    int Layout(CLinkTextLayout* layout)
    {
        wchar_t text[2048];
        GetWindowTextW(control, text, 2048);
        CWindowDC dc(control);
        HGDIOBJ old = SelectObject(dc.Get(), (HFONT)SendMessageW(control, WM_GETFONT, 0, 0));
        int count = LayoutLinkText(text, 0, 0, dc.Get(), nullptr, nullptr, layout, kHyperlinkMaxRuns);
        SelectObject(dc.Get(), old);
        return count;
    }
    void Click(const RECT& rect)
    {
        LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(control, WM_LBUTTONUP, 0, at);
    }
    HWND control = nullptr;
    CFakeOpener opener;

private:
    HWND m_parent = nullptr;
};

TEST_F(Hyperlink, ClickOnALinkOpensItsUrl)
{
    Make(L"Visit <a href=\"http://example.invalid/a\">one</a> or <a href=\"http://example.invalid/b\">two</a>");
    CLinkTextLayout layout;
    ASSERT_EQ(Layout(&layout), 4);
    Click(layout.Run(3).rect);
    Click(layout.Run(1).rect);
    Click(layout.Run(0).rect);  // plain text
    RECT below = {0, 150, 10, 160};
    Click(below);
    ASSERT_EQ(opener.opened.size(), 2u);
    EXPECT_EQ(opener.opened[0], L"http://example.invalid/b");
    EXPECT_EQ(opener.opened[1], L"http://example.invalid/a");
    EXPECT_EQ(SendMessageW(control, WM_NCHITTEST, 0, 0), HTCLIENT);
}

TEST_F(Hyperlink, TwoBreaksGiveThreeLines)
{
    Make(L"first<br>second<br><a href=\"http://example.invalid/\">third</a>");
    CLinkTextLayout layout;
    int count = Layout(&layout);
    ASSERT_GE(count, 3);
    std::vector<LONG> tops;
    for (int i = 0; i < count; ++i) {
        if (tops.empty() || tops.back() != layout.Run(i).rect.top) {
            if (!tops.empty()) {
                EXPECT_GT(layout.Run(i).rect.top, tops.back());
            }
            tops.push_back(layout.Run(i).rect.top);
        }
    }
    EXPECT_EQ(tops.size(), 3u);
    // the link on the third line answers there, not on the first
    const RECT& link = layout.Run(count - 1).rect;
    ASSERT_TRUE(layout.Run(count - 1).target);
    EXPECT_EQ(link.top, tops[2]);
    EXPECT_EQ(HyperlinkHitTest(control, link.left + 1, link.top + 1, nullptr), count - 1);
    EXPECT_EQ(HyperlinkHitTest(control, link.left + 1, tops[0] + 1, nullptr), -1);
}

TEST_F(Hyperlink, PaintUsesTheColourRecord)
{
    Make(L"<a href=\"http://example.invalid/\">WWWWWWWW</a> plain");
    HyperlinkColors colors = {sizeof(HyperlinkColors), kHyperlinkColorsTag, kHyperlinkDefaultColor, RGB(0, 200, 0), 0};
    SetWindowLongPtrW(control, GWLP_USERDATA, (LONG_PTR)&colors);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    CLinkTextLayout layout;
    ASSERT_EQ(Layout(&layout), 2);
    const RECT& link = layout.Run(0).rect;
    // the underline row of the link is drawn in the link colour
    CWindowDC dc(control);
    COLORREF underline = GetPixel(dc.Get(), (link.left + link.right) / 2, link.bottom - 1);
    COLORREF background = GetPixel(dc.Get(), 5, 170);
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    if (underline == CLR_INVALID)
        GTEST_SKIP() << "the screen cannot be read back";
    EXPECT_EQ(underline, RGB(0, 200, 0));
    EXPECT_EQ(background, GetSysColor(COLOR_BTNFACE));
}

TEST_F(Hyperlink, ForeignUserDataIsNotTakenForColours)
{
    Make(L"<a href=\"http://example.invalid/\">WWWWWWWW</a>");
    HyperlinkColors foreign = {sizeof(HyperlinkColors), 0x12345678, RGB(0, 200, 0), RGB(0, 200, 0), 0};
    SetWindowLongPtrW(control, GWLP_USERDATA, (LONG_PTR)&foreign);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CLinkTextLayout layout;
    ASSERT_EQ(Layout(&layout), 1);
    const RECT& link = layout.Run(0).rect;
    CWindowDC dc(control);
    COLORREF underline = GetPixel(dc.Get(), (link.left + link.right) / 2, link.bottom - 1);
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    if (underline == CLR_INVALID)
        GTEST_SKIP() << "the screen cannot be read back";
    EXPECT_EQ(underline, kHyperlinkLinkColor);
}

TEST_F(Hyperlink, DestroyingTheControlGivesItsProcedureBack)
{
    Make(L"text");
    EXPECT_FALSE(AttachHyperlink(control, &opener));  // not twice
    EXPECT_EQ((WNDPROC)GetWindowLongPtrW(control, GWLP_WNDPROC), HyperlinkProc);
    DestroyWindow(control);
    EXPECT_FALSE(IsWindow(control));
}

}  // namespace
