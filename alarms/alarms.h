// The alarm table, the once-a-second alarm test and the alarm pages.
#pragma once
#include <windows.h>

#include <string>

// One weekly alarm; week[] is indexed as SYSTEMTIME.wDayOfWeek (0 = Sunday).
struct AlarmEvent {
    int on;
    wchar_t description[260];
    int hours; // -1 ends the table
    int minutes;
    int week[7];
};

int const maxAlarms = 100;

// At most 100 alarms; slot 100 only ever holds the end marker.
typedef AlarmEvent AlarmTable[maxAlarms + 1];

// Locale flags read when the drawing resources are created.
extern int use24Hour;
extern int mondayFirst;

bool loadAlarmTable(AlarmTable &table);
bool saveAlarmTable(AlarmTable const &table);

// Called at every tick with its local time.
void checkAlarms(SYSTEMTIME const &now);
void stopAlarmSound();

// 1 while a fired alarm's sound loops; the wMinute of the tick it fired at.
extern int alarmSounding;
extern int alarmMinute;

// The Alarms page of the property sheet.
INT_PTR CALLBACK alarmsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The Alarms page's list and the row operations that the page and the alarm
// editor share; a row keeps nothing but its texts and its check box.
extern HWND alarmList;
int alarmRowCount();
std::string formatTime12(int hours, int minutes);
void addAlarmRow(AlarmEvent const &event, int index);
AlarmEvent readAlarmRow(int index);
int firstSelectedRow(); // -1 when no row is selected
void sortAlarmRows();   // ascending by the 24-hour time
void applyAlarmsPage(HWND page);

// Opens the alarm editor over alarmList in Add (0) or Edit (1) mode; 1 when
// it changed the list, 0 when not, -1 when it could not be created.
INT_PTR editAlarm(HWND page, int editMode);
