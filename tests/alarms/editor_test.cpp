// The alarm editor, opened from the real Alarms page as its buttons open it,
// filled and confirmed from a second thread as a user would.
#include <functional>

#include "app/app.h"
#include "page_fixture.h"
#include "res/resource.h"
#include "support/registry.h"
#include "settings/settings.h"
#include "ui/alarmspage.h"
#include "ui/ui.h"

namespace {

class AlarmEditor : public AlarmsPageTest {
protected:
    // Presses the page's button and runs script on the editor that opens.
    void withEditor(int button, char const *caption, std::function<void(HWND)> const &script)
    {
        runDriven([&] { press(button); },
                  [&] {
                      HWND editor = waitForDialog(caption, thread);
                      ASSERT_NE(nullptr, editor) << caption;
                      script(editor);
                  });
    }
    void withAdd(std::function<void(HWND)> const &script)
    {
        withEditor(IDC_ADDALARM, "Add alarm", script);
    }
    void withEdit(std::function<void(HWND)> const &script)
    {
        withEditor(IDC_EDITALARM, "Edit alarm", script);
    }
};

void setTime(HWND editor, char const *hours, char const *minutes)
{
    SetDlgItemTextA(editor, IDC_HOURS, hours);
    SetDlgItemTextA(editor, IDC_MINUTES, minutes);
}

void setPm(HWND editor, bool pm)
{
    setChecked(editor, IDC_AM, !pm);
    setChecked(editor, IDC_PM, pm);
}

// Presses OK and closes the message box that refuses it; the editor must
// stay open.
MessageBoxSeen refusedOk(HWND editor)
{
    MessageBoxSeen seen;
    pressButton(editor, IDOK);
    EXPECT_TRUE(answerMessageBox(productName, GetWindowThreadProcessId(editor, nullptr), IDOK, seen));
    EXPECT_TRUE(IsWindowVisible(editor));
    return seen;
}

void acceptOk(HWND editor)
{
    pressButton(editor, IDOK);
    EXPECT_TRUE(waitGone(editor));
}

void cancel(HWND editor)
{
    pressButton(editor, IDCANCEL);
    EXPECT_TRUE(waitGone(editor));
}

std::vector<TestAlarm> const threeAlarms = {
    {"06:00", L"early", "-+++++-", 1},
    {"08:00", L"breakfast", "+++++++", 0},
    {"20:00", L"evening", "+-----+", 1},
};

} // namespace

TEST_F(AlarmEditor, AddProposesMidnightIn24HourForm)
{
    openPage();
    withAdd([&](HWND editor) {
        EXPECT_EQ("0", windowText(GetDlgItem(editor, IDC_HOURS)));
        EXPECT_EQ("0", windowText(GetDlgItem(editor, IDC_MINUTES)));
        EXPECT_EQ("", windowText(GetDlgItem(editor, IDC_DESCRIPTION)));
        EXPECT_EQ("Hours (0-23):", windowText(GetDlgItem(editor, IDC_HOURSLABEL)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, IDC_AM)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, IDC_PM)));
        for (int day = 0; day < 7; ++day)
            EXPECT_TRUE(isChecked(editor, IDC_SUNDAY + day)) << day;
        // The up-downs sit beside their edits, in range 0-23 and 0-59.
        LRESULT range = SendDlgItemMessageA(editor, IDC_HOURSSPIN, UDM_GETRANGE, 0, 0);
        EXPECT_EQ(0, HIWORD(range));
        EXPECT_EQ(23, LOWORD(range));
        range = SendDlgItemMessageA(editor, IDC_MINUTESSPIN, UDM_GETRANGE, 0, 0);
        EXPECT_EQ(59, LOWORD(range));
        EXPECT_EQ(GetDlgItem(editor, IDC_HOURS),
                  reinterpret_cast<HWND>(SendDlgItemMessageA(editor, IDC_HOURSSPIN, UDM_GETBUDDY, 0, 0)));
        EXPECT_EQ(GetDlgItem(editor, IDC_MINUTES),
                  reinterpret_cast<HWND>(SendDlgItemMessageA(editor, IDC_MINUTESSPIN, UDM_GETBUDDY, 0, 0)));
        acceptOk(editor);
    });
    EXPECT_EQ(std::vector<std::string>{"> [x] 00:00||+++++++|00:00"}, listRows());
    EXPECT_EQ(1, changes());
}

TEST_F(AlarmEditor, AddProposesOneAmIn12HourForm)
{
    use24Hour = 0;
    openPage();
    withAdd([&](HWND editor) {
        EXPECT_EQ("1", windowText(GetDlgItem(editor, IDC_HOURS)));
        EXPECT_EQ("0", windowText(GetDlgItem(editor, IDC_MINUTES)));
        EXPECT_EQ("Hours (1-12)", windowText(GetDlgItem(editor, IDC_HOURSLABEL)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(editor, IDC_AM)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(editor, IDC_PM)));
        EXPECT_TRUE(isChecked(editor, IDC_AM));
        EXPECT_FALSE(isChecked(editor, IDC_PM));
        LRESULT range = SendDlgItemMessageA(editor, IDC_HOURSSPIN, UDM_GETRANGE, 0, 0);
        EXPECT_EQ(1, HIWORD(range));
        EXPECT_EQ(12, LOWORD(range));
        for (int day = 0; day < 7; ++day)
            EXPECT_TRUE(isChecked(editor, IDC_SUNDAY + day)) << day;
        acceptOk(editor);
    });
    EXPECT_EQ(std::vector<std::string>{"> [x] 01:00 AM||+++++++|01:00"}, listRows());
}

TEST_F(AlarmEditor, EmptyHoursAreMidnightIn24HourForm)
{
    openPage();
    withAdd([&](HWND editor) {
        setTime(editor, "", "");
        acceptOk(editor);
    });
    EXPECT_EQ("00:00", cell(0, 3));
}

TEST_F(AlarmEditor, HoursIn12HourForm)
{
    use24Hour = 0;
    openPage();
    withAdd([&](HWND editor) {
        // Empty, 0 and 13 are no hours of a 12-hour clock.
        for (char const *hours : {"", "0", "13"}) {
            setTime(editor, hours, "30");
            expectBox(refusedOk(editor), "Invalid hours", IDI_ERROR, editor);
        }
        setTime(editor, "12", "30");
        setPm(editor, false);
        acceptOk(editor);
    });
    withAdd([&](HWND editor) {
        setTime(editor, "12", "45");
        setPm(editor, true);
        acceptOk(editor);
    });
    withAdd([&](HWND editor) {
        setTime(editor, "1", "5");
        setPm(editor, true);
        acceptOk(editor);
    });
    EXPECT_EQ((std::vector<std::string>{"[x] 12:30 AM||+++++++|00:30", "[x] 12:45 PM||+++++++|12:45",
                                        "> [x] 01:05 PM||+++++++|13:05"}),
              listRows());
    EXPECT_EQ(3, changes());
}

TEST_F(AlarmEditor, OutOfRangeRefusedIn24HourForm)
{
    openPage();
    withAdd([&](HWND editor) {
        setTime(editor, "24", "0");
        expectBox(refusedOk(editor), "Invalid hours", IDI_ERROR, editor);
        setTime(editor, "23", "60");
        expectBox(refusedOk(editor), "Invalid minutes", IDI_ERROR, editor);
        // The hours are checked first.
        setTime(editor, "99", "99");
        expectBox(refusedOk(editor), "Invalid hours", IDI_ERROR, editor);
        cancel(editor);
    });
    EXPECT_TRUE(listRows().empty());
    EXPECT_EQ(0, changes());
}

TEST_F(AlarmEditor, TimeOfAnotherAlarmIsUsed)
{
    // 08:00 is switched off, and still taken.
    setTable(threeAlarms);
    openPage();
    withAdd([&](HWND editor) {
        setTime(editor, "8", "0");
        expectBox(refusedOk(editor), "This time is used", IDI_INFORMATION, editor);
        setTime(editor, "20", "00");
        expectBox(refusedOk(editor), "This time is used", IDI_INFORMATION, editor);
        cancel(editor);
    });
    selectRow(0);
    withEdit([&](HWND editor) {
        setTime(editor, "20", "0");
        expectBox(refusedOk(editor), "This time is used", IDI_INFORMATION, editor);
        cancel(editor);
    });
    EXPECT_EQ(3u, listRows().size());
    EXPECT_EQ(0, changes());
}

TEST_F(AlarmEditor, TimeIsUsedIn12HourFormToo)
{
    use24Hour = 0;
    setTable(threeAlarms);
    openPage();
    withAdd([&](HWND editor) {
        setTime(editor, "8", "00");
        setPm(editor, false);
        expectBox(refusedOk(editor), "This time is used", IDI_INFORMATION, editor);
        setTime(editor, "8", "00");
        setPm(editor, true);
        expectBox(refusedOk(editor), "This time is used", IDI_INFORMATION, editor);
        cancel(editor);
    });
    selectRow(2);
    withEdit([&](HWND editor) {
        // 20:00 shows as 8 PM.
        EXPECT_EQ("8", windowText(GetDlgItem(editor, IDC_HOURS)));
        EXPECT_TRUE(isChecked(editor, IDC_PM));
        EXPECT_FALSE(isChecked(editor, IDC_AM));
        setTime(editor, "6", "0");
        setPm(editor, false);
        expectBox(refusedOk(editor), "This time is used", IDI_INFORMATION, editor);
        cancel(editor);
    });
    EXPECT_EQ(0, changes());
}

TEST_F(AlarmEditor, ATableOutOfOrderStillRefusesItsTimes)
{
    // Loaded as stored: later times before earlier ones.
    setTable({{"09:00", L"", "+++++++", 1}, {"07:00", L"", "+++++++", 1}});
    openPage();
    withAdd([&](HWND editor) {
        setTime(editor, "7", "0");
        expectBox(refusedOk(editor), "This time is used", IDI_INFORMATION, editor);
        cancel(editor);
    });
    EXPECT_EQ(2u, listRows().size());
}

TEST_F(AlarmEditor, EditKeepsItsTimeAndCheckBox)
{
    setTable(threeAlarms);
    openPage();
    selectRow(1);
    withEdit([&](HWND editor) {
        EXPECT_EQ("8", windowText(GetDlgItem(editor, IDC_HOURS)));
        EXPECT_EQ("0", windowText(GetDlgItem(editor, IDC_MINUTES)));
        EXPECT_EQ(L"breakfast", windowTextW(GetDlgItem(editor, IDC_DESCRIPTION)));
        for (int day = 0; day < 7; ++day)
            EXPECT_TRUE(isChecked(editor, IDC_SUNDAY + day)) << day;
        EXPECT_EQ(L"", windowTextW(GetDlgItem(editor, IDC_ALARMSOUND)));
        SetDlgItemTextW(editor, IDC_DESCRIPTION, L"caf\u00e9 au lait");
        SetDlgItemTextW(editor, IDC_ALARMSOUND, L"C:\\Sounds\\caf\u00e9.wav");
        setChecked(editor, IDC_SUNDAY, false);
        acceptOk(editor);
    });
    EXPECT_EQ((std::vector<std::string>{"[x] 06:00|early|-+++++-|06:00",
                                        "> [ ] 08:00|caf\xe9 au lait|-++++++|08:00",
                                        "[x] 20:00|evening|+-----+|20:00"}),
              listRows());
    EXPECT_EQ(1, changes());
    AlarmEvent edited = readAlarmRow(1);
    EXPECT_STREQ(L"caf\u00e9 au lait", edited.description);
    EXPECT_STREQ(L"C:\\Sounds\\caf\u00e9.wav", edited.sound);
    EXPECT_EQ(0, edited.on);
    selectRow(1);
    withEdit([&](HWND editor) {
        EXPECT_EQ(L"C:\\Sounds\\caf\u00e9.wav", windowTextW(GetDlgItem(editor, IDC_ALARMSOUND)));
        acceptOk(editor);
    });
}

TEST_F(AlarmEditor, EditedRowMovesToItsPlaceSelected)
{
    setTable(threeAlarms);
    openPage();
    checkRow(2, false);
    selectRow(2);
    withEdit([&](HWND editor) {
        setTime(editor, "5", "30");
        acceptOk(editor);
    });
    EXPECT_EQ((std::vector<std::string>{"> [ ] 05:30|evening|+-----+|05:30", "[x] 06:00|early|-+++++-|06:00",
                                        "[ ] 08:00|breakfast|+++++++|08:00"}),
              listRows());
    // An added row lands between, selected alone, and switched on.
    withAdd([&](HWND editor) {
        setTime(editor, "7", "15");
        SetDlgItemTextA(editor, IDC_DESCRIPTION, "coffee");
        acceptOk(editor);
    });
    EXPECT_EQ(
        (std::vector<std::string>{"[ ] 05:30|evening|+-----+|05:30", "[x] 06:00|early|-+++++-|06:00",
                                  "> [x] 07:15|coffee|+++++++|07:15", "[ ] 08:00|breakfast|+++++++|08:00"}),
        listRows());
    EXPECT_EQ(2, changes());
}

TEST_F(AlarmEditor, NoWeekdayLeavesTheListAlone)
{
    setTable(threeAlarms);
    openPage();
    selectRow(0);
    std::vector<std::string> before = listRows();
    withEdit([&](HWND editor) {
        SetDlgItemTextA(editor, IDC_DESCRIPTION, "changed");
        for (int day = 0; day < 7; ++day)
            setChecked(editor, IDC_SUNDAY + day, false);
        expectBox(refusedOk(editor), "At least on day of the week must be checked", IDI_ERROR, editor);
        EXPECT_EQ(before, listRows());
        cancel(editor);
    });
    EXPECT_EQ(before, listRows());
    EXPECT_EQ(0, changes());
}

TEST_F(AlarmEditor, DescriptionKeeps259Characters)
{
    openPage();
    std::wstring typed;
    for (int i = 0; i < 270; ++i)
        typed += wchar_t(L'a' + i % 26);
    withAdd([&](HWND editor) {
        typeText(GetDlgItem(editor, IDC_DESCRIPTION), typed);
        // The edit takes 260 characters.
        EXPECT_EQ(typed.substr(0, 260), windowTextW(GetDlgItem(editor, IDC_DESCRIPTION)));
        acceptOk(editor);
    });
    EXPECT_EQ(typed.substr(0, 259), std::wstring(readAlarmRow(0).description));
}

TEST_F(AlarmEditor, MondayFirstPutsSundayLast)
{
    mondayFirst = 1;
    openPage();
    withAdd([&](HWND editor) {
        // Top to bottom: Monday ... Saturday, Sunday, each on a row of the
        // template's column of boxes.
        std::vector<POINT> corners;
        for (int day = 0; day < 7; ++day) {
            RECT box;
            GetWindowRect(GetDlgItem(editor, IDC_SUNDAY + day), &box);
            POINT corner = {box.left, box.top};
            ScreenToClient(editor, &corner);
            corners.push_back(corner);
        }
        for (int day = 1; day < 7; ++day) {
            EXPECT_EQ(corners[0].x, corners[day].x);
            EXPECT_LT(corners[day].y, corners[0].y) << day;
            if (day > 1) {
                EXPECT_LT(corners[day - 1].y, corners[day].y) << day;
            }
        }
        setTime(editor, "6", "45");
        setChecked(editor, IDC_SUNDAY, false);
        setChecked(editor, IDC_SUNDAY + 6, false);
        acceptOk(editor);
    });
    EXPECT_EQ("+++++--", cell(0, 2));
    AlarmEvent alarm = readAlarmRow(0);
    int const expected[7] = {0, 1, 1, 1, 1, 1, 0};
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(expected[day], alarm.week[day]) << day;
}

TEST_F(AlarmEditor, SundayFirstKeepsTheTemplateOrder)
{
    openPage();
    withAdd([&](HWND editor) {
        for (int day = 1; day < 7; ++day) {
            RECT above, box;
            GetWindowRect(GetDlgItem(editor, IDC_SUNDAY + day - 1), &above);
            GetWindowRect(GetDlgItem(editor, IDC_SUNDAY + day), &box);
            EXPECT_LT(above.top, box.top) << day;
        }
        setChecked(editor, IDC_SUNDAY, false);
        setChecked(editor, IDC_SUNDAY + 6, false);
        acceptOk(editor);
    });
    EXPECT_EQ("-+++++-", cell(0, 2));
}

TEST_F(AlarmEditor, FullListRefusesAdd)
{
    std::vector<TestAlarm> alarms;
    static char times[100][6];
    for (int i = 0; i < 100; ++i) {
        wsprintfA(times[i], "%02d:%02d", i / 60, i % 60);
        alarms.push_back({times[i], L"", "+++++++", 1});
    }
    setTable(alarms);
    openPage();
    MessageBoxSeen seen;
    runDriven([&] { press(IDC_ADDALARM); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen)); });
    EXPECT_EQ("No more alarms can be added: the list already holds 100.", seen.text);
    EXPECT_EQ(LoadIconA(nullptr, IDI_INFORMATION), seen.icon);
    EXPECT_EQ("Add alarm", seen.ownerCaption);
    EXPECT_EQ(100u, listRows().size());
    EXPECT_EQ(0, changes());
}

TEST_F(AlarmEditor, EditNeedsARow)
{
    openPage();
    MessageBoxSeen seen;
    runDriven([&] { press(IDC_EDITALARM); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen)); });
    // The editor owns the box and is never shown.
    EXPECT_EQ("There is no event in listview!", seen.text);
    EXPECT_EQ(LoadIconA(nullptr, IDI_INFORMATION), seen.icon);
    EXPECT_EQ("Edit alarm", seen.ownerCaption);

    setTable(threeAlarms);
    openPage();
    runDriven([&] { press(IDC_EDITALARM); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen)); });
    EXPECT_EQ("Please select a line for edit!", seen.text);
    EXPECT_EQ(LoadIconA(nullptr, IDI_INFORMATION), seen.icon);
    EXPECT_EQ("Edit alarm", seen.ownerCaption);
    EXPECT_EQ(0, changes());
}

namespace {

std::wstring shortDate(SYSTEMTIME const &date)
{
    wchar_t text[80] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, 80);
    return text;
}

// "Once, on" trades the weekday boxes for the date picker, which proposes
// the next date at which the entered time comes; the alarm keeps its date
// through the list, the apply and the registry.
TEST_F(AlarmEditor, OnceOnlyAlarmTakesADate)
{
    setTable(threeAlarms);
    openPage();
    SYSTEMTIME now, proposed = {}, chosen = {};
    withAdd([&](HWND editor) {
        setTime(editor, use24Hour ? "23" : "11", "59");
        if (!use24Hour)
            setPm(editor, true);
        setChecked(editor, IDC_ONCE, true);
        SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDC_ONCE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(editor, IDC_ONCE)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, IDC_ONCEDATE)));
        for (int day = 0; day < 7; ++day)
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_SUNDAY + day))) << day;
        GetLocalTime(&now);
        SendDlgItemMessageW(editor, IDC_ONCEDATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&proposed));
        chosen.wYear = 2030;
        chosen.wMonth = 1;
        chosen.wDay = 14;
        SendDlgItemMessageW(editor, IDC_ONCEDATE, DTM_SETSYSTEMTIME, GDT_VALID,
                            reinterpret_cast<LPARAM>(&chosen));
        acceptOk(editor);
    });
    // 23:59 comes today unless this is the day's last minute.
    bool today = now.wHour * 60 + now.wMinute < 23 * 60 + 59;
    SYSTEMTIME tomorrow = now;
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER units = {{file.dwLowDateTime, file.dwHighDateTime}};
    units.QuadPart += 864000000000ull;
    file = {units.LowPart, units.HighPart};
    FileTimeToSystemTime(&file, &tomorrow);
    SYSTEMTIME const &expected = today ? now : tomorrow;
    EXPECT_TRUE(proposed.wYear == expected.wYear && proposed.wMonth == expected.wMonth &&
                proposed.wDay == expected.wDay)
        << proposed.wYear << "-" << proposed.wMonth << "-" << proposed.wDay;

    ASSERT_EQ("23:59", cell(3, 3));
    wchar_t week[80] = L"";
    LVITEMW item = {};
    item.iSubItem = 2;
    item.pszText = week;
    item.cchTextMax = 80;
    SendMessageW(alarmList, LVM_GETITEMTEXTW, 3, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(shortDate(chosen), std::wstring(week));
    applyPage();
    AlarmEvent const &once = settings.alarms[3];
    SYSTEMTIME stored;
    ASSERT_TRUE(minuteTime(once.date, stored));
    EXPECT_TRUE(stored.wYear == 2030 && stored.wMonth == 1 && stored.wDay == 14 && stored.wHour == 0);
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(0, once.week[day]) << day;

    clearRegistry();
    ASSERT_TRUE(saveAlarmTable(settings.alarms));
    std::wstring date;
    EXPECT_TRUE(textValue(eventsKey, L"Event_03_date", date));
    EXPECT_EQ(L"2030-01-14", date);
    AlarmTable loaded = {};
    ASSERT_TRUE(loadAlarmTable(loaded));
    EXPECT_EQ(once.date, loaded[3].date);
    EXPECT_EQ(once.id, loaded[3].id);
    EXPECT_EQ(0, loaded[0].date);
    clearRegistry();
}

} // namespace
