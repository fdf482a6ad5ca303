// The waitable timer that wakes a sleeping computer for the next alarm.
// Its due time is absolute UTC: TzSpecificLocalTimeToSystemTime turns the
// alarm's local minute into UTC with the rules of the time zone in force,
// and the timer is set afresh whenever those may have changed.
#include <windows.h>

#include <algorithm>

#include "alarms/alarms.h"

static HANDLE wakeTimer;
static bool wakeRefused; // Windows said it cannot wake the computer

// The computer wakes this many minutes before the alarm's minute, but
// never sooner than soonestWake from now: a timer due sooner may have
// passed before the computer has gone to sleep.
LONGLONG const wakeLead = 1;
LONGLONG const soonestWake = minuteUnits / 6; // ten seconds

bool wakeTime(SYSTEMTIME const &now, FILETIME &due)
{
    SYSTEMTIME local;
    LONGLONG universal = nextDueAlarm(now, local) ? universalMinute(localMinute(local), nullptr) : 0;
    LONGLONG present = universalMinute(localMinute(now), nullptr);
    if (!universal || !present)
        return false;
    LONGLONG units =
        std::max((universal - wakeLead) * minuteUnits,
                 present * minuteUnits + (now.wSecond * 1000 + now.wMilliseconds) * (minuteUnits / 60000) +
                     soonestWake);
    due = {DWORD(units), DWORD(ULONGLONG(units) >> 32)};
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
        SYSTEMTIME now;
        GetSystemTime(&now);
        setWakeTimer(minuteFileTime(localMinute(now) + minutesPerDay));
        armWakeTimer();
    }
    tried = true;
    return !wakeRefused;
}
