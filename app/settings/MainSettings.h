// The program-wide settings of the main program: the SettingsBlock sent to the
// tray clock, the clock array, the calendar popup's look, and their loads.
// Used on the GUI thread only.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/records/SettingsBlock.h"
#include "app/clocks/ClockSettings.h"

class CLanguage;
class IAutostartEntry;
struct BuildInfo;
class IBuildInfoSource;
class ILocalZoneNames;
class ITimeServiceControl;

// The time server when none is configured.
extern const WCHAR kDefaultTimeServer[];
const int kTimeServerChars = 128;
// "server%d" of `section` (null: "common") of `file` into `server`
// (kTimeServerChars, always terminated); kDefaultTimeServer when the key is
// missing or empty.
void ReadTimeServer(const WCHAR* file, const WCHAR* section, int index, WCHAR* server);

// The active language as the settings see it.
class IActiveLanguage {
public:
    virtual ~IActiveLanguage() = default;
    virtual const WCHAR* GetCode() const = 0;
    virtual LCID GetLcid() const = 0;
    // Makes `code` (two lower-case letters, or empty) the active language, its
    // files looked up in `folder`.
    virtual void Activate(const WCHAR* code, const WCHAR* folder) = 0;
};

// The process's CLanguage; it must outlive this object.
class CLanguageActivation : public IActiveLanguage {
public:
    explicit CLanguageActivation(CLanguage& language) : m_language(language) {}
    const WCHAR* GetCode() const override;
    LCID GetLcid() const override;
    void Activate(const WCHAR* code, const WCHAR* folder) override;

private:
    CLanguage& m_language;
};

// The news reader's channel registration: URL, refresh interval in minutes,
// index (0-based; -1 ends the list with an empty URL), expanded, enabled.
// Returns true when the channel is accepted.
using NewsChannelCallback = std::function<bool(const WCHAR* url, int ttlMinutes, int index, bool expanded, bool enabled)>;

// One news channel as its "<user>:rss<n>" section keeps it.
struct NewsFeedSettings {
    std::wstring url;    // empty for a section without a URL
    int ttlMinutes;
    bool expanded;
    bool enabled;
};

// What the settings program's pages edit beyond the block.
struct EditedSettings {
    // "server" of the synchronisation section; negative for a server the user
    // typed, whose text is the block's timeServer and which the next write
    // of the synchronisation group stores under the index's absolute value
    int serverIndex;
    bool autostart;
    // Section n is feeds[n - 1], empty URLs included, so that an index here is
    // the news reader's channel index; at most kMaxNewsChannels.
    std::vector<NewsFeedSettings> feeds;
};

const int kMaxNewsChannels = 128;

// Groups of CMainSettings::WriteGeneralSettings, one per page of the settings program.
const uint32_t kWriteGeneral = 0x01;          // language, photos, autostart, weeks, calendar months
const uint32_t kWriteSynchronisation = 0x04;  // time server and synchronisation
const uint32_t kWriteNews = 0x10;             // news flags and feeds
const uint32_t kWriteTaskbar = 0x20;          // tray clocks, taskbar options and skin
const uint32_t kWriteAllGroups = 0xFF;

// The steps of a reload that belong to the windows, the news reader, the tray
// and the zone table.
class IReloadHost {
public:
    virtual ~IReloadHost() = default;
    virtual void CloseClockWindows() = 0;          // before the clock array is freed
    virtual void ClearNewsChannels() = 0;          // configured flags and the news lists
    virtual void ReloadProxySettings() = 0;
    virtual void RemoveUnregisteredChannels() = 0;
    virtual void RefreshNewsWindows() = 0;
    virtual bool IsTaskbarHookInPlace() = 0;
    virtual void AddTrayIcon() = 0;
    virtual void RefreshLocalZone() = 0;
    virtual void CreateDesktopClocks() = 0;
    virtual SYSTEMTIME NowUtc() = 0;
    virtual DWORD TickCount() = 0;
};

// What the loads reach outside the settings files. Every pointer must outlive
// the CMainSettings; `clocks.paths` must be `paths`.
struct MainSettingsSeams {
    const SettingsPaths* paths;
    IActiveLanguage* language;
    IAutostartEntry* autostart;
    ITimeServiceControl* service;
    const ILocalZoneNames* zoneNames;    // may be null
    ClockReadContext clocks;
};

// The seams of a program that reads its clocks with `zones`, `strings` and
// `localZone`; no timer restarts. Every reference must outlive the settings.
MainSettingsSeams MakeMainSettingsSeams(const SettingsPaths& paths, IActiveLanguage& language,
                                        IAutostartEntry& autostart, ITimeServiceControl& service,
                                        const ILocalZoneNames& zoneNames, CZoneDatabase& zones,
                                        const ILanguageStrings& strings, ILocalZoneSource& localZone);

class CMainSettings {
public:
    explicit CMainSettings(const MainSettingsSeams& seams);
    ~CMainSettings();
    CMainSettings(const CMainSettings&) = delete;
    CMainSettings& operator=(const CMainSettings&) = delete;

    // Fills the block (all but the build date, file version, state bits and
    // clock counts), the edited settings and the calendar popup's look from
    // the user's sections.
    void LoadMainSettings();
    // Frees the clocks, completes the user's sections, loads the main
    // settings and reads the clock array.
    void LoadAllSettings(const SYSTEMTIME& nowUtc);
    // The reload on start and on a settings change; returns the number of
    // enabled clocks in the taskbar.
    int ReloadAll(IReloadHost& host);
    // The program's build date and file version into the block, where the
    // reloads keep them.
    void SetBuild(const BuildInfo& build);
    // Takes the build date and file version into the block and writes
    // "last_build" into the user's ":main" section.
    bool WriteLastBuild(IBuildInfoSource& source);

    // Writes the `groups` (kWrite* bits) of the block and the edited settings
    // into the user's settings file, first converted to UTF-16, and applies
    // the autostart switch (general group) and tells the time service to
    // read its settings again (synchronisation group). Expects a load before.
    // A typed server's index becomes its absolute value once written. Failed
    // writes of single keys go unreported.
    void WriteGeneralSettings(uint32_t groups);

    // The news reader registers once it exists; an empty callback unregisters.
    void SetNewsChannelCallback(NewsChannelCallback callback) { m_newsCallback = std::move(callback); }

    const SettingsBlock& Block() const { return m_block; }
    SettingsBlock& Block() { return m_block; }
    const EditedSettings& Edited() const { return m_edited; }
    EditedSettings& Edited() { return m_edited; }
    const TooltipStyle& CalendarLook() const { return m_calendarLook; }
    ClockRecord* Clocks() { return m_clocks; }
    int ClockCount() const { return m_clockCount; }
    int EnabledCount() const { return m_enabledCount; }
    int TaskbarClockCount() const { return m_taskbarClocks; }
    // A clock moved between the taskbar and the desktop.
    void SetTaskbarClockCount(int count) { m_taskbarClocks = count; }
    const WCHAR* ProgramFile() const { return m_programFile; }
    const WCHAR* SkinFolder() const { return m_skinFolder; }
    DWORD ReloadTick() const { return m_reloadTick; }

private:
    void ReadSynchronisation();
    void ReadNewsChannels();
    void FreeClocks();

    MainSettingsSeams m_seams;
    SettingsBlock m_block;
    EditedSettings m_edited;
    TooltipStyle m_calendarLook;
    ClockRecord* m_clocks;
    int m_clockCount;
    int m_enabledCount;
    int m_taskbarClocks;
    WCHAR m_programFile[260];
    WCHAR m_skinFolder[260];
    DWORD m_reloadTick;
    NewsChannelCallback m_newsCallback;
};
