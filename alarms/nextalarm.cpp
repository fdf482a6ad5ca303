// What rings next: the one answer that the wake timer and the tray tip
// share with the ticks that ring.
#include <windows.h>

#include "alarms/alarms.h"

LONGLONG const minutesPerDay = 24 * 60;
int const daysAhead = 8;

bool alarmFires(AlarmEvent const &event, SYSTEMTIME const &now)
{
    return event.on != 0 && event.week[now.wDayOfWeek % 7] != 0 && event.hours == now.wHour &&
           event.minutes == now.wMinute;
}

AlarmEvent const *snoozedAlarm(AlarmTable const &table, Snooze const &snooze)
{
    for (int slot = 0; slot < maxAlarms && table[slot].hours != -1; ++slot)
        if (table[slot].hours == snooze.hours && table[slot].minutes == snooze.minutes)
            return table[slot].on ? &table[slot] : nullptr;
    return nullptr;
}

// Whether the local minute occurs in the zone: the minutes that the start
// of summer time skips turn into others on their way through UTC and back.
// A time the zone cannot convert is taken as it is.
static bool minuteExists(LONGLONG minute, TIME_ZONE_INFORMATION const *zone)
{
    SYSTEMTIME local, universal, back;
    if (!minuteTime(minute, local) || !TzSpecificLocalTimeToSystemTime(zone, &local, &universal) ||
        !SystemTimeToTzSpecificLocalTime(zone, &universal, &back))
        return true;
    return back.wDay == local.wDay && back.wHour == local.wHour && back.wMinute == local.wMinute;
}

// 1601-01-01, minute 0, was a Monday.
static int weekday(LONGLONG day)
{
    return static_cast<int>((day + 1) % 7);
}

// The alarm's first minute in (after, last], on its weekdays.
static LONGLONG nextRing(AlarmEvent const &event, LONGLONG after, LONGLONG last,
                         TIME_ZONE_INFORMATION const *zone)
{
    if (!event.on)
        return 0;
    for (LONGLONG day = after / minutesPerDay; day <= last / minutesPerDay; ++day) {
        LONGLONG minute = day * minutesPerDay + event.hours * 60 + event.minutes;
        if (minute > after && minute <= last && event.week[weekday(day)] && minuteExists(minute, zone))
            return minute;
    }
    return 0;
}

LONGLONG nextDueMinute(AlarmTable const &table, SnoozeList const &pending, LONGLONG after, LONGLONG last,
                       TIME_ZONE_INFORMATION const *zone)
{
    LONGLONG first = 0;
    auto consider = [&](LONGLONG minute) {
        if (minute && (!first || minute < first))
            first = minute;
    };
    for (int slot = 0; slot < maxAlarms && table[slot].hours != -1; ++slot)
        consider(nextRing(table[slot], after, first ? first : last, zone)); // no later than the first found
    for (int i = 0; i < pending.count; ++i) {
        Snooze const &snooze = pending.items[i];
        if (snooze.due > after && snooze.due <= last && snoozedAlarm(table, snooze) &&
            minuteExists(snooze.due, zone))
            consider(snooze.due);
    }
    return first;
}

bool nextDueAlarm(SYSTEMTIME const &after, SYSTEMTIME &due)
{
    LONGLONG from = localMinute(after);
    LONGLONG minute =
        from ? nextDueMinute(settings.alarms, snoozes, from, from + daysAhead * minutesPerDay, nullptr) : 0;
    return minute && minuteTime(minute, due);
}
