// The Alarms page: the alarm list with its row operations, the buttons
// around it and the wave file.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <prsht.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "alarms/alarms.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/alarmeditor.h"
#include "ui/alarmspage.h"
#include "ui/pages.h"
#include "ui/ui.h"

HWND alarmList;
int use24Hour;
int mondayFirst;

static HFONT heavyFont; // the wave file label's font

static int const timeColumn = 0;
static int const descriptionColumn = 1;
static int const weekColumn = 2;
static int const time24Column = 3; // hidden; the sort key
static int const soundColumn = 4;  // hidden; the alarm's own sound

static int const helpTopic = 3;

// Room that the list keeps around a cell's text: before the check box and
// after the label.
static int const textMargins = 12;

std::string formatTime12(int hours, int minutes)
{
    int hour = hours < 12 ? hours : hours - 12;
    if (hour == 0)
        hour = 12;
    char text[32];
    wsprintfA(text, "%02d:%02d %s", hour, minutes, hours >= 12 ? "PM" : "AM");
    return text;
}

static std::string formatTime24(int hours, int minutes)
{
    char text[16];
    wsprintfA(text, "%02d:%02d", hours, minutes);
    return text;
}

// The time as the "Time" column shows it.
static std::string timeText(int hours, int minutes)
{
    return use24Hour ? formatTime24(hours, minutes) : formatTime12(hours, minutes);
}

static void setRowText(int row, int column, char const *text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char *>(text);
    SendMessageA(alarmList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

static void rowText(int row, int column, char *text, int size)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = size;
    text[0] = '\0';
    SendMessageA(alarmList, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

// The row's check box: state image 2 is checked, 1 unchecked.
static int rowChecked(int row)
{
    UINT state = static_cast<UINT>(SendMessageA(alarmList, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

static int alarmRowCount()
{
    return static_cast<int>(SendMessageA(alarmList, LVM_GETITEMCOUNT, 0, 0));
}

static void addAlarmRow(AlarmEvent const &event, int index)
{
    LVITEMA item = {};
    item.iItem = index;
    int row = static_cast<int>(SendMessageA(alarmList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));

    setRowText(row, timeColumn, timeText(event.hours, event.minutes).c_str());
    setRowText(row, time24Column, formatTime24(event.hours, event.minutes).c_str());

    LVITEMW description = {};
    description.iSubItem = descriptionColumn;
    description.pszText = const_cast<wchar_t *>(event.description);
    SendMessageW(alarmList, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&description));
    LVITEMW sound = {};
    sound.iSubItem = soundColumn;
    sound.pszText = const_cast<wchar_t *>(event.sound);
    SendMessageW(alarmList, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sound));

    LVITEMA check = {};
    check.stateMask = LVIS_STATEIMAGEMASK;
    check.state = INDEXTOSTATEIMAGEMASK(event.on ? 2 : 1);
    SendMessageA(alarmList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&check));

    char week[8];
    for (int p = 0; p < 7; ++p)
        week[p] = event.week[(p + mondayFirst) % 7] ? '+' : '-';
    week[7] = '\0';
    setRowText(row, weekColumn, week);
}

AlarmEvent readAlarmRow(int index)
{
    AlarmEvent event = {};
    LVITEMW description = {};
    description.iSubItem = descriptionColumn;
    description.pszText = event.description;
    description.cchTextMax = textUnits;
    SendMessageW(alarmList, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&description));
    LVITEMW sound = {};
    sound.iSubItem = soundColumn;
    sound.pszText = event.sound;
    sound.cchTextMax = textUnits;
    SendMessageW(alarmList, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sound));

    char text[260];
    rowText(index, time24Column, text, sizeof text);
    event.hours = atoi(text);
    event.minutes = lstrlenA(text) > 3 ? atoi(text + 3) : 0;
    event.on = rowChecked(index);

    rowText(index, weekColumn, text, sizeof text);
    int length = lstrlenA(text);
    for (int p = 0; p < 7; ++p)
        event.week[(p + mondayFirst) % 7] = !(p < length && text[p] == '-');
    return event;
}

static int firstSelectedRow()
{
    return static_cast<int>(SendMessageA(alarmList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Rows are compared by their numbers from before the sort (their item
// data), through keys, the copy of their Time24 texts in that order.
static int CALLBACK compareAlarmRows(LPARAM first, LPARAM second, LPARAM keys)
{
    std::vector<std::string> const &times = *reinterpret_cast<std::vector<std::string> const *>(keys);
    return lstrcmpA(times[first].c_str(), times[second].c_str());
}

static void sortAlarmRows()
{
    // The comparison never reads the list while it sorts: a list view may
    // sort a copy of its rows and answer for the rows of before the sort.
    std::vector<std::string> times;
    for (int row = 0; row < alarmRowCount(); ++row) {
        char text[260];
        rowText(row, time24Column, text, sizeof text);
        times.push_back(text);
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = row;
        SendMessageA(alarmList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(alarmList, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&times),
                 reinterpret_cast<LPARAM>(compareAlarmRows));
}

static void applyAlarmsPage(HWND page)
{
    // The editor never lets the list grow past the table.
    int count = std::min(alarmRowCount(), maxAlarms);
    for (int i = 0; i < count; ++i)
        settings.alarms[i] = readAlarmRow(i);
    settings.alarms[count].hours = -1;
    GetDlgItemTextW(page, IDC_WAVEFILE, settings.waveFile, textUnits);
    settings.wakeForAlarms = IsDlgButtonChecked(page, IDC_WAKEALARMS) == BST_CHECKED;
    LRESULT item = SendDlgItemMessageW(page, IDC_QUIETLENGTH, CB_GETCURSEL, 0, 0);
    settings.startQuietly = IsDlgButtonChecked(page, IDC_STARTQUIETLY) == BST_CHECKED && item != CB_ERR
                                ? int(SendDlgItemMessageW(page, IDC_QUIETLENGTH, CB_GETITEMDATA, item, 0))
                                : 0;
    postSettingsApplied();
}

static int stringWidth(std::string const &text)
{
    return static_cast<int>(
        SendMessageA(alarmList, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

// The "Time" column holds each row's check box, a small icon wide (Wine's
// are smaller), beside the widest time it can show: "12:59 AM" or
// "12:59 PM", or "00:59" and "12:59".
static int timeColumnWidth(UINT dpi)
{
    return metricForDpi(SM_CXSMICON, dpi) +
           std::max(stringWidth(timeText(0, 59)), stringWidth(timeText(12, 59))) +
           MulDiv(textMargins, dpi, standardDpi);
}

// The given widths (standard pixels, scaled to the list's DPI) hold where
// they already fit; a column that is too narrow for its caption or, "Time",
// for its content grows.
static struct {
    char const *caption;
    int width;
} const columns[] = {{"Time", 70}, {"Description", 180}, {"Day of week", 75}, {"Time24", 0}, {"Sound", 0}};

static int columnWidth(int i, UINT dpi)
{
    // The header leaves three edges of room on each side of a caption.
    int width = MulDiv(columns[i].width, dpi, standardDpi);
    if (columns[i].width)
        width = std::max(width, stringWidth(columns[i].caption) + 6 * metricForDpi(SM_CXEDGE, dpi));
    if (i == timeColumn)
        width = std::max(width, timeColumnWidth(dpi));
    return width;
}

static void insertColumns()
{
    UINT dpi = windowDpi(alarmList);
    for (int i = 0; i < int(ARRAYSIZE(columns)); ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char *>(columns[i].caption);
        column.cx = columnWidth(i, dpi);
        SendMessageA(alarmList, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

// At a new DPI the list has its new font: the columns are measured again.
static void rescale(HWND page)
{
    UINT dpi = windowDpi(alarmList);
    for (int i = 0; i < int(ARRAYSIZE(columns)); ++i)
        SendMessageA(alarmList, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(columnWidth(i, dpi), 0));
    heavyFont = setHeavyFont(GetDlgItem(page, IDC_WAVEFILE), heavyFont);
}

// Beside a checked wake option, the note says so when Windows cannot wake
// this computer by a timer.
static void showWakeNote(HWND page)
{
    bool refused = IsDlgButtonChecked(page, IDC_WAKEALARMS) == BST_CHECKED && !tryWakeTimer();
    ShowWindow(GetDlgItem(page, IDC_WAKENOTE), refused ? SW_SHOWNA : SW_HIDE);
}

// The quiet start's lengths; the one in use, else 30 seconds, is chosen.
static void fillQuietLengths(HWND page)
{
    wchar_t format[nameLength] = L"";
    LoadStringW(dialogModule(), IDS_QUIETLENGTH, format, nameLength);
    int chosen = settings.startQuietly ? settings.startQuietly : 30;
    for (int seconds : quietLengths) {
        wchar_t text[nameLength + 16];
        wsprintfW(text, format, seconds);
        LRESULT item =
            SendDlgItemMessageW(page, IDC_QUIETLENGTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendDlgItemMessageW(page, IDC_QUIETLENGTH, CB_SETITEMDATA, item, seconds);
        if (seconds == chosen)
            SendDlgItemMessageW(page, IDC_QUIETLENGTH, CB_SETCURSEL, item, 0);
    }
    CheckDlgButton(page, IDC_STARTQUIETLY, settings.startQuietly ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_QUIETLENGTH), settings.startQuietly != 0);
}

// The line that says what would keep the next alarm from being heard or
// from waking the computer, as the system says now.
static void showRingWarning(HWND page)
{
    gatherRingFacts();
    wchar_t const *line = ringWarning(ringFacts).line;
    SetDlgItemTextW(page, IDC_RINGWARNING, line ? line : L"");
}

static void onInitDialog(HWND page)
{
    alarmList = GetDlgItem(page, IDC_ALARMLIST);
    SendMessageA(alarmList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    insertColumns();
    for (int i = 0; i < maxAlarms && settings.alarms[i].hours != -1; ++i)
        addAlarmRow(settings.alarms[i], i);

    SetDlgItemTextW(page, IDC_WAVEFILE, settings.waveFile);
    heavyFont = setHeavyFont(GetDlgItem(page, IDC_WAVEFILE), nullptr);
    CheckDlgButton(page, IDC_WAKEALARMS, settings.wakeForAlarms ? BST_CHECKED : BST_UNCHECKED);
    showWakeNote(page);
    fillQuietLengths(page);
    showRingWarning(page);
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

// The editor's alarm replaces the edited row or joins the list, which is
// then sorted by time again with the alarm selected. An editor that could
// not be created changed nothing.
static void openEditor(HWND page, AlarmEditMode mode)
{
    std::vector<AlarmEvent> rows;
    for (int row = 0; row < alarmRowCount(); ++row)
        rows.push_back(readAlarmRow(row));
    int row = firstSelectedRow();
    AlarmEvent event = {};
    if (mode == editMode && row != -1)
        event = rows[row];
    if (!editAlarm(page, event, mode, rows, row))
        return;
    if (mode == editMode)
        SendMessageA(alarmList, LVM_DELETEITEM, row, 0);
    addAlarmRow(event, alarmRowCount());
    sortAlarmRows();
    selectTime(event.hours, event.minutes);
    PropSheet_Changed(GetParent(page), page);
}

static void deleteAlarm(HWND page)
{
    if (alarmRowCount() == 0) {
        MessageBoxA(page, "There is no event in listview!", productName, MB_ICONINFORMATION);
        return;
    }
    int row = firstSelectedRow();
    if (row == -1) {
        MessageBoxA(page, "Please select a line for delete!", productName, MB_ICONINFORMATION);
        return;
    }
    if (MessageBoxA(page, "Delete the selected alarm. Are you sure?", productName,
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO)
        return;
    SendMessageA(alarmList, LVM_DELETEITEM, row, 0);
    PropSheet_Changed(GetParent(page), page);
}

// Played through the UTF-16 call, so that every path the file dialog can
// pick also plays. It replaces any sound playing, a ringing alarm's too.
void playWaveOnce(wchar_t const *name)
{
    wchar_t path[MAX_PATH];
    stopAlarmPlayer();
    if (programFilePath(name, path))
        PlaySoundW(path, nullptr, SND_ASYNC);
}

static void playWave(HWND page)
{
    wchar_t name[textUnits];
    GetDlgItemTextW(page, IDC_WAVEFILE, name, textUnits);
    playWaveOnce(name);
}

static void selectWave(HWND page)
{
    wchar_t path[textUnits];
    if (!chooseFile(page, L"Wave file (*.wav)\0*.wav\0", L"Please select a wave file", true, path))
        return;
    SetDlgItemTextW(page, IDC_WAVEFILE, path);
    PropSheet_Changed(GetParent(page), page);
}

static void onCommand(HWND page, int id, int code)
{
    switch (id) {
    case IDC_ADDALARM:
        openEditor(page, addMode);
        break;
    case IDC_EDITALARM:
        openEditor(page, editMode);
        break;
    case IDC_DELETEALARM:
        deleteAlarm(page);
        break;
    case IDC_PLAYWAVE:
        playWave(page);
        break;
    case IDC_SELECTWAVE:
        selectWave(page);
        break;
    case IDC_WAKEALARMS:
        showWakeNote(page);
        PropSheet_Changed(GetParent(page), page);
        break;
    case IDC_STARTQUIETLY:
        EnableWindow(GetDlgItem(page, IDC_QUIETLENGTH),
                     IsDlgButtonChecked(page, IDC_STARTQUIETLY) == BST_CHECKED);
        PropSheet_Changed(GetParent(page), page);
        break;
    case IDC_QUIETLENGTH:
        if (code == CBN_SELCHANGE)
            PropSheet_Changed(GetParent(page), page);
        break;
    }
}

static void onNotify(HWND page, NMHDR const *header)
{
    switch (header->code) {
    case PSN_APPLY:
        applyAlarmsPage(page);
        break;
    case PSN_HELP:
        showPageHelp(helpTopic);
        break;
    case NM_DBLCLK:
        if (header->idFrom == IDC_ALARMLIST)
            openEditor(page, alarmRowCount() > 0 ? editMode : addMode);
        break;
    }
}

static void onDestroy(HWND page)
{
    releaseHeavyFont(GetDlgItem(page, IDC_WAVEFILE), heavyFont);
    heavyFont = nullptr;
    alarmList = nullptr;
}

INT_PTR CALLBACK alarmsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(page);
        return TRUE;
    case WM_NOTIFY:
        onNotify(page, reinterpret_cast<NMHDR const *>(lParam));
        return 0;
    case WM_COMMAND:
        onCommand(page, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DESTROY:
        onDestroy(page);
        return 0;
    case dpiChangedAfterParent:
        rescaleLater(page);
        return 0;
    case dpiRescale:
        rescale(page);
        return TRUE;
    }
    return 0;
}
