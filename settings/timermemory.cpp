// What the clock remembers of its countdown timer between runs, as values
// of the settings key that older versions of the clock ignore.
//   "Timer end"     REG_SZ     "2026-12-09 14:05:30"  UTC; absent while none runs
//   "Timer length"  REG_DWORD  seconds, 1 to 12 hours
//   "Timer label"   REG_SZ
//   "Timer recent"  REG_SZ     "1500;300;90"          the last lengths started, newest first
#include <cwchar>
#include <string>

#include "settings/registry.h"
#include "settings/settings.h"

CountdownTimer countdown;

static wchar_t const endName[] = L"Timer end";
static char const lengthName[] = "Timer length";
static wchar_t const labelName[] = L"Timer label";
static wchar_t const recentName[] = L"Timer recent";

LONGLONG const secondUnits = 10000000; // 100 ns units per second

LONGLONG utcSecond(FILETIME const &time)
{
    ULARGE_INTEGER ticks = {{time.dwLowDateTime, time.dwHighDateTime}};
    return static_cast<LONGLONG>(ticks.QuadPart / secondUnits);
}

LONGLONG utcNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return utcSecond(now);
}

bool secondTime(LONGLONG second, SYSTEMTIME &time)
{
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(second) * secondUnits;
    FILETIME fileTime = {ticks.LowPart, ticks.HighPart};
    return second > 0 && FileTimeToSystemTime(&fileTime, &time);
}

bool timerLength(LONGLONG seconds)
{
    return seconds >= 1 && seconds <= maxTimerSeconds;
}

// "YYYY-MM-DD HH:MM:SS" and nothing after it; a moment that does not exist
// is none.
static LONGLONG readEnd(std::wstring const &text)
{
    SYSTEMTIME time = {};
    int year, month, day, hours, minutes, seconds, used = 0;
    if (swscanf(text.c_str(), L"%4d-%2d-%2d %2d:%2d:%2d%n", &year, &month, &day, &hours, &minutes, &seconds,
                &used) != 6 ||
        used != int(text.size()) || hours > 23 || minutes > 59 || seconds > 59)
        return 0;
    time.wYear = WORD(year);
    time.wMonth = WORD(month);
    time.wDay = WORD(day);
    time.wHour = WORD(hours);
    time.wMinute = WORD(minutes);
    time.wSecond = WORD(seconds);
    FILETIME fileTime;
    return SystemTimeToFileTime(&time, &fileTime) ? utcSecond(fileTime) : 0;
}

// Lengths that cannot be read are skipped; at most recentTimerCount are kept.
static void readRecent(std::wstring const &text)
{
    int count = 0;
    for (wchar_t const *next = text.c_str(); *next && count < recentTimerCount;) {
        wchar_t *end;
        unsigned long seconds = wcstoul(next, &end, 10);
        if (end != next && (*end == L';' || *end == L'\0') && timerLength(seconds))
            countdown.recent[count++] = int(seconds);
        next = wcschr(next, L';');
        next = next ? next + 1 : L"";
    }
}

void loadTimerMemory(HKEY key)
{
    countdown = {};
    std::wstring text;
    DWORD seconds;
    if (readNumber(key, lengthName, seconds) && timerLength(seconds))
        countdown.seconds = int(seconds);
    // An end without its length, or further ahead than a timer can run, is
    // no timer.
    if (countdown.seconds && readText(key, endName, text)) {
        LONGLONG end = readEnd(text);
        if (end && end <= utcNow() + maxTimerSeconds)
            countdown.end = end;
    }
    if (readText(key, labelName, text))
        takeText(text, countdown.label, textUnits);
    if (readText(key, recentName, text))
        readRecent(text);
}

void saveTimerMemory()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    SYSTEMTIME end;
    if (countdown.end && secondTime(countdown.end, end)) {
        wchar_t text[32];
        wsprintfW(text, L"%04d-%02d-%02d %02d:%02d:%02d", end.wYear, end.wMonth, end.wDay, end.wHour,
                  end.wMinute, end.wSecond);
        writeText(key, endName, text);
    } else {
        RegDeleteValueW(key, endName);
    }
    if (countdown.seconds)
        writeNumber(key, lengthName, DWORD(countdown.seconds));
    writeText(key, labelName, countdown.label);
    std::wstring recent;
    for (int i = 0; i < recentTimerCount && countdown.recent[i]; ++i)
        recent += (i ? L";" : L"") + std::to_wstring(countdown.recent[i]);
    writeText(key, recentName, recent.c_str());
    RegCloseKey(key);
}
