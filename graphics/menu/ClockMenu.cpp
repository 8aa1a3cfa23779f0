#include "graphics/menu/ClockMenu.h"

#include "graphics/language/Language.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsBlock.h"

namespace {

void Enable(HMENU menu, WORD id, bool enabled)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void SetItemId(HMENU menu, WORD from, WORD to)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID;
    info.wID = to;
    SetMenuItemInfoW(menu, from, FALSE, &info);
}

// A popup of `count` items numbered from `first`, hung on item `parent`.
template <class Text>
void AttachList(HMENU menu, WORD parent, WORD first, int count, Text text)
{
    if (count <= 0)
        return;
    HMENU list = CreatePopupMenu();
    if (!list)
        return;
    for (int i = 0; i < count; ++i)
        AppendMenuW(list, MF_STRING, first + i, text(i).c_str());
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_SUBMENU;
    info.hSubMenu = list;
    if (!SetMenuItemInfoW(menu, parent, FALSE, &info))
        DestroyMenu(list);
}

}  // namespace

HMENU BuildMainMenu(HMODULE resources, const CLanguage* language, const MainMenuState& state)
{
    HMENU menu = resources ? LoadMenuW(resources, MAKEINTRESOURCEW(kMainMenuResource)) : nullptr;
    HMENU items = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!items) {
        if (menu)
            DestroyMenu(menu);
        return nullptr;
    }
    if (language)
        language->TranslateMenu(items, kMainMenuSection);
    const ClockRecord* clock = state.clock;

    Enable(menu, kCmdNewAlarm, clock != nullptr);
    for (WORD id : {kCmdNewClock, kCmdNewTimer, kCmdNewStopwatch})
        Enable(menu, id, state.newClocksAllowed);

    bool timeClock = clock && !(clock->kind & kClockTimer);
    if (!(state.options & kOptSetLocalInMenu) || !timeClock) {
        DeleteMenu(menu, kCmdSetSystemZone, MF_BYCOMMAND);
    } else {
        bool local = state.localZone && IsLocalZoneClock(*clock, *state.localZone);
        Enable(menu, kCmdSetSystemZone, clock->zone.zoneId != 0 && !local && HasSystemRules(clock->zone));
    }
    if (state.desktopClocksOutside == 0)
        DeleteMenu(menu, kCmdShowDesktopClocks, MF_BYCOMMAND);
    Enable(menu, kCmdWorldMap, (state.options & kOptMapInitialized) != 0);

    bool desktop = clock && (clock->flags & kClockOnDesktop);
    if (desktop) {
        CheckMenuItem(menu, kCmdDesktopGroup, MF_BYCOMMAND | (state.grouped ? MF_CHECKED : MF_UNCHECKED));
        CheckMenuItem(menu, kCmdDesktopOnTop, MF_BYCOMMAND | (state.onTop ? MF_CHECKED : MF_UNCHECKED));
        DeleteMenu(menu, kCmdToggleDesktop, MF_BYCOMMAND);
        SetItemId(menu, kCmdBackToTaskbar, kCmdToggleDesktop);
    } else {
        DeleteMenu(menu, kCmdDesktopGroup, MF_BYCOMMAND);
        DeleteMenu(menu, kCmdDesktopOnTop, MF_BYCOMMAND);
        if (!clock)
            DeleteMenu(menu, kCmdToggleDesktop, MF_BYCOMMAND);
        DeleteMenu(menu, kCmdBackToTaskbar, MF_BYCOMMAND);
    }
    DeleteMenu(menu, kCmdRefreshNews, MF_BYCOMMAND);

    if (clock) {
        if (!desktop)
            SetItemId(menu, kCmdSkinSettings, kCmdTaskbarSettings);
        const AlarmRecord* alarmList = clock->alarms.ptr;
        int alarms = alarmList ? (int)clock->alarmCount : 0;
        AttachList(menu, kCmdAlarmSettings, kCmdFirstAlarm, alarms < kMenuAlarmCount ? alarms : kMenuAlarmCount,
                   [alarmList](int i) { return FieldText(alarmList[i].comment, FIELD_WIDTH(alarmList[i].comment)); });
        int profiles = clock->profileCount < (uint32_t)kMaxProfiles ? (int)clock->profileCount : kMaxProfiles;
        AttachList(menu, kCmdProfileSettings, kCmdFirstProfile, profiles, [clock](int i) {
            return FieldText(clock->profiles[i].label, FIELD_WIDTH(clock->profiles[i].label));
        });
    } else {
        WCHAR text[CLanguage::kMenuTextChars + 1] = {};
        GetMenuStringW(items, 0, text, ARRAYSIZE(text), MF_BYPOSITION);
        // the clock's popup goes with the item
        DeleteMenu(items, 0, MF_BYPOSITION);
        InsertMenuW(items, 0, MF_BYPOSITION | MF_STRING, kCmdClockSettings, text);
    }
    return menu;
}

