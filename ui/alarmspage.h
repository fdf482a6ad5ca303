// The Alarms page's list.
#pragma once
#include <windows.h>

#include <string>

#include "settings/settings.h"

// The list view while the page exists; a row keeps nothing but its texts
// and its check box.
extern HWND alarmList;
std::string formatTime12(int hours, int minutes);
AlarmEvent readAlarmRow(int index);
// Plays a stored sound name once, as the page's Play does.
void playWaveOnce(wchar_t const *name);
