// The once-a-second alarm test over sequences of local times, with the real
// sound (measured in Wine's sound file) and the real balloon of the
// desktop's shell.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "alarms/alarms.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "support/balloon.h"
#include "support/program.h"
#include "support/registry.h"
#include "ui/ui.h"

namespace {

// A moment of December 2026, whose 6th is a Sunday.
SYSTEMTIME at(int day, int hour, int minute, int second)
{
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = WORD(day);
    time.wDayOfWeek = WORD((day + 1) % 7);
    time.wHour = WORD(hour);
    time.wMinute = WORD(minute);
    time.wSecond = WORD(second);
    return time;
}

int const monday = 7;
int const tuesday = 8;
int const wednesday = 9;
int const saturday = 12;

void setAlarm(int slot, int hours, int minutes, wchar_t const *description, int on = 1)
{
    AlarmEvent &event = settings.alarms[slot];
    event.on = on;
    lstrcpynW(event.description, description, textUnits);
    event.hours = hours;
    event.minutes = minutes;
    for (int day = 0; day < 7; ++day)
        event.week[day] = day >= 1 && day <= 5; // Monday to Friday
    event.id = slot + 1;
    event.date = event.skip = 0;
    settings.alarms[slot + 1].hours = -1;
}

// One tick; whether an alarm rang at it. The sound is stopped again, so
// that the next tick shows its own firing.
bool rings(SYSTEMTIME const &now)
{
    checkAlarms(now);
    bool rang = alarmSounding != 0;
    stopAlarmSound();
    return rang;
}

class AlarmCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        endToldAlarms();
        snoozes.count = 0; // none left by the test before
        setAlarmWindow(nullptr, 0);
        lstrcpynW(settings.waveFile, (binFolder() + L"\\rooster.wav").c_str(), textUnits);
        setAlarm(0, 7, 30, L"Wake up");
        // A tick at the start of a minute long before, so that no sequence
        // follows the previous test's.
        checkAlarms(at(1, 3, 0, 0));
    }
    void TearDown() override
    {
        stopAlarmSound();
    }
};

TEST_F(AlarmCheckTest, WeekdayAlarmRingsOnMondayOnly)
{
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    checkAlarms(at(monday, 7, 30, 0));
    EXPECT_EQ(1, alarmSounding);
    stopAlarmSound();

    EXPECT_FALSE(rings(at(saturday, 7, 29, 59)));
    EXPECT_FALSE(rings(at(saturday, 7, 30, 0)));
}

TEST_F(AlarmCheckTest, DisabledAlarmNeverRings)
{
    settings.alarms[0].on = 0;
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 0)));
    EXPECT_FALSE(rings(at(tuesday, 7, 30, 0)));
}

TEST_F(AlarmCheckTest, TickSteppingOverSecondZeroRingsOnce)
{
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_TRUE(rings(at(monday, 7, 30, 1)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 2)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 59)));
    EXPECT_FALSE(rings(at(monday, 7, 31, 0)));
}

TEST_F(AlarmCheckTest, TwoTicksInOneSecondRingOnce)
{
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_TRUE(rings(at(monday, 7, 30, 0)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 0)));
}

TEST_F(AlarmCheckTest, StartInTheMiddleOfTheMinuteDoesNotRing)
{
    EXPECT_FALSE(rings(at(monday, 7, 30, 3)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 5)));
}

TEST_F(AlarmCheckTest, JumpIntoTheMinuteDoesNotRing)
{
    EXPECT_FALSE(rings(at(monday, 7, 10, 0)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 1)));
}

TEST_F(AlarmCheckTest, ClockSetBackDoesNotRingTheSameMinuteAgain)
{
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_TRUE(rings(at(monday, 7, 30, 0)));
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 0)));
}

TEST_F(AlarmCheckTest, HourRepeatedAtTheEndOfSummerTimeRingsNothingTwice)
{
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_TRUE(rings(at(monday, 7, 30, 0)));
    EXPECT_FALSE(rings(at(monday, 7, 59, 59)));
    // Set back by an hour, the clock passes 07:30 again.
    EXPECT_FALSE(rings(at(monday, 7, 0, 0)));
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_FALSE(rings(at(monday, 7, 30, 0)));
    // Set back by more than two hours, the clock is taken as corrected.
    EXPECT_FALSE(rings(at(tuesday, 7, 29, 0)));
    EXPECT_FALSE(rings(at(monday, 7, 29, 59)));
    EXPECT_TRUE(rings(at(monday, 7, 30, 0)));
}

TEST_F(AlarmCheckTest, SoundStopsAtTheFirstTickOfTheNextMinute)
{
    checkAlarms(at(monday, 7, 29, 59));
    checkAlarms(at(monday, 7, 30, 0));
    checkAlarms(at(monday, 7, 30, 58));
    EXPECT_EQ(1, alarmSounding);
    checkAlarms(at(monday, 7, 31, 1));
    EXPECT_EQ(0, alarmSounding);
}

TEST_F(AlarmCheckTest, AlarmOfTheNextMinuteKeepsTheSoundGoing)
{
    setAlarm(1, 7, 31, L"Get up now");
    checkAlarms(at(monday, 7, 29, 59));
    checkAlarms(at(monday, 7, 30, 0));
    checkAlarms(at(monday, 7, 31, 0));
    checkAlarms(at(monday, 7, 31, 59));
    EXPECT_EQ(1, alarmSounding);
    checkAlarms(at(monday, 7, 32, 0));
    EXPECT_EQ(0, alarmSounding);
}

TEST_F(AlarmCheckTest, SoundPlaysUntilStopped)
{
    checkAlarms(at(monday, 7, 29, 59));
    checkAlarms(at(monday, 7, 30, 0));
    EXPECT_TRUE(soundGrows());
    stopAlarmSound();
    EXPECT_EQ(0, alarmSounding);
    // What was played just before may still reach the file for a moment.
    EXPECT_TRUE(waitUntil([] { return !soundGrows(); }, 3000));
}

TEST_F(AlarmCheckTest, StopWhenQuietLeavesOtherSoundsAlone)
{
    ASSERT_TRUE(PlaySoundW(settings.waveFile, nullptr, SND_ASYNC | SND_LOOP));
    stopAlarmSound();
    EXPECT_EQ(0, alarmSounding);
    EXPECT_TRUE(soundGrows());
    PlaySoundA(nullptr, nullptr, 0);
}

TEST_F(AlarmCheckTest, MissingWeekdayValueMeansActive)
{
    clearRegistry();
    setNumber(eventsKey, "Event_00_hours", 7);
    setNumber(eventsKey, "Event_00_minutes", 30);
    setText(eventsKey, L"Event_00_description", L"Stored");
    setNumber(eventsKey, "Event_00_on", 1);
    for (int day = 0; day < 7; ++day) {
        if (day == 3)
            continue; // Wednesday's value is missing
        char name[32];
        wsprintfA(name, "Event_00_week%d", day);
        setNumber(eventsKey, name, 0);
    }
    ASSERT_TRUE(loadAlarmTable(settings.alarms));
    clearRegistry();

    EXPECT_FALSE(rings(at(tuesday, 7, 29, 59)));
    EXPECT_FALSE(rings(at(tuesday, 7, 30, 0)));
    EXPECT_FALSE(rings(at(wednesday, 7, 29, 59)));
    EXPECT_TRUE(rings(at(wednesday, 7, 30, 0)));
}

AlarmNotices toldNotices;

void keepNotices(AlarmNotices const &notices)
{
    toldNotices = notices;
}

// The answers at real speed, the ticks handed in: an alarm missed while
// the computer slept is told without sound; one rings and is snoozed, one
// rings and is stopped; the snooze, unanswered, snoozes itself three times
// and then no more, and stays told.
TEST_F(AlarmCheckTest, MissedSnoozedStoppedAndUnansweredSnoozedThreeTimes)
{
    setAlarm(0, 7, 0, L"Missed medicine");
    setAlarm(1, 8, 4, L"Snooze me");
    setAlarm(2, 8, 6, L"Stop me");
    setAlarmHandler(keepNotices);
    toldNotices.count = 0;
    checkAlarms(at(monday, 6, 0, 0));
    checkAlarms(at(monday, 8, 0, 5));
    ASSERT_EQ(1, toldNotices.count);
    EXPECT_EQ(1, toldNotices.items[0].id);
    EXPECT_TRUE(toldNotices.items[0].missed);
    EXPECT_EQ(0, alarmSounding);
    endToldAlarms();

    checkAlarms(at(monday, 8, 3, 59));
    checkAlarms(at(monday, 8, 4, 0));
    ASSERT_EQ(1, toldNotices.count);
    EXPECT_EQ(2, toldNotices.items[0].id);
    EXPECT_TRUE(toldNotices.items[0].sounding);
    EXPECT_EQ(1, alarmSounding);
    snoozeAlarms(5);
    EXPECT_EQ(0, alarmSounding);

    checkAlarms(at(monday, 8, 5, 0));
    checkAlarms(at(monday, 8, 6, 0));
    ASSERT_EQ(1, toldNotices.count);
    EXPECT_EQ(3, toldNotices.items[0].id);
    EXPECT_EQ(1, alarmSounding);
    endToldAlarms();
    EXPECT_EQ(0, alarmSounding);

    std::set<int> starts;
    for (int minute = 7; minute <= 40; ++minute)
        for (int second : {0, 30}) {
            bool before = alarmSounding != 0;
            checkAlarms(at(monday, 8, minute, second));
            if (!before && alarmSounding)
                starts.insert(minute);
        }
    EXPECT_EQ((std::set<int>{9, 14, 19, 24}), starts);
    ASSERT_EQ(1, toldNotices.count);
    EXPECT_EQ(2, toldNotices.items[0].id);
    EXPECT_EQ(maxSelfSnoozes, toldNotices.items[0].selfSnoozes);
    EXPECT_EQ(0, snoozes.count);
    endToldAlarms();
    setAlarmHandler(nullptr);
}

// Two alarms of one minute (a table stored by hand may hold such twins):
// each rings on its own line and gets a snooze of its own.
TEST_F(AlarmCheckTest, AlarmsOfOneMinuteKeepTheirOwnNoticesAndSnoozes)
{
    setAlarm(1, 7, 30, L"Twin");
    setAlarmHandler(keepNotices);
    checkAlarms(at(monday, 7, 29, 59));
    checkAlarms(at(monday, 7, 30, 0));
    ASSERT_EQ(2, toldNotices.count);
    EXPECT_NE(toldNotices.items[0].id, toldNotices.items[1].id);
    snoozeAlarms(10);
    ASSERT_EQ(2, snoozes.count);
    EXPECT_NE(snoozes.items[0].id, snoozes.items[1].id);
    snoozes.count = 0;
    setAlarmHandler(nullptr);
}

// The menu item names the alarm that rings next; its command skips that
// ring, after which the item names the one after it.
TEST_F(AlarmCheckTest, SkipNextAlarmFromTheMenu)
{
    for (int day = 0; day < 7; ++day)
        settings.alarms[0].week[day] = 1;
    setAlarm(1, 0, 0, L"");
    settings.alarms[1].on = 0;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1149, L"Skip next alarm");
    nameSkipItem(menu, 1149);
    wchar_t text[256];
    GetMenuStringW(menu, 1149, text, 256, MF_BYCOMMAND);
    EXPECT_NE(std::wstring::npos, std::wstring(text).find(L"Wake up")) << std::wstring(text).size();
    EXPECT_FALSE(GetMenuState(menu, 1149, MF_BYCOMMAND) & MF_GRAYED);

    SYSTEMTIME now;
    GetLocalTime(&now);
    LONGLONG minute = localMinute(now), expected = minute / (24 * 60) * (24 * 60) + 7 * 60 + 30;
    if (expected <= minute)
        expected += 24 * 60;
    ASSERT_TRUE(skipNextAlarm());
    EXPECT_EQ(expected, settings.alarms[0].skip);
    settings.alarms[0].on = 0;
    nameSkipItem(menu, 1149);
    EXPECT_TRUE(GetMenuState(menu, 1149, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(skipNextAlarm());
    DestroyMenu(menu);
}

// A window of this process with a tray icon of id 1, standing in for the
// clock's own.
class AlarmBalloonTest : public AlarmCheckTest {
protected:
    void SetUp() override
    {
        AlarmCheckTest::SetUp();
        if (!shellShowsBalloons())
            GTEST_SKIP() << "this shell shows no balloons (Wine 10's taskbar); Wine 8 runs these";
        window =
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
        icon.cbSize = NOTIFYICONDATAW_V3_SIZE;
        setAlarmWindow(window, 1);
        icon.hWnd = window;
        icon.uID = 1;
        icon.uFlags = NIF_ICON;
        icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &icon));
    }
    void TearDown() override
    {
        Shell_NotifyIconW(NIM_DELETE, &icon);
        DestroyWindow(window);
        setAlarmWindow(nullptr, 0);
        AlarmCheckTest::TearDown();
    }
    // Rings the alarm of 07:30 and waits for the shell's balloon.
    bool ringAndWait(Balloon &balloon, DWORD timeoutMs = 6000)
    {
        checkAlarms(at(monday, 7, 29, 59));
        checkAlarms(at(monday, 7, 30, 0));
        return waitUntil(
            [&] {
                MSG message;
                while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&message);
                return findBalloon(balloon);
            },
            timeoutMs);
    }
    HWND window = nullptr;
    NOTIFYICONDATAW icon = {};
};

TEST_F(AlarmBalloonTest, ShowsTheDescription)
{
    Balloon balloon;
    ASSERT_TRUE(ringAndWait(balloon));
    EXPECT_EQ(L"Wake up", balloon.text);
    EXPECT_EQ(1, alarmSounding);
}

TEST_F(AlarmBalloonTest, LongDescriptionIsCutTo255Characters)
{
    std::wstring description;
    for (int i = 0; i < 259; ++i)
        description += wchar_t(L'a' + i % 26);
    setAlarm(0, 7, 30, description.c_str());
    Balloon balloon;
    ASSERT_TRUE(ringAndWait(balloon));
    EXPECT_EQ(description.substr(0, 255), balloon.text);
}

// A balloon without text would be no balloon at all.
TEST_F(AlarmBalloonTest, EmptyDescriptionShowsTheAlarmsTime)
{
    setAlarm(0, 7, 30, L"");
    Balloon balloon;
    ASSERT_TRUE(ringAndWait(balloon));
    EXPECT_NE(std::wstring::npos, balloon.text.find(L"7:30")) << balloon.text.size();
    EXPECT_EQ(1, alarmSounding);
    EXPECT_TRUE(soundGrows(1000));
}

} // namespace

namespace {

// Central European time: summer time from the last Sunday of March, 02:00,
// to the last Sunday of October, 03:00 (in 2027 the 28th of March and the
// 31st of October).
TIME_ZONE_INFORMATION centralEurope()
{
    TIME_ZONE_INFORMATION zone = {};
    zone.Bias = -60;
    zone.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    zone.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    zone.DaylightBias = -60;
    return zone;
}

LONGLONG minuteAt(int year, int month, int day, int hour, int minute)
{
    SYSTEMTIME time = {};
    time.wYear = WORD(year);
    time.wMonth = WORD(month);
    time.wDay = WORD(day);
    time.wHour = WORD(hour);
    time.wMinute = WORD(minute);
    return localMinute(time);
}

// The countdown timer's notices as the clock window takes them: into the
// ringing window.
static AlarmNotices timerTold;
static HWND timerClock;

static void showTimerNotices(AlarmNotices const &notices)
{
    timerTold = notices;
    showRingingWindow(notices, timerClock);
}

class TimerTest : public AlarmCheckTest {
protected:
    void SetUp() override
    {
        AlarmCheckTest::SetUp();
        closeRingingWindow(); // one that a test before left open
        clearRegistry();
        timerTold.count = 0;
        timerClock =
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
        setAlarmHandler(showTimerNotices);
    }
    void TearDown() override
    {
        stopTimer();
        closeRingingWindow();
        setAlarmHandler(nullptr);
        DestroyWindow(timerClock);
        clearRegistry();
        AlarmCheckTest::TearDown();
    }
};

// At its end the timer rings as an alarm does: the sound, and the ringing
// window with its label, whose default button restarts it. It never
// snoozes itself.
TEST_F(TimerTest, RingsAtItsEndWithSoundAndTheRingingWindow)
{
    LONGLONG start = utcNow();
    beginTimerRun(start);
    ASSERT_TRUE(startTimer(90, L"Tea", start));
    EXPECT_EQ(90, timerSecondsLeft(start));
    checkTimer(start + 89, at(monday, 10, 1, 29));
    EXPECT_EQ(0, alarmSounding);
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Alarm"));
    checkTimer(start + 90, at(monday, 10, 1, 30));
    EXPECT_EQ(1, alarmSounding);
    EXPECT_TRUE(soundGrows(1000));
    ASSERT_EQ(1, timerTold.count);
    EXPECT_TRUE(timerTold.items[0].id == timerNoticeId && !timerTold.items[0].missed);
    EXPECT_EQ(0, timerSecondsLeft(start + 90));
    HWND ring = FindWindowA("#32770", "Alarm");
    ASSERT_NE(nullptr, ring);
    wchar_t text[256], button[64];
    GetDlgItemTextW(ring, IDC_RINGTEXT, text, 256);
    EXPECT_NE(nullptr, wcsstr(text, L"  Tea")) << text;
    GetDlgItemTextW(ring, IDOK, button, 64);
    EXPECT_STREQ(L"Restart", button);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(ring, IDC_SNOOZELENGTH)));

    settings.snoozeMinutes = 10;
    checkAlarms(at(monday, 10, 2, 29)); // a whole minute of sound, though the minute changed
    EXPECT_EQ(1, alarmSounding);
    checkAlarms(at(monday, 10, 2, 30)); // the minute ends unanswered: an alarm would snooze
    EXPECT_EQ(0, alarmSounding);
    EXPECT_EQ(0, snoozes.count);
    SendMessageW(ring, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Alarm"));
    LONGLONG left = timerSecondsLeft(utcNow());
    EXPECT_TRUE(left > 80 && left <= 90) << left;
}

// The end is kept as a UTC moment: a restart finds the timer running; one
// that ended while the clock was not running is told as missed.
TEST_F(TimerTest, SurvivesARestartAndIsToldAsMissedAfterOne)
{
    LONGLONG start = utcNow();
    beginTimerRun(start);
    ASSERT_TRUE(startTimer(25 * 60, L"Pasta", start));
    countdown = {};
    loadSettings();
    EXPECT_EQ(start + 25 * 60, countdown.end);
    EXPECT_STREQ(L"Pasta", countdown.label);
    EXPECT_EQ(25 * 60, countdown.recent[0]);

    beginTimerRun(start + 26 * 60); // the next run begins after its end
    checkTimer(start + 26 * 60 + 1, at(monday, 10, 30, 1));
    EXPECT_EQ(0, alarmSounding);
    ASSERT_EQ(1, timerTold.count);
    EXPECT_TRUE(timerTold.items[0].id == timerNoticeId && timerTold.items[0].missed);
    EXPECT_EQ(0, timerSecondsLeft(start));
    countdown = {};
    loadSettings();
    EXPECT_EQ(0, countdown.end); // told once
}

// US Eastern time: summer time from the second Sunday of March, 02:00, to
// the first Sunday of November, 02:00 (in 2027 the 14th of March and the
// 7th of November).
TIME_ZONE_INFORMATION usEastern()
{
    TIME_ZONE_INFORMATION zone = {};
    zone.Bias = 300;
    zone.StandardDate = {0, 11, 0, 1, 2, 0, 0, 0};
    zone.DaylightDate = {0, 3, 0, 2, 2, 0, 0, 0};
    zone.DaylightBias = -60;
    return zone;
}

LONGLONG dec(int day, int hour, int minute)
{
    return minuteAt(2026, 12, day, hour, minute);
}

// One alarm (or, "twin", one behind a switched-off alarm of the same time)
// with its snooze at one tick: the tick before, the latest minute rung,
// this tick's minute and second.
struct ScheduleRow {
    char const *what;
    int hours, minutes;
    char const *week; // Sunday first; "+" where the alarm rings
    LONGLONG date;    // once-only: the minute of its day's midnight
    int on;
    LONGLONG skip;
    bool twin;
    LONGLONG snoozeDue;
    int selfSnoozes;
    LONGLONG previous, checked, now;
    int second;
    bool us; // US Eastern, else Central European time
    AlarmState state;
    LONGLONG minute, next;
};

TEST(Schedule, TableOfAlarmsSnoozesSkipsSummerTimeAndTravel)
{
    char const *weekdays = "-+++++-", *daily = "+++++++";
    LONGLONG const none = 0;
    ScheduleRow const rows[] = {
        {"weekly, later that day", 7, 30, weekdays, 0, 1, 0, false, 0, 0, 0, 0, dec(7, 7, 0), 0, false,
         alarmWaiting, dec(7, 7, 30), dec(7, 7, 30)},
        {"weekly, at its minute", 7, 30, weekdays, 0, 1, 0, false, 0, 0, dec(7, 7, 29), 0, dec(7, 7, 30), 0,
         false, alarmRinging, dec(7, 7, 30), dec(8, 7, 30)},
        {"weekly, at its minute, entered late", 7, 30, weekdays, 0, 1, 0, false, 0, 0, dec(7, 7, 10), 0,
         dec(7, 7, 30), 4, false, alarmMissed, dec(7, 7, 30), dec(8, 7, 30)},
        {"weekly, Friday to Monday", 7, 30, weekdays, 0, 1, 0, false, 0, 0, 0, 0, dec(11, 7, 31), 0, false,
         alarmWaiting, dec(14, 7, 30), dec(14, 7, 30)},
        {"switched off", 7, 30, weekdays, 0, 0, 0, false, 0, 0, 0, 0, dec(7, 7, 0), 0, false, alarmOff, none,
         none},
        {"once, weeks ahead", 9, 0, "-------", minuteAt(2027, 1, 14, 0, 0), 1, 0, false, 0, 0, 0, 0,
         dec(7, 7, 0), 0, false, alarmWaiting, minuteAt(2027, 1, 14, 9, 0), minuteAt(2027, 1, 14, 9, 0)},
        {"once, rings on its day", 9, 0, "-------", dec(7, 0, 0), 1, 0, false, 0, 0, dec(7, 8, 59), 0,
         dec(7, 9, 0), 0, false, alarmRinging, dec(7, 9, 0), none},
        {"once, passed", 9, 0, "-------", dec(6, 0, 0), 1, 0, false, 0, 0, 0, 0, dec(7, 7, 0), 0, false,
         alarmWaiting, none, none},
        {"once, passed unseen", 7, 0, "-------", dec(7, 0, 0), 1, 0, false, 0, 0, dec(7, 6, 0), 0,
         dec(7, 8, 0), 5, false, alarmMissed, dec(7, 7, 0), none},
        {"skipped", 7, 30, weekdays, 0, 1, dec(7, 7, 30), false, 0, 0, 0, 0, dec(7, 7, 0), 0, false,
         alarmSkipped, dec(7, 7, 30), dec(8, 7, 30)},
        {"skipped, its minute silent", 7, 30, weekdays, 0, 1, dec(7, 7, 30), false, 0, 0, dec(7, 7, 29), 0,
         dec(7, 7, 30), 0, false, alarmWaiting, dec(8, 7, 30), dec(8, 7, 30)},
        {"snoozed", 7, 30, weekdays, 0, 1, 0, false, dec(7, 7, 40), 1, 0, 0, dec(7, 7, 31), 0, false,
         alarmSnoozed, dec(7, 7, 40), dec(7, 7, 40)},
        {"snooze rings", 7, 30, weekdays, 0, 1, 0, false, dec(7, 7, 40), 2, dec(7, 7, 39), 0, dec(7, 7, 40),
         0, false, alarmRinging, dec(7, 7, 40), dec(8, 7, 30)},
        {"twin: the snooze of the one switched on rings", 7, 30, weekdays, 0, 1, 0, true, dec(7, 7, 40), 0,
         dec(7, 7, 39), 0, dec(7, 7, 40), 0, false, alarmRinging, dec(7, 7, 40), dec(8, 7, 30)},
        {"snooze on a day off", 7, 30, weekdays, 0, 1, 0, false, dec(12, 7, 35), 0, 0, 0, dec(12, 7, 0), 0,
         false, alarmSnoozed, dec(12, 7, 35), dec(12, 7, 35)},
        {"snooze of a switched-off alarm", 7, 30, weekdays, 0, 0, 0, false, dec(7, 7, 40), 0, 0, 0,
         dec(7, 7, 31), 0, false, alarmOff, none, none},
        {"snooze passed unseen", 7, 30, weekdays, 0, 1, 0, false, dec(7, 7, 40), 0, dec(7, 7, 35), 0,
         dec(7, 7, 50), 3, false, alarmMissed, dec(7, 7, 40), dec(8, 7, 30)},
        {"EU summer time skips 02:30: 03:30", 2, 30, daily, 0, 1, 0, false, 0, 0, 0, 0,
         minuteAt(2027, 3, 28, 1, 0), 0, false, alarmWaiting, minuteAt(2027, 3, 28, 3, 30),
         minuteAt(2027, 3, 28, 3, 30)},
        {"EU: rings at 03:30", 2, 30, daily, 0, 1, 0, false, 0, 0, minuteAt(2027, 3, 28, 3, 29), 0,
         minuteAt(2027, 3, 28, 3, 30), 0, false, alarmRinging, minuteAt(2027, 3, 28, 3, 30),
         minuteAt(2027, 3, 29, 2, 30)},
        {"EU: before the gap as ever", 1, 59, daily, 0, 1, 0, false, 0, 0, 0, 0, minuteAt(2027, 3, 28, 1, 0),
         0, false, alarmWaiting, minuteAt(2027, 3, 28, 1, 59), minuteAt(2027, 3, 28, 1, 59)},
        {"EU end: the repeated hour's first pass", 2, 30, daily, 0, 1, 0, false, 0, 0,
         minuteAt(2027, 10, 31, 2, 29), 0, minuteAt(2027, 10, 31, 2, 30), 0, false, alarmRinging,
         minuteAt(2027, 10, 31, 2, 30), minuteAt(2027, 11, 1, 2, 30)},
        {"EU end: not in its second pass", 2, 30, daily, 0, 1, 0, false, 0, 0, minuteAt(2027, 10, 31, 2, 29),
         minuteAt(2027, 10, 31, 2, 30), minuteAt(2027, 10, 31, 2, 30), 0, false, alarmWaiting,
         minuteAt(2027, 11, 1, 2, 30), minuteAt(2027, 11, 1, 2, 30)},
        {"US summer time skips 02:30: 03:30", 2, 30, daily, 0, 1, 0, false, 0, 0, 0, 0,
         minuteAt(2027, 3, 14, 0, 0), 0, true, alarmWaiting, minuteAt(2027, 3, 14, 3, 30),
         minuteAt(2027, 3, 14, 3, 30)},
        {"US end: not in the second pass of 01:30", 1, 30, daily, 0, 1, 0, false, 0, 0,
         minuteAt(2027, 11, 7, 1, 29), minuteAt(2027, 11, 7, 1, 30), minuteAt(2027, 11, 7, 1, 30), 0, true,
         alarmWaiting, minuteAt(2027, 11, 8, 1, 30), minuteAt(2027, 11, 8, 1, 30)},
        {"zone east: the hours jumped over are missed", 11, 0, daily, 0, 1, 0, false, 0, 0, dec(7, 10, 0),
         dec(7, 9, 0), dec(7, 13, 0), 20, false, alarmMissed, dec(7, 11, 0), dec(8, 11, 0)},
        {"zone west: what rang does not ring again", 11, 0, daily, 0, 1, 0, false, 0, 0, dec(7, 10, 59),
         dec(7, 11, 0), dec(7, 11, 0), 0, false, alarmWaiting, dec(8, 11, 0), dec(8, 11, 0)},
        {"zone west: what did not ring yet rings", 12, 30, daily, 0, 1, 0, false, 0, 0, dec(7, 12, 29),
         dec(7, 11, 0), dec(7, 12, 30), 0, false, alarmRinging, dec(7, 12, 30), dec(8, 12, 30)},
        {"no weekday", 7, 30, "-------", 0, 1, 0, false, 0, 0, 0, 0, dec(7, 7, 0), 0, false, alarmWaiting,
         none, none},
    };
    TIME_ZONE_INFORMATION europe = centralEurope(), us = usEastern();
    for (ScheduleRow const &row : rows) {
        AlarmTable table = {};
        int slot = row.twin ? 1 : 0;
        table[0].hours = row.hours;
        table[0].minutes = row.minutes;
        table[0].id = 1;
        table[slot] = table[0];
        table[slot].id = slot + 1;
        table[slot].on = row.on;
        for (int day = 0; day < 7; ++day)
            table[0].week[day] = table[slot].week[day] = row.week[day] == '+';
        table[slot].date = row.date;
        table[slot].skip = row.skip;
        table[slot + 1].hours = -1;
        SnoozeList pending = {};
        if (row.snoozeDue)
            pending.items[pending.count++] = {row.snoozeDue, slot + 1, row.selfSnoozes};
        TIME_ZONE_INFORMATION const *zone = row.us ? &us : &europe;
        AlarmTick tick = alarmTick(row.previous, row.checked, row.now, row.second);
        AlarmPlan plan = planAlarm(table[slot], findSnooze(pending, slot + 1), tick, zone);
        EXPECT_EQ(row.state, plan.state) << row.what;
        EXPECT_EQ(row.minute, plan.minute) << row.what;
        EXPECT_EQ(row.next, plan.next) << row.what;
        if (plan.state == alarmRinging || plan.state == alarmSnoozed) {
            EXPECT_EQ(row.snoozeDue == plan.minute ? row.selfSnoozes : 0, plan.selfSnoozes) << row.what;
        }
        int due = -1;
        EXPECT_EQ(row.next && row.next <= row.now + 8 * 24 * 60 ? row.next : 0,
                  nextDueMinute(table, pending, row.now, zone, &due))
            << row.what;
    }
}

// The wake timer's moment, in UTC, is a minute before the next alarm or
// snooze of the settings, in local time.
TEST(NextAlarm, WakeTimeIsAMinuteBeforeTheNextAlarmOrSnooze)
{
    setAlarm(0, 7, 30, L"Wake up");
    snoozes.count = 0;
    // The last row's minute before the alarm has begun: the timer is due
    // ten seconds from now, not in the past.
    struct {
        LONGLONG snooze;
        int nowMinute, nowSecond;
        int hour, minute, second;
    } const rows[] = {
        {0, 0, 0, 7, 29, 0}, {minuteAt(2026, 12, 7, 7, 10), 0, 0, 7, 9, 0}, {0, 29, 30, 7, 29, 40}};
    for (auto const &row : rows) {
        if (row.snooze)
            snoozes.items[snoozes.count++] = {row.snooze, 1, 0};
        FILETIME due;
        ASSERT_TRUE(wakeTime(at(monday, 7, row.nowMinute, row.nowSecond), due));
        SYSTEMTIME universal, local;
        ASSERT_TRUE(FileTimeToSystemTime(&due, &universal));
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local));
        EXPECT_EQ(row.hour, local.wHour);
        EXPECT_EQ(row.minute, local.wMinute);
        EXPECT_EQ(row.second, local.wSecond);
        EXPECT_EQ(monday, local.wDay);
    }
    snoozes.count = 0;
    settings.alarms[0].on = 0;
    FILETIME due;
    EXPECT_FALSE(wakeTime(at(monday, 7, 0, 0), due));
}

// What the user is told for each fact that keeps an alarm from being
// heard or from waking the computer: the worst one, with what to do.
TEST(WillItRing, EachFactHasItsLineAndMark)
{
    RingFacts const none = {};
    auto with = [](void (*set)(RingFacts &)) {
        RingFacts facts = {};
        set(facts);
        return facts;
    };
    struct {
        RingFacts facts;
        wchar_t const *line; // words the line holds; null: no line, no mark
        wchar_t const *mark;
    } const rows[] = {
        {none, nullptr, nullptr},
        {with([](RingFacts &f) { f.noDevice = f.muted = true; }), L"No sound output", L"no sound output"},
        {with([](RingFacts &f) { f.muted = f.soundUnreadable = true; }), L"Sound is muted: turn it on",
         L"muted"},
        {with([](RingFacts &f) { f.silent = true; }), L"volume is at zero: turn it up", L"zero"},
        {with([](RingFacts &f) { f.soundUnreadable = f.wakeWanted = f.modernStandby = true; }),
         L"sound file cannot be read", L"unreadable"},
        {with([](RingFacts &f) { f.wakeOffOnBattery = f.wakeOffOnMains = f.modernStandby = true; }), nullptr,
         nullptr},
        {with([](RingFacts &f) { f.wakeWanted = f.modernStandby = f.wakeOffOnMains = true; }),
         L"Modern Standby", L"wake"},
        {with([](RingFacts &f) { f.wakeWanted = f.wakeOffOnBattery = true; }),
         L"Wake timers are off on battery in the power plan: allow them", L"on battery"},
        {with([](RingFacts &f) { f.wakeWanted = f.wakeOffOnMains = true; }),
         L"Wake timers are off on mains power in the power plan: allow them", L"on mains"},
        {with([](RingFacts &f) { f.wakeWanted = f.wakeOffOnMains = f.wakeOffOnBattery = true; }),
         L"Wake timers are off in the power plan: allow them", L"wake timers off"},
    };
    for (auto const &row : rows) {
        RingWarning warning = ringWarning(row.facts);
        if (!row.line) {
            EXPECT_EQ(nullptr, warning.line);
            EXPECT_EQ(nullptr, warning.mark);
            continue;
        }
        ASSERT_NE(nullptr, warning.line) << std::wstring(row.line).size();
        ASSERT_NE(nullptr, warning.mark);
        EXPECT_NE(nullptr, wcsstr(warning.line, row.line))
            << std::string(row.mark, row.mark + lstrlenW(row.mark));
        EXPECT_NE(nullptr, wcsstr(warning.mark, row.mark))
            << std::string(row.mark, row.mark + lstrlenW(row.mark));
    }
}

int ringFontHeight(HWND ring)
{
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(ring, IDC_RINGTEXT, WM_GETFONT, 0, 0)),
               sizeof font, &font);
    return -font.lfHeight;
}

// Missed and ringing alarms in one window, in large type that follows the
// DPI, topmost, inside the work area.
TEST(RingingWindow, ListsTheAlarmsInLargeTypeThatFollowsTheDpi)
{
    AlarmNotices notices = {};
    notices.items[0] = {1, 6, 0, L"Pills", true, false, 0, 0};
    notices.items[1] = {2, 7, 30, L"Wake up", false, true, 0, 0};
    notices.count = 2;
    HWND clock =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
    showRingingWindow(notices, clock);
    HWND ring = FindWindowA("#32770", "Alarm");
    ASSERT_NE(nullptr, ring);
    wchar_t text[256], missed[64], ringing[64];
    GetDlgItemTextW(ring, IDC_RINGTEXT, text, 256);
    alarmTimeText(6, 0, missed);
    alarmTimeText(7, 30, ringing);
    EXPECT_EQ(L"Missed " + std::wstring(missed) + L"  Pills\r\n" + ringing + L"  Wake up",
              std::wstring(text));
    EXPECT_TRUE(GetWindowLongW(ring, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT window, area, inside;
    GetWindowRect(ring, &window);
    area = nearestWorkArea(window);
    EXPECT_TRUE(IntersectRect(&inside, &window, &area) && EqualRect(&inside, &window));
    UINT dpi = windowDpi(ring);
    EXPECT_EQ(MulDiv(20, dpi, 72), ringFontHeight(ring));

    // On a monitor of twice the scale Windows gives the window the rectangle
    // it suggests, twice as large, past the work area's edge; after the
    // refit the window is back inside.
    RECT suggested = {window.left, window.top, window.left + 2 * (window.right - window.left),
                      window.top + 2 * (window.bottom - window.top)};
    SetWindowPos(ring, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(ring, &window);
    ASSERT_FALSE(IntersectRect(&inside, &window, &area) && EqualRect(&inside, &window));
    SendMessageW(ring, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&suggested));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(MulDiv(20, 2 * dpi, 72), ringFontHeight(ring));
    GetWindowRect(ring, &window);
    EXPECT_TRUE(IntersectRect(&inside, &window, &area) && EqualRect(&inside, &window));
    closeRingingWindow();
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Alarm"));
    DestroyWindow(clock);
}

int standInCommand; // the last command of the stand-in dialog

INT_PTR CALLBACK standInProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND)
        standInCommand = LOWORD(wParam);
    return message == WM_INITDIALOG;
}

// An alarm that rings while a dialog of the clock is in use leaves the
// keyboard there: the focus stays where it was, and Enter and Esc, passed
// on as the clock's message loop passes them, reach that dialog, not the
// ringing window's Snooze and Stop.
TEST(RingingWindow, LeavesTheKeyboardWhereItWas)
{
    AlarmNotices notices = {};
    notices.items[0] = {1, 7, 30, L"Wake up", false, true, 0, 0};
    notices.count = 1;
    HWND clock =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ALARMEDIT), nullptr,
                                         standInProc, 0);
        ASSERT_NE(nullptr, dialog);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        HWND edit = GetDlgItem(dialog, IDC_DESCRIPTION);
        SetFocus(edit);
        ASSERT_EQ(edit, GetFocus());
        showRingingWindow(notices, clock);
        HWND ring = FindWindowA("#32770", "Alarm");
        ASSERT_NE(nullptr, ring);
        EXPECT_TRUE(IsWindowVisible(ring));
        EXPECT_EQ(edit, GetFocus()) << key;
        EXPECT_EQ(dialog, GetActiveWindow()) << key;
        standInCommand = 0;
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (ringingWindowMessage(&message) || IsDialogMessageW(dialog, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        EXPECT_EQ(key == VK_RETURN ? IDOK : IDCANCEL, standInCommand) << key;
        EXPECT_TRUE(IsWindow(ring)) << key; // neither snoozed nor stopped
        closeRingingWindow();
        DestroyWindow(dialog);
    }
    DestroyWindow(clock);
}

} // namespace
