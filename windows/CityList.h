// The program's known places: the cities of cities.txt whose zone is in the
// zone table. GUI thread only. The map library keeps the array's address, so
// the list must not be loaded again while the map library is loaded.
#pragma once

#include "graphics/records/CityName.h"
#include "graphics/records/CityRecord.h"

class CZoneDatabase;

class CCityList {
public:
    explicit CCityList(CZoneDatabase& zones);
    ~CCityList();
    CCityList(const CCityList&) = delete;
    CCityList& operator=(const CCityList&) = delete;

    // Reads the file into a new list and counts each zone's cities; the old
    // list is replaced only when the file could be read. False for a null
    // path, an unreadable file, or no city kept.
    bool LoadCityList(const WCHAR* path);
    void FreeCityList();
    // The index of the first city whose "city, country" equals `text`,
    // ignoring case; -1 when none.
    int FindCityByName(const WCHAR* text) const;

    CityRecord* Cities() { return m_cities; }
    const CityRecord* Cities() const { return m_cities; }
    int Count() const { return m_count; }

private:
    CZoneDatabase& m_zones;
    CityRecord* m_cities;
    int m_count;
};

// The country name of the locale, into a buffer of 162 characters; false when the system gives none.
bool GetUserCountryName(WCHAR* buffer, LCID lcid);
