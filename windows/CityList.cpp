#include "windows/CityList.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "app/zones/ZoneDatabase.h"
#include "graphics/records/CityLookup.h"
#include "graphics/records/FixedText.h"
#include "graphics/text/TextFields.h"

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
bool ScanDouble(const WCHAR* field, int length, double* value)
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

// The plain decimals of the city list ("-33.87") without sscanf, which costs
// more than the rest of a line. Up to 15 digits and 22 decimals, digits / 10^k
// is one correctly rounded division, as sscanf's result is; anything else
// (exponents, long digit runs, words) goes to sscanf.
bool ParseDouble(const WCHAR* field, int length, double* value)
{
    static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    int p = 0;
    bool negative = false;
    if (p < length && (field[p] == '-' || field[p] == '+'))
        negative = field[p++] == '-';
    int64_t digits = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (; p < length; ++p) {
        WCHAR c = field[p];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            decimals += point;
            if (++count > 15)
                return ScanDouble(field, length, value);
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    // whatever else could continue a number, or blanks before it, is sscanf's
    bool ends = p == length || !((field[p] >= 'A' && field[p] <= 'Z') || (field[p] >= 'a' && field[p] <= 'z') ||
                                 field[p] == '.' || field[p] == '+' || field[p] == '-');
    if (count == 0 || !ends || decimals > 22)
        return ScanDouble(field, length, value);
    double v = (double)digits / kPowers[decimals];
    *value = negative ? -v : v;
    return true;
}

// Remembers the last zone name looked up: the list is sorted by country, so
// most cities name the zone of the city before them.
class CZoneLookup {
public:
    explicit CZoneLookup(const CZoneDatabase& zones) : m_zones(zones), m_index(-1) { m_name[0] = 0; }
    int Find(const WCHAR* name)
    {
        if (m_index >= 0 && wcscmp(name, m_name) == 0)
            return m_index;
        int index = m_zones.FindZoneByName(name);
        if (index >= 0) {
            wcscpy(m_name, name);
            m_index = index;
        }
        return index;
    }

private:
    const CZoneDatabase& m_zones;
    WCHAR m_name[kZoneNameChars + 1];
    int m_index;
};

// The whole file; false when it cannot be read.
bool ReadWholeFile(const WCHAR* path, std::vector<char>* bytes)
{
    FILE* file = path ? _wfopen(path, L"rb") : nullptr;
    if (!file)
        return false;
    long size = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1;
    rewind(file);
    // one read when the size is known; the loop only for files that grow meanwhile
    size_t chunk = size > 0 ? (size_t)size + 1 : 65536;
    size_t used = 0;
    for (;;) {
        bytes->resize(used + chunk);
        size_t got = fread(bytes->data() + used, 1, chunk, file);
        used += got;
        if (got < chunk)
            break;
        chunk = 65536;
    }
    bool failed = ferror(file) != 0;
    fclose(file);
    bytes->resize(used);
    return !failed;
}

// How many pieces the loader will take from the file: its array is sized once,
// since growing an array of megabytes costs more than the rest of the load.
int CountPieces(const char* p, const char* end)
{
    int count = 0;
    while (p < end) {
        const char* pieceEnd = p + kLinePiece < end ? p + kLinePiece : end;
        const char* newline = (const char*)memchr(p, '\n', pieceEnd - p);
        p = newline ? newline + 1 : pieceEnd;
        ++count;
    }
    return count;
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
    // A file that cannot be read leaves the loaded list as it is: a failed
    // reload must not take the cities from clocks that show them.
    std::vector<char> bytes;
    if (!ReadWholeFile(path, &bytes))
        return false;

    int pieces = CountPieces(bytes.data(), bytes.data() + bytes.size());
    CityRecord* cities = pieces > 0 ? (CityRecord*)malloc((size_t)pieces * sizeof(CityRecord)) : nullptr;
    int count = 0, capacity = cities ? pieces : 0;
    std::vector<uint32_t> perZone(m_zones.Count(), 0);
    CZoneLookup lookup(m_zones);

    const char* p = bytes.data();
    const char* end = p + bytes.size();
    WCHAR line[kLinePiece + 1];
    while (p < end) {
        // a piece as fgets of kLinePiece + 1 would give it: up to and with the
        // newline, longer lines in several pieces; a NUL ends its text
        const char* pieceEnd = p + kLinePiece < end ? p + kLinePiece : end;
        const char* newline = (const char*)memchr(p, '\n', pieceEnd - p);
        const char* next = newline ? newline + 1 : pieceEnd;
        if (count == capacity) {
            // only when the first allocation failed; growing by half keeps a list of thousands from being copied hundreds of times
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
        for (; p + n < next && p[n] && p[n] != '\n'; ++n)
            line[n] = (WCHAR)(unsigned char)p[n];  // one byte per character
        p = next;
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
        int zone = lookup.Find(zoneName);
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
    return ::FindCityByName(m_cities, m_count, text);
}

bool GetUserCountryName(WCHAR* buffer, LCID lcid)
{
    if (!buffer)
        return false;
    buffer[161] = 0;
    return GetLocaleInfoW(lcid, LOCALE_SCOUNTRY, buffer, 161) > 0;
}
