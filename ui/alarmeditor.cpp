// The alarm editor: enters one alarm, new or one of the Alarms page's, whose
// time no other row of the page may have.
#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/alarmeditor.h"
#include "ui/alarmspage.h"
#include "ui/pages.h"
#include "ui/ui.h"

// What the open editor was handed.
static AlarmEditMode mode;
static AlarmEvent working;
static std::vector<AlarmEvent> const *rows;
static int editedRow;
static HWND ownerPage; // the Alarms page, whose wave file an alarm without its own sound rings

static void swapControlPositions(HWND dialog, int firstId, int secondId)
{
    HWND first = GetDlgItem(dialog, firstId);
    HWND second = GetDlgItem(dialog, secondId);
    RECT firstRect, secondRect;
    GetWindowRect(first, &firstRect);
    GetWindowRect(second, &secondRect);
    POINT firstCorner = {firstRect.left, firstRect.top};
    POINT secondCorner = {secondRect.left, secondRect.top};
    ScreenToClient(dialog, &firstCorner);
    ScreenToClient(dialog, &secondCorner);
    MoveWindow(second, firstCorner.x, firstCorner.y, secondRect.right - secondRect.left,
               secondRect.bottom - secondRect.top, FALSE);
    MoveWindow(first, secondCorner.x, secondCorner.y, firstRect.right - firstRect.left,
               firstRect.bottom - firstRect.top, FALSE);
}

static void attachUpDown(HWND dialog, int upDownId, int editId, int highest)
{
    SendDlgItemMessageA(dialog, upDownId, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dialog, editId)),
                        0);
    SendDlgItemMessageA(dialog, upDownId, UDM_SETRANGE, 0, MAKELPARAM(highest, 0));
    SendDlgItemMessageA(dialog, upDownId, UDM_SETPOS, 0, MAKELPARAM(0, 0));
}

// Fills the controls from the edited row; false (after telling the user)
// when there is no row to edit.
static bool loadEditedRow(HWND dialog)
{
    if (rows->empty()) {
        MessageBoxA(dialog, "There is no event in listview!", productName, MB_ICONINFORMATION);
        return false;
    }
    if (editedRow == -1) {
        MessageBoxA(dialog, "Please select a line for edit!", productName, MB_ICONINFORMATION);
        return false;
    }
    SetDlgItemTextW(dialog, IDC_DESCRIPTION, working.description);
    int hours = working.hours;
    if (!use24Hour) {
        CheckDlgButton(dialog, hours < 12 ? IDC_AM : IDC_PM, BST_CHECKED);
        if (hours >= 12)
            hours -= 12;
        if (hours == 0)
            hours = 12;
    }
    SetDlgItemInt(dialog, IDC_HOURS, hours, FALSE);
    SetDlgItemInt(dialog, IDC_MINUTES, working.minutes, FALSE);
    return true;
}

static void setWeekdayBoxes(HWND dialog)
{
    for (int day = 0; day < 7; ++day) {
        // 1 January 2012 was a Sunday.
        SYSTEMTIME date = {};
        date.wYear = 2012;
        date.wMonth = 1;
        date.wDay = static_cast<WORD>(day + 1);
        wchar_t name[80] = L"";
        GetDateFormatW(0, 0, &date, L"ddd", name, ARRAYSIZE(name));
        SetDlgItemTextW(dialog, IDC_SUNDAY + day, name);
        CheckDlgButton(dialog, IDC_SUNDAY + day,
                       mode == addMode || working.week[day] ? BST_CHECKED : BST_UNCHECKED);
    }
    // Sunday moves down past each other day, so the boxes read Monday to
    // Sunday; the tab order stays.
    if (mondayFirst)
        for (int day = 1; day < 7; ++day)
            swapControlPositions(dialog, IDC_SUNDAY, IDC_SUNDAY + day);
}

// The entered time in 24-hour form without telling anything; -1 when it
// is out of range.
static int enteredMinuteOfDay(HWND dialog)
{
    UINT hours = GetDlgItemInt(dialog, IDC_HOURS, nullptr, FALSE);
    UINT minutes = GetDlgItemInt(dialog, IDC_MINUTES, nullptr, FALSE);
    if (!use24Hour) {
        if (hours < 1 || hours > 12)
            return -1;
        hours = hours % 12 + (IsDlgButtonChecked(dialog, IDC_PM) == BST_CHECKED ? 12 : 0);
    }
    return hours > 23 || minutes > 59 ? -1 : int(hours * 60 + minutes);
}

static void setOnceDate(HWND dialog, LONGLONG day)
{
    SYSTEMTIME date;
    if (minuteTime(day, date))
        SendDlgItemMessageW(dialog, IDC_ONCEDATE, DTM_SETSYSTEMTIME, GDT_VALID,
                            reinterpret_cast<LPARAM>(&date));
}

// "Once, on" turns the weekday boxes off and the date on, at first the
// next date at which the entered time comes.
static void showOnce(HWND dialog, bool proposeDate)
{
    bool once = IsDlgButtonChecked(dialog, IDC_ONCE) == BST_CHECKED;
    for (int day = 0; day < 7; ++day)
        EnableWindow(GetDlgItem(dialog, IDC_SUNDAY + day), !once);
    EnableWindow(GetDlgItem(dialog, IDC_ONCEDATE), once);
    if (!once || !proposeDate)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    LONGLONG minute = localMinute(now), today = minute / minutesPerDay * minutesPerDay;
    int time = enteredMinuteOfDay(dialog);
    setOnceDate(dialog, time >= 0 && today + time > minute ? today : today + minutesPerDay);
}

static void onInitDialog(HWND dialog)
{
    attachUpDown(dialog, IDC_HOURSSPIN, IDC_HOURS, 23);
    attachUpDown(dialog, IDC_MINUTESSPIN, IDC_MINUTES, 59);
    if (mode == addMode) {
        SetWindowTextA(dialog, "Add alarm");
        if (rows->size() >= size_t(maxAlarms)) {
            MessageBoxA(dialog, "No more alarms can be added: the list already holds 100.", productName,
                        MB_ICONINFORMATION);
            EndDialog(dialog, 0);
            return;
        }
        if (!use24Hour) {
            CheckDlgButton(dialog, IDC_AM, BST_CHECKED);
            SetDlgItemInt(dialog, IDC_HOURS, 1, FALSE);
        }
    } else {
        SetWindowTextA(dialog, "Edit alarm");
        if (!loadEditedRow(dialog)) {
            EndDialog(dialog, 0);
            return;
        }
    }
    SendDlgItemMessageA(dialog, IDC_HOURS, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageA(dialog, IDC_MINUTES, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageA(dialog, IDC_DESCRIPTION, EM_LIMITTEXT, textUnits, 0);
    SetDlgItemTextW(dialog, IDC_ALARMSOUND, working.sound);
    SendDlgItemMessageW(dialog, IDC_ALARMSOUND, EM_LIMITTEXT, textUnits - 1, 0);
    setWeekdayBoxes(dialog);
    if (!use24Hour) {
        SetDlgItemTextA(dialog, IDC_HOURSLABEL, "Hours (1-12)");
        SendDlgItemMessageA(dialog, IDC_HOURSSPIN, UDM_SETRANGE, 0, MAKELPARAM(12, 1));
        ShowWindow(GetDlgItem(dialog, IDC_AM), SW_SHOW);
        ShowWindow(GetDlgItem(dialog, IDC_PM), SW_SHOW);
    }
    if (mode == editMode && working.date) {
        CheckDlgButton(dialog, IDC_ONCE, BST_CHECKED);
        setOnceDate(dialog, working.date);
    }
    showOnce(dialog, false);
    keepDialogOnScreen(dialog);
}

static bool refuse(HWND dialog, char const *text, UINT icon)
{
    MessageBoxA(dialog, text, productName, icon);
    return false;
}

// The entered time in 24-hour form, or false after telling the user.
static bool readTime(HWND dialog)
{
    UINT hours = GetDlgItemInt(dialog, IDC_HOURS, nullptr, FALSE);
    if (use24Hour) {
        if (hours > 23)
            return refuse(dialog, "Invalid hours", MB_ICONERROR);
    } else {
        if (hours < 1 || hours > 12)
            return refuse(dialog, "Invalid hours", MB_ICONERROR);
        if (hours == 12)
            hours = 0;
        if (IsDlgButtonChecked(dialog, IDC_PM) == BST_CHECKED)
            hours += 12;
    }
    UINT minutes = GetDlgItemInt(dialog, IDC_MINUTES, nullptr, FALSE);
    if (minutes > 59)
        return refuse(dialog, "Invalid minutes", MB_ICONERROR);
    working.hours = static_cast<int>(hours);
    working.minutes = static_cast<int>(minutes);
    return true;
}

// Whether a row other than the edited one has the working alarm's time.
// Every row is looked at: a table loaded from the registry may be out of
// order until the first sort.
static bool timeUsed()
{
    for (size_t row = 0; row < rows->size(); ++row) {
        if (mode == editMode && int(row) == editedRow)
            continue;
        AlarmEvent const &event = (*rows)[row];
        if (event.hours == working.hours && event.minutes == working.minutes)
            return true;
    }
    return false;
}

// The once-only alarm's day from the date picker; false after telling
// the user when its moment has passed.
static bool readOnceDate(HWND dialog)
{
    SYSTEMTIME date = {}, now;
    SendDlgItemMessageW(dialog, IDC_ONCEDATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    date.wHour = date.wMinute = date.wSecond = date.wMilliseconds = 0;
    GetLocalTime(&now);
    working.date = localMinute(date);
    for (int day = 0; day < 7; ++day)
        working.week[day] = 0; // an older version never rings it
    if (!working.date || working.date + working.hours * 60 + working.minutes <= localMinute(now))
        return refuse(dialog, "This date and time have passed: choose a later one.", MB_ICONERROR);
    return true;
}

static bool readWeekdays(HWND dialog)
{
    bool any = false;
    for (int day = 0; day < 7; ++day) {
        working.week[day] = IsDlgButtonChecked(dialog, IDC_SUNDAY + day) == BST_CHECKED;
        any = any || working.week[day];
    }
    return any;
}

static void onOk(HWND dialog)
{
    if (!readTime(dialog))
        return;
    GetDlgItemTextW(dialog, IDC_DESCRIPTION, working.description, textUnits);
    GetDlgItemTextW(dialog, IDC_ALARMSOUND, working.sound, textUnits);
    if (timeUsed()) {
        refuse(dialog, "This time is used", MB_ICONINFORMATION);
        return;
    }
    if (IsDlgButtonChecked(dialog, IDC_ONCE) == BST_CHECKED) {
        if (!readOnceDate(dialog))
            return;
    } else if (!readWeekdays(dialog)) {
        refuse(dialog, "At least on day of the week must be checked", MB_ICONERROR);
        return;
    } else {
        working.date = 0;
    }
    if (mode == addMode)
        working.on = 1;
    EndDialog(dialog, 1);
}

static void browseSound(HWND dialog)
{
    wchar_t path[textUnits];
    if (chooseFile(dialog, L"Wave file (*.wav)\0*.wav\0", L"Please select a wave file", true, path))
        SetDlgItemTextW(dialog, IDC_ALARMSOUND, path);
}

// The alarm's own sound, else the wave file that the Alarms page shows.
static void playSound(HWND dialog)
{
    wchar_t name[textUnits];
    GetDlgItemTextW(dialog, IDC_ALARMSOUND, name, textUnits);
    if (!name[0])
        GetDlgItemTextW(ownerPage, IDC_WAVEFILE, name, textUnits);
    playWaveOnce(name);
}

static INT_PTR CALLBACK alarmEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onOk(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_ONCE:
            showOnce(dialog, true);
            break;
        case IDC_BROWSESOUND:
            browseSound(dialog);
            break;
        case IDC_PLAYSOUND:
            playSound(dialog);
            break;
        }
        return 0;
    }
    return 0;
}

// A Unicode dialog, so that its description edit keeps texts in every script.
bool editAlarm(HWND owner, AlarmEvent &event, AlarmEditMode editing, std::vector<AlarmEvent> const &list,
               int row)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    mode = editing;
    ownerPage = owner;
    working = event;
    rows = &list;
    editedRow = row;
    if (DialogBoxParamW(dialogModule(), MAKEINTRESOURCEW(IDD_ALARMEDIT), owner, alarmEditorProc, 0) != 1)
        return false;
    event = working;
    return true;
}
