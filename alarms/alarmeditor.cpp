// The alarm editor: enters one alarm and adds it to, or replaces it in, the
// Alarms page's list, which it keeps sorted by time.
#include <windows.h>
#include <commctrl.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "res/resource.h"
#include "settings/settings.h"

static int editMode; // 0 Add, 1 Edit
static AlarmEvent working;

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

// Fills the controls from the selected row; false (after telling the
// user) when there is no row to edit.
static bool loadSelectedRow(HWND dialog)
{
    if (alarmRowCount() == 0) {
        MessageBoxA(dialog, "There is no event in listview!", productName, MB_ICONINFORMATION);
        return false;
    }
    int row = firstSelectedRow();
    if (row == -1) {
        MessageBoxA(dialog, "Please select a line for edit!", productName, MB_ICONINFORMATION);
        return false;
    }
    working = readAlarmRow(row);
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
        char name[80] = "";
        GetDateFormatA(0, 0, &date, "ddd", name, sizeof name);
        SetDlgItemTextA(dialog, IDC_SUNDAY + day, name);
        CheckDlgButton(dialog, IDC_SUNDAY + day,
                       editMode == 0 || working.week[day] ? BST_CHECKED : BST_UNCHECKED);
    }
    // Sunday moves down past each other day, so the boxes read Monday to
    // Sunday; the tab order stays.
    if (mondayFirst)
        for (int day = 1; day < 7; ++day)
            swapControlPositions(dialog, IDC_SUNDAY, IDC_SUNDAY + day);
}

static void onInitDialog(HWND dialog, LPARAM mode)
{
    attachUpDown(dialog, IDC_HOURSSPIN, IDC_HOURS, 23);
    attachUpDown(dialog, IDC_MINUTESSPIN, IDC_MINUTES, 59);
    editMode = static_cast<int>(mode);
    if (editMode == 0) {
        SetWindowTextA(dialog, "Add alarm");
        if (alarmRowCount() >= maxAlarms) {
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
        if (!loadSelectedRow(dialog)) {
            EndDialog(dialog, 0);
            return;
        }
    }
    SendDlgItemMessageA(dialog, IDC_HOURS, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageA(dialog, IDC_MINUTES, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageA(dialog, IDC_DESCRIPTION, EM_LIMITTEXT, textUnits, 0);
    setWeekdayBoxes(dialog);
    if (!use24Hour) {
        SetDlgItemTextA(dialog, IDC_HOURSLABEL, "Hours (1-12)");
        SendDlgItemMessageA(dialog, IDC_HOURSSPIN, UDM_SETRANGE, 0, MAKELPARAM(12, 1));
        ShowWindow(GetDlgItem(dialog, IDC_AM), SW_SHOW);
        ShowWindow(GetDlgItem(dialog, IDC_PM), SW_SHOW);
    }
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
static bool timeUsed(int editedRow)
{
    for (int row = 0; row < alarmRowCount(); ++row) {
        if (editMode == 1 && row == editedRow)
            continue;
        AlarmEvent event = readAlarmRow(row);
        if (event.hours == working.hours && event.minutes == working.minutes)
            return true;
    }
    return false;
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

static void selectTime(int hours, int minutes)
{
    for (int row = 0; row < alarmRowCount(); ++row) {
        AlarmEvent event = readAlarmRow(row);
        if (event.hours == hours && event.minutes == minutes) {
            LVITEMA item = {};
            item.state = LVIS_SELECTED;
            item.stateMask = LVIS_SELECTED;
            SendMessageA(alarmList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
            return;
        }
    }
}

static void onOk(HWND dialog)
{
    if (!readTime(dialog))
        return;
    GetDlgItemTextW(dialog, IDC_DESCRIPTION, working.description, textUnits);
    int row = firstSelectedRow();
    if (timeUsed(row)) {
        refuse(dialog, "This time is used", MB_ICONINFORMATION);
        return;
    }
    if (!readWeekdays(dialog)) {
        refuse(dialog, "At least on day of the week must be checked", MB_ICONERROR);
        return;
    }
    if (editMode == 1) {
        working.on = readAlarmRow(row).on;
        SendMessageA(alarmList, LVM_DELETEITEM, row, 0);
    } else {
        working.on = 1;
    }
    addAlarmRow(working, alarmRowCount());
    sortAlarmRows();
    selectTime(working.hours, working.minutes);
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK alarmEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, lParam);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onOk(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        }
        return 0;
    }
    return 0;
}

// A Unicode dialog, so that its description edit keeps texts in every script.
INT_PTR editAlarm(HWND page, int mode)
{
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ALARMEDIT), page, alarmEditorProc, mode);
}
