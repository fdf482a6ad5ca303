// The countdown timer: started, stopped and restarted by the user, and at
// its end rung through the alarms' own path.
#include <windows.h>

#include "alarms/alarms.h"
#include "settings/settings.h"

static LONGLONG runBegan; // the UTC second this run of the clock began

void beginTimerRun(LONGLONG now)
{
    runBegan = now;
}

// The length goes first among the recent ones, and only once.
static void remember(int seconds)
{
    int kept[recentTimerCount] = {seconds};
    int count = 1;
    for (int i = 0; i < recentTimerCount && countdown.recent[i] && count < recentTimerCount; ++i)
        if (countdown.recent[i] != seconds)
            kept[count++] = countdown.recent[i];
    for (int i = 0; i < recentTimerCount; ++i)
        countdown.recent[i] = kept[i];
}

bool startTimer(int seconds, wchar_t const *label, LONGLONG now)
{
    if (!timerLength(seconds))
        return false;
    countdown.end = now + seconds;
    countdown.seconds = seconds;
    if (label != countdown.label)
        lstrcpynW(countdown.label, label, textUnits);
    remember(seconds);
    saveTimerMemory();
    return true;
}

void stopTimer()
{
    countdown.end = 0;
    saveTimerMemory();
}

bool restartTimer(LONGLONG now)
{
    return startTimer(countdown.seconds, countdown.label, now);
}

LONGLONG timerSecondsLeft(LONGLONG now)
{
    return countdown.end > now ? countdown.end - now : 0;
}

void checkTimer(LONGLONG now, SYSTEMTIME const &localNow)
{
    if (!countdown.end || now < countdown.end)
        return;
    bool missed = countdown.end < runBegan;
    SYSTEMTIME universal, end = localNow;
    if (secondTime(countdown.end, universal))
        SystemTimeToTzSpecificLocalTime(nullptr, &universal, &end);
    stopTimer(); // told once, whatever comes of the telling
    tellTimerEnd(countdown.label, end, localNow, missed);
}
