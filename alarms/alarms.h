// The once-a-second alarm test: the looping sound and the balloon tip.
#pragma once
#include <windows.h>

#include "settings/settings.h"

// The window whose notification icon (iconId) shows the alarm balloon;
// handed in once when that window is created.
void setAlarmWindow(HWND window, UINT iconId);

// Called at every tick with its local time.
void checkAlarms(SYSTEMTIME const &now);
void stopAlarmSound();

// The first whole minute after `after` (local time) at which an enabled
// alarm of settings.alarms or a pending snooze rings; false when none
// rings within the next eight days.
bool nextDueAlarm(SYSTEMTIME const &after, SYSTEMTIME &due);

// Tells screen readers, where Windows offers it, that the alarm rings:
// its time and its description, from the window that shows its balloon.
void announceAlarm(HWND window, AlarmEvent const &event);

// 1 while a fired alarm's sound loops; the wMinute of the tick it fired at.
extern int alarmSounding;
extern int alarmMinute;
