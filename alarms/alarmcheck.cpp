// The once-a-second alarm test: the looping sound, the balloon tip, the
// snoozes and the alarms missed, as the schedule plans them.
#include <windows.h>
#include <shellapi.h>

#include "alarms/alarms.h"
#include "settings/settings.h"

int alarmSounding;
LONGLONG soundBegan;

static HWND balloonWindow;
static UINT balloonIcon;
static void (*alarmHandler)(AlarmNotices const &notices);
static AlarmNotices notices;

// Minutes since 1601 of the previous tick, and of the latest minute whose
// alarms rang; 0 before the first.
static LONGLONG previousTick;
static LONGLONG checkedMinute;

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

void setAlarmHandler(void (*handler)(AlarmNotices const &notices))
{
    alarmHandler = handler;
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

static bool toldAlarm(int id)
{
    for (int i = 0; i < notices.count; ++i)
        if (notices.items[i].id == id)
            return true;
    return false;
}

// Each alarm has one notice, and so has the timer under its own id: told
// again, it replaces the earlier one.
static void addNotice(AlarmEvent const &event, AlarmPlan const &plan)
{
    AlarmNotice *notice = notices.items + notices.count;
    for (int i = 0; i < notices.count; ++i)
        if (notices.items[i].id == event.id)
            notice = notices.items + i;
    if (notice == notices.items + ARRAYSIZE(notices.items))
        return;
    if (notice == notices.items + notices.count)
        ++notices.count;
    notice->id = event.id;
    notice->hours = event.hours;
    notice->minutes = event.minutes;
    lstrcpynW(notice->description, event.description, textUnits);
    notice->missed = plan.state == alarmMissed;
    notice->sounding = plan.state == alarmRinging;
    notice->selfSnoozes = plan.selfSnoozes;
    notice->due = plan.minute;
}

// The balloon's title says whether an alarm or the timer rings.
static void ringAlarm(AlarmEvent const &event, SYSTEMTIME const &now, wchar_t const *title)
{
    startAlarmPlayer(alarmSound(event), settings.startQuietly);
    showAlarmBalloon(event, title);
    announceAlarm(balloonWindow, event);
    soundBegan = localMinute(now) * 60 + now.wSecond;
    alarmSounding = 1;
    // A computer woken for the alarm would otherwise fall asleep again.
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
}

static void removeSnooze(int id)
{
    for (int i = 0; i < snoozes.count; ++i)
        if (snoozes.items[i].id == id) {
            snoozes.items[i] = snoozes.items[--snoozes.count];
            return;
        }
}

// One snooze per alarm: a new one replaces the old.
static void setSnooze(int id, LONGLONG due, int selfSnoozes)
{
    removeSnooze(id);
    if (snoozes.count < maxAlarms)
        snoozes.items[snoozes.count++] = {due, id, selfSnoozes};
}

// Snoozes of alarms deleted, switched off or changed in their time, days
// or date (which gives them a new id) never ring.
static bool dropLostSnoozes()
{
    bool dropped = false;
    for (int i = snoozes.count - 1; i >= 0; --i) {
        AlarmEvent const *event = findAlarm(settings.alarms, snoozes.items[i].id);
        if (!event || !event->on) {
            snoozes.items[i] = snoozes.items[--snoozes.count];
            dropped = true;
        }
    }
    return dropped;
}

// The alarms that rang in the minute just ended and that nobody answered
// snooze themselves for the last length chosen, up to maxSelfSnoozes
// times; a once-only alarm that has done so for the last time goes off.
static bool snoozeUnanswered()
{
    bool snoozed = false;
    for (int i = 0; i < notices.count; ++i) {
        AlarmNotice &notice = notices.items[i];
        if (!notice.sounding)
            continue;
        notice.sounding = false;
        if (notice.id == timerNoticeId)
            continue;
        AlarmEvent *event = findAlarm(settings.alarms, notice.id);
        if (notice.selfSnoozes >= maxSelfSnoozes) {
            if (event && event->date)
                event->on = 0;
            continue;
        }
        setSnooze(notice.id, minutesLater(notice.due, settings.snoozeMinutes, nullptr),
                  notice.selfSnoozes + 1);
        snoozed = true;
    }
    return snoozed;
}

// What the schedule plans for each alarm at this tick: it rings, is told
// as missed, or, once its skipped occurrence or its date has passed, has
// its skip cleared or goes off. Whether anything was told; changed says
// whether the alarm memory changed.
static bool followSchedule(SYSTEMTIME const &now, AlarmTick const &tick, bool &changed)
{
    bool told = false;
    TIME_ZONE_INFORMATION zone;
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
        zone = {};
    for (int slot = 0; slot < maxAlarms && settings.alarms[slot].hours != -1; ++slot) {
        AlarmEvent &event = settings.alarms[slot];
        Snooze const *snooze = findSnooze(snoozes, event.id);
        AlarmPlan plan = planAlarm(event, snooze, tick, &zone);
        if (plan.state == alarmRinging || plan.state == alarmMissed) {
            addNotice(event, plan);
            if (plan.state == alarmRinging)
                ringAlarm(event, now, L"Alarm");
            else if (event.date)
                event.on = 0;
            if (snooze && snooze->due <= tick.now) {
                removeSnooze(event.id);
                changed = true;
            }
            told = true;
        }
        if (event.skip && event.skip <= tick.now)
            event.skip = 0;
        if (event.date && event.on && !plan.next && plan.state == alarmWaiting && !toldAlarm(event.id))
            event.on = 0;
    }
    return told;
}

void checkAlarms(SYSTEMTIME const &now)
{
    LONGLONG minute = localMinute(now);
    // Alarms missed since the last tick of the run before are told, but
    // the first tick of a run rings only at second 0, as ever.
    AlarmTick tick = alarmTick(previousTick, checkedMinute, minute, now.wSecond);
    if (!previousTick)
        tick.previous = lastTick;
    if (tick.due)
        checkedMinute = minute;
    previousTick = minute;
    bool changed = dropLostSnoozes();
    bool told = followSchedule(now, tick, changed);
    // A minute of sound, whatever second it began at: a timer may end at
    // the minute's last second. A clock set back ends it too.
    LONGLONG second = minute * 60 + now.wSecond;
    if (alarmSounding && (second >= soundBegan + 60 || second < soundBegan)) {
        stopAlarmSound();
        changed |= snoozeUnanswered();
    }
    changed |= told;
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
    stopAlarmPlayer();
    SetThreadExecutionState(ES_CONTINUOUS);
}

// The told alarms are answered: forgotten, after each got its new snooze
// or, dismissed (a length of 0), lost the one it gave itself and, once
// only, went off.
static void answer(int minutes)
{
    stopAlarmSound();
    if (notices.count == 0)
        return;
    // A snooze counts from the minute of the latest tick: the present.
    LONGLONG minute = previousTick;
    for (int i = 0; i < notices.count; ++i) {
        AlarmNotice const &notice = notices.items[i];
        if (notice.missed || notice.id == timerNoticeId)
            continue;
        AlarmEvent *event = findAlarm(settings.alarms, notice.id);
        if (minutes) {
            setSnooze(notice.id, minutesLater(minute, minutes, nullptr), 0);
        } else {
            removeSnooze(notice.id);
            if (event && event->date)
                event->on = 0;
        }
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

void endToldAlarms()
{
    answer(0);
}

void tellTimerEnd(wchar_t const *label, SYSTEMTIME const &end, SYSTEMTIME const &now, bool missed)
{
    AlarmEvent event = {};
    event.id = timerNoticeId;
    event.on = 1;
    event.hours = end.wHour;
    event.minutes = end.wMinute;
    lstrcpynW(event.description, label[0] ? label : L"Timer", textUnits);
    AlarmPlan plan = {missed ? alarmMissed : alarmRinging, localMinute(missed ? end : now), 0, 0};
    addNotice(event, plan);
    if (!missed)
        ringAlarm(event, now, L"Timer");
    if (alarmHandler)
        alarmHandler(notices);
}
