// Alarms entered through the running clock's own property sheet and alarm
// editor, driven from outside the process: stored at once and at exit, in
// time order, and listed again by the next start; with a setting of each
// other page, kept by a clock killed right after the apply.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <vector>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/dialogdriver.h"
#include "support/program.h"
#include "support/registry.h"

namespace {

struct EnteredAlarm {
    int hours;
    int minutes;
    wchar_t const *description;
    char const *sundayFirstWeek;
};

EnteredAlarm const evening = {18, 45, L"Evening walk \u00e9", "+-----+"};
EnteredAlarm const morning = {6, 30, L"Wake up", "-+++++-"};

// The locale flags as the clock reads them; it runs in this environment.
bool localeFlag(LCTYPE type, char const *value)
{
    char text[16] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return lstrcmpA(text, value) == 0;
}

// Shows a page of the sheet of another process; the page's window.
HWND showPage(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

BOOL CALLBACK findAlarmsPage(HWND child, LPARAM parameter)
{
    if (GetDlgItem(child, IDC_ALARMLIST)) {
        *reinterpret_cast<HWND *>(parameter) = child;
        return FALSE;
    }
    return TRUE;
}

class AlarmsSheetProgram : public RunningClockTest {
protected:
    // Opens the sheet on the Alarms page as the menu command does.
    bool openAlarms(RunningClock &clock)
    {
        PostMessageA(clock.window, WM_COMMAND, IDM_ALARMS, 0);
        sheet = waitForDialog("Properties", 0, clock.process.dwProcessId, 10000);
        page = nullptr;
        if (sheet)
            waitUntil([&] {
                EnumChildWindows(sheet, findAlarmsPage, reinterpret_cast<LPARAM>(&page));
                return page != nullptr;
            });
        list = page ? GetDlgItem(page, IDC_ALARMLIST) : nullptr;
        return list != nullptr;
    }

    void enter(RunningClock &clock, EnteredAlarm const &alarm)
    {
        pressButton(page, IDC_ADDALARM);
        HWND editor = waitForDialog("Add alarm", 0, clock.process.dwProcessId);
        ASSERT_NE(nullptr, editor);
        EXPECT_TRUE(insideWorkArea(editor));
        int hours = alarm.hours;
        if (IsWindowVisible(GetDlgItem(editor, IDC_AM))) {
            setChecked(editor, IDC_AM, hours < 12);
            setChecked(editor, IDC_PM, hours >= 12);
            hours = hours % 12 == 0 ? 12 : hours % 12;
        }
        SetDlgItemInt(editor, IDC_HOURS, hours, FALSE);
        SetDlgItemInt(editor, IDC_MINUTES, alarm.minutes, FALSE);
        SetDlgItemTextW(editor, IDC_DESCRIPTION, alarm.description);
        for (int day = 0; day < 7; ++day)
            setChecked(editor, IDC_SUNDAY + day, alarm.sundayFirstWeek[day] == '+');
        pressButton(editor, IDOK);
        EXPECT_TRUE(waitGone(editor));
    }

    void expectStored(int number, EnteredAlarm const &alarm)
    {
        char name[64];
        DWORD value = 0xDEAD;
        wsprintfA(name, "Event_%02d_on", number);
        EXPECT_TRUE(numberValue(eventsKey, name, value));
        EXPECT_EQ(1u, value) << name;
        wsprintfA(name, "Event_%02d_hours", number);
        EXPECT_TRUE(numberValue(eventsKey, name, value));
        EXPECT_EQ(DWORD(alarm.hours), value) << name;
        wsprintfA(name, "Event_%02d_minutes", number);
        EXPECT_TRUE(numberValue(eventsKey, name, value));
        EXPECT_EQ(DWORD(alarm.minutes), value) << name;
        wchar_t wideName[64];
        wsprintfW(wideName, L"Event_%02d_description", number);
        std::wstring text;
        EXPECT_TRUE(textValue(eventsKey, wideName, text));
        EXPECT_EQ(alarm.description, text);
        for (int day = 0; day < 7; ++day) {
            wsprintfA(name, "Event_%02d_week%d", number, day);
            EXPECT_TRUE(numberValue(eventsKey, name, value)) << name;
            EXPECT_EQ(alarm.sundayFirstWeek[day] == '+' ? 1u : 0u, value) << name;
        }
    }

    // The row as the page lists it in this locale.
    void expectListed(int row, EnteredAlarm const &alarm)
    {
        char time24[16], shown[16], week[8];
        wsprintfA(time24, "%02d:%02d", alarm.hours, alarm.minutes);
        if (localeFlag(LOCALE_ITIME, "1"))
            lstrcpyA(shown, time24);
        else
            wsprintfA(shown, "%02d:%02d %s", alarm.hours % 12 == 0 ? 12 : alarm.hours % 12, alarm.minutes,
                      alarm.hours < 12 ? "AM" : "PM");
        int mondayFirst = localeFlag(LOCALE_IFIRSTDAYOFWEEK, "0");
        for (int p = 0; p < 7; ++p)
            week[p] = alarm.sundayFirstWeek[(p + mondayFirst) % 7];
        week[7] = '\0';
        char description[300];
        WideCharToMultiByte(CP_ACP, 0, alarm.description, -1, description, sizeof description, nullptr,
                            nullptr);
        EXPECT_EQ(shown, remoteListText(list, row, 0));
        EXPECT_EQ(description, remoteListText(list, row, 1));
        EXPECT_EQ(week, remoteListText(list, row, 2));
        EXPECT_EQ(time24, remoteListText(list, row, 3));
        EXPECT_EQ(UINT(INDEXTOSTATEIMAGEMASK(2)), remoteListState(list, row, LVIS_STATEIMAGEMASK));
    }

    // Starts the second clock and opens its sheet, whose Alarms page must
    // list the alarms.
    void restartListing(std::vector<EnteredAlarm> const &alarms)
    {
        ASSERT_TRUE(startClock(second));
        ASSERT_TRUE(openAlarms(second));
        EXPECT_EQ(int(alarms.size()), remoteListCount(list));
        for (size_t row = 0; row < alarms.size(); ++row)
            expectListed(int(row), alarms[row]);
    }

    void closeAndExit(RunningClock &clock)
    {
        pressButton(sheet, IDCANCEL);
        ASSERT_TRUE(waitGone(sheet));
        EXPECT_EQ(0u, exitClock(clock));
    }

    HWND sheet = nullptr;
    HWND page = nullptr;
    HWND list = nullptr;
};

} // namespace

TEST_F(AlarmsSheetProgram, AlarmsAddedInTheSheetAreStoredInTimeOrderAndListedAgain)
{
    ASSERT_TRUE(startClock(first));
    killProcesses(L"hh.exe");
    ASSERT_TRUE(openAlarms(first));
    EXPECT_EQ(0, remoteListCount(list));
    // The sheet opens beside the clock in its corner; it and the message
    // boxes of its page lie on the screen.
    EXPECT_TRUE(insideWorkArea(sheet));
    pressButton(page, IDC_DELETEALARM);
    HWND box = waitForDialog("Halvitrum", 0, first.process.dwProcessId);
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(insideWorkArea(box));
    pressButton(box, IDOK);
    EXPECT_TRUE(waitGone(box));
    enter(first, evening);
    enter(first, morning);
    EXPECT_EQ(2, remoteListCount(list));
    EXPECT_EQ("06:30", remoteListText(list, 0, 3));
    pressButton(sheet, IDOK);
    ASSERT_TRUE(waitGone(sheet));

    // Applied alarms reach the registry at once; an alarm's hours are
    // stored after its other values.
    EXPECT_TRUE(waitUntil([] { return valueType(eventsKey, "Event_01_hours") == REG_DWORD; }));
    expectStored(0, morning);
    expectStored(1, evening);
    EXPECT_EQ(DWORD(REG_NONE), valueType(eventsKey, "Event_02_hours"));

    EXPECT_EQ(0u, exitClock(first));
    expectStored(0, morning);
    expectStored(1, evening);
    EXPECT_EQ(DWORD(REG_NONE), valueType(eventsKey, "Event_02_hours"));

    ASSERT_NO_FATAL_FAILURE(restartListing({morning, evening}));
    closeAndExit(second);
}

TEST_F(AlarmsSheetProgram, OneApplyOfEveryPageSurvivesAKill)
{
    int const applyButton = 0x3021; // the sheet's Apply button
    ASSERT_TRUE(startClock(first));
    killProcesses(L"hh.exe");
    ASSERT_TRUE(openAlarms(first));
    enter(first, evening);
    // The Run key exists without the clock's entry, so Autorun starts off.
    HWND options = showPage(sheet, 0);
    ASSERT_FALSE(isChecked(options, IDC_AUTORUN));
    SendDlgItemMessageA(options, IDC_AUTORUN, BM_CLICK, 0, 0);
    HWND colors = showPage(sheet, 1);
    ASSERT_FALSE(isChecked(colors, IDC_USECOLOR));
    SendDlgItemMessageA(colors, IDC_USECOLOR, BM_CLICK, 0, 0);
    SendDlgItemMessageA(sheet, applyButton, BM_CLICK, 0, 0);
    // The three pages' apply ends in one save, whose last write is the Run
    // entry; the clock is killed as soon as it is there.
    ASSERT_TRUE(waitUntil([] { return valueType(autorunKey, "Halvitrum") == REG_SZ; }, 10000));
    killClock(first);

    DWORD useColor = 0;
    EXPECT_TRUE(numberValue(settingsKey, "Use color", useColor));
    EXPECT_EQ(1u, useColor);
    expectStored(0, evening);
    EXPECT_EQ(DWORD(REG_NONE), valueType(eventsKey, "Event_01_hours"));

    ASSERT_NO_FATAL_FAILURE(restartListing({evening}));
    EXPECT_TRUE(isChecked(showPage(sheet, 0), IDC_AUTORUN));
    EXPECT_TRUE(isChecked(showPage(sheet, 1), IDC_USECOLOR));
    closeAndExit(second);
}
