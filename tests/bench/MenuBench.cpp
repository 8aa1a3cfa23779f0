// Building the main menu for a desktop clock with 20 alarms and 12 profiles,
// against loading and translating the menu resource alone.
#include <stdio.h>

#include <string>
#include <vector>

#include <windows.h>

#include "app/menu/MainMenu.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"
#include "tests/bench/BenchTimer.h"

int main()
{
    CModule resources(LoadLibraryExW(TL_PROGRAM_FOLDER L"res_en.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!resources) {
        printf("menu_bench: no res_en.dll\n");
        return 1;
    }
    CLanguage language;
    language.SetAppName(L"tempolan");
    language.SetFolder(TL_PROGRAM_FOLDER);
    language.SetResources(resources.Get(), nullptr);
    language.SetLanguage(L"en");

    std::vector<AlarmRecord> alarms(20);
    ClockRecord clock = {};
    clock.id = 1;
    clock.enabled = 1;
    clock.flags = kClockOnDesktop;
    for (int i = 0; i < 20; ++i)
        CopyFixed(alarms[i].comment, FIELD_WIDTH(alarms[i].comment), (L"Alarm " + std::to_wstring(i)).c_str());
    clock.alarms.ptr = alarms.data();
    clock.alarmCount = 20;
    clock.profileCount = 12;
    for (int i = 0; i < 12; ++i)
        CopyFixed(clock.profiles[i].label, FIELD_WIDTH(clock.profiles[i].label), (L"Profile " + std::to_wstring(i)).c_str());
    LocalZoneState local = {};
    MainMenuState state = {&clock, true, kOptSetLocalInMenu | kOptMapInitialized, &local, 1, true, true};

    std::vector<int> items(200);
    double anchor = BestNsPerItem(items, 5, [&](int) {
        HMENU menu = LoadMenuW(resources.Get(), MAKEINTRESOURCEW(kMainMenuResource));
        language.TranslateMenu(GetSubMenu(menu, 0), kMainMenuSection);
        int n = GetMenuItemCount(menu);
        DestroyMenu(menu);
        return n;
    });
    double built = BestNsPerItem(items, 5, [&](int) {
        HMENU menu = BuildMainMenu(resources.Get(), &language, state);
        int n = GetMenuItemCount(menu);
        DestroyMenu(menu);
        return n;
    });
    printf("menu_bench: the main menu for a desktop clock with 20 alarms and 12 profiles\n");
    printf("  load and translate menu 105 %8.1f us (anchor)\n", anchor / 1000);
    printf("  BuildMainMenu               %8.1f us  ratio %.2f (goal <= 3)\n", built / 1000, built / anchor);
    return 0;
}
