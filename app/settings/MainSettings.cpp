#include "app/settings/MainSettings.h"

#include <stdio.h>

#include <string>
#include <utility>
#include <vector>

#include "graphics/records/FixedText.h"
#include "graphics/language/Language.h"
#include "app/settings/Autostart.h"
#include "app/startup/BuildInfo.h"
#include "app/settings/CalendarLook.h"
#include "app/settings/MainSettingsValues.h"
#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsIni.h"
#include "app/settings/SettingsSeams.h"

const WCHAR kDefaultTimeServer[] = L"pool.ntp.org";

namespace {

const int kLanguageChars = 15;
const int kProfileChars = 1024;
const int kUrlChars = 1024;

int ReadInt(const WCHAR* file, const WCHAR* section, const WCHAR* key, int def)
{
    return (int)GetPrivateProfileIntW(section, key, def, file);
}

// At most `limit` characters of a key's value.
std::wstring ReadLimited(const WCHAR* file, const WCHAR* section, const WCHAR* key, const WCHAR* def, size_t limit)
{
    std::wstring text;
    if (!ReadProfileText(file, section, key, def, &text))
        text = def;
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

uint32_t Bit(bool on, uint32_t bit)
{
    return on ? bit : 0;
}

void CopyTerminated(WCHAR* field, size_t width, const WCHAR* text)
{
    CopyFixed(field, width - 1, text);
    field[width - 1] = 0;
}

void WriteText(const WCHAR* file, const WCHAR* section, const WCHAR* key, const WCHAR* value)
{
    WritePrivateProfileStringW(section, key, value, file);
}

void WriteNumber(const WCHAR* file, const WCHAR* section, const WCHAR* key, long long value)
{
    WriteText(file, section, key, std::to_wstring(value).c_str());
}

void WriteSwitch(const WCHAR* file, const WCHAR* section, const WCHAR* key, bool on)
{
    WriteText(file, section, key, on ? L"1" : L"0");
}

// "<prefix>:rss<number>"
std::wstring FeedSection(const WCHAR* prefix, int number)
{
    WCHAR suffix[24];
    swprintf(suffix, FIELD_WIDTH(suffix), L":rss%d", number);
    return UserSection(prefix, suffix);
}

}  // namespace

void ReadTimeServer(const WCHAR* file, const WCHAR* section, int index, WCHAR* server)
{
    WCHAR key[24];
    swprintf(key, FIELD_WIDTH(key), L"server%d", index);
    std::wstring text = ReadLimited(file, section ? section : L"common", key, L"", kTimeServerChars - 1);
    CopyTerminated(server, kTimeServerChars, text.empty() ? kDefaultTimeServer : text.c_str());
}

const WCHAR* CLanguageActivation::GetCode() const
{
    return m_language.GetCode();
}

LCID CLanguageActivation::GetLcid() const
{
    return m_language.GetLcid();
}

void CLanguageActivation::Activate(const WCHAR* code, const WCHAR* folder)
{
    m_language.SetLanguage(code);
    m_language.SetFolder(folder);
}

CMainSettings::CMainSettings(const MainSettingsSeams& seams)
    : m_seams(seams),
      m_block(),
      m_calendarLook(),
      m_clocks(nullptr),
      m_clockCount(0),
      m_enabledCount(0),
      m_taskbarClocks(0),
      m_programFile(),
      m_skinFolder(),
      m_reloadTick(0)
{
}

CMainSettings::~CMainSettings()
{
    FreeClocks();
}

void CMainSettings::FreeClocks()
{
    if (m_clocks)
        FreeClockTable(m_clocks, m_clockCount);
    m_clocks = nullptr;
    m_clockCount = 0;
    m_enabledCount = 0;
}

void CMainSettings::LoadMainSettings()
{
    const SettingsPaths& paths = *m_seams.paths;
    const WCHAR* file = paths.userIni;
    const std::wstring main = UserSection(paths.userPrefix, L":main");

    // what other code keeps in the block survives the reload
    SettingsBlock previous = m_block;
    m_block = {};
    m_edited = {};
    m_block.buildDate = previous.buildDate;
    m_block.fileVersion = previous.fileVersion;
    m_block.state = previous.state;
    m_block.enabledClocks = previous.enabledClocks;
    m_block.clockCount = previous.clockCount;

    CopyTerminated(m_block.programFolder, FIELD_WIDTH(m_block.programFolder), paths.folder);
    std::wstring programFile = std::wstring(paths.folder) + L"tempolan.exe";
    CopyTerminated(m_programFile, FIELD_WIDTH(m_programFile), programFile.c_str());

    const WCHAR* current = m_seams.language->GetCode();
    std::wstring language = ReadLimited(file, main.c_str(), L"language", current ? current : L"", kLanguageChars);
    NormalizeLanguageCode(language.c_str(), m_block.language, FIELD_WIDTH(m_block.language));
    m_seams.language->Activate(m_block.language, paths.folder);

    // a name as wide as the field fills it without a terminator
    std::wstring skin = ReadLimited(file, main.c_str(), L"skin", L"", FIELD_WIDTH(m_block.skin));
    CopyFixed(m_block.skin, FIELD_WIDTH(m_block.skin), skin.c_str());
    uint32_t options = SkinOptionBits(skin.c_str());
    options |= Bit(ReadInt(file, main.c_str(), L"transparentskin", 0) != 0, kOptTransparentSkin);
    options |= Bit(ReadInt(file, main.c_str(), L"overlayprefixes", 1) != 0, kOptOverlayPrefixes);
    options |= Bit(ReadInt(file, main.c_str(), L"tooltipkind", 0) != 0, kOptOtherTooltip);
    options |= Bit(ReadInt(file, main.c_str(), L"tooltips", 1) != 0, kOptTooltips);
    options |= Bit(ReadInt(file, main.c_str(), L"tooltip_calendar", 0) != 0, kOptTooltipCalendar);
    options |= Bit(ReadInt(file, main.c_str(), L"placeviews", 1) != 0, kOptCityPhotos);
    m_block.options = options;

    ReadSynchronisation();

    m_block.options |= Bit(ReadInt(file, L"map", L"initialized", 1) != 0, kOptMapInitialized);
    m_block.options |= Bit(ReadInt(file, main.c_str(), L"inet_scripts", 1) != 0, kOptInetScripts);
    m_block.weekNumbering = (uint32_t)ReadInt(file, main.c_str(), L"week_numeration", 0) & 1u;
    m_block.weekStart = (uint32_t)WrapValue(ReadInt(file, main.c_str(), L"week_start", 0), 7);
    m_block.options |= Bit(ReadInt(file, main.c_str(), L"setlocalinmenu", 0) == 1, kOptSetLocalInMenu);

    std::wstring highlight = ReadLimited(file, main.c_str(), L"localzonehighlight", L"", kProfileChars);
    if (!ParseClockProfile(highlight.c_str(), &m_block.localHighlight, nullptr))
        m_block.localHighlight = {};

    const std::wstring calendar = UserSection(paths.userPrefix, L":calendar");
    m_block.calendarMonths = ClampCalendarMonths(ReadInt(file, calendar.c_str(), L"num_month", 1));
    LCID lcid = m_seams.language->GetLcid();
    ReadCalendarLook(calendar.c_str(), file, lcid, &m_calendarLook);
    ReadCalendarLook(L"default:tooltip", paths.defaultIni, lcid, &m_block.tooltip);

    // a registry failure leaves the entry as it was
    m_edited.autostart = ReadInt(file, main.c_str(), L"autostart", 0) == 1;
    if (m_edited.autostart)
        m_seams.autostart->Set(m_programFile);
    else
        m_seams.autostart->Remove();

    m_block.trayClocks = ClampTrayClocks(ReadInt(file, main.c_str(), L"trayclocks", 10));

    ReadNewsChannels();
}

void CMainSettings::ReadSynchronisation()
{
    const SettingsPaths& paths = *m_seams.paths;
    // without "autosync" in "common" every synchronisation key comes from the
    // defaults, so a half-written "common" is not mixed with them
    const WCHAR* file = paths.userIni;
    const WCHAR* section = L"common";
    if (!KeyExists(file, section, L"autosync")) {
        file = paths.defaultIni;
        section = L"default:common";
    }
    m_block.options |= Bit(ReadInt(file, section, L"autosync", 0) != 0, kOptAutoSync);
    m_edited.serverIndex = ReadInt(file, section, L"server", 0);
    m_block.syncType = (uint32_t)ReadInt(file, section, L"synctype", kSyncTypeDefault);
    ReadTimeServer(file, section, m_edited.serverIndex, m_block.timeServer);
}

void CMainSettings::ReadNewsChannels()
{
    const SettingsPaths& paths = *m_seams.paths;
    const WCHAR* file = paths.userIni;
    const std::wstring main = UserSection(paths.userPrefix, L":main");
    m_block.newsFlags = Bit(ReadInt(file, main.c_str(), L"ads", 1) != 0, 1u)
                        | Bit(ReadInt(file, main.c_str(), L"notifications", 1) != 0, 2u)
                        | Bit(ReadInt(file, main.c_str(), L"fade_news", 1) != 0, 4u);
    int channels = ReadInt(file, main.c_str(), L"rss_channels", 0);
    if (channels < 0)
        channels = 0;
    if (channels > kMaxNewsChannels)
        channels = kMaxNewsChannels;
    m_block.newsChannels = 0;

    std::vector<NewsFeedSettings>& feeds = m_edited.feeds;
    feeds.clear();
    feeds.reserve((size_t)channels);
    for (int k = 1; k <= channels; ++k) {
        const std::wstring section = FeedSection(paths.userPrefix, k);
        NewsFeedSettings feed;
        feed.url = ReadLimited(file, section.c_str(), L"url", L"", kUrlChars);
        feed.ttlMinutes = ReadInt(file, section.c_str(), L"ttl", 10);
        feed.expanded = ReadInt(file, section.c_str(), L"expanded", 1) != 0;
        feed.enabled = ReadInt(file, section.c_str(), L"enabled", 0) != 0;
        feeds.push_back(std::move(feed));
    }
    if (!m_newsCallback)
        return;

    uint32_t accepted = 0;
    for (size_t i = 0; i < feeds.size(); ++i) {
        const NewsFeedSettings& feed = feeds[i];
        if (feed.url.empty())
            continue;
        if (m_newsCallback(feed.url.c_str(), feed.ttlMinutes, (int)i, feed.expanded, feed.enabled))
            ++accepted;
    }
    m_newsCallback(L"", 0, -1, false, false);
    m_block.newsChannels = accepted;
}

void CMainSettings::LoadAllSettings(const SYSTEMTIME& nowUtc)
{
    FreeClocks();
    const SettingsPaths& paths = *m_seams.paths;
    int count = 0;
    int enabled = InitSettingsSections(paths, *m_seams.service, m_seams.zoneNames, &count);
    LoadMainSettings();

    if (count > kMaxClocks)
        count = kMaxClocks;
    if (count < 0)
        count = 0;
    if (enabled < 1)
        enabled = 1;
    if (enabled > count)
        enabled = count;
    if (count > 0) {
        ClockReadContext context = m_seams.clocks;
        context.nowUtc = nowUtc;
        enabled = BuildClockTable(context, count, &m_clocks);
        if (!m_clocks) {
            count = 0;
            enabled = 0;
        }
    }
    m_clockCount = count;
    m_enabledCount = enabled;
    m_block.clockCount = (uint32_t)count;
    m_block.enabledClocks = (uint32_t)enabled;

    std::wstring skins = std::wstring(paths.folder) + L"skins\\";
    CopyTerminated(m_skinFolder, FIELD_WIDTH(m_skinFolder), skins.c_str());
}

int CMainSettings::ReloadAll(IReloadHost& host)
{
    host.CloseClockWindows();
    FreeClocks();
    host.ClearNewsChannels();
    LoadAllSettings(host.NowUtc());
    host.ReloadProxySettings();
    host.RemoveUnregisteredChannels();
    host.RefreshNewsWindows();
    m_seams.language->Activate(m_block.language, m_seams.paths->folder);

    // without the hook no clock can live in the taskbar
    if (!host.IsTaskbarHookInPlace()) {
        for (int i = 0; i < m_clockCount; ++i)
            m_clocks[i].flags |= kClockOnDesktop;
    }
    int taskbar = 0;
    for (int i = 0; i < m_clockCount; ++i) {
        if (m_clocks[i].enabled && !(m_clocks[i].flags & kClockOnDesktop))
            ++taskbar;
    }
    m_taskbarClocks = taskbar;
    if (taskbar == 0)
        host.AddTrayIcon();
    host.RefreshLocalZone();
    host.CreateDesktopClocks();
    m_reloadTick = host.TickCount();
    return taskbar;
}

void CMainSettings::SetBuild(const BuildInfo& build)
{
    m_block.buildDate = build.buildDate;
    m_block.fileVersion = build.fileVersion;
}

bool CMainSettings::WriteLastBuild(IBuildInfoSource& source)
{
    BuildInfo info = {};
    if (!source.GetBuildInfo(&info))
        return false;
    m_block.buildDate = info.buildDate;
    m_block.fileVersion = info.fileVersion;
    WCHAR version[32] = L"";
    AppendVersionText(info.fileVersion, version, FIELD_WIDTH(version));
    const std::wstring main = UserSection(m_seams.paths->userPrefix, L":main");
    return WriteTimeStampKey(*m_seams.paths, main.c_str(), L"last_build", info.buildDate, version);
}

void CMainSettings::WriteGeneralSettings(uint32_t groups)
{
    const SettingsPaths& paths = *m_seams.paths;
    const WCHAR* file = paths.userIni;
    // the profile functions write an ANSI file in the ANSI code page, which
    // would lose a name in another script
    EnsureUnicodeSettingsFile(file);
    const std::wstring main = UserSection(paths.userPrefix, L":main");
    const uint32_t options = m_block.options;

    if (groups & kWriteGeneral) {
        WriteText(file, main.c_str(), L"language", FieldText(m_block.language, FIELD_WIDTH(m_block.language)).c_str());
        WriteSwitch(file, main.c_str(), L"placeviews", (options & kOptCityPhotos) != 0);
        WriteSwitch(file, main.c_str(), L"autostart", m_edited.autostart);
        // the registry may refuse; the switch in the file still counts
        if (m_edited.autostart)
            m_seams.autostart->Set(m_programFile);
        else
            m_seams.autostart->Remove();
        WriteNumber(file, main.c_str(), L"week_numeration", m_block.weekNumbering);
        WriteNumber(file, main.c_str(), L"week_start", m_block.weekStart);
        const std::wstring calendar = UserSection(paths.userPrefix, L":calendar");
        WriteNumber(file, calendar.c_str(), L"num_month", m_block.calendarMonths);
    }

    if (groups & kWriteSynchronisation) {
        const WCHAR* common = L"common";
        WriteSwitch(file, common, L"autosync", (options & kOptAutoSync) != 0);
        WriteNumber(file, common, L"synctype", (int32_t)m_block.syncType);
        // a typed server joins the list under the index's absolute value
        long long index = m_edited.serverIndex;
        if (index < 0) {
            index = -index;
            const std::wstring key = L"server" + std::to_wstring(index);
            WriteText(file, common, key.c_str(), FieldText(m_block.timeServer, FIELD_WIDTH(m_block.timeServer)).c_str());
        }
        WriteNumber(file, common, L"server", index);
        if (index <= INT32_MAX)  // the negated INT32_MIN does not fit
            m_edited.serverIndex = (int)index;
        m_seams.service->SendControl(kServiceControlReadSettings);
    }

    if (groups & kWriteTaskbar) {
        WriteNumber(file, main.c_str(), L"trayclocks", m_block.trayClocks);
        WriteSwitch(file, main.c_str(), L"transparentskin", (options & kOptTransparentSkin) != 0);
        WriteSwitch(file, main.c_str(), L"overlayprefixes", (options & kOptOverlayPrefixes) != 0);
        WriteSwitch(file, main.c_str(), L"tooltips", (options & kOptTooltips) != 0);
        WriteSwitch(file, main.c_str(), L"tooltipkind", (options & kOptOtherTooltip) != 0);
        WriteSwitch(file, main.c_str(), L"tooltip_calendar", (options & kOptTooltipCalendar) != 0);
        WriteText(file, main.c_str(), L"skin", FieldText(m_block.skin, FIELD_WIDTH(m_block.skin)).c_str());
    }

    if (groups & kWriteNews) {
        WriteNumber(file, main.c_str(), L"ads", (m_block.newsFlags & 1u) != 0);
        WriteNumber(file, main.c_str(), L"notifications", (m_block.newsFlags & 2u) != 0);
        WriteNumber(file, main.c_str(), L"fade_news", (m_block.newsFlags & 4u) != 0);
        // the reader takes no more; later sections stay but are not read
        size_t count = m_edited.feeds.size();
        if (count > (size_t)kMaxNewsChannels)
            count = kMaxNewsChannels;
        for (size_t i = 0; i < count; ++i) {
            const NewsFeedSettings& feed = m_edited.feeds[i];
            const std::wstring section = FeedSection(paths.userPrefix, (int)i + 1);
            WriteText(file, section.c_str(), L"url", feed.url.c_str());
            WriteNumber(file, section.c_str(), L"ttl", feed.ttlMinutes);
            WriteNumber(file, section.c_str(), L"expanded", feed.expanded);
            WriteNumber(file, section.c_str(), L"enabled", feed.enabled);
        }
        WriteNumber(file, main.c_str(), L"rss_channels", (long long)count);
    }
}

MainSettingsSeams MakeMainSettingsSeams(const SettingsPaths& paths, IActiveLanguage& language,
                                        IAutostartEntry& autostart, ITimeServiceControl& service,
                                        const ILocalZoneNames& zoneNames, CZoneDatabase& zones,
                                        const ILanguageStrings& strings, ILocalZoneSource& localZone)
{
    MainSettingsSeams seams = {};
    seams.paths = &paths;
    seams.language = &language;
    seams.autostart = &autostart;
    seams.service = &service;
    seams.zoneNames = &zoneNames;
    seams.clocks.paths = &paths;
    seams.clocks.zones = &zones;
    seams.clocks.language = &strings;
    seams.clocks.localZone = &localZone;
    return seams;
}
