// What the clock remembers of its alarms between runs: the last tick it
// saw and the snoozes still to ring, as texts in the settings key that
// older versions of the clock ignore.
//   "Last tick"  REG_SZ  "2026-12-07 07:29"              local time
//   "Snoozes"    REG_SZ  "2026-12-07 07:35 07:30 0;..."  due, the alarm's time, self-snoozes
#include <string>

#include "settings/registry.h"
#include "settings/settings.h"

SnoozeList snoozes;
LONGLONG lastTick;

static wchar_t const lastTickName[] = L"Last tick";
static wchar_t const snoozesName[] = L"Snoozes";

LONGLONG const minuteUnits = 600000000; // 100 ns units per minute

LONGLONG localMinute(SYSTEMTIME const &time)
{
    SYSTEMTIME whole = time;
    whole.wSecond = whole.wMilliseconds = 0;
    FILETIME fileTime;
    if (!SystemTimeToFileTime(&whole, &fileTime))
        return 0;
    ULARGE_INTEGER ticks = {{fileTime.dwLowDateTime, fileTime.dwHighDateTime}};
    return static_cast<LONGLONG>(ticks.QuadPart / minuteUnits);
}

bool minuteTime(LONGLONG minute, SYSTEMTIME &time)
{
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(minute) * minuteUnits;
    FILETIME fileTime = {ticks.LowPart, ticks.HighPart};
    return minute > 0 && FileTimeToSystemTime(&fileTime, &time);
}

static std::wstring minuteText(LONGLONG minute)
{
    SYSTEMTIME time;
    wchar_t text[32] = L"";
    if (minuteTime(minute, time))
        wsprintfW(text, L"%04d-%02d-%02d %02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
    return text;
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

// "HH:MM" of a day's time.
static bool readClock(wchar_t const *&text, int &hours, int &minutes)
{
    return readDigits(text, 2, hours) && readChar(text, L':') && readDigits(text, 2, minutes) && hours < 24 &&
           minutes < 60;
}

// "YYYY-MM-DD HH:MM"; a date that does not exist is no minute.
static bool readMinute(wchar_t const *&text, LONGLONG &minute)
{
    int year, month, day, hours, minutes;
    if (!readDigits(text, 4, year) || !readChar(text, L'-') || !readDigits(text, 2, month) ||
        !readChar(text, L'-') || !readDigits(text, 2, day) || !readChar(text, L' ') ||
        !readClock(text, hours, minutes))
        return false;
    SYSTEMTIME time = {};
    time.wYear = WORD(year);
    time.wMonth = WORD(month);
    time.wDay = WORD(day);
    time.wHour = WORD(hours);
    time.wMinute = WORD(minutes);
    minute = localMinute(time);
    return minute != 0;
}

static bool readSnooze(wchar_t const *&text, Snooze &snooze)
{
    return readMinute(text, snooze.due) && readChar(text, L' ') &&
           readClock(text, snooze.hours, snooze.minutes) && readChar(text, L' ') &&
           readDigits(text, 1, snooze.rounds) && snooze.rounds <= maxSelfSnoozes;
}

static bool snoozed(int hours, int minutes)
{
    for (int i = 0; i < snoozes.count; ++i)
        if (snoozes.items[i].hours == hours && snoozes.items[i].minutes == minutes)
            return true;
    return false;
}

// Each entry is read on its own: one that cannot be read is skipped up to
// the next separator, and the others are kept.
static void readSnoozes(std::wstring const &text, LONGLONG now)
{
    int const longestSnooze = snoozeLengths[ARRAYSIZE(snoozeLengths) - 1];
    wchar_t const *next = text.c_str();
    while (*next && snoozes.count < maxAlarms) {
        Snooze snooze;
        wchar_t const *entry = next;
        bool read = readSnooze(entry, snooze) && (*entry == L';' || *entry == L'\0');
        if (read && snooze.due <= now + longestSnooze && !snoozed(snooze.hours, snooze.minutes))
            snoozes.items[snoozes.count++] = snooze;
        while (*next && *next != L';')
            ++next;
        if (*next)
            ++next;
    }
}

void loadAlarmMemory(HKEY key, LONGLONG now)
{
    snoozes.count = 0;
    lastTick = 0;
    std::wstring text;
    if (readText(key, lastTickName, text)) {
        wchar_t const *cursor = text.c_str();
        LONGLONG minute;
        if (readMinute(cursor, minute) && *cursor == L'\0')
            lastTick = minute;
    }
    if (readText(key, snoozesName, text))
        readSnoozes(text, now);
}

void saveAlarmMemory()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (lastTick)
        writeText(key, lastTickName, minuteText(lastTick).c_str());
    std::wstring text;
    for (int i = 0; i < snoozes.count; ++i) {
        Snooze const &snooze = snoozes.items[i];
        wchar_t entry[64];
        wsprintfW(entry, L"%s %02d:%02d %d", minuteText(snooze.due).c_str(), snooze.hours, snooze.minutes,
                  snooze.rounds);
        if (!text.empty())
            text += L';';
        text += entry;
    }
    writeText(key, snoozesName, text.c_str());
    RegCloseKey(key);
}
