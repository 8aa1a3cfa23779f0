#include "app/main/TrayPush.h"

#include "graphics/records/AlarmRecord.h"
#include "graphics/protocol/TrayClockProtocol.h"

namespace {

// The city block is a few megabytes: give the copy time.
const UINT kPushTimeoutMs = 5000;

void SendBlock(HWND mainWindow, HWND trayClock, ULONG_PTR id, const void* data, size_t bytes)
{
    COPYDATASTRUCT block = {id, (DWORD)bytes, (void*)data};
    // a hung or vanished taskbar must not hold the main program
    DWORD_PTR reply = 0;
    SendMessageTimeoutW(trayClock, WM_COPYDATA, (WPARAM)mainWindow, (LPARAM)&block, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kPushTimeoutMs, &reply);
}

}  // namespace

void SendDataToTrayClock(HWND mainWindow, HWND trayClock, bool hookInstalled, const SettingsBlock& settings,
                         const CityRecord* cities, int cityCount, const ClockRecord* clocks, int clockCount)
{
    if (!hookInstalled || !trayClock)
        return;
    SendBlock(mainWindow, trayClock, kBlockSettings, &settings, sizeof(settings));
    SendBlock(mainWindow, trayClock, kBlockCities, cities, cities ? (size_t)cityCount * sizeof(CityRecord) : 0);
    SendBlock(mainWindow, trayClock, kBlockClocks, clocks, clocks ? (size_t)clockCount * sizeof(ClockRecord) : 0);
    for (int i = 0; clocks && i < clockCount; ++i) {
        const ClockRecord& clock = clocks[i];
        if (clock.alarms.ptr && clock.alarmCount > 0)
            SendBlock(mainWindow, trayClock, kBlockAlarms + i, clock.alarms.ptr, clock.alarmCount * sizeof(AlarmRecord));
    }
}
