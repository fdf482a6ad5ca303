// The once-a-second alarm test: the looping sound and the balloon tip.
#pragma once
#include <windows.h>

// The window whose notification icon (iconId) shows the alarm balloon;
// handed in once when that window is created.
void setAlarmWindow(HWND window, UINT iconId);

// Called at every tick with its local time.
void checkAlarms(SYSTEMTIME const &now);
void stopAlarmSound();

// 1 while a fired alarm's sound loops; the wMinute of the tick it fired at.
extern int alarmSounding;
extern int alarmMinute;
