// The waitable timer that wakes a sleeping computer for the next alarm.
// Its due time is absolute UTC: TzSpecificLocalTimeToSystemTime turns the
// alarm's local minute into UTC with the rules of the time zone in force,
// and the timer is set afresh whenever those may have changed.
#include <windows.h>

#include <algorithm>

#include "alarms/alarms.h"

static HANDLE wakeTimer;
static bool wakeRefused; // Windows said it cannot wake the computer

// The computer wakes this long before the alarm's minute (100 ns units).
ULONGLONG const wakeLead = 60ull * 10000000;
// A timer due sooner than this may have passed before the computer has
// gone to sleep.
ULONGLONG const soonestWake = 10ull * 10000000;

static bool universalTicks(SYSTEMTIME const &local, ULONGLONG &ticks)
{
    SYSTEMTIME universal;
    FILETIME time;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
        !SystemTimeToFileTime(&universal, &time))
        return false;
    ticks = ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart;
    return true;
}

bool wakeTime(SYSTEMTIME const &now, FILETIME &due)
{
    SYSTEMTIME local;
    ULONGLONG alarm, present;
    if (!nextDueAlarm(now, local) || !universalTicks(local, alarm) || !universalTicks(now, present))
        return false;
    ULARGE_INTEGER ticks;
    ticks.QuadPart = std::max(alarm - wakeLead, present + soonestWake);
    due = {ticks.LowPart, ticks.HighPart};
    return true;
}

// Windows that cannot resume the computer still set the timer, but say
// ERROR_NOT_SUPPORTED, with success or with failure.
static bool setWakeTimer(FILETIME const &due)
{
    if (!wakeTimer)
        wakeTimer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    if (!wakeTimer)
        return false;
    LARGE_INTEGER when;
    when.LowPart = due.dwLowDateTime;
    when.HighPart = LONG(due.dwHighDateTime);
    SetLastError(ERROR_SUCCESS);
    BOOL set = SetWaitableTimer(wakeTimer, &when, 0, nullptr, nullptr, TRUE);
    wakeRefused = GetLastError() == ERROR_NOT_SUPPORTED;
    return set && !wakeRefused;
}

void armWakeTimer()
{
    gatherRingFacts();
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME due;
    if (settings.wakeForAlarms && wakeTime(now, due))
        setWakeTimer(due);
    else if (wakeTimer)
        CancelWaitableTimer(wakeTimer);
}

// The first question tries the timer, for a day ahead, and then leaves it
// as the option says.
bool tryWakeTimer()
{
    static bool tried;
    if (!tried) {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER ticks = {{now.dwLowDateTime, now.dwHighDateTime}};
        ticks.QuadPart += 24ull * 3600 * 10000000;
        setWakeTimer({ticks.LowPart, ticks.HighPart});
        armWakeTimer();
    }
    tried = true;
    return !wakeRefused;
}
