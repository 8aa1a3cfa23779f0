#include "app/settings/MainSettings.h"
#include "graphics/language/Language.h"
#include "settings/globalpages/GlobalPage.h"

namespace {

const int kMonthChoices[] = {1, 2, 3, 12};
// LOCALE_SDAYNAME1 is Monday; the list starts on Sunday
const LCTYPE kDayNames[7] = {LOCALE_SDAYNAME7, LOCALE_SDAYNAME1, LOCALE_SDAYNAME2, LOCALE_SDAYNAME3,
                             LOCALE_SDAYNAME4, LOCALE_SDAYNAME5, LOCALE_SDAYNAME6};

class CCalendarPage : public CGlobalPage {
public:
    explicit CCalendarPage(HWND page) : CGlobalPage(page, 218) {}

    void Init() override
    {
        Localize();
        FillNames();
        HWND months = Item(kIdcCalendarMonths);
        for (int n : kMonthChoices)
            ComboAdd(months, std::to_wstring(n).c_str(), n);
        Load();
    }
    void Load() override
    {
        CMainSettings* settings = Settings();
        if (!settings)
            return;
        const SettingsBlock& block = settings->Block();
        SendMessageW(Item(kIdcWeekNumbering), CB_SETCURSEL, block.weekNumbering & 1u, 0);
        SendMessageW(Item(kIdcWeekStart), CB_SETCURSEL, block.weekStart % 7u, 0);
        // a month count the list does not offer shows no selection and is kept
        HWND months = Item(kIdcCalendarMonths);
        SendMessageW(months, CB_SETCURSEL, (WPARAM)ComboFindData(months, (LPARAM)block.calendarMonths), 0);
    }
    void Store(PageExchange& exchange) override
    {
        exchange.invalid = nullptr;
        CMainSettings* settings = Settings();
        if (!settings)
            return;
        SettingsBlock& block = settings->Block();
        int numbering = (int)SendMessageW(Item(kIdcWeekNumbering), CB_GETCURSEL, 0, 0);
        if (numbering >= 0)
            block.weekNumbering = (uint32_t)numbering & 1u;
        int start = (int)SendMessageW(Item(kIdcWeekStart), CB_GETCURSEL, 0, 0);
        if (start >= 0)
            block.weekStart = (uint32_t)start % 7u;
        HWND months = Item(kIdcCalendarMonths);
        int chosen = (int)SendMessageW(months, CB_GETCURSEL, 0, 0);
        if (chosen >= 0) {
            LPARAM n = ComboData(months, chosen);
            if (n >= 1 && n <= 12)
                block.calendarMonths = (uint32_t)n;
        }
    }
    void Command(WORD id, WORD code) override
    {
        if (code == CBN_SELCHANGE &&
            (id == kIdcWeekNumbering || id == kIdcWeekStart || id == kIdcCalendarMonths))
            ReportChange();
    }
    void Relocalize() override
    {
        Localize();
        int numbering = (int)SendMessageW(Item(kIdcWeekNumbering), CB_GETCURSEL, 0, 0);
        int start = (int)SendMessageW(Item(kIdcWeekStart), CB_GETCURSEL, 0, 0);
        FillNames();
        SendMessageW(Item(kIdcWeekNumbering), CB_SETCURSEL, (WPARAM)numbering, 0);
        SendMessageW(Item(kIdcWeekStart), CB_SETCURSEL, (WPARAM)start, 0);
    }

private:
    void FillNames()
    {
        HWND numbering = Item(kIdcWeekNumbering);
        SendMessageW(numbering, CB_RESETCONTENT, 0, 0);
        ComboAdd(numbering, String(kStrWeekJan1).c_str(), 0);
        ComboAdd(numbering, String(kStrWeekFourDays).c_str(), 1);
        HWND days = Item(kIdcWeekStart);
        SendMessageW(days, CB_RESETCONTENT, 0, 0);
        CLanguage* language = Language();
        LCID lcid = language ? language->GetLcid() : LOCALE_USER_DEFAULT;
        for (int day = 0; day < 7; ++day) {
            WCHAR name[80] = {};
            GetLocaleInfoW(lcid, kDayNames[day], name, 80);
            ComboAdd(days, name, day);
        }
    }
};

}  // namespace

INT_PTR CALLBACK CalendarPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GlobalPageProcOf<CCalendarPage>(page, message, wParam, lParam);
}
