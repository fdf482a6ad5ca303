// The Alarms page: the alarm list with its row operations, the buttons
// around it and the wave file.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <prsht.h>

#include <algorithm>
#include <cstdlib>
#include <map>
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
static int const nextColumn = 4;

// Each row's item data is its alarm's id; what its texts do not show (the
// once-only date, the skip, its own sound) is kept here by that id.
static std::map<int, AlarmEvent> rowAlarms;
// The list holds its rows; before, the rows' check boxes are being set.
static bool listFilled;

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

static void setRowTextW(int row, int column, wchar_t const *text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t *>(text);
    SendMessageW(alarmList, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// A minute's date in the user's format: DATE_SHORTDATE, or the picture.
static std::wstring dateText(LONGLONG minute, DWORD flags, wchar_t const *picture)
{
    SYSTEMTIME time;
    wchar_t text[80] = L"";
    if (minuteTime(minute, time))
        GetDateFormatW(LOCALE_USER_DEFAULT, flags, &time, picture, text, ARRAYSIZE(text));
    return text;
}

static int rowId(int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(alarmList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return int(item.lParam);
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
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = event.id;
    int row = static_cast<int>(SendMessageA(alarmList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    rowAlarms[event.id] = event;

    setRowText(row, timeColumn, timeText(event.hours, event.minutes).c_str());
    setRowText(row, time24Column, formatTime24(event.hours, event.minutes).c_str());

    LVITEMW description = {};
    description.iSubItem = descriptionColumn;
    description.pszText = const_cast<wchar_t *>(event.description);
    SendMessageW(alarmList, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&description));

    LVITEMA check = {};
    check.stateMask = LVIS_STATEIMAGEMASK;
    check.state = INDEXTOSTATEIMAGEMASK(event.on ? 2 : 1);
    SendMessageA(alarmList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&check));

    char week[8];
    for (int p = 0; p < 7; ++p)
        week[p] = event.week[(p + mondayFirst) % 7] ? '+' : '-';
    week[7] = '\0';
    if (event.date)
        setRowTextW(row, weekColumn, dateText(event.date, DATE_SHORTDATE, nullptr).c_str());
    else
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

    char text[260];
    rowText(index, time24Column, text, sizeof text);
    event.hours = atoi(text);
    event.minutes = lstrlenA(text) > 3 ? atoi(text + 3) : 0;
    event.on = rowChecked(index);

    event.id = rowId(index);
    auto kept = rowAlarms.find(event.id);
    if (kept != rowAlarms.end()) {
        event.date = kept->second.date;
        event.skip = kept->second.skip;
        lstrcpynW(event.sound, kept->second.sound, ARRAYSIZE(event.sound));
    }
    rowText(index, weekColumn, text, sizeof text);
    int length = lstrlenA(text);
    for (int p = 0; p < 7; ++p)
        event.week[(p + mondayFirst) % 7] = !event.date && !(p < length && text[p] == '-');
    return event;
}

static int firstSelectedRow()
{
    return static_cast<int>(SendMessageA(alarmList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Rows are compared by their ids (their item data), through keys, the
// copy of their Time24 texts by id.
static int CALLBACK compareAlarmRows(LPARAM first, LPARAM second, LPARAM keys)
{
    std::map<LPARAM, std::string> const &times =
        *reinterpret_cast<std::map<LPARAM, std::string> const *>(keys);
    return lstrcmpA(times.at(first).c_str(), times.at(second).c_str());
}

static void sortAlarmRows()
{
    // The comparison never reads the list while it sorts: a list view may
    // sort a copy of its rows and answer for the rows of before the sort.
    std::map<LPARAM, std::string> times;
    for (int row = 0; row < alarmRowCount(); ++row) {
        char text[260];
        rowText(row, time24Column, text, sizeof text);
        times[rowId(row)] = text;
    }
    SendMessageA(alarmList, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&times),
                 reinterpret_cast<LPARAM>(compareAlarmRows));
}

// The next-ring column: short day and time within a week, else the date
// and time; "skipped" for a skipped next ring; empty for none.
static void renewNextRings()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    AlarmTick tick = {0, localMinute(now), false};
    for (int row = 0; row < alarmRowCount(); ++row) {
        AlarmEvent event = readAlarmRow(row);
        AlarmPlan plan = planAlarm(event, findSnooze(snoozes, event.id), tick, nullptr);
        std::wstring text;
        if (plan.state == alarmSkipped) {
            text = L"skipped";
        } else if (plan.next) {
            text = nextRingText(plan.next, tick.now);
        }
        setRowTextW(row, nextColumn, text.c_str());
    }
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
} const columns[] = {
    {"Time", 70}, {"Description", 180}, {"Day of week", 75}, {"Time24", 0}, {"Next ring", 110}};

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
    rowAlarms.clear();
    listFilled = false;
    // A row is known by its id: one without its own gets a fresh one.
    for (int i = 0; i < maxAlarms && settings.alarms[i].hours != -1; ++i) {
        AlarmEvent event = settings.alarms[i];
        if (event.id <= 0 || rowAlarms.count(event.id))
            event.id = newAlarmId();
        addAlarmRow(event, i);
    }
    listFilled = true;
    renewNextRings();

    SetDlgItemTextW(page, IDC_WAVEFILE, settings.waveFile);
    heavyFont = setHeavyFont(GetDlgItem(page, IDC_WAVEFILE), nullptr);
    CheckDlgButton(page, IDC_WAKEALARMS, settings.wakeForAlarms ? BST_CHECKED : BST_UNCHECKED);
    showWakeNote(page);
    fillQuietLengths(page);
    showRingWarning(page);
}

static void selectAlarm(int id)
{
    for (int row = 0; row < alarmRowCount(); ++row) {
        if (rowId(row) == id) {
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
    // A new time, new days or a new date make another alarm: the snooze and
    // the skip of the old one are dropped with its id.
    if (mode == addMode || event.hours != rows[row].hours || event.minutes != rows[row].minutes ||
        event.date != rows[row].date || !std::equal(event.week, event.week + 7, rows[row].week)) {
        event.id = newAlarmId();
        event.skip = 0;
    }
    if (mode == editMode)
        SendMessageA(alarmList, LVM_DELETEITEM, row, 0);
    addAlarmRow(event, alarmRowCount());
    sortAlarmRows();
    selectAlarm(event.id);
    renewNextRings();
    PropSheet_Changed(GetParent(page), page);
}

// "Skip next": the selected weekly alarm's next occurrence is skipped, or,
// skipped already, rings again.
static void skipNext(HWND page)
{
    int row = firstSelectedRow();
    if (row == -1) {
        MessageBoxA(page, "Please select a line for skip!", productName, MB_ICONINFORMATION);
        return;
    }
    AlarmEvent event = readAlarmRow(row);
    if (event.date) {
        MessageBoxA(page, "A once-only alarm has no next ring to skip: switch it off instead.", productName,
                    MB_ICONINFORMATION);
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    LONGLONG minute = localMinute(now);
    rowAlarms[event.id].skip = event.skip > minute ? 0 : nextOccurrence(event, minute);
    renewNextRings();
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

static wchar_t const csvFilter[] = L"Alarm list (*.csv)\0*.csv\0";

static std::vector<AlarmEvent> listAlarms()
{
    std::vector<AlarmEvent> alarms;
    for (int row = 0; row < alarmRowCount(); ++row)
        alarms.push_back(readAlarmRow(row));
    return alarms;
}

// The product's name as the caption of the page's UTF-16 message boxes.
static std::wstring widePageCaption()
{
    wchar_t caption[nameLength];
    MultiByteToWideChar(CP_ACP, 0, productName, -1, caption, nameLength);
    return caption;
}

static void exportAlarms(HWND page)
{
    wchar_t path[textUnits];
    if (!chooseSaveFile(page, csvFilter, L"Export the alarms", L"csv", path))
        return;
    std::string text = alarmsCsv(listAlarms());
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool saved = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) &&
                 written == text.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!saved)
        MessageBoxW(page, L"The alarms could not be written to that file.", widePageCaption().c_str(),
                    MB_ICONERROR);
}

// The file's bytes, when it opens and is no larger than an alarm list can
// be (one byte more tells that it is larger).
static bool readSmallFile(wchar_t const *path, std::string &bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.assign(maxCsvBytes + 1, '\0');
    DWORD read = 0, total = 0;
    while (total < bytes.size() &&
           ReadFile(file, &bytes[total], DWORD(bytes.size() - total), &read, nullptr) && read)
        total += read;
    CloseHandle(file);
    bytes.resize(total);
    return true;
}

// The file's alarms join the list, up to its limit: exact copies of a row
// are left out, and lines that cannot be taken are named with the reason.
// The text of the report, with whether anything was added.
static std::wstring importAlarms(CsvImport const &file, int &added)
{
    std::vector<AlarmEvent> rows = listAlarms();
    std::vector<CsvRefusal> refused = file.refused;
    int copies = 0;
    SYSTEMTIME time;
    GetLocalTime(&time);
    LONGLONG now = localMinute(time);
    added = 0;
    for (CsvLine const &line : file.alarms) {
        AlarmEvent const &event = line.event;
        auto sameTime = [&](AlarmEvent const &row) {
            return row.hours == event.hours && row.minutes == event.minutes;
        };
        auto same = std::find_if(rows.begin(), rows.end(), sameTime);
        if (same != rows.end() && same->on == event.on && same->date == event.date &&
            std::equal(event.week, event.week + 7, same->week) &&
            lstrcmpW(same->description, event.description) == 0) {
            ++copies;
            continue;
        }
        wchar_t reason[80];
        if (event.date && event.date + event.hours * 60 + event.minutes <= now)
            lstrcpyW(reason, L"its date and time have passed");
        else if (same != rows.end())
            swprintf(reason, 80, L"the time %02d:%02d is used by another alarm", event.hours, event.minutes);
        else if (rows.size() >= size_t(maxAlarms))
            lstrcpyW(reason, L"the list already holds 100 alarms");
        else
            reason[0] = L'\0';
        if (reason[0]) {
            refused.push_back({line.line, reason});
            continue;
        }
        AlarmEvent row = event;
        row.id = newAlarmId();
        rows.push_back(row);
        addAlarmRow(row, alarmRowCount());
        ++added;
    }
    std::sort(refused.begin(), refused.end(),
              [](CsvRefusal const &a, CsvRefusal const &b) { return a.line < b.line; });
    std::wstring text = std::to_wstring(added) + (added == 1 ? L" alarm was added." : L" alarms were added.");
    if (copies)
        text += L" " + std::to_wstring(copies) + L" already in the list " + (copies == 1 ? L"was" : L"were") +
                L" left out.";
    if (!refused.empty())
        text += L"\n\n" + std::to_wstring(refused.size()) +
                (refused.size() == 1 ? L" line was" : L" lines were") + L" refused:";
    size_t const shown = 15;
    for (size_t i = 0; i < refused.size() && i < shown; ++i)
        text += L"\nLine " + std::to_wstring(refused[i].line) + L": " + refused[i].reason;
    if (refused.size() > shown)
        text += L"\n... and " + std::to_wstring(refused.size() - shown) + L" more.";
    return text;
}

static void importFile(HWND page)
{
    wchar_t path[textUnits];
    if (!chooseFile(page, csvFilter, L"Import alarms", true, path))
        return;
    std::string bytes;
    CsvImport file;
    if (!readSmallFile(path, bytes)) {
        MessageBoxW(page, L"The file could not be read.", widePageCaption().c_str(), MB_ICONERROR);
        return;
    }
    if (!readAlarmsCsv(bytes, file)) {
        MessageBoxW(page, file.error.c_str(), widePageCaption().c_str(), MB_ICONERROR);
        return;
    }
    int added;
    std::wstring report = importAlarms(file, added);
    if (added) {
        sortAlarmRows();
        renewNextRings();
        PropSheet_Changed(GetParent(page), page);
    }
    MessageBoxW(page, report.c_str(), widePageCaption().c_str(), added ? MB_ICONINFORMATION : MB_ICONERROR);
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
    case IDC_SKIPNEXT:
        skipNext(page);
        break;
    case IDC_EXPORTALARMS:
        exportAlarms(page);
        break;
    case IDC_IMPORTALARMS:
        importFile(page);
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
    case LVN_ITEMCHANGED: {
        // A row switched on or off rings next at another time, or never.
        NMLISTVIEW const *change = reinterpret_cast<NMLISTVIEW const *>(header);
        if (listFilled && (change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
            renewNextRings();
        break;
    }
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
