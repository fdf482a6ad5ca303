// The next alarm that will ring, for the clock's words.
#include <windows.h>

#include "alarms/alarms.h"
#include "settings/settings.h"

int const daysAhead = 8;

// A local time a number of minutes after another, with its day of the week.
static bool minutesAfter(SYSTEMTIME const &from, LONGLONG minutes, SYSTEMTIME &later)
{
    FILETIME fileTime;
    SYSTEMTIME start = from;
    start.wSecond = start.wMilliseconds = 0;
    if (!SystemTimeToFileTime(&start, &fileTime))
        return false;
    ULARGE_INTEGER ticks = {{fileTime.dwLowDateTime, fileTime.dwHighDateTime}};
    ticks.QuadPart += ULONGLONG(minutes) * 600000000; // 100 ns units per minute
    fileTime.dwLowDateTime = ticks.LowPart;
    fileTime.dwHighDateTime = ticks.HighPart;
    return FileTimeToSystemTime(&fileTime, &later) != FALSE;
}

bool nextDueAlarm(SYSTEMTIME const &after, SYSTEMTIME &due)
{
    // The alarms of each coming day in time order, starting with the
    // minute after this one.
    LONGLONG best = -1;
    int nowMinute = after.wHour * 60 + after.wMinute;
    for (int slot = 0; slot < maxAlarms && settings.alarms[slot].hours != -1; ++slot) {
        AlarmEvent const &event = settings.alarms[slot];
        if (!event.on || event.hours < 0 || event.hours > 23 || event.minutes < 0 || event.minutes > 59)
            continue;
        int alarmMinute = event.hours * 60 + event.minutes;
        for (int day = 0; day <= daysAhead; ++day) {
            LONGLONG distance = LONGLONG(day) * 24 * 60 + alarmMinute - nowMinute;
            if (distance <= 0 || distance > LONGLONG(daysAhead) * 24 * 60)
                continue;
            if (event.week[(after.wDayOfWeek + day) % 7] && (best < 0 || distance < best))
                best = distance;
        }
    }
    return best > 0 && minutesAfter(after, best, due);
}
