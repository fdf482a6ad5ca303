// The once-a-second alarm test: the looping sound and the balloon tip.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "alarms/alarms.h"
#include "settings/settings.h"

int alarmSounding;
int alarmMinute;

static HWND balloonWindow;
static UINT balloonIcon;

// Minutes since 1601 of the previous tick, and of the latest minute whose
// alarms were looked at; 0 before the first.
static LONGLONG previousTick;
static LONGLONG checkedMinute;

// A clock set back by at most this many minutes repeats minutes whose
// alarms have rung already, as at the end of summer time; a clock set back
// further is taken as corrected, and rings from where it now is.
LONGLONG const repeatedMinutes = 120;

void setAlarmWindow(HWND window, UINT iconId)
{
    balloonWindow = window;
    balloonIcon = iconId;
}

static LONGLONG minuteNumber(SYSTEMTIME const &time)
{
    FILETIME fileTime;
    if (!SystemTimeToFileTime(&time, &fileTime))
        return 0;
    ULARGE_INTEGER ticks = {{fileTime.dwLowDateTime, fileTime.dwHighDateTime}};
    return static_cast<LONGLONG>(ticks.QuadPart / 600000000); // 100 ns units per minute
}

// A timer tick can step over second 0, so a minute's alarms are due at its
// first tick, provided the tick before belonged to the minute just before
// or this tick is at second 0: after a start, a resume or a clock change in
// the middle of a minute they do not ring late. A clock set back does not
// ring the minutes it repeats a second time.
static bool minuteDue(SYSTEMTIME const &now)
{
    LONGLONG minute = minuteNumber(now);
    LONGLONG previous = previousTick;
    previousTick = minute;
    if (minute == previous || (minute <= checkedMinute && checkedMinute - minute <= repeatedMinutes))
        return false;
    if (minute != previous + 1 && now.wSecond != 0)
        return false;
    checkedMinute = minute;
    return true;
}

static bool alarmFires(AlarmEvent const &event, SYSTEMTIME const &now)
{
    return event.on != 0 && event.week[now.wDayOfWeek] != 0 && event.hours == now.wHour &&
           event.minutes == now.wMinute;
}

// The shell takes a balloon without text as a request to remove it: an
// alarm without a description shows its time instead.
static void showAlarmBalloon(AlarmEvent const &event)
{
    wchar_t const *description = event.description;
    wchar_t time[64] = L"";
    if (description[0] == L'\0') {
        SYSTEMTIME alarmTime = {};
        alarmTime.wHour = WORD(event.hours);
        alarmTime.wMinute = WORD(event.minutes);
        GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &alarmTime, nullptr, time, ARRAYSIZE(time));
        description = time;
    }
    NOTIFYICONDATAW balloon = {};
    balloon.cbSize = NOTIFYICONDATAW_V3_SIZE;
    balloon.hWnd = balloonWindow;
    balloon.uID = balloonIcon;
    balloon.uFlags = NIF_INFO;
    lstrcpynW(balloon.szInfo, description, ARRAYSIZE(balloon.szInfo)); // 255 characters at most
    lstrcpynW(balloon.szInfoTitle, L"Alarm", ARRAYSIZE(balloon.szInfoTitle));
    balloon.dwInfoFlags = NIIF_INFO;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

static void ringAlarm(AlarmEvent const &event, SYSTEMTIME const &now)
{
    // PlaySound's own search does not promise the program's folder.
    wchar_t wave[MAX_PATH];
    if (programFilePath(settings.waveFile, wave))
        PlaySoundW(wave, nullptr, SND_ASYNC | SND_LOOP);
    showAlarmBalloon(event);
    announceAlarm(balloonWindow, event);
    alarmMinute = now.wMinute;
    alarmSounding = 1;
}

void checkAlarms(SYSTEMTIME const &now)
{
    if (minuteDue(now)) {
        for (int slot = 0; slot < maxAlarms && settings.alarms[slot].hours != -1; ++slot)
            if (alarmFires(settings.alarms[slot], now))
                ringAlarm(settings.alarms[slot], now);
    }
    if (alarmSounding && now.wMinute != alarmMinute)
        stopAlarmSound();
}

void stopAlarmSound()
{
    if (!alarmSounding)
        return;
    alarmSounding = 0;
    PlaySoundA(nullptr, nullptr, 0);
}
