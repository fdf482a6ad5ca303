// The waitable timer that wakes a sleeping computer for the next alarm.
// Its due time is absolute UTC: TzSpecificLocalTimeToSystemTime turns the
// alarm's local minute into UTC with the rules of the time zone in force,
// and the timer is set afresh whenever those may have changed.
#include <windows.h>

#include "alarms/alarms.h"

static HANDLE wakeTimer;
static bool wakeRefused; // Windows said it cannot wake the computer

// The computer wakes this long before the alarm's minute.
ULONGLONG const wakeLead = 60ull * 10000000; // 100 ns units

bool wakeTime(SYSTEMTIME const &now, FILETIME &due)
{
    SYSTEMTIME local, universal;
    if (!nextDueAlarm(now, local) || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
        !SystemTimeToFileTime(&universal, &due))
        return false;
    ULARGE_INTEGER ticks = {{due.dwLowDateTime, due.dwHighDateTime}};
    ticks.QuadPart -= wakeLead;
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
bool computerCanWake()
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
