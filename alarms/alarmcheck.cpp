// The once-a-second alarm test: the looping sound, the balloon tip, the
// snoozes and the alarms missed.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>

#include "alarms/alarms.h"
#include "settings/settings.h"

int alarmSounding;
int alarmMinute;

static HWND balloonWindow;
static UINT balloonIcon;
static void (*alarmHandler)(AlarmNotices const &notices);
static AlarmNotices notices;

// Minutes since 1601 of the previous tick, and of the latest minute whose
// alarms were looked at; 0 before the first.
static LONGLONG previousTick;
static LONGLONG checkedMinute;

// A clock set back by at most this many minutes repeats minutes whose
// alarms have rung already, as at the end of summer time; a clock set back
// further is taken as corrected, and rings from where it now is.
LONGLONG const repeatedMinutes = 120;
// Alarms missed are told this far back at most.
LONGLONG const missedMinutes = 24 * 60;
// While nothing rings the last tick reaches the registry this often; an
// alarm that rings or is answered writes it at once, so a restart never
// tells as missed what rang, and tells what passed while the clock was
// not running.
LONGLONG const lastTickPeriod = 15;

void setAlarmWindow(HWND window, UINT iconId)
{
    balloonWindow = window;
    balloonIcon = iconId;
}

void setAlarmHandler(void (*told)(AlarmNotices const &notices))
{
    alarmHandler = told;
}

// A timer tick can step over second 0, so a minute's alarms are due at its
// first tick, provided the tick before belonged to the minute just before
// or this tick is at second 0: after a start, a resume or a clock change in
// the middle of a minute they do not ring late. A clock set back does not
// ring the minutes it repeats a second time.
static bool minuteDue(LONGLONG minute, LONGLONG previous, SYSTEMTIME const &now)
{
    if (minute == previous || (minute <= checkedMinute && checkedMinute - minute <= repeatedMinutes))
        return false;
    if (minute != previous + 1 && now.wSecond != 0)
        return false;
    checkedMinute = minute;
    return true;
}

void alarmTimeText(int hours, int minutes, wchar_t (&text)[64])
{
    SYSTEMTIME alarmTime = {};
    alarmTime.wHour = WORD(hours);
    alarmTime.wMinute = WORD(minutes);
    text[0] = L'\0';
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &alarmTime, nullptr, text, ARRAYSIZE(text));
}

// The shell takes a balloon without text as a request to remove it: an
// alarm without a description shows its time instead.
static void showAlarmBalloon(AlarmEvent const &event, wchar_t const *title)
{
    wchar_t const *description = event.description;
    wchar_t time[64];
    if (description[0] == L'\0') {
        alarmTimeText(event.hours, event.minutes, time);
        description = time;
    }
    NOTIFYICONDATAW balloon = {};
    balloon.cbSize = NOTIFYICONDATAW_V3_SIZE;
    balloon.hWnd = balloonWindow;
    balloon.uID = balloonIcon;
    balloon.uFlags = NIF_INFO;
    lstrcpynW(balloon.szInfo, description, ARRAYSIZE(balloon.szInfo)); // 255 characters at most
    lstrcpynW(balloon.szInfoTitle, title, ARRAYSIZE(balloon.szInfoTitle));
    balloon.dwInfoFlags = NIIF_INFO;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

// An alarm told again replaces its earlier notice; a timer's end is told
// beside the alarms of its minute.
static void tell(AlarmEvent const &event, bool missed, int rounds, LONGLONG minute, bool timer = false)
{
    AlarmNotice *notice = notices.items + notices.count;
    for (int i = 0; i < notices.count; ++i)
        if (notices.items[i].hours == event.hours && notices.items[i].minutes == event.minutes &&
            notices.items[i].timer == timer)
            notice = notices.items + i;
    if (notice == notices.items + ARRAYSIZE(notices.items))
        return;
    if (notice == notices.items + notices.count)
        ++notices.count;
    notice->hours = event.hours;
    notice->minutes = event.minutes;
    lstrcpynW(notice->description, event.description, textUnits);
    notice->missed = missed;
    notice->sounding = !missed;
    notice->rounds = rounds;
    notice->rang = minute;
    notice->timer = timer;
}

static void ringAlarm(AlarmEvent const &event, SYSTEMTIME const &now, int rounds, bool timer = false)
{
    // PlaySound's own search does not promise the program's folder.
    wchar_t wave[MAX_PATH];
    if (programFilePath(settings.waveFile, wave))
        PlaySoundW(wave, nullptr, SND_ASYNC | SND_LOOP);
    showAlarmBalloon(event, timer ? L"Timer" : L"Alarm");
    announceAlarm(balloonWindow, event);
    tell(event, false, rounds, localMinute(now), timer);
    alarmMinute = now.wMinute;
    alarmSounding = 1;
    // A computer woken for the alarm would otherwise fall asleep again.
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
}

static Snooze *findSnooze(int hours, int minutes)
{
    for (int i = 0; i < snoozes.count; ++i)
        if (snoozes.items[i].hours == hours && snoozes.items[i].minutes == minutes)
            return snoozes.items + i;
    return nullptr;
}

static void removeSnooze(Snooze *snooze)
{
    *snooze = snoozes.items[--snoozes.count];
}

// One snooze per alarm: a new one replaces the old.
static void setSnooze(int hours, int minutes, LONGLONG due, int rounds)
{
    Snooze *snooze = findSnooze(hours, minutes);
    if (!snooze) {
        if (snoozes.count == maxAlarms)
            return;
        snooze = snoozes.items + snoozes.count++;
    }
    *snooze = {due, hours, minutes, rounds};
}

// Snoozes whose minute has come rang or were told as missed.
static void dropSnoozesUpTo(LONGLONG minute)
{
    for (int i = snoozes.count - 1; i >= 0; --i)
        if (snoozes.items[i].due <= minute)
            removeSnooze(snoozes.items + i);
}

// Everything that rings at this minute; whether anything did.
static bool ringDue(SYSTEMTIME const &now, LONGLONG minute)
{
    bool rang = false;
    for (int slot = 0; slot < maxAlarms && settings.alarms[slot].hours != -1; ++slot)
        if (alarmFires(settings.alarms[slot], now)) {
            ringAlarm(settings.alarms[slot], now, 0);
            rang = true;
        }
    for (int i = 0; i < snoozes.count; ++i)
        if (snoozes.items[i].due == minute)
            if (AlarmEvent const *event = snoozedAlarm(settings.alarms, snoozes.items[i])) {
                ringAlarm(*event, now, snoozes.items[i].rounds);
                rang = true;
            }
    return rang;
}

// Everything that would have rung in (after, last], told as missed;
// whether anything was.
static bool tellMissed(LONGLONG after, LONGLONG last)
{
    bool told = false;
    for (LONGLONG minute = after;
         (minute = nextDueMinute(settings.alarms, snoozes, minute, last, nullptr));) {
        SYSTEMTIME time;
        minuteTime(minute, time);
        for (int slot = 0; slot < maxAlarms && settings.alarms[slot].hours != -1; ++slot)
            if (alarmFires(settings.alarms[slot], time))
                tell(settings.alarms[slot], true, 0, minute);
        for (int i = 0; i < snoozes.count; ++i)
            if (snoozes.items[i].due == minute)
                if (AlarmEvent const *event = snoozedAlarm(settings.alarms, snoozes.items[i]))
                    tell(*event, true, 0, minute);
        told = true;
    }
    return told;
}

// The local minute that lies the given minutes of real time after a
// local minute, across a change of summer time too.
static LONGLONG minutesLater(LONGLONG minute, int minutes)
{
    SYSTEMTIME local, universal;
    FILETIME fileTime;
    if (!minuteTime(minute, local) || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
        !SystemTimeToFileTime(&universal, &fileTime))
        return minute + minutes;
    ULARGE_INTEGER ticks = {{fileTime.dwLowDateTime, fileTime.dwHighDateTime}};
    ticks.QuadPart += ULONGLONG(minutes) * 600000000;
    fileTime = {ticks.LowPart, ticks.HighPart};
    if (!FileTimeToSystemTime(&fileTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return minute + minutes;
    return localMinute(local);
}

// The alarms that rang in the minute just ended and that nobody answered
// snooze themselves for the last length chosen, up to maxSelfSnoozes times.
static bool snoozeUnanswered()
{
    bool snoozed = false;
    for (int i = 0; i < notices.count; ++i) {
        AlarmNotice &notice = notices.items[i];
        if (!notice.sounding)
            continue;
        notice.sounding = false;
        if (notice.timer || notice.rounds >= maxSelfSnoozes)
            continue;
        setSnooze(notice.hours, notice.minutes, minutesLater(notice.rang, settings.snoozeMinutes),
                  notice.rounds + 1);
        snoozed = true;
    }
    return snoozed;
}

void checkAlarms(SYSTEMTIME const &now)
{
    LONGLONG minute = localMinute(now);
    // Alarms missed since the last tick of the run before are told, but
    // the first tick of a run rings only at second 0, as ever.
    LONGLONG previous = previousTick ? previousTick : lastTick;
    bool due = minuteDue(minute, previousTick, now);
    previousTick = minute;
    bool told = false, changed = false;
    if (previous && minute > previous + 1) {
        told = tellMissed(std::max(previous, minute - missedMinutes), due ? minute - 1 : minute);
        changed = told;
    }
    if (due && ringDue(now, minute))
        told = changed = true;
    if (alarmSounding && now.wMinute != alarmMinute) {
        stopAlarmSound();
        changed |= snoozeUnanswered();
    }
    int pending = snoozes.count;
    dropSnoozesUpTo(minute);
    changed |= snoozes.count != pending;
    if (changed || minute < lastTick || minute >= lastTick + lastTickPeriod) {
        lastTick = minute;
        saveAlarmMemory();
    }
    if (changed)
        armWakeTimer();
    if (told && alarmHandler)
        alarmHandler(notices);
}

void stopAlarmSound()
{
    if (!alarmSounding)
        return;
    alarmSounding = 0;
    PlaySoundA(nullptr, nullptr, 0);
    SetThreadExecutionState(ES_CONTINUOUS);
}

// The told alarms are answered: forgotten, after each got its new
// snooze (or lost the one it gave itself, for a length of 0).
static void answer(int minutes)
{
    stopAlarmSound();
    if (notices.count == 0)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    LONGLONG minute = localMinute(now);
    for (int i = 0; i < notices.count; ++i) {
        AlarmNotice const &notice = notices.items[i];
        if (notice.missed || notice.timer)
            continue;
        if (minutes)
            setSnooze(notice.hours, notice.minutes, minutesLater(minute, minutes), 0);
        else if (Snooze *snooze = findSnooze(notice.hours, notice.minutes))
            removeSnooze(snooze);
    }
    notices.count = 0;
    saveLastTick();
    armWakeTimer();
}

void saveLastTick()
{
    if (previousTick)
        lastTick = previousTick;
    saveAlarmMemory();
}

void snoozeAlarms(int minutes)
{
    settings.snoozeMinutes = minutes;
    answer(minutes);
}

void stopAlarms()
{
    answer(0);
}

void tellTimerEnd(wchar_t const *label, SYSTEMTIME const &end, SYSTEMTIME const &now, bool missed)
{
    AlarmEvent event = {};
    event.on = 1;
    event.hours = end.wHour;
    event.minutes = end.wMinute;
    lstrcpynW(event.description, label[0] ? label : L"Timer", textUnits);
    if (missed)
        tell(event, true, 0, localMinute(end), true);
    else
        ringAlarm(event, now, 0, true);
    if (alarmHandler)
        alarmHandler(notices);
}
