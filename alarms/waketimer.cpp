// The waitable timer that wakes a sleeping computer for the next alarm.
// Its due time is absolute UTC: TzSpecificLocalTimeToSystemTime turns the
// alarm's local minute into UTC with the rules of the time zone in force,
// and the timer is set afresh whenever those may have changed.
#include <windows.h>

#include "alarms/alarms.h"

static HANDLE wakeTimer;
static bool wakeRefused; // Windows said it cannot wake the computer

// The computer wakes this many minutes before the alarm's minute.
LONGLONG const wakeLead = 1;

bool wakeTime(SYSTEMTIME const &now, FILETIME &due)
{
    SYSTEMTIME local;
    LONGLONG universal = nextDueAlarm(now, local) ? universalMinute(localMinute(local), nullptr) : 0;
    if (!universal)
        return false;
    due = minuteFileTime(universal - wakeLead);
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
        SYSTEMTIME now;
        GetSystemTime(&now);
        setWakeTimer(minuteFileTime(localMinute(now) + minutesPerDay));
        armWakeTimer();
    }
    tried = true;
    return !wakeRefused;
}
