#include "CityList.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "../app/ZoneDatabase.h"
#include "../graphics/FixedText.h"
#include "../graphics/TextFields.h"

namespace {

const int kGrowBy = 16;
const int kLinePiece = 1023;   // longer lines are read as several pieces
const int kFields = 6;
const int kNameChars = 79;
const int kZoneNameChars = 63;

void CopyField(WCHAR* dst, const WCHAR* src, int length, int max)
{
    int n = length < max ? length : max;
    memcpy(dst, src, n * sizeof(WCHAR));
    dst[n] = 0;
}

// "%lf" of a field; false when it is empty or holds no number.
bool ParseDouble(const WCHAR* field, int length, double* value)
{
    if (length <= 0)
        return false;
    char text[64];
    int n = length < 63 ? length : 63;
    for (int i = 0; i < n; ++i)
        text[i] = field[i] < 128 ? (char)field[i] : '?';
    text[n] = 0;
    return sscanf(text, "%lf", value) == 1;
}

}  // namespace

CCityList::CCityList(CZoneDatabase& zones) : m_zones(zones), m_cities(nullptr), m_count(0)
{
}

CCityList::~CCityList()
{
    FreeCityList();
}

bool CCityList::LoadCityList(const WCHAR* path)
{
    FILE* file = path ? _wfopen(path, L"rb") : nullptr;
    if (!file)
        return false;

    CityRecord* cities = nullptr;
    int count = 0, capacity = 0;
    std::vector<uint32_t> perZone(m_zones.Count(), 0);

    char piece[kLinePiece + 1];
    WCHAR line[kLinePiece + 1];
    while (fgets(piece, sizeof(piece), file)) {
        if (count == capacity) {
            // growing by half keeps a list of thousands from being copied hundreds of times
            int more = capacity / 2 > kGrowBy ? capacity / 2 : kGrowBy;
            void* grown = realloc(cities, (size_t)(capacity + more) * sizeof(CityRecord));
            if (!grown)
                break;  // keep what was read so far
            cities = (CityRecord*)grown;
            capacity += more;
        }
        CityRecord& city = cities[count];
        memset(&city, 0, sizeof(city));

        int n = 0;
        for (; piece[n] && piece[n] != '\n'; ++n)
            line[n] = (WCHAR)(unsigned char)piece[n];  // one byte per character
        if (n > 0 && line[n - 1] == '\r')
            --n;
        line[n] = 0;
        if (n == 0 || line[0] == '#' || line[0] == ';')
            continue;

        const WCHAR* fields[kFields];
        int lengths[kFields];
        if (SplitFields(line, fields, lengths, kFields) != kFields)
            continue;
        CopyField(city.cityName, fields[0], lengths[0], kNameChars);
        CopyField(city.countryName, fields[2], lengths[2], kNameChars);
        WCHAR zoneName[kZoneNameChars + 1] = {};
        CopyField(zoneName, fields[5], lengths[5], kZoneNameChars);
        int zone = m_zones.FindZoneByName(zoneName);
        if (zone < 0)
            continue;
        if (!ParseDouble(fields[3], lengths[3], &city.latitude) || !ParseDouble(fields[4], lengths[4], &city.longitude))
            continue;
        TimeZoneRecord& record = m_zones.Zone(zone);
        city.zoneId = (uint32_t)record.zoneId;
        city.zoneRecord.raw = 0;
        city.zoneRecord.ptr = &record;
        ++perZone[zone];
        ++count;
    }
    bool readFailed = ferror(file) != 0;
    fclose(file);
    if (readFailed) {
        free(cities);
        return false;
    }
    FreeCityList();
    m_cities = cities;
    m_count = count;
    for (int i = 0; i < m_zones.Count(); ++i)
        m_zones.Zone(i).cityCount = perZone[i];
    return count > 0;
}

void CCityList::FreeCityList()
{
    free(m_cities);
    m_cities = nullptr;
    m_count = 0;
}

int CCityList::FindCityByName(const WCHAR* text) const
{
    if (!text)
        return -1;
    WCHAR name[kCityTextChars];
    for (int i = 0; i < m_count; ++i) {
        FormatCityName(m_cities[i], name);
        if (lstrcmpiW(name, text) == 0)
            return i;
    }
    return -1;
}

void FormatCityName(const CityRecord& city, WCHAR* buffer)
{
    if (!buffer)
        return;
    size_t n = FixedLength(city.cityName, kNameChars);
    memcpy(buffer, city.cityName, n * sizeof(WCHAR));
    buffer[n++] = L',';
    buffer[n++] = L' ';
    size_t c = FixedLength(city.countryName, kNameChars);
    memcpy(buffer + n, city.countryName, c * sizeof(WCHAR));
    buffer[n + c] = 0;
}

bool GetUserCountryName(WCHAR* buffer, LCID lcid)
{
    if (!buffer)
        return false;
    buffer[161] = 0;
    return GetLocaleInfoW(lcid, LOCALE_SCOUNTRY, buffer, 161) > 0;
}
