// Local minutes, UTC minutes and the 100-nanosecond units of FILETIME, and
// the texts that store a day or a minute.
#include <cwchar>

#include "settings/settings.h"

LONGLONG localMinute(SYSTEMTIME const &time)
{
    SYSTEMTIME whole = time;
    whole.wSecond = whole.wMilliseconds = 0;
    FILETIME fileTime;
    if (!SystemTimeToFileTime(&whole, &fileTime))
        return 0;
    ULARGE_INTEGER units = {{fileTime.dwLowDateTime, fileTime.dwHighDateTime}};
    return static_cast<LONGLONG>(units.QuadPart / minuteUnits);
}

FILETIME minuteFileTime(LONGLONG minute)
{
    ULARGE_INTEGER units;
    units.QuadPart = static_cast<ULONGLONG>(minute) * minuteUnits;
    return {units.LowPart, units.HighPart};
}

bool minuteTime(LONGLONG minute, SYSTEMTIME &time)
{
    FILETIME fileTime = minuteFileTime(minute);
    return minute > 0 && FileTimeToSystemTime(&fileTime, &time);
}

LONGLONG universalMinute(LONGLONG local, TIME_ZONE_INFORMATION const *zone)
{
    SYSTEMTIME localTime, universal;
    if (!minuteTime(local, localTime) || !TzSpecificLocalTimeToSystemTime(zone, &localTime, &universal))
        return 0;
    return localMinute(universal);
}

LONGLONG zoneMinute(LONGLONG universal, TIME_ZONE_INFORMATION const *zone)
{
    SYSTEMTIME universalTime, local;
    if (!minuteTime(universal, universalTime) ||
        !SystemTimeToTzSpecificLocalTime(zone, &universalTime, &local))
        return 0;
    return localMinute(local);
}

LONGLONG minutesLater(LONGLONG minute, int minutes, TIME_ZONE_INFORMATION const *zone)
{
    LONGLONG universal = universalMinute(minute, zone);
    LONGLONG later = universal ? zoneMinute(universal + minutes, zone) : 0;
    return later ? later : minute + minutes;
}

std::wstring dayText(LONGLONG minute)
{
    SYSTEMTIME time;
    wchar_t text[16] = L"";
    if (minuteTime(minute, time))
        swprintf(text, 16, L"%04d-%02d-%02d", time.wYear, time.wMonth, time.wDay);
    return text;
}

std::wstring minuteText(LONGLONG minute)
{
    SYSTEMTIME time;
    if (!minuteTime(minute, time))
        return L"";
    wchar_t text[16];
    swprintf(text, 16, L" %02d:%02d", time.wHour, time.wMinute);
    return dayText(minute) + text;
}

// count decimal digits at text; moves past them.
static bool readDigits(wchar_t const *&text, int count, int &value)
{
    value = 0;
    for (int i = 0; i < count; ++i, ++text) {
        if (*text < L'0' || *text > L'9')
            return false;
        value = value * 10 + (*text - L'0');
    }
    return true;
}

static bool readChar(wchar_t const *&text, wchar_t expected)
{
    if (*text != expected)
        return false;
    ++text;
    return true;
}

bool readClock(wchar_t const *&text, int &hours, int &minutes)
{
    return readDigits(text, 2, hours) && readChar(text, L':') && readDigits(text, 2, minutes) && hours < 24 &&
           minutes < 60;
}

// A date that does not exist is no day: FILETIME refuses it.
bool readDay(wchar_t const *&text, LONGLONG &day)
{
    int year, month, date;
    if (!readDigits(text, 4, year) || !readChar(text, L'-') || !readDigits(text, 2, month) ||
        !readChar(text, L'-') || !readDigits(text, 2, date) || year < 1700)
        return false;
    SYSTEMTIME time = {};
    time.wYear = WORD(year);
    time.wMonth = WORD(month);
    time.wDay = WORD(date);
    day = localMinute(time);
    return day != 0;
}

bool readMinute(wchar_t const *&text, LONGLONG &minute)
{
    int hours, minutes;
    if (!readDay(text, minute) || !readChar(text, L' ') || !readClock(text, hours, minutes))
        return false;
    minute += hours * 60 + minutes;
    return true;
}
