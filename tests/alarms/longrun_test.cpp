// A week of the clock's timer ticks, fed with simulated local times through
// the real tick without waiting: an alarm for every minute of one hour on
// every day, the clock set back and forward, summer time ending. Every due
// alarm rings once, at the first tick of its minute; the face is rebuilt at
// every change of the day; nothing leaks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "alarms/alarms.h"
#include "app/app.h"
#include "render/render.h"
#include "settings/settings.h"
#include "support/clockwindow.h"
#include "support/program.h"
#include "support/usage.h"

namespace {

LONGLONG const day = 86400;
LONGLONG const hour = 3600;
int const alarmHour = 2;
int const tickCount = 100000;

// Local time in seconds since 1601.
SYSTEMTIME localTime(LONGLONG seconds)
{
    ULARGE_INTEGER units;
    units.QuadPart = ULONGLONG(seconds) * 10000000;
    FILETIME fileTime = {units.LowPart, units.HighPart};
    SYSTEMTIME time;
    FileTimeToSystemTime(&fileTime, &time);
    return time;
}

LONGLONG secondsOf(SYSTEMTIME const &time)
{
    FILETIME fileTime;
    SystemTimeToFileTime(&time, &fileTime);
    ULARGE_INTEGER units = {{fileTime.dwLowDateTime, fileTime.dwHighDateTime}};
    return LONGLONG(units.QuadPart / 10000000);
}

// A clock change: when the time first reaches at, it becomes at + shift.
struct Jump {
    LONGLONG at;
    LONGLONG shift;
};

// The ticks: one a second around the alarm hour and midnight, now and then
// two seconds apart as on a busy machine, and every nine seconds otherwise.
std::vector<LONGLONG> weekOfTicks(LONGLONG start, std::vector<Jump> jumps)
{
    std::vector<LONGLONG> ticks;
    LONGLONG now = start;
    while (int(ticks.size()) < tickCount) {
        ticks.push_back(now);
        LONGLONG ofDay = now % day;
        bool dense = (ofDay >= alarmHour * hour - 600 && ofDay < alarmHour * hour + 4200) ||
                     ofDay >= day - 120 || ofDay < 120;
        LONGLONG next = now + (dense ? (ticks.size() % 13 == 0 ? 2 : 1) : 9);
        for (Jump &jump : jumps)
            if (jump.at && now < jump.at && next >= jump.at) {
                next = jump.at + jump.shift;
                jump.at = 0;
            }
        now = next;
    }
    return ticks;
}

// The private bytes once the sound of the last alarm has been let go: the
// system's playback keeps its buffers, and a thread, a while after it
// stopped, so the count must hold still for half a second; the least count
// seen then is taken, as a leak stays in it and a passing buffer does not.
SIZE_T settledPrivateBytes()
{
    SIZE_T bytes = privateBytes(), least = bytes;
    int still = 0;
    for (int attempt = 0; attempt < 60 && still < 5; ++attempt) {
        Sleep(100);
        SIZE_T again = privateBytes();
        still = again == bytes ? still + 1 : 0;
        bytes = again;
        least = std::min(least, bytes);
    }
    return least;
}

} // namespace

TEST(LongRun, WeekOfTicksRingsEveryDueAlarmOnceAndLeaksNothing)
{
    loadFreshSettings();
    settings.showSeconds = 0;
    for (int minute = 0; minute < 60; ++minute) {
        AlarmEvent &event = settings.alarms[minute];
        event = AlarmEvent();
        event.on = 1;
        event.hours = alarmHour;
        event.minutes = minute;
        wsprintfW(event.description, L"Minute %d", minute);
        for (int weekday = 0; weekday < 7; ++weekday)
            event.week[weekday] = 1;
    }
    settings.alarms[60].hours = -1;
    lstrcpynW(settings.waveFile, (binFolder() + L"\\rooster.wav").c_str(), textUnits);
    createClockWindow();
    KillTimer(mainWindow, clockTimer); // only simulated ticks
    RECT client;
    GetClientRect(mainWindow, &client);

    // Monday 2027-01-04, midnight; each jump on a day of its own.
    SYSTEMTIME first = {2027, 1, 1, 4, 0, 0, 0, 0};
    LONGLONG const start = secondsOf(first);
    LONGLONG const two = alarmHour * hour;
    std::vector<Jump> const jumps = {
        {start + 1 * day + two + 1800, -hour}, // back one hour from the middle of the alarm hour
        {start + 2 * day + two + 630, day},    // forward one day, into the middle of a minute
        {start + 4 * day + two + hour, -hour}, // the repeated hour as summer time ends
        {start + 5 * day + 30, -hour},         // back over midnight
    };
    std::vector<LONGLONG> const ticks = weekOfTicks(start, jumps);

    // What is due, from the times alone: an alarm minute reached for the
    // first time, from the minute before it or at its second 0.
    std::vector<int> due, rung;
    due.reserve(tickCount);
    rung.reserve(tickCount);
    LONGLONG latest = 0, previous = 0;
    int dayChanges = 0, rebuilds = 0, previousDay = 0;
    int objectsAfterFirstDay = 0;
    SIZE_T bytesAfterFirstDay = 0;
    DWORD startTime = GetTickCount();
    for (int index = 0; index < tickCount; ++index) {
        SYSTEMTIME now = localTime(ticks[index]);
        LONGLONG minute = ticks[index] / 60;
        if (minute > latest && (minute == previous + 1 || now.wSecond == 0) && now.wHour == alarmHour)
            due.push_back(index);
        latest = std::max(latest, minute);
        previous = minute;
        dayChanges += now.wDay != previousDay;
        previousDay = now.wDay;

        if (tickNeedsRedraw(now) && mainFace.faceDirty) {
            renderClock(mainFace, client.right, client.bottom, now);
            if (++rebuilds == 2) {
                objectsAfterFirstDay = liveGdiObjects();
                bytesAfterFirstDay = settledPrivateBytes();
            }
        }
        if (alarmSounding) {
            rung.push_back(index);
            stopAlarmSound();
        }
    }
    int objectsAtEnd = liveGdiObjects();
    SIZE_T bytesAtEnd = settledPrivateBytes();
    double seconds = (GetTickCount() - startTime) / 1000.0;
    destroyClockWindow();

    EXPECT_EQ(due, rung);
    EXPECT_GT(due.size(), 6u * 60);
    EXPECT_EQ(dayChanges, rebuilds);
    SYSTEMTIME last = localTime(ticks.back());
    EXPECT_GE(last.wDay, 11) << "a week of ticks";
    EXPECT_GT(objectsAfterFirstDay, 0);
    EXPECT_EQ(objectsAfterFirstDay, objectsAtEnd);
    EXPECT_GT(bytesAfterFirstDay, 0u);
    // The private bytes grow in whole 64 KiB steps of the heap: one step is
    // the allocator's, a leak of a tick or an alarm would take many.
    EXPECT_LE(LONGLONG(bytesAtEnd) - LONGLONG(bytesAfterFirstDay), 64 * 1024);
    printf("%d ticks to %04d-%02d-%02d %02d:%02d in %.1f s: %zu alarms rang, %d face rebuilds, %d GDI "
           "objects, private bytes %+lld\n",
           tickCount, last.wYear, last.wMonth, last.wDay, last.wHour, last.wMinute, seconds, rung.size(),
           rebuilds, objectsAtEnd, LONGLONG(bytesAtEnd) - LONGLONG(bytesAfterFirstDay));
}
