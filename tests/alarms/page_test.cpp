// The Alarms page: its list, its buttons, its apply; under a stand-in sheet
// that counts PSM_CHANGED, and under the program's real property sheet.
#include <windows.h>
#include <commctrl.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "page_fixture.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "support/balloon.h"
#include "support/clockwindow.h"
#include "support/program.h"
#include "support/registry.h"
#include "support/usage.h"
#include "ui/alarmeditor.h"
#include "ui/alarmspage.h"
#include "ui/ui.h"

namespace {

class AlarmsPage : public AlarmsPageTest {};

int const applyButton = 0x3021; // the property sheet's Apply

std::vector<TestAlarm> const weekdayAlarms = {
    {"00:05", L"night", "-+++++-", 1},
    {"12:00", L"noon \u0436", "+++++++", 0},
    {"13:30", L"", "+-----+", 1},
};

// The module whose window procedure the control runs.
HMODULE procedureModule(HWND control)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(GetClassLongPtrW(control, GCLP_WNDPROC)), &module);
    return module;
}

// Presses "Select" and picks path in the open-file dialog, or cancels it
// when path is empty.
void chooseWave(DWORD thread, std::wstring const &path, char const *title = "Please select a wave file")
{
    HWND dialog = waitForDialog(title, thread);
    ASSERT_NE(nullptr, dialog);
    if (path.empty()) {
        pressButton(dialog, IDCANCEL);
    } else {
        // The file name box of the explorer-style dialog.
        HWND name = GetDlgItem(dialog, cmb13);
        if (!name)
            name = GetDlgItem(dialog, edt1);
        SetWindowTextW(name, path.c_str());
        pressButton(dialog, IDOK);
    }
    EXPECT_TRUE(waitGone(dialog));
}

// A copy of the program's wave file under a name outside the ANSI code page.
std::wstring waveCopy()
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"\u0431\u0443\u0434\u0438\u043b\u044c\u043d\u0438\u043a.wav";
    EXPECT_TRUE(CopyFileW((binFolder() + L"\\rooster.wav").c_str(), path.c_str(), FALSE));
    return path;
}

int columnWidth(int column)
{
    return static_cast<int>(SendMessageA(alarmList, LVM_GETCOLUMNWIDTH, column, 0));
}

int stringWidth(char const *text)
{
    return static_cast<int>(SendMessageA(alarmList, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
}

// "Time" holds the row's check box, a small icon wide, beside the time and
// within the list's margins; "Time24" stays hidden.
void expectTimeColumns(char const *widestTime)
{
    EXPECT_GE(columnWidth(0), 70);
    EXPECT_GE(columnWidth(0), stringWidth(widestTime) + GetSystemMetrics(SM_CXSMICON) + 12) << widestTime;
    EXPECT_EQ(0, columnWidth(3));
}

void expectTable(std::vector<TestAlarm> const &alarms)
{
    for (size_t i = 0; i < alarms.size(); ++i) {
        AlarmEvent expected = makeAlarm(alarms[i]);
        AlarmEvent const &slot = settings.alarms[i];
        EXPECT_EQ(expected.hours, slot.hours) << i;
        EXPECT_EQ(expected.minutes, slot.minutes) << i;
        EXPECT_EQ(expected.on, slot.on) << i;
        EXPECT_STREQ(expected.description, slot.description) << i;
        for (int day = 0; day < 7; ++day)
            EXPECT_EQ(expected.week[day], slot.week[day]) << i << " day " << day;
    }
    EXPECT_EQ(-1, settings.alarms[alarms.size()].hours);
}

} // namespace

TEST_F(AlarmsPage, EmptyTable)
{
    openPage();
    EXPECT_EQ(GetDlgItem(page, IDC_ALARMLIST), alarmList);
    EXPECT_TRUE(listRows().empty());
    EXPECT_EQ(DWORD(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              DWORD(SendMessageA(alarmList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
    static char const *const captions[] = {"Time", "Description", "Day of week", "Time24"};
    static int const widths[] = {70, 180, 75, 0};
    for (int column = 0; column < 4; ++column) {
        char caption[64] = "";
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = caption;
        info.cchTextMax = sizeof caption;
        ASSERT_TRUE(SendMessageA(alarmList, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
        EXPECT_STREQ(captions[column], caption);
        // A column grows only where its caption or content needs more.
        if (column == 0 || column == 2)
            EXPECT_GE(info.cx, widths[column]) << caption;
        else
            EXPECT_EQ(widths[column], info.cx) << caption;
    }
    // The header keeps three edges of room on each side of a caption.
    EXPECT_GE(columnWidth(2), stringWidth("Day of week") + 6 * GetSystemMetrics(SM_CXEDGE));
    expectTimeColumns("00:00");
    EXPECT_EQ("rooster.wav", windowText(GetDlgItem(page, IDC_WAVEFILE)));
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(page, IDC_WAVEFILE, WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(1000, font.lfWeight);

    MessageBoxSeen seen;
    runDriven([&] { press(IDC_DELETEALARM); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen)); });
    expectBox(seen, "There is no event in listview!", IDI_INFORMATION, sheet);

    // A double click in the empty list adds.
    runDriven([&] { doubleClick(-1); },
              [&] {
                  HWND editor = waitForDialog("Add alarm", thread);
                  ASSERT_NE(nullptr, editor);
                  pressButton(editor, IDOK);
                  EXPECT_TRUE(waitGone(editor));
              });
    EXPECT_EQ(1u, listRows().size());
    EXPECT_EQ(1, changes());
}

TEST_F(AlarmsPage, RowsIn24HourSundayFirstForm)
{
    setTable(weekdayAlarms);
    openPage();
    EXPECT_EQ((std::vector<std::string>{"[x] 00:05|night|-+++++-|00:05", "[ ] 12:00|noon ?|+++++++|12:00",
                                        "[x] 13:30||+-----+|13:30"}),
              listRows());
    // With the manifest's common controls 6 the buttons too are theirs,
    // not user32's as in version 5; the list draws its check boxes from
    // its state images, unchecked and checked.
    HMODULE commonControls = procedureModule(alarmList);
    EXPECT_EQ(commonControls, procedureModule(GetDlgItem(page, IDC_WAKEALARMS)));
    EXPECT_NE(GetModuleHandleW(L"user32.dll"), commonControls);
    HIMAGELIST checkBoxes =
        reinterpret_cast<HIMAGELIST>(SendMessageA(alarmList, LVM_GETIMAGELIST, LVSIL_STATE, 0));
    EXPECT_GE(ImageList_GetImageCount(checkBoxes), 2);
    expectTimeColumns("00:05");
    EXPECT_STREQ(L"noon \u0436", readAlarmRow(1).description);
    applyPage();
    expectTable(weekdayAlarms);
}

TEST_F(AlarmsPage, RowsIn12HourMondayFirstForm)
{
    use24Hour = 0;
    mondayFirst = 1;
    setTable(weekdayAlarms);
    openPage();
    EXPECT_EQ((std::vector<std::string>{"[x] 12:05 AM|night|+++++--|00:05",
                                        "[ ] 12:00 PM|noon ?|+++++++|12:00", "[x] 01:30 PM||-----++|13:30"}),
              listRows());
    expectTimeColumns("12:05 AM");
    applyPage();
    expectTable(weekdayAlarms);
}

TEST_F(AlarmsPage, FormatTime12)
{
    EXPECT_EQ("12:05 AM", formatTime12(0, 5));
    EXPECT_EQ("12:00 PM", formatTime12(12, 0));
    EXPECT_EQ("01:30 PM", formatTime12(13, 30));
    EXPECT_EQ("11:59 AM", formatTime12(11, 59));
    EXPECT_EQ("11:59 PM", formatTime12(23, 59));
}

TEST_F(AlarmsPage, DoubleClickOnARowEditsIt)
{
    setTable(weekdayAlarms);
    openPage();
    selectRow(2);
    runDriven([&] { doubleClick(2); },
              [&] {
                  HWND editor = waitForDialog("Edit alarm", thread);
                  ASSERT_NE(nullptr, editor);
                  EXPECT_EQ("13", windowText(GetDlgItem(editor, IDC_HOURS)));
                  EXPECT_EQ("30", windowText(GetDlgItem(editor, IDC_MINUTES)));
                  EXPECT_TRUE(isChecked(editor, IDC_SUNDAY));
                  EXPECT_FALSE(isChecked(editor, IDC_SUNDAY + 1));
                  EXPECT_TRUE(isChecked(editor, IDC_SUNDAY + 6));
                  SetDlgItemTextA(editor, IDC_MINUTES, "45");
                  pressButton(editor, IDOK);
                  EXPECT_TRUE(waitGone(editor));
              });
    EXPECT_EQ("> [x] 13:45||+-----+|13:45", listRows()[2]);
    EXPECT_EQ(1, changes());
}

TEST_F(AlarmsPage, DoubleClickWithoutSelectionAsksForOne)
{
    setTable(weekdayAlarms);
    openPage();
    MessageBoxSeen seen;
    runDriven([&] { doubleClick(-1); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen)); });
    EXPECT_EQ("Please select a line for edit!", seen.text);
    EXPECT_EQ(0, changes());
}

TEST_F(AlarmsPage, Delete)
{
    setTable(weekdayAlarms);
    openPage();
    std::vector<std::string> rows = listRows();
    MessageBoxSeen seen;
    runDriven([&] { press(IDC_DELETEALARM); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen)); });
    expectBox(seen, "Please select a line for delete!", IDI_INFORMATION, sheet);

    selectRow(1);
    runDriven([&] { press(IDC_DELETEALARM); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDNO, seen)); });
    expectBox(seen, "Delete the selected alarm. Are you sure?", IDI_QUESTION, sheet);
    EXPECT_EQ(IDNO, seen.defaultButton);
    EXPECT_EQ(3u, listRows().size());
    EXPECT_EQ(0, changes());

    runDriven([&] { press(IDC_DELETEALARM); },
              [&] { EXPECT_TRUE(answerMessageBox(productName, thread, IDYES, seen)); });
    EXPECT_EQ((std::vector<std::string>{rows[0], rows[2]}), listRows());
    EXPECT_EQ(1, changes());
}

TEST_F(AlarmsPage, UncheckedRowIsAppliedAndSavedAtOnce)
{
    setTable(weekdayAlarms);
    openPage();
    checkRow(0, false);
    // A check box alone does not announce a change.
    EXPECT_EQ(0, changes());
    applyPage();
    EXPECT_EQ(0, settings.alarms[0].on);
    DWORD on = 7;
    EXPECT_TRUE(numberValue(eventsKey, "Event_00_on", on));
    EXPECT_EQ(0u, on);
    DWORD hours = 0;
    EXPECT_TRUE(numberValue(eventsKey, "Event_02_hours", hours));
    EXPECT_EQ(13u, hours);
}

TEST_F(AlarmsPage, Apply100RowsEndsTheTableInSlot100)
{
    std::vector<TestAlarm> alarms;
    static char times[100][6];
    for (int i = 0; i < 100; ++i) {
        wsprintfA(times[i], "%02d:%02d", 10 + i / 60, i % 60);
        alarms.push_back({times[i], L"x", "+-+-+-+", i % 2});
    }
    setTable(alarms);
    settings.alarms[100].hours = 5;
    openPage();
    EXPECT_EQ(100u, listRows().size());
    applyPage();
    expectTable(alarms);
    EXPECT_EQ(-1, settings.alarms[100].hours);
    DWORD minutes = 0;
    EXPECT_TRUE(numberValue(eventsKey, "Event_99_minutes", minutes));
    EXPECT_EQ(39u, minutes);
}

TEST_F(AlarmsPage, TableOutOfOrderStaysUntilTheFirstAdd)
{
    std::vector<TestAlarm> const stored = {{"09:00", L"nine", "+++++++", 1},
                                           {"07:00", L"seven", "+++++++", 1},
                                           {"08:00", L"eight", "+++++++", 1}};
    setTable(stored);
    openPage();
    EXPECT_EQ("09:00", cell(0, 3));
    EXPECT_EQ("07:00", cell(1, 3));
    selectRow(2);
    runDriven([&] { press(IDC_DELETEALARM); },
              [&] {
                  MessageBoxSeen seen;
                  EXPECT_TRUE(answerMessageBox(productName, thread, IDYES, seen));
              });
    applyPage();
    expectTable({stored[0], stored[1]});

    runDriven([&] { press(IDC_ADDALARM); },
              [&] {
                  HWND editor = waitForDialog("Add alarm", thread);
                  ASSERT_NE(nullptr, editor);
                  SetDlgItemTextA(editor, IDC_HOURS, "8");
                  SetDlgItemTextA(editor, IDC_MINUTES, "30");
                  pressButton(editor, IDOK);
                  EXPECT_TRUE(waitGone(editor));
              });
    EXPECT_EQ("07:00", cell(0, 3));
    EXPECT_EQ("08:30", cell(1, 3));
    EXPECT_EQ("09:00", cell(2, 3));
}

TEST_F(AlarmsPage, SelectWaveFile)
{
    std::wstring path = waveCopy();
    openPage();
    runDriven([&] { press(IDC_SELECTWAVE); }, [&] { chooseWave(thread, L""); });
    EXPECT_EQ("rooster.wav", windowText(GetDlgItem(page, IDC_WAVEFILE)));
    EXPECT_EQ(0, changes());

    runDriven([&] { press(IDC_SELECTWAVE); }, [&] { chooseWave(thread, path); });
    EXPECT_EQ(path, windowTextW(GetDlgItem(page, IDC_WAVEFILE)));
    EXPECT_EQ(1, changes());

    applyPage();
    EXPECT_EQ(path, std::wstring(settings.waveFile));
    std::wstring stored;
    EXPECT_TRUE(textValue(settingsKey, L"Wave file", stored));
    EXPECT_EQ(path, stored);
}

// Off at first; applied and stored when checked. The note beside it
// appears, with the box checked, where Windows refuses to wake the
// computer by a timer.
TEST_F(AlarmsPage, WakeOptionIsAppliedAndStored)
{
    openPage();
    HWND option = GetDlgItem(page, IDC_WAKEALARMS);
    EXPECT_EQ("Wake the computer for alarms", windowText(option));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(option, BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_WAKENOTE)));
    SendMessageA(option, BM_CLICK, 0, 0);
    EXPECT_EQ(1, changes());
    EXPECT_EQ(!tryWakeTimer(), IsWindowVisible(GetDlgItem(page, IDC_WAKENOTE)) != FALSE);
    applyPage();
    EXPECT_EQ(1, settings.wakeForAlarms);
    DWORD stored = 0;
    EXPECT_TRUE(numberValue(settingsKey, "Wake for alarms", stored));
    EXPECT_EQ(1u, stored);
}

TEST_F(AlarmsPage, PlayWaveFile)
{
    lstrcpyW(settings.waveFile, (binFolder() + L"\\rooster.wav").c_str());
    openPage();
    // Each new sound starts the sound file afresh.
    ULONGLONG before = soundBytes();
    press(IDC_PLAYWAVE);
    EXPECT_TRUE(waitUntil([&] { return soundBytes() != before; }, 4000));
    EXPECT_EQ(0, changes());
}

TEST_F(AlarmsPage, FontIsReleased)
{
    // The measure counts: one font more is one object more.
    openPage();
    closePage();
    int objects = liveGdiObjects();
    HFONT probe = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    ASSERT_EQ(objects + 1, liveGdiObjects());
    DeleteObject(probe);
    for (int i = 0; i < 10; ++i) {
        openPage();
        closePage();
    }
    EXPECT_EQ(objects, liveGdiObjects());
}

// The program's own sheet, opened on the Alarms page.
class AlarmsSheet : public AlarmsPageTest {
protected:
    // Opens the sheet and runs script with the sheet and its page.
    void withSheet(std::function<void(HWND, HWND)> const &script)
    {
        runDriven([&] { openPropertySheet(2); },
                  [&] {
                      HWND window = waitForDialog("Properties", thread);
                      ASSERT_NE(nullptr, window);
                      ASSERT_TRUE(waitUntil([] { return alarmList && IsWindowVisible(alarmList); }));
                      script(window, GetParent(alarmList));
                  });
        // The clock's message loop takes over what the sheet's apply posted.
        pumpMessages();
    }
};

TEST_F(AlarmsSheet, OkAppliesAnUncheckedRow)
{
    setTable(weekdayAlarms);
    withSheet([&](HWND window, HWND) {
        checkRow(2, false);
        pressButton(window, IDOK);
        EXPECT_TRUE(waitGone(window));
    });
    std::vector<TestAlarm> expected = weekdayAlarms;
    expected[2].on = 0;
    expectTable(expected);
    DWORD on = 7;
    EXPECT_TRUE(numberValue(eventsKey, "Event_02_on", on));
    EXPECT_EQ(0u, on);
}

TEST_F(AlarmsSheet, CancelKeepsTableAndWaveFile)
{
    setTable(weekdayAlarms);
    std::wstring path = waveCopy();
    withSheet([&](HWND window, HWND sheetPage) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, applyButton)));
        checkRow(0, false);
        selectRow(1);
        pressButton(sheetPage, IDC_DELETEALARM);
        MessageBoxSeen seen;
        EXPECT_TRUE(answerMessageBox(productName, thread, IDYES, seen));
        expectBox(seen, "Delete the selected alarm. Are you sure?", IDI_QUESTION, window);
        // The page deletes the row once the box has gone.
        EXPECT_TRUE(
            waitUntil([&] { return IsWindowEnabled(GetDlgItem(window, applyButton)) != FALSE; }, 3000));

        pressButton(sheetPage, IDC_ADDALARM);
        HWND editor = waitForDialog("Add alarm", thread);
        ASSERT_NE(nullptr, editor);
        SetDlgItemTextA(editor, IDC_HOURS, "22");
        pressButton(editor, IDOK);
        EXPECT_TRUE(waitGone(editor));

        pressButton(sheetPage, IDC_SELECTWAVE);
        chooseWave(thread, path);
        EXPECT_EQ(path, windowTextW(GetDlgItem(sheetPage, IDC_WAVEFILE)));
        EXPECT_EQ(3, SendMessageA(alarmList, LVM_GETITEMCOUNT, 0, 0));

        pressButton(window, IDCANCEL);
        EXPECT_TRUE(waitGone(window));
    });
    expectTable(weekdayAlarms);
    EXPECT_STREQ(L"rooster.wav", settings.waveFile);
    EXPECT_FALSE(keyExists(eventsKey));

    // The sheet opens on the old table again.
    withSheet([&](HWND window, HWND) {
        EXPECT_EQ((std::vector<std::string>{"[x] 00:05|night|-+++++-|00:05", "[ ] 12:00|noon ?|+++++++|12:00",
                                            "[x] 13:30||+-----+|13:30"}),
                  listRows());
        pressButton(window, IDCANCEL);
        EXPECT_TRUE(waitGone(window));
    });
}

TEST_F(AlarmsPage, AnEditorThatCannotBeCreatedChangesNothing)
{
    setTable(weekdayAlarms);
    openPage();
    selectRow(1);
    // A module without the editor's template makes its creation fail.
    setDialogHost(GetModuleHandleA("ntdll.dll"), mainWindow, showHelp);
    AlarmEvent event = {};
    EXPECT_FALSE(editAlarm(page, event, addMode, {}, -1));
    press(IDC_ADDALARM);
    press(IDC_EDITALARM);
    setDialogHost(instance, mainWindow, showHelp);
    EXPECT_EQ(0, changes());
    EXPECT_EQ(3u, listRows().size());
}

namespace {

std::wstring cellText(int row, int column)
{
    wchar_t text[128] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(alarmList, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

// The next-ring column shows the short day and time of the next ring;
// "Skip next" skips it ("skipped"), is applied as the skipped minute, and
// pressed again undoes it.
TEST_F(AlarmsPage, SkipNextAndTheNextRingColumn)
{
    setTable({{"07:30", L"wake", "+++++++", 1}});
    SYSTEMTIME now, next;
    GetLocalTime(&now);
    openPage();
    next = now;
    if (now.wHour * 60 + now.wMinute >= 7 * 60 + 30) {
        FILETIME file;
        SystemTimeToFileTime(&now, &file);
        ULARGE_INTEGER units = {{file.dwLowDateTime, file.dwHighDateTime}};
        units.QuadPart += 864000000000ull;
        file = {units.LowPart, units.HighPart};
        FileTimeToSystemTime(&file, &next);
    }
    next.wHour = 7;
    next.wMinute = 30;
    next.wSecond = next.wMilliseconds = 0;
    wchar_t day[32] = L"", time[32] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &next, L"ddd", day, 32);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &next, nullptr, time, 32);
    std::wstring expected = std::wstring(day) + L" " + time;
    EXPECT_EQ(expected, cellText(0, 4));

    selectRow(0);
    press(IDC_SKIPNEXT);
    EXPECT_EQ(L"skipped", cellText(0, 4));
    EXPECT_EQ(1, changes());
    applyPage();
    SYSTEMTIME skipped;
    ASSERT_TRUE(minuteTime(settings.alarms[0].skip, skipped));
    EXPECT_TRUE(skipped.wYear == next.wYear && skipped.wMonth == next.wMonth && skipped.wDay == next.wDay &&
                skipped.wHour == 7 && skipped.wMinute == 30);

    press(IDC_SKIPNEXT);
    EXPECT_EQ(expected, cellText(0, 4));
    applyPage();
    EXPECT_EQ(0, settings.alarms[0].skip);

    // Switched off, it rings no more; switched on, it does again.
    checkRow(0, false);
    EXPECT_EQ(L"", cellText(0, 4));
    checkRow(0, true);
    EXPECT_EQ(expected, cellText(0, 4));
}

} // namespace

namespace {

// Export writes the list as the file a spreadsheet opens; Import adds that
// file's alarms to the list, leaving out those it has, and tells which
// lines it refused; the table changes only at the apply.
TEST_F(AlarmsPage, ExportAndImportThroughTheButtons)
{
    setTable({{"06:45", L"Gym, early", "-+-+-+-", 1}, {"07:30", L"Wake up", "-+++++-", 0}});
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"alarms export.csv";
    DeleteFileW(path.c_str());
    openPage();
    runDriven([&] { press(IDC_EXPORTALARMS); }, [&] { chooseWave(thread, path, "Export the alarms"); });
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    char bytes[1024] = "";
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes - 1, &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string("\xEF\xBB\xBFtime,days,date,on,description\r\n"
                          "06:45,Mon Wed Fri,,1,\"Gym, early\"\r\n"
                          "07:30,Mon Tue Wed Thu Fri,,0,Wake up\r\n"),
              std::string(bytes, read));

    std::string more =
        std::string(bytes, read) + "25:00,Mon,,1,bad\r\n08:15,Sat Sun,,1,new\r\n09:00,,2020-01-14,1,old\r\n";
    file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteFile(file, more.data(), DWORD(more.size()), &read, nullptr);
    CloseHandle(file);
    MessageBoxSeen seen;
    runDriven([&] { press(IDC_IMPORTALARMS); },
              [&] {
                  chooseWave(thread, path, "Import alarms");
                  EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen));
              });
    EXPECT_EQ("1 alarm was added. 2 already in the list were left out.\n\n2 lines were refused:\n"
              "Line 4: the time \"25:00\" is not HH:MM (00:00 to 23:59)\n"
              "Line 6: its date and time have passed",
              seen.text);
    EXPECT_EQ(3, SendMessageA(alarmList, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("08:15", cell(2, 3));
    EXPECT_EQ(1, changes());
    EXPECT_EQ(-1, settings.alarms[2].hours);
    applyPage();
    EXPECT_EQ(8, settings.alarms[2].hours);
    EXPECT_STREQ(L"new", settings.alarms[2].description);
    DeleteFileW(path.c_str());
}

} // namespace
