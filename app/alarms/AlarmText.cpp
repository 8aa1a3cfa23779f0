#include "app/alarms/AlarmText.h"

#include <wchar.h>

#include <string>

#include "app/zones/ZoneHelpers.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/records/FixedText.h"
#include "graphics/text/TimeFormat.h"
#include "windows/CityList.h"

namespace {

bool IsNameChar(WCHAR c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool NameIs(const std::wstring& name, const WCHAR* expected)
{
    return _wcsicmp(name.c_str(), expected) == 0;
}

std::wstring Field(const WCHAR* field, size_t width)
{
    return std::wstring(field, FixedLength(field, width));
}

// "" for none, "()" for the clock's own format, "(picture)"; false for any other suffix.
bool ReadPicture(const std::wstring& suffix, bool* given, std::wstring* picture)
{
    *given = !suffix.empty();
    if (suffix.empty())
        return true;
    if (suffix.size() < 2 || suffix.front() != '(' || suffix.back() != ')')
        return false;
    *picture = suffix.substr(1, suffix.size() - 2);
    return true;
}

class CExpander {
public:
    CExpander(const ClockRecord* clock, const AlarmRecord* alarm, const SYSTEMTIME& occurrence,
              const AlarmTextContext& context)
        : m_clock(clock), m_alarm(alarm), m_occurrence(occurrence), m_context(context)
    {
    }

    // The text of macro `name` with `suffix` (only the braced form has one).
    std::wstring Value(const std::wstring& name, const std::wstring& suffix) const
    {
        bool isDate = NameIs(name, L"date") || NameIs(name, L"cdate");
        bool isTime = NameIs(name, L"time") || NameIs(name, L"ctime");
        if (isDate || isTime) {
            bool given;
            std::wstring picture;
            if (!ReadPicture(suffix, &given, &picture))
                return L"";
            bool zoneTime = name[0] == 'c' || name[0] == 'C';
            SYSTEMTIME t = zoneTime ? m_occurrence : ComputerLocal();
            return isDate ? Date(t, given, picture) : Time(t, given, picture);
        }
        if (!suffix.empty())
            return L"";
        if (NameIs(name, L"alarm"))
            return m_alarm ? Field(m_alarm->comment, FIELD_WIDTH(m_alarm->comment)) : L"";
        if (NameIs(name, L"version"))
            return Version();
        if (NameIs(name, L"compiled"))
            return Compiled();
        if (!m_clock)
            return L"";
        const TimeZoneRecord& zone = m_clock->zone;
        if (NameIs(name, L"label"))
            return Field(m_clock->prefix, FIELD_WIDTH(m_clock->prefix));
        if (NameIs(name, L"tz"))
            return Field(zone.displayName, FIELD_WIDTH(zone.displayName));
        if (NameIs(name, L"location")) {
            std::wstring location = Field(m_clock->location, FIELD_WIDTH(m_clock->location));
            return location.empty() ? Field(zone.displayName, FIELD_WIDTH(zone.displayName)) : location;
        }
        bool city = NameIs(name, L"city");
        if (city || NameIs(name, L"country")) {
            const CityRecord* found = FindCity();
            if (!found)
                return L"";
            return city ? Field(found->cityName, FIELD_WIDTH(found->cityName))
                        : Field(found->countryName, FIELD_WIDTH(found->countryName));
        }
        return L"";
    }

private:
    LCID Lcid() const { return m_context.language->GetLcid(); }

    // The occurrence in the computer's own zone, through UTC.
    SYSTEMTIME ComputerLocal() const
    {
        if (!m_clock)
            return m_occurrence;
        TimeZoneRecord zone;
        GetClockZone(*m_clock, &zone);
        SYSTEMTIME utc, local;
        ZoneTimeToUtc(&utc, zone, m_occurrence);
        if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
            return utc;
        return local;
    }

    std::wstring Date(const SYSTEMTIME& t, bool given, const std::wstring& picture) const
    {
        WCHAR out[kDateTextChars] = {};
        if (!given || (picture.empty() && !m_clock)) {
            if (GetDateFormatW(Lcid(), DATE_SHORTDATE, &t, nullptr, out, kDateTextChars) <= 0)
                return L"";
            return out;
        }
        std::wstring p = picture.empty() ? Field(m_clock->dateFormat, FIELD_WIDTH(m_clock->dateFormat)) : picture;
        FormatDate(*m_context.language, out, t, p.c_str(), true, m_context.weekRules);
        return out;
    }

    std::wstring Time(const SYSTEMTIME& t, bool given, const std::wstring& picture) const
    {
        WCHAR out[kTimeTextChars] = {};
        if (!given || (picture.empty() && !m_clock)) {
            if (GetTimeFormatW(Lcid(), 0, &t, nullptr, out, kTimeTextChars) <= 0)
                return L"";
            return out;
        }
        std::wstring p = picture.empty() ? Field(m_clock->timeFormat, FIELD_WIDTH(m_clock->timeFormat)) : picture;
        FormatTime(*m_context.language, out, t, p.c_str());
        return out;
    }

    std::wstring Version() const
    {
        if (!m_context.build)
            return L"";
        const VS_FIXEDFILEINFO& v = m_context.build->fileVersion;
        WCHAR out[40];
        swprintf(out, 40, L"%d.%d.%d", (int)HIWORD(v.dwFileVersionMS), (int)LOWORD(v.dwFileVersionMS),
                 (int)HIWORD(v.dwFileVersionLS));
        return out;
    }

    std::wstring Compiled() const
    {
        if (!m_context.build)
            return L"";
        SYSTEMTIME local;
        if (!SystemTimeToTzSpecificLocalTime(nullptr, &m_context.build->buildDate, &local))
            local = m_context.build->buildDate;
        WCHAR out[kDateTextChars] = {};
        FormatDate(*m_context.language, out, local, L"d MMM yyyy", true, m_context.weekRules);
        return out;
    }

    const CityRecord* FindCity() const
    {
        if (!m_context.cities)
            return nullptr;
        std::wstring location = Field(m_clock->location, FIELD_WIDTH(m_clock->location));
        int index = m_context.cities->FindCityByName(location.c_str());
        return index >= 0 ? &m_context.cities->Cities()[index] : nullptr;
    }

    const ClockRecord* m_clock;
    const AlarmRecord* m_alarm;
    const SYSTEMTIME& m_occurrence;
    const AlarmTextContext& m_context;
};

class COutput {
public:
    COutput(WCHAR* out, int room) : m_out(out), m_room(room) {}
    void Put(WCHAR c)
    {
        if (m_n < m_room)
            m_out[m_n++] = c;
    }
    void Put(const std::wstring& s)
    {
        for (WCHAR c : s)
            Put(c);
    }
    bool Full() const { return m_n >= m_room; }
    int Finish()
    {
        m_out[m_n] = 0;
        return m_n;
    }

private:
    WCHAR* m_out;
    int m_room;
    int m_n = 0;
};

}  // namespace

int ExpandAlarmText(const WCHAR* text, WCHAR* out, int capacity, const ClockRecord* clock, const AlarmRecord* alarm,
                    const SYSTEMTIME& occurrence, const AlarmTextContext& context)
{
    if (!out || capacity <= 0)
        return 0;
    COutput o(out, capacity - 1 < kAlarmTextChars ? capacity - 1 : kAlarmTextChars);
    if (!text || !context.language)
        return o.Finish();
    CExpander expander(clock, alarm, occurrence, context);
    const WCHAR* p = text;
    while (*p && !o.Full()) {
        if (*p != '$') {
            o.Put(*p++);
            continue;
        }
        ++p;
        if (*p == '$') {
            o.Put(*p++);
            continue;
        }
        std::wstring name, suffix;
        if (*p == '{') {
            const WCHAR* start = ++p;
            while (*p && *p != '}')
                ++p;
            std::wstring braced(start, p - start);
            if (*p == '}')
                ++p;
            size_t n = 0;
            while (n < braced.size() && IsNameChar(braced[n]))
                ++n;
            name = braced.substr(0, n);
            suffix = braced.substr(n);
        } else {
            const WCHAR* start = p;
            while (IsNameChar(*p))
                ++p;
            name.assign(start, p - start);
        }
        if (!name.empty())
            o.Put(expander.Value(name, suffix));
    }
    return o.Finish();
}
