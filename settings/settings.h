// The one settings record and its registry persistence, the alarm table
// included.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

int const textUnits = 260;  // every stored text, terminator included
int const nameLength = 100; // product and class names, terminator included

// One alarm; week[] is indexed as SYSTEMTIME.wDayOfWeek (0 = Sunday). The
// fields after week[] are stored in values that older versions ignore.
struct AlarmEvent {
    int on;
    wchar_t description[260];
    int hours; // -1 ends the table
    int minutes;
    int week[7];
    int id;             // the alarm's own number, which its snooze and the page's row name it by
    LONGLONG date;      // a once-only alarm's day (the local minute of its midnight); 0 for a weekly one
    LONGLONG skip;      // the local minute of the occurrence skipped; 0 for none
    wchar_t sound[260]; // its own wave file; empty: the Alarms page's
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
    int startQuietly;  // seconds an alarm takes to reach full volume (0: full at once); one of quietLengths
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
// The lengths of a quiet start that the Alarms page offers, in seconds.
int const quietLengths[] = {10, 30, 60, 120};
// The wave file of the Alarms page at first, and every alarm's last resort.
wchar_t const defaultWaveFile[] = L"rooster.wav";

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

// The alarm of the table with that id; null when none has it.
AlarmEvent *findAlarm(AlarmTable &table, int id);

// A fresh id for an alarm new to the table or changed in its time, days or
// date; ids of the loaded table are never handed out again in this run.
int newAlarmId();

// An alarm that rings again: the alarm's id, the local minute it is due
// at (minutes since 1601, see localMinute) and how often the alarm has
// snoozed itself unanswered.
struct Snooze {
    LONGLONG due;
    int id;
    int selfSnoozes;
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

// Time as whole minutes since 1601, local or UTC: the one measure of the
// alarms. A FILETIME counts 100-nanosecond units of it.
LONGLONG const minuteUnits = 600000000;
LONGLONG const minutesPerDay = 24 * 60;
// A SYSTEMTIME as minutes (0 for no valid time), and back; the way back
// fills in the day of the week.
LONGLONG localMinute(SYSTEMTIME const &time);
bool minuteTime(LONGLONG minute, SYSTEMTIME &time);
FILETIME minuteFileTime(LONGLONG minute);
// A local minute in UTC, and a UTC minute in local time, by the rules of
// the zone (null: the system's); 0 when it cannot be converted. A local
// minute that the start of summer time skips comes back as another.
LONGLONG universalMinute(LONGLONG local, TIME_ZONE_INFORMATION const *zone);
LONGLONG zoneMinute(LONGLONG universal, TIME_ZONE_INFORMATION const *zone);
// The local minute that lies the given minutes of real time after a local
// minute, across a change of summer time too.
LONGLONG minutesLater(LONGLONG minute, int minutes, TIME_ZONE_INFORMATION const *zone);
// "YYYY-MM-DD" of a minute's day and "YYYY-MM-DD HH:MM" of a minute, as
// stored; empty for no valid minute.
std::wstring dayText(LONGLONG minute);
std::wstring minuteText(LONGLONG minute);
// The readers of "HH:MM", "YYYY-MM-DD" (the minute of its midnight) and
// "YYYY-MM-DD HH:MM"; each moves text past what it read. A time out of
// range or a date that does not exist is refused.
bool readClock(wchar_t const *&text, int &hours, int &minutes);
bool readDay(wchar_t const *&text, LONGLONG &day);
bool readMinute(wchar_t const *&text, LONGLONG &minute);

// The registry's "Last tick" and "Snoozes" values of the settings key:
// loaded with the settings; saved with them and whenever they change.
// Stored snoozes that cannot be read, name no alarm of the table, repeat
// an alarm or lie more than the longest snooze ahead of now are dropped;
// loaded after the table.
void loadAlarmMemory(HKEY key, LONGLONG now);
void saveAlarmMemory();

// Alarms as the text of a CSV file, UTF-8 with a header row.
std::string alarmsCsv(std::vector<AlarmEvent> const &alarms);
// What an alarm file holds: its alarms with their line numbers, the lines
// refused with the reason, or, for a file refused whole, the error.
struct CsvLine {
    int line;
    AlarmEvent event;
};
struct CsvRefusal {
    int line;
    std::wstring reason;
};
struct CsvImport {
    std::vector<CsvLine> alarms;
    std::vector<CsvRefusal> refused;
    std::wstring error;
};
size_t const maxCsvBytes = 1 << 20;
size_t const maxCsvRecords = 1000;
// False for a file refused whole: not UTF-8, too large, more than
// maxCsvRecords lines, a quotation left open, a header without a column.
bool readAlarmsCsv(std::string const &bytes, CsvImport &result);

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

// ---- World clocks: more faces, each in a time zone of its own. ----
int const worldClockLimit = 8;
int const labelUnits = 32; // a world clock's label: 31 characters and the terminator
int const zoneKeyUnits = 128;

struct WorldClock {
    wchar_t zone[zoneKeyUnits]; // the time zone's key name, never an offset
    wchar_t label[labelUnits];
    int x, y; // the window's top-left corner on the screen
    int size; // its side in standard pixels
};
extern WorldClock worldClocks[worldClockLimit];
extern int worldClockCount;
extern char const worldClocksKey[]; // their subkey of the settings key

// Loaded by loadSettings and written by saveSettings: a missing, unknown or
// broken entry is dropped, the others are kept.
void loadWorldClocks();
void saveWorldClocks();

// One of the system's time zones: its key name and its display name.
struct TimeZoneName {
    std::wstring key;
    std::wstring display;
};
// The system's time zones in the system's order (by their offsets): from
// EnumDynamicTimeZoneInformation where the system has it, else from the
// registry's list.
std::vector<TimeZoneName> systemTimeZones();
// The zone of that key name with its dynamic rules; false for an unknown one.
bool findTimeZone(wchar_t const *key, DYNAMIC_TIME_ZONE_INFORMATION &zone);
// The zone's local time at the UTC moment, by the rules of the moment's
// year (SystemTimeToTzSpecificLocalTimeEx).
bool zoneTime(DYNAMIC_TIME_ZONE_INFORMATION const &zone, SYSTEMTIME const &utc, SYSTEMTIME &local);
