// The one settings record and its registry persistence, the alarm table
// included.
#pragma once
#include <windows.h>

#include <string>

int const textUnits = 260;  // every stored text, terminator included
int const nameLength = 100; // product and class names, terminator included

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

// How the logo and the day label are shown (showLogo, showDayOfTheWeek).
int const labelOff = 0;
int const labelSolid = 1;
int const labelContour = 2;

struct ClockSettings {
    int onTop;
    int autorun;
    int showSeconds;
    int showNumbers;      // 0 off, 1 all, 2 only 12-3-6-9
    int showDayOfTheWeek; // labelOff, labelSolid or labelContour
    int showLogo;         // labelOff, labelSolid or labelContour
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
    int wakeForAlarms; // a waitable timer wakes the sleeping computer for the next alarm
    int snoozeMinutes; // the snooze length last chosen: one of snoozeLengths
    int opacity;       // of the whole window, in per cent: minimumOpacity..100
    int clickThrough;  // clicks and the wheel go to the window beneath
    int lockPosition;  // dragging does not move the clock
    int showAlarmHand; // a hand points at the next alarm within 12 hours
    COLORREF colorAlarmHand;
    COLORREF colorTimer; // the timer's sector on the dial
};

int const minimumOpacity = 20;
int const fullOpacity = 100;
COLORREF const defaultAlarmHandColor = RGB(240, 150, 0);
COLORREF const defaultTimerColor = RGB(230, 30, 30);

// The snooze lengths the ringing window offers, in minutes.
int const snoozeLengths[] = {5, 10, 15, 30};
int const defaultSnoozeMinutes = 10;
// An alarm nobody answers snoozes itself at most this often.
int const maxSelfSnoozes = 3;

extern ClockSettings settings;

// Sizes are chosen and stored in pixels at the standard DPI, so that a clock
// keeps its proportion to the desktop at every display scale.
UINT const standardDpi = 96;
// The DPI of the monitor that the clock window is on; the save turns the
// window's side back into standard pixels with it.
extern UINT clockDpi;

// The product's name from the string table: the Run entry's name and the
// caption of every message box.
extern char productName[nameLength];
// Loads productName from the module's string table, once at start-up.
void loadProductName(HINSTANCE module);
// path = the folder of Halvitrum.exe followed by name (which may hold a
// subfolder); whether that file exists.
bool besideProgram(wchar_t const *name, wchar_t (&path)[MAX_PATH]);
// The file that a stored name (picture, wave file) stands for: a relative
// name, such as the default "rooster.wav", lies in the program's folder,
// whatever folder the program was started from; an absolute one is taken
// as it is. Whether the path fits.
bool programFilePath(wchar_t const *name, wchar_t (&path)[MAX_PATH]);

extern char const settingsKey[]; // under HKEY_CURRENT_USER
extern char const eventsKey[];   // the alarm table's subkey
extern char const autorunKey[];  // the per-user Run key

// The table's registry layout in the Events subkey; each says whether the
// subkey could be opened.
bool loadAlarmTable(AlarmTable &table);
bool saveAlarmTable(AlarmTable const &table);

// An alarm that rings again: its own time, which finds it in the table
// when it is due, the local minute it is due at (minutes since 1601, see
// localMinute) and how often it has snoozed itself unanswered.
struct Snooze {
    LONGLONG due;
    int hours;
    int minutes;
    int rounds;
};

// The pending snoozes, at most one for each alarm.
struct SnoozeList {
    int count;
    Snooze items[maxAlarms];
};
extern SnoozeList snoozes;
// The local minute of the latest tick the clock saw, kept across runs so
// that the alarms missed meanwhile can be told; 0 when unknown.
extern LONGLONG lastTick;

// A local time as minutes since 1601 (0 for no valid time), and back; the
// way back fills in the day of the week.
LONGLONG localMinute(SYSTEMTIME const &time);
bool minuteTime(LONGLONG minute, SYSTEMTIME &time);

// The registry's "Last tick" and "Snoozes" values of the settings key:
// loaded with the settings; saved with them and whenever they change.
// Stored snoozes that cannot be read, repeat an alarm or lie more than the
// longest snooze ahead of now are dropped.
void loadAlarmMemory(HKEY key, LONGLONG now);
void saveAlarmMemory();

// The countdown timer. Its end is kept as a UTC moment, so that it
// survives a restart and a change of the time zone.
int const maxTimerSeconds = 12 * 60 * 60;
int const recentTimerCount = 5;
struct CountdownTimer {
    LONGLONG end; // UTC seconds since 1601 (see utcSecond); 0 while none runs
    int seconds;  // the length last started, for a restart; 0 for none
    wchar_t label[textUnits];
    int recent[recentTimerCount]; // the last lengths started, newest first; 0 ends them
};
extern CountdownTimer countdown;

// A UTC moment as whole seconds since 1601, and back; the present one.
LONGLONG utcSecond(FILETIME const &time);
bool secondTime(LONGLONG second, SYSTEMTIME &time);
LONGLONG utcNow();
// Whether a timer may run that many seconds: 1 second to 12 hours.
bool timerLength(LONGLONG seconds);

// The registry's "Timer end", "Timer length", "Timer label" and "Timer
// recent" values of the settings key: loaded with the settings, saved
// with them and whenever a timer starts or ends. A value that cannot be
// read, or an end further ahead than the longest timer, is left out.
void loadTimerMemory(HKEY key);
void saveTimerMemory();

void loadSettings();
void saveSettings(HWND window);
void setDefaultOptions(ClockSettings &record);
void setDefaultColors(ClockSettings &record);

// The Run entry's data: the program's full path in quotes, followed by
// " -autorun", whatever the command line of this start was.
std::wstring autorunCommand(std::wstring const &programPath);
