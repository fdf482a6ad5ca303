// The one schedule of the alarms: for each alarm, from the table and what
// the clock remembers (its snooze, its skip, the ticks before), whether it
// rings now or was missed, and when it rings next. Everything that rings,
// tells or shows an alarm reads it.
#include <windows.h>

#include <algorithm>

#include "alarms/alarms.h"

int const daysAhead = 8;

// A clock set back by at most this many minutes repeats minutes whose
// alarms have rung already, as at the end of summer time or on a journey
// west; a clock set back further is taken as corrected, and rings from
// where it now is.
LONGLONG const repeatedMinutes = 14 * 60;
// Alarms missed are told this far back at most.
LONGLONG const missedMinutes = 24 * 60;

// 1601-01-01 was a Monday.
static int weekday(LONGLONG minute)
{
    return static_cast<int>((minute / minutesPerDay + 1) % 7);
}

// Where the alarm's minute rings: a minute that the start of summer time
// skips goes through UTC and back to another minute, as far from it as
// the gap is long; the alarm rings that far after it (02:30 at 03:30).
// Only the months in which summer time starts or ends can have such a gap.
static LONGLONG ringMinute(LONGLONG minute, TIME_ZONE_INFORMATION const *zone)
{
    SYSTEMTIME time;
    if (!minuteTime(minute, time) ||
        (time.wMonth != zone->DaylightDate.wMonth && time.wMonth != zone->StandardDate.wMonth))
        return minute;
    LONGLONG back = zoneMinute(universalMinute(minute, zone), zone);
    if (!back || back == minute)
        return minute;
    return minute + (back > minute ? back - minute : minute - back);
}

// The alarm's first ring after `after` by its date or weekdays, its skip
// passed over; 0 when none comes within eight days (a once-only alarm: ever).
static LONGLONG occurrenceAfter(AlarmEvent const &event, LONGLONG after, TIME_ZONE_INFORMATION const *zone)
{
    LONGLONG time = event.hours * 60 + event.minutes;
    if (event.date) {
        LONGLONG minute = ringMinute(event.date + time, zone);
        return minute > after && minute != event.skip ? minute : 0;
    }
    // A day's ring may be shifted into the next day.
    LONGLONG firstDay = after / minutesPerDay * minutesPerDay - minutesPerDay;
    for (LONGLONG day = firstDay; day <= firstDay + (daysAhead + 1) * minutesPerDay; day += minutesPerDay) {
        if (!event.week[weekday(day)])
            continue;
        LONGLONG minute = ringMinute(day + time, zone);
        if (minute > after && minute != event.skip)
            return minute;
    }
    return 0;
}

AlarmTick alarmTick(LONGLONG previous, LONGLONG checked, LONGLONG now, int second)
{
    AlarmTick tick = {previous, now, true};
    if (now == previous || (now <= checked && checked - now <= repeatedMinutes))
        tick.due = false;
    else if (now != previous + 1 && second != 0)
        tick.due = false;
    return tick;
}

// The zone handed in, or the system's.
static TIME_ZONE_INFORMATION const *ruling(TIME_ZONE_INFORMATION const *zone, TIME_ZONE_INFORMATION &system)
{
    if (zone)
        return zone;
    if (GetTimeZoneInformation(&system) == TIME_ZONE_ID_INVALID)
        system = {};
    return &system;
}

AlarmPlan planAlarm(AlarmEvent const &event, Snooze const *snooze, AlarmTick const &tick,
                    TIME_ZONE_INFORMATION const *zone)
{
    AlarmPlan plan = {alarmOff, 0, 0, 0};
    if (!event.on)
        return plan;
    TIME_ZONE_INFORMATION system;
    zone = ruling(zone, system);
    LONGLONG now = tick.now;
    LONGLONG snoozeDue = snooze ? snooze->due : 0;
    LONGLONG current = occurrenceAfter(event, now - 1, zone);
    LONGLONG next = current > now ? current : occurrenceAfter(event, now, zone);
    plan.next = snoozeDue > now && (!next || snoozeDue < next) ? snoozeDue : next;
    if (tick.due && (snoozeDue == now || current == now)) {
        plan.state = alarmRinging;
        plan.minute = now;
        plan.selfSnoozes = current != now ? snooze->selfSnoozes : 0;
        return plan;
    }
    // The minutes that passed unseen since the tick before: after a start,
    // a resume or a clock set forward, and this one if it came too late.
    if (tick.previous && now > tick.previous + 1) {
        LONGLONG after = std::max(tick.previous, now - missedMinutes), last = tick.due ? now - 1 : now;
        LONGLONG missed = occurrenceAfter(event, after, zone);
        if (snoozeDue > after && snoozeDue <= last && (!missed || missed > last || snoozeDue < missed))
            missed = snoozeDue;
        if (missed && missed <= last) {
            plan.state = alarmMissed;
            plan.minute = missed;
            return plan;
        }
    }
    if (snoozeDue > now) {
        plan.state = alarmSnoozed;
        plan.minute = snoozeDue;
        plan.selfSnoozes = snooze->selfSnoozes;
        return plan;
    }
    AlarmEvent unskipped = event;
    unskipped.skip = 0;
    if (event.skip && occurrenceAfter(unskipped, now, zone) == event.skip) {
        plan.state = alarmSkipped;
        plan.minute = event.skip;
        return plan;
    }
    plan.state = alarmWaiting;
    plan.minute = next;
    return plan;
}

Snooze const *findSnooze(SnoozeList const &pending, int id)
{
    for (int i = 0; i < pending.count; ++i)
        if (pending.items[i].id == id)
            return pending.items + i;
    return nullptr;
}

LONGLONG nextDueMinute(AlarmTable const &table, SnoozeList const &pending, LONGLONG after,
                       TIME_ZONE_INFORMATION const *zone, int *slot)
{
    LONGLONG first = 0;
    AlarmTick tick = {0, after, false};
    TIME_ZONE_INFORMATION system;
    zone = ruling(zone, system);
    for (int i = 0; i < maxAlarms && table[i].hours != -1; ++i) {
        LONGLONG next = planAlarm(table[i], findSnooze(pending, table[i].id), tick, zone).next;
        if (next && next <= after + daysAhead * minutesPerDay && (!first || next < first)) {
            first = next;
            if (slot)
                *slot = i;
        }
    }
    return first;
}

bool nextDueAlarm(SYSTEMTIME const &after, SYSTEMTIME &due)
{
    LONGLONG from = localMinute(after);
    LONGLONG minute = from ? nextDueMinute(settings.alarms, snoozes, from, nullptr, nullptr) : 0;
    return minute && minuteTime(minute, due);
}

LONGLONG nextOccurrence(AlarmEvent const &event, LONGLONG after)
{
    AlarmEvent unskipped = event;
    unskipped.skip = 0;
    TIME_ZONE_INFORMATION system;
    return occurrenceAfter(unskipped, after, ruling(nullptr, system));
}

std::wstring nextRingText(LONGLONG minute, LONGLONG now)
{
    SYSTEMTIME time;
    if (!minuteTime(minute, time))
        return L"";
    wchar_t day[80] = L"", clock[64];
    if (minute < now + 7 * minutesPerDay)
        GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, L"ddd", day, ARRAYSIZE(day));
    else
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, day, ARRAYSIZE(day));
    alarmTimeText(time.wHour, time.wMinute, clock);
    return std::wstring(day) + L" " + clock;
}

// The alarm that rings next by its date or weekdays, its snooze aside.
static AlarmEvent *alarmToSkip(LONGLONG now, LONGLONG &minute)
{
    SnoozeList none = {};
    int slot = -1;
    minute = nextDueMinute(settings.alarms, none, now, nullptr, &slot);
    return minute ? &settings.alarms[slot] : nullptr;
}

static LONGLONG minuteNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return localMinute(now);
}

void nameSkipItem(HMENU menu, UINT command)
{
    LONGLONG now = minuteNow(), minute;
    AlarmEvent const *event = alarmToSkip(now, minute);
    std::wstring text = L"Skip next alarm";
    if (event)
        text +=
            L": " + nextRingText(minute, now) + (event->description[0] ? L"  " : L"") + event->description;
    ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING | (event ? MF_ENABLED : MF_GRAYED), command,
                text.c_str());
}

bool skipNextAlarm()
{
    LONGLONG minute;
    AlarmEvent *event = alarmToSkip(minuteNow(), minute);
    if (!event)
        return false;
    event->skip = minute;
    armWakeTimer();
    return true;
}
