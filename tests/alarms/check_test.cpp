// The once-a-second alarm test over sequences of local times, with the real
// sound (measured in Wine's sound file) and the real balloon of the
// desktop's shell.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <gtest/gtest.h>

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
        stopAlarms();
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
    EXPECT_EQ(30, alarmMinute);
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
    EXPECT_EQ(1, alarmSounding);
    EXPECT_EQ(31, alarmMinute);
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

// A window of this process with a tray icon of id 1, standing in for the
// clock's own.
class AlarmBalloonTest : public AlarmCheckTest {
protected:
    void SetUp() override
    {
        AlarmCheckTest::SetUp();
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
    EXPECT_TRUE(timerTold.items[0].timer && !timerTold.items[0].missed);
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
    checkAlarms(at(monday, 10, 2, 0)); // the minute ends unanswered: an alarm would snooze
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
    EXPECT_TRUE(timerTold.items[0].timer && timerTold.items[0].missed);
    EXPECT_EQ(0, timerSecondsLeft(start));
    countdown = {};
    loadSettings();
    EXPECT_EQ(0, countdown.end); // told once
}

struct NextAlarmRow {
    char const *what;
    int hours, minutes;
    char const *week; // Sunday first; "+" where the alarm rings
    int on;
    LONGLONG snoozeDue; // 0: no snooze of the alarm
    LONGLONG after;
    LONGLONG due; // 0: nothing within eight days
};

TEST(NextAlarm, TableOfWeekdaysMidnightsSummerTimeAndSnoozes)
{
    NextAlarmRow const rows[] = {
        {"later that day", 7, 30, "-+++++-", 1, 0, minuteAt(2026, 12, 7, 7, 0), minuteAt(2026, 12, 7, 7, 30)},
        {"at its own minute: the next day", 7, 30, "-+++++-", 1, 0, minuteAt(2026, 12, 7, 7, 30),
         minuteAt(2026, 12, 8, 7, 30)},
        {"midnight", 0, 0, "+++++++", 1, 0, minuteAt(2026, 12, 7, 23, 59), minuteAt(2026, 12, 8, 0, 0)},
        {"Friday to Monday", 7, 30, "-+++++-", 1, 0, minuteAt(2026, 12, 11, 7, 31),
         minuteAt(2026, 12, 14, 7, 30)},
        {"Saturday to Sunday", 7, 30, "+------", 1, 0, minuteAt(2026, 12, 12, 8, 0),
         minuteAt(2026, 12, 13, 7, 30)},
        {"across the year", 7, 30, "-+++++-", 1, 0, minuteAt(2026, 12, 31, 8, 0),
         minuteAt(2027, 1, 1, 7, 30)},
        {"skipped by summer time", 2, 30, "+++++++", 1, 0, minuteAt(2027, 3, 28, 1, 0),
         minuteAt(2027, 3, 29, 2, 30)},
        {"before the skipped hour", 1, 59, "+++++++", 1, 0, minuteAt(2027, 3, 28, 1, 0),
         minuteAt(2027, 3, 28, 1, 59)},
        {"in the repeated hour", 2, 30, "+++++++", 1, 0, minuteAt(2027, 10, 31, 1, 0),
         minuteAt(2027, 10, 31, 2, 30)},
        {"the repeated hour once", 2, 30, "+++++++", 1, 0, minuteAt(2027, 10, 31, 2, 30),
         minuteAt(2027, 11, 1, 2, 30)},
        {"snooze before the alarm", 7, 30, "-+++++-", 1, minuteAt(2026, 12, 7, 7, 40),
         minuteAt(2026, 12, 7, 7, 31), minuteAt(2026, 12, 7, 7, 40)},
        {"snooze on a day off", 7, 30, "-+++++-", 1, minuteAt(2026, 12, 12, 7, 35),
         minuteAt(2026, 12, 12, 7, 0), minuteAt(2026, 12, 12, 7, 35)},
        {"snooze of a switched-off alarm", 7, 30, "-+++++-", 0, minuteAt(2026, 12, 7, 7, 40),
         minuteAt(2026, 12, 7, 7, 31), 0},
        {"no weekday", 7, 30, "-------", 1, 0, minuteAt(2026, 12, 7, 7, 0), 0},
    };
    TIME_ZONE_INFORMATION zone = centralEurope();
    for (NextAlarmRow const &row : rows) {
        AlarmTable table = {};
        table[0].on = row.on;
        table[0].hours = row.hours;
        table[0].minutes = row.minutes;
        for (int day = 0; day < 7; ++day)
            table[0].week[day] = row.week[day] == '+';
        table[1].hours = -1;
        SnoozeList pending = {};
        if (row.snoozeDue)
            pending.items[pending.count++] = {row.snoozeDue, row.hours, row.minutes, 0};
        EXPECT_EQ(row.due, nextDueMinute(table, pending, row.after, row.after + 8 * 24 * 60, &zone))
            << row.what;
    }
}

// The wake timer's moment, in UTC, is a minute before the next alarm or
// snooze of the settings, in local time.
TEST(NextAlarm, WakeTimeIsAMinuteBeforeTheNextAlarmOrSnooze)
{
    setAlarm(0, 7, 30, L"Wake up");
    snoozes.count = 0;
    struct {
        LONGLONG snooze;
        int hour, minute;
    } const rows[] = {{0, 7, 29}, {minuteAt(2026, 12, 7, 7, 10), 7, 9}};
    for (auto const &row : rows) {
        if (row.snooze)
            snoozes.items[snoozes.count++] = {row.snooze, 7, 30, 0};
        FILETIME due;
        ASSERT_TRUE(wakeTime(at(monday, 7, 0, 0), due));
        SYSTEMTIME universal, local;
        ASSERT_TRUE(FileTimeToSystemTime(&due, &universal));
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local));
        EXPECT_EQ(row.hour, local.wHour);
        EXPECT_EQ(row.minute, local.wMinute);
        EXPECT_EQ(0, local.wSecond);
        EXPECT_EQ(monday, local.wDay);
    }
    snoozes.count = 0;
    settings.alarms[0].on = 0;
    FILETIME due;
    EXPECT_FALSE(wakeTime(at(monday, 7, 0, 0), due));
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
    notices.items[0] = {6, 0, L"Pills", true, false, 0, 0, false};
    notices.items[1] = {7, 30, L"Wake up", false, true, 0, 0, false};
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

    SendMessageW(ring, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&window));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(MulDiv(20, 2 * dpi, 72), ringFontHeight(ring));
    closeRingingWindow();
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Alarm"));
    DestroyWindow(clock);
}

} // namespace
