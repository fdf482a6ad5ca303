// The one settings record and its registry persistence.
#pragma once
#include <windows.h>

#include <string>

#include "alarms/alarms.h"

int const textUnits = 260; // every stored text, terminator included

struct ClockSettings {
    int onTop;
    int autorun;
    int showSeconds;
    int showNumbers;      // 0 off, 1 all, 2 only 12-3-6-9
    int showDayOfTheWeek; // 0 off, 1 solid, 2 contour
    int showLogo;         // 0 off, 1 solid, 2 contour
    int logoType;         // 0 date, 1 logoText
    wchar_t logoText[textUnits];
    int size;
    int windowX; // -1: no stored position
    int windowY;
    int useColor;
    COLORREF colorBackground;
    COLORREF colorText;
    COLORREF colorMarkers;
    COLORREF colorRing1;
    COLORREF colorRing2;
    int useImage;
    wchar_t imagePath[textUnits];
    AlarmTable alarms;
    wchar_t waveFile[textUnits];
    int firstRun;
};

extern ClockSettings settings;

extern char const settingsKey[]; // under HKEY_CURRENT_USER
extern char const eventsKey[];   // the alarm table's subkey
extern char const autorunKey[];  // the per-user Run key

void loadSettings();
void saveSettings(HWND window);
void setDefaultOptions(ClockSettings &record);
void setDefaultColors(ClockSettings &record);

// The Run entry's data: the command line without blanks at its ends,
// followed by " -autorun".
std::wstring autorunCommand(wchar_t const *commandLine);
