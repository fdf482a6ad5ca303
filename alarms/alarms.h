// The alarm table, the once-a-second alarm test and the alarm pages.
#pragma once
#include <windows.h>

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

// The Alarms page of the property sheet.
INT_PTR CALLBACK alarmsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
