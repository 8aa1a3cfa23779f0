#include "settings/clockpages/ClockPageRules.h"

#include "app/settings/SettingsValues.h"

namespace {

const WCHAR kZero[] = TL_W("0");

bool SameText(const WCHAR* a, const WCHAR* b)
{
    if (!a || !b)
        return false;
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

const FormatEntry kTimeFormats[] = {
    {TL_W("Default"), 148}, {TL_W("12 hours"), 146}, {TL_W("24 hours"), 147}, {TL_W("HH:mm:ss"), 0},
    {TL_W("hh:mm:ss tt"), 0}, {TL_W("hh:mm tt"), 0},  {TL_W("h:mm tt"), 0},   {TL_W("h:mm t"), 0},
    {TL_W("tt h:mm"), 0},     {TL_W("HH:mm"), 0},     {TL_W("H:mm"), 0},      {TL_W("hh tt"), 0},
    {TL_W("HH"), 0},
};
// "\n" stays two characters: the formatters break the line there
const FormatEntry kDateFormats[] = {
    {TL_W("None"), 221},      {TL_W("d.MM.yy"), 0},    {TL_W("dd.MM.yyyy"), 0},   {TL_W("\\ndd.MM.yyyy"), 0},
    {TL_W("yyyy/MM/dd"), 0},  {TL_W("d MMM"), 0},      {TL_W("MMM d"), 0},        {TL_W("ddd"), 0},
    {TL_W("ddd d"), 0},       {TL_W("ddd d MMM"), 0},  {TL_W("ddd MMM d"), 0},    {TL_W("dddd"), 0},
    {TL_W("dddd\\nM/dd/yy"), 0}, {TL_W("Week w"), 222},
};
const FormatEntry kTimerFormats[] = {
    {TL_W("%D %Dn\\n%h:%02m"), 0},       {TL_W("%D %Dn\\n%h %hn %m %mn"), 0}, {TL_W("%H %Hn\\n%m %mn %s %sn"), 0},
    {TL_W("%H:%02m:%02s"), 0},           {TL_W("%H %Hn %m %mn %s %sn"), 0},   {TL_W("%W %Wn %d %dn %h %hn"), 0},
};

}  // namespace

int FindInvalidDurationField(const WCHAR* const fields[4], int64_t* seconds)
{
    // each field alone through the model's reader names the one at fault
    for (int i = 0; i < 4; ++i) {
        const WCHAR* alone[4] = {kZero, kZero, kZero, kZero};
        alone[i] = fields[i];
        int64_t ignored;
        if (!ParseDurationFields(alone[0], alone[1], alone[2], alone[3], &ignored))
            return i;
    }
    int64_t total = 0;
    if (!ParseDurationFields(fields[0], fields[1], fields[2], fields[3], &total) || total == 0)
        return 0;
    *seconds = total;
    return -1;
}

void CityCaption(const WCHAR* cityName, WCHAR* out)
{
    int n = 0;
    for (; cityName && cityName[n] && cityName[n] != ',' && n < kCityCaptionChars; ++n)
        out[n] = cityName[n];
    out[n] = 0;
}

const FormatEntry* FormatListEntries(FormatList list, int* count)
{
    switch (list) {
    case kTimeFormatList:
        *count = (int)(sizeof(kTimeFormats) / sizeof(kTimeFormats[0]));
        return kTimeFormats;
    case kDateFormatList:
        *count = (int)(sizeof(kDateFormats) / sizeof(kDateFormats[0]));
        return kDateFormats;
    case kTimerFormatList:
        *count = (int)(sizeof(kTimerFormats) / sizeof(kTimerFormats[0]));
        return kTimerFormats;
    }
    *count = 0;
    return nullptr;
}

bool StoresShownText(FormatList list, int index)
{
    int count;
    FormatListEntries(list, &count);
    return list == kDateFormatList && index == count - 1;
}

int FindFormatEntry(FormatList list, const WCHAR* const* shown, const WCHAR* text)
{
    int count;
    const FormatEntry* entries = FormatListEntries(list, &count);
    for (int i = 0; i < count; ++i) {
        if (shown && SameText(shown[i], text))
            return i;
    }
    for (int i = count - 1; i >= 0; --i) {
        if (SameText(entries[i].literal, text))
            return i;
    }
    return -1;
}
