// The settings program's watch for dated zone changes: the clock records the
// pages show follow a zone rule that comes into force while it runs, and a
// clock set back in time gets the rules of that time again. GUI thread only.
#pragma once

#include <windows.h>

#include <stdint.h>

class CZoneDatabase;
struct ClockRecord;

// The current UTC time; tests give a fixed one.
class IUtcClock {
public:
    virtual ~IUtcClock() = default;
    virtual SYSTEMTIME NowUtc() = 0;
};

class CSystemUtcClock : public IUtcClock {
public:
    SYSTEMTIME NowUtc() override
    {
        SYSTEMTIME now;
        GetSystemTime(&now);
        return now;
    }
};

class CZoneChangeWatch {
public:
    // `clock` and `zones` outlive the watch.
    CZoneChangeWatch(IUtcClock& clock, CZoneDatabase& zones);

    // One step of the frame's timer, cheap while the UTC second is the one
    // seen last. True when the records' zones were changed.
    bool Check(ClockRecord* clocks, int count);

private:
    IUtcClock& m_clock;
    CZoneDatabase& m_zones;
    int64_t m_lastDateKey;
    int32_t m_lastSecond;
};
