// The clock's tick: the one timer, set afresh for the next second or
// minute the clock shows, the new day, the alarms, the frame and the words.
#include <windows.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "render/render.h"
#include "settings/settings.h"
#include "ui/ui.h"

static int lastDay;     // wDay of the previous tick
static int lastMinute;  // wMinute of the last once-a-minute redraw
static int wordsMinute; // the minute that the clock's words tell

// A new window starts with a fresh tick.
void resetTick()
{
    lastDay = lastMinute = 0;
    wordsMinute = -1;
}

// Ticks come just after the boundary they draw, so that a timer that fires
// a little early or late still samples the new second; the system may
// delay one by up to tickTolerance to wake up with other timers.
UINT const tickMargin = 15;
ULONG const tickTolerance = 8;

UINT nextTickDelay(SYSTEMTIME const &now, bool showSeconds, bool visible)
{
    int untilSecond = 1000 - now.wMilliseconds;
    if (showSeconds && visible)
        return untilSecond + tickMargin;
    return (59 - now.wSecond) * 1000 + untilSecond + tickMargin;
}

// The one timer, set afresh at every tick for the next second or minute
// that the clock shows, from the tick's own sample.
static void armTimer(SYSTEMTIME const &now)
{
    // SetCoalescableTimer exists from Windows 8 on.
    static auto *const coalescable =
        user32Function<UINT_PTR WINAPI(HWND, UINT_PTR, UINT, TIMERPROC, ULONG)>("SetCoalescableTimer");
    UINT delay =
        timerTickDelay(nextTickDelay(now, settings.showSeconds != 0, IsWindowVisible(mainWindow) != FALSE));
    if (!coalescable || !coalescable(mainWindow, clockTimer, delay, nullptr, tickTolerance))
        SetTimer(mainWindow, clockTimer, delay, nullptr);
}

// The words change with the minute, also while the clock is hidden; a
// clock change, a resume or new settings change them at once.
static void renewClockWords(SYSTEMTIME const &now, bool always)
{
    int minute = ((now.wDay * 24 + now.wHour) * 60 + now.wMinute) * 1000 + timerMinutesLeft();
    if (!always && minute == wordsMinute)
        return;
    wordsMinute = minute;
    showClockWords(now);
}

// Draws the present moment at once and sets the timer from it: at the
// window's showing, after a clock change, a resume or new settings. A day
// other than the last tick's rebuilds the face; the tick itself notes the
// day.
void redrawNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wDay != lastDay)
        mainFace.faceDirty = 1;
    if (!settings.showSeconds)
        lastMinute = now.wMinute;
    armTimer(now);
    paintClockAt(now);
    tickWorldClocks(true);
    renewClockWords(now, true);
}

bool tickNeedsRedraw(SYSTEMTIME const &now)
{
    // The face carries the date and the day of the week.
    if (now.wDay != lastDay) {
        lastDay = now.wDay;
        mainFace.faceDirty = 1;
    }
    checkAlarms(now);
    if (tickTimer(now))
        return true; // its sector goes at once
    // Without the second hand the picture changes only with the minute.
    if (!settings.showSeconds) {
        if (now.wMinute == lastMinute)
            return false;
        lastMinute = now.wMinute;
    }
    return true;
}

void paintClockAt(SYSTEMTIME const &now)
{
    markDial(now);
    redrawClockAt(mainFace, now);
    if (pictureUnusable) {
        settings.useImage = 0;
        pictureUnusable = 0;
    }
}

void paintClock()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    paintClockAt(now);
}

void clockTick(SYSTEMTIME const &now)
{
    // The tick's own sample, whose day decided the face, draws it.
    if (tickNeedsRedraw(now))
        paintClockAt(now);
}

void timerTick()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    armTimer(now);
    clockTick(now);
    tickWorldClocks(false);
    renewClockWords(now, false); // after the frame, which is due at once
}

// A hidden clock ticks once a minute and draws nothing; shown again, it
// hands the whole present moment to the window at once, since the system
// need not have kept the hidden window's picture.
void followVisibility(UINT flags)
{
    if (flags & SWP_SHOWWINDOW) {
        mainFace.frameDirty = 1;
        redrawNow();
        showWorldClocks(true);
    } else if (flags & SWP_HIDEWINDOW) {
        showWorldClocks(false);
        SYSTEMTIME now;
        GetLocalTime(&now);
        armTimer(now);
    }
}
