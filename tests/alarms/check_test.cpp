// The once-a-second alarm test over sequences of local times, with the real
// sound (measured in Wine's sound file) and the real balloon of the
// desktop's shell.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "alarms/alarms.h"
#include "settings/settings.h"
#include "support/balloon.h"
#include "support/program.h"
#include "support/registry.h"

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
        stopAlarmSound();
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
