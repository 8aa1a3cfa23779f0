#include "app/menu/MainMenu.h"

#include <stdio.h>

#include <string>

#include "app/menu/WebPages.h"
#include "app/startup/ProgramResources.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/FixedText.h"
#include "graphics/text/DurationFormat.h"
#include "graphics/text/TimeFormat.h"
#include "graphics/time/ZoneConvert.h"
#include "app/settings/SettingsIni.h"
#include "windows/CityList.h"

namespace {

const int kClipboardChars = 512;

std::wstring LowerText(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

// Lower case, blanks as "_", URL-encoded, at `out` + `length`; the new length.
int AppendPagePart(const WCHAR* text, WCHAR* out, int length)
{
    return AppendAddressPart(LowerText(text).c_str(), out, length);
}

}  // namespace

void FormatClockClipboardText(const ClockRecord& clock, const SYSTEMTIME& nowUtc, const CLanguage& language,
                              const WeekRules& rules, WCHAR* out, int chars)
{
    std::wstring text = FieldText(clock.prefix, FIELD_WIDTH(clock.prefix));
    auto join = [&text](const WCHAR* part) {
        if (!part[0])
            return;
        if (!text.empty())
            text += L' ';
        text += part;
    };
    if (clock.kind & kClockTimer) {
        WCHAR value[kTimeTextChars] = {};
        std::wstring picture = FieldText(clock.timerFormat, FIELD_WIDTH(clock.timerFormat));
        FormatDurationTicks(value, kTimeTextChars, picture.c_str(), clock.timerValue, language.UnitNames());
        join(value);
    } else {
        // a desktop clock keeps its own time current
        SYSTEMTIME time = clock.localTime;
        if (!(clock.flags & kClockOnDesktop))
            GetClockLocalTime(nowUtc, &time, clock);
        std::wstring timeFormat = FieldText(clock.timeFormat, FIELD_WIDTH(clock.timeFormat));
        std::wstring dateFormat = FieldText(clock.dateFormat, FIELD_WIDTH(clock.dateFormat));
        WCHAR timeText[kTimeTextChars] = {}, dateText[kDateTextChars] = {};
        FormatTime(language, timeText, time, timeFormat.c_str());
        FormatDate(language, dateText, time, dateFormat.c_str(), true, rules);
        join(timeText);
        join(dateText);
    }
    lstrcpynW(out, text.c_str(), chars);
}

void FormatCityPhotoPage(const WCHAR* location, const CCityList* cities, DWORD affiliateId, WCHAR* out)
{
    FormatWebPage(kPageCityPhotos, affiliateId, out);
    int length = lstrlenW(out);
    int city = cities ? cities->FindCityByName(location) : -1;
    if (city >= 0) {
        const CityRecord& record = cities->Cities()[city];
        std::wstring country = LowerText(FieldText(record.countryName, FIELD_WIDTH(record.countryName)));
        std::wstring name = LowerText(FieldText(record.cityName, FIELD_WIDTH(record.cityName)));
        AppendCityPage(country.c_str(), name.c_str(), out, length);
    } else {
        length = AppendPagePart(location, out, length);
        AppendAddressText(L"/", out, length);
    }
}

CMainMenu::CMainMenu(const MainMenuServices& services)
    : m_services(services), m_host(nullptr), m_tray(*services.tray), m_current(-1)
{
}

ClockRecord* CMainMenu::Current()
{
    if (!m_host || m_current < 0 || m_current >= m_host->ClockCount() || !m_host->Clocks())
        return nullptr;
    return &m_host->Clocks()[m_current];
}

void CMainMenu::Post(WORD command)
{
    PostMessageW(m_host->MainWindow(), WM_COMMAND, command, 0);
}

HMENU CMainMenu::Build(const ClockRecord* clock, bool onTop, bool grouped)
{
    m_menu.Reset();
    MainMenuState state = {};
    state.clock = clock;
    state.newClocksAllowed = CanAddClock(m_host->ClockCount());
    state.options = m_host->ProgramSettings().options;
    state.localZone = &m_host->LocalZone();
    state.desktopClocksOutside = m_host->Seams().desktop->CountOutsideWorkArea();
    state.onTop = onTop;
    state.grouped = grouped;
    const CLanguage* language = m_services.language;
    HMENU menu = BuildMainMenu(language ? language->GetResources() : nullptr, language, state);
    if (!menu) {
        ShowMenuFailure();
        return nullptr;
    }
    m_menu.Reset(menu);
    return menu;
}

void CMainMenu::ShowMenuFailure()
{
    WCHAR text[256] = L"", caption[128] = L"";
    if (m_services.language) {
        m_services.language->LoadString(m_services.program, kOwnMenuFailed, text, ARRAYSIZE(text), nullptr);
        m_services.language->LoadString(m_services.program, kOwnErrorCaption, caption, ARRAYSIZE(caption), nullptr);
    }
    m_services.messages->Show(text, caption, MB_OK | MB_ICONSTOP);
    PostMessageW(m_host->MainWindow(), WM_COMMAND, kCloseCommand, 0);
}

void CMainMenu::ShowMainMenu()
{
    m_current = -1;
    HMENU menu = Build(nullptr, false, false);
    if (!menu)
        return;
    HWND main = m_host->MainWindow();
    POINT at;
    GetCursorPos(&at);
    // without the foreground a click outside would leave the menu open
    SetForegroundWindow(main);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, main, nullptr);
    PostMessageW(main, WM_NULL, 0, 0);
}

HMENU CMainMenu::BuildClockMenu(int index, bool onTop, bool grouped)
{
    m_current = index;
    ClockRecord* clock = Current();
    return clock ? Build(clock, onTop, grouped) : nullptr;
}

LRESULT CMainMenu::OnClockMouse(int index, WPARAM event, HWND window)
{
    // any process may send this: only a clock that exists counts
    if (!m_host || index < 0 || index >= m_host->ClockCount() || !m_host->Clocks())
        return 0;
    const MainSeams& seams = m_host->Seams();
    switch (event) {
    case kTrayIconClick:
        m_current = index;
        return seams.dialogs->RaiseAbout() ? 1 : 0;
    case WM_MOUSEMOVE:
        if ((m_host->Clocks()[index].kind & kClockTimer) && !seams.timers->IsPanelVisible() && window &&
            IsWindow(window))
            seams.timers->ShowPanel(index, window);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        m_current = index;
        seams.desktop->BringForward(false);
        return 0;
    case WM_LBUTTONDBLCLK:
        m_current = index;
        OnClockClick(index);
        return 0;
    }
    return 0;
}

void CMainMenu::AddTrayIcon()
{
    if (!m_host)
        return;
    HICON icon = (HICON)LoadImageW(m_services.program, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    m_tray.Add(m_host->MainWindow(), icon, m_host->TaskbarClockCount());
}

void CMainMenu::CloseClockWindows()
{
    m_tray.Delete();
}

bool CMainMenu::StartSettings(const WCHAR* format, int a, int b)
{
    m_host->SaveState();
    WCHAR parameters[64];
    _snwprintf(parameters, ARRAYSIZE(parameters), format, a, b);
    parameters[ARRAYSIZE(parameters) - 1] = 0;
    std::wstring file = std::wstring(m_services.programFolder) + L"settings.exe";
    return m_services.starter->Start(file.c_str(), parameters[0] ? parameters : nullptr, m_services.programFolder);
}

bool CMainMenu::StartSettingsNew(int kind)
{
    return StartSettings(kind < 0 ? L" /new_timer" : kind > 0 ? L" /new_stopwatch" : L" /new");
}

void CMainMenu::OnCommand(WORD id)
{
    if (!m_host)
        return;
    const MainSeams& seams = m_host->Seams();
    ClockRecord* clock = Current();
    int clockId = clock ? (int)clock->id : 0;
    switch (id) {
    case kCmdDesktopGroup:
    case kCmdDesktopOnTop:
        seams.desktop->DispatchCommand(MAKEWPARAM(id, (WORD)m_current));
        return;
    case kCmdToggleDesktop:
        ToggleOnDesktop();
        return;
    case kCmdClockSettings:
        if (clock)
            StartSettings(L" /%d", clockId);
        else
            StartSettings(L"");
        return;
    case kCmdAbout:
        if (!seams.dialogs->ShowAbout()) {
            WCHAR text[128] = L"", caption[128] = L"";
            m_services.language->LoadString(m_services.program, kOwnAboutFailed, text, ARRAYSIZE(text), nullptr);
            m_services.language->LoadString(m_services.program, kOwnErrorCaption, caption, ARRAYSIZE(caption),
                                            nullptr);
            m_services.messages->Show(text, caption, MB_OK | MB_ICONSTOP);
        }
        return;
    case kCmdUpdatePage:
        OpenWebPage(kPageUpdates, *m_services.starter);
        return;
    case kCmdUserGuide:
        OpenWebPage(kPageUserGuide, *m_services.starter);
        return;
    case kCmdDateTimePanel:
        m_services.starter->Start(L"rundll32.exe", L"shell32.dll,Control_RunDLL TIMEDATE.CPL", nullptr);
        return;
    case kCmdSetSystemZone:
        if (clock)
            m_host->SetSystemZone(*clock);
        return;
    case kCmdShowLog:
        PostMessageW(m_host->MainWindow(), UM_SHOWLOGWINDOW, 0, 0);
        return;
    case kCmdAllClocks:
        PostMessageW(m_host->MainWindow(), UM_SHOWALLCLOCKS, 0, 0);
        return;
    case kCmdCalendar:
        PostMessageW(m_host->MainWindow(), UM_SHOWCALENDAR, 0, 0);
        return;
    case kCmdWorldMap:
        seams.map->Open(clock);
        return;
    case kCmdCityPhotos:
        OpenCityPhotoPage(m_current);
        return;
    case kCmdNewAlarm:
        if (clock)
            StartSettings(L" /new_alarm%d", clockId);
        return;
    case kCmdZoneSettings:
    case kCmdSkinSettings:
    case kCmdFormatSettings:
    case kCmdAlarmSettings:
    case kCmdProfileSettings: {
        static const WCHAR* const kPages[] = {L" /zone%d", L" /skin%d", L" /formats%d", L" /alarms%d",
                                              L" /profiles%d"};
        if (clock)
            StartSettings(kPages[id - kCmdZoneSettings], clockId);
        return;
    }
    case kCmdTaskbarSettings:
        StartSettings(L" /taskbar");
        return;
    case kCmdSyncSettings:
        StartSettings(L" /sync");
        return;
    case kCmdGeneralSettings:
        StartSettings(L" /general");
        return;
    case kCmdNewsSettings:
        StartSettings(L" /rss");
        return;
    case kCmdTimeTable:
        seams.dialogs->ShowTimeTable();
        return;
    case kCmdNewsWindow:
        seams.news->ShowChannelWindow();
        return;
    case kCmdRefreshNews:
        seams.news->RefreshAllFeeds();
        return;
    case kCmdStartTimer:
        seams.timers->ControlTimerClock(m_current, kTimerStart);
        return;
    case kCmdStopTimer:
        seams.timers->ControlTimerClock(m_current, kTimerStop);
        return;
    case kCmdResetTimer:
        seams.timers->ControlTimerClock(m_current, kTimerReset);
        return;
    case kCmdNewClock:
        StartSettingsNew(0);
        return;
    case kCmdNewTimer:
        StartSettingsNew(-1);
        return;
    case kCmdNewStopwatch:
        StartSettingsNew(1);
        return;
    case kCmdShowDesktopClocks:
        seams.desktop->KeepOnScreen();
        seams.desktop->BringForward(false);
        return;
    }
    if (clock && id >= kCmdFirstProfile && id < kCmdFirstProfile + kMenuProfileCount)
        StartSettings(L" /profile%d.%d", clockId, id - kCmdFirstProfile);
    else if (clock && id >= kCmdFirstAlarm && id < kCmdFirstAlarm + kMenuAlarmCount)
        StartSettings(L" /alarm%d.%d", clockId, id - kCmdFirstAlarm);
}

void CMainMenu::ToggleOnDesktop()
{
    ClockRecord* clock = Current();
    if (!m_host->IsTaskbarHookInPlace() || !clock)
        return;
    const MainSeams& seams = m_host->Seams();
    bool toDesktop = !(clock->flags & kClockOnDesktop);
    clock->flags ^= kClockOnDesktop;
    seams.desktop->DestroyOne(clock->id);
    std::wstring section = UserSection(m_host->Paths().userPrefix, (L":clock" + std::to_wstring(clock->id)).c_str());
    WritePrivateProfileStringW(section.c_str(), L"on_desktop", toDesktop ? L"-1" : L"0", m_host->Paths().userIni);
    if (HWND settings = FindWindowW(kSettingsWindowClass, nullptr))
        PostMessageW(settings, UM_SETCLOCKONDESKTOP, clock->id, toDesktop ? -1 : 0);
    m_host->SendDataToTrayClock();
    clock = Current();
    if (!clock || !clock->enabled)
        return;
    int count = m_host->TaskbarClockCount();
    if (!toDesktop) {
        if (count == 0)
            m_tray.Delete();
        m_host->SetTaskbarClockCount(count + 1);
        return;
    }
    count = count > 0 ? count - 1 : 0;
    m_host->SetTaskbarClockCount(count);
    if (count == 0)
        AddTrayIcon();
    seams.desktop->CreateOne(*clock, m_current);
    seams.desktop->BringForward(false);
}

bool CMainMenu::OpenCityPhotoPage(int index)
{
    if (!m_host || index < 0 || index >= m_host->ClockCount() || !m_host->Clocks())
        return false;
    const ClockRecord& clock = m_host->Clocks()[index];
    std::wstring location = FieldText(clock.location, FIELD_WIDTH(clock.location));
    WCHAR address[kWebAddressChars];
    FormatCityPhotoPage(location.c_str(), m_services.cities, ReadAffiliateId(), address);
    return m_services.starter->Start(address, nullptr, nullptr);
}

void CMainMenu::OnClockClick(int index)
{
    if (!m_host || index < 0 || index >= m_host->ClockCount() || !m_host->Clocks())
        return;
    const ClockRecord& clock = m_host->Clocks()[index];
    switch (clock.clickAction) {
    case kClickCalendar:
        Post(kCmdCalendar);
        return;
    case kClickOpenText:
        RunClickText(FieldText(clock.clickUrl, FIELD_WIDTH(clock.clickUrl)).c_str());
        return;
    case kClickSettings:
        StartSettings(L" /%d", (int)clock.id);
        return;
    case kClickAllClocks:
        Post(kCmdAllClocks);
        return;
    case kClickDateTimePanel:
        Post(kCmdDateTimePanel);
        return;
    case kClickCopy:
        CopyClockText(clock);
        return;
    case kClickTimeTable:
        Post(kCmdTimeTable);
        return;
    case kClickTimerToggle:
        // at once for this clock: a posted command would find the current
        // clock changed by a later click
        if (clock.kind & kClockTimer)
            m_host->Seams().timers->ControlTimerClock(index, clock.timerRunning ? kTimerStop : kTimerStart);
        return;
    default:
        StartSettings(L"");
        return;
    }
}

void CMainMenu::RunClickText(const WCHAR* text)
{
    const WCHAR* start = text;
    while (*start == L' ' || *start == L'\t')
        ++start;
    if (!*start)
        return;
    const WCHAR* scheme = start;
    while ((*scheme >= 'a' && *scheme <= 'z') || (*scheme >= 'A' && *scheme <= 'Z'))
        ++scheme;
    if (scheme > start && scheme[0] == L':' && scheme[1] == L'/' && scheme[2] == L'/') {
        m_services.starter->Start(start, nullptr, nullptr);
        return;
    }
    // a mail link names no file: the shell knows what opens it
    if (!m_services.runner->Run(start))
        m_services.starter->Start(start, nullptr, nullptr);
}

void CMainMenu::CopyClockText(const ClockRecord& clock)
{
    const SettingsBlock& settings = m_host->ProgramSettings();
    WeekRules rules = {settings.weekNumbering, settings.weekStart % 7};
    WCHAR text[kClipboardChars];
    FormatClockClipboardText(clock, m_host->NowUtc(), *m_services.language, rules, text, kClipboardChars);
    m_services.clipboard->SetText(m_host->MainWindow(), text);
}
