// The once-a-second alarm test: the looping sound, the balloon tip, the
// snoozes, the alarms missed, and the timer that wakes the computer.
#pragma once
#include <windows.h>

#include <string>

#include "settings/settings.h"

// The window whose notification icon (iconId) shows the alarm balloon;
// handed in once when that window is created.
void setAlarmWindow(HWND window, UINT iconId);

// What the clock tells of an alarm that rings or was missed.
struct AlarmNotice {
    int id; // the alarm's
    int hours;
    int minutes;
    wchar_t description[textUnits];
    bool missed;     // its minute passed unseen: told, never rung
    bool sounding;   // rang in the minute of the sound now playing
    int selfSnoozes; // how often it snoozed itself unanswered
    LONGLONG due;    // the local minute it rang or was due at
};
// The id of the countdown timer's notice, which no alarm has (theirs count
// from 1); it neither snoozes nor repeats.
int const timerNoticeId = -1;

// Every alarm told since the user last answered, one notice for each and
// one for the timer, in the order told.
struct AlarmNotices {
    int count;
    AlarmNotice items[maxAlarms + 1];
};

// Called, once per tick at most, whenever alarms rang or were found
// missed, with everything still unanswered; set once by the clock window.
void setAlarmHandler(void (*handler)(AlarmNotices const &notices));

// Called at every tick with its local time.
void checkAlarms(SYSTEMTIME const &now);
// Stops the sound of the ringing alarms, which stay told.
void stopAlarmSound();
// The user's answers: the sound stops and the told alarms are forgotten;
// snoozing rings each of them again after that many minutes, ending them
// also cancels the snoozes they gave themselves and switches off the
// once-only ones.
void snoozeAlarms(int minutes);
void endToldAlarms();
// Writes the alarm memory with the last tick seen, at a suspend, a
// log-off and the exit; the ticks write it every quarter of an hour.
void saveLastTick();

// The one text of an alarm's time: the user's locale, without seconds.
void alarmTimeText(int hours, int minutes, wchar_t (&text)[64]);

// What an alarm is doing.
enum AlarmState {
    alarmOff,
    alarmWaiting, // for its next occurrence
    alarmSkipped, // its next occurrence will not ring
    alarmRinging, // at this tick
    alarmSnoozed, // until a minute, after snoozing itself some times
    alarmMissed,  // its minute passed unseen
};

// A tick as the schedule sees it: the local minute of the tick before (a
// stored one at a start; 0 when unknown), this tick's, and whether this
// minute's alarms ring at it.
struct AlarmTick {
    LONGLONG previous;
    LONGLONG now;
    bool due;
};

// A tick rings its minute's alarms when it is the first of a minute that
// follows the tick before, or falls on second 0: after a start, a resume
// or a clock change in the middle of a minute nothing rings late. A minute
// that a clock set back repeats (checked: the latest minute rung) does not
// ring again.
AlarmTick alarmTick(LONGLONG previous, LONGLONG checked, LONGLONG now, int second);

// An alarm at a tick: its state; the minute it rings (ringing), was due
// (missed), is snoozed to (snoozed), is skipped at (skipped) or rings next
// (waiting); its next ring after the tick (0: none within eight days, for
// a once-only alarm: none at all), and its snooze's self-snooze count.
struct AlarmPlan {
    AlarmState state;
    LONGLONG minute;
    LONGLONG next;
    int selfSnoozes;
};

// The one schedule: the alarm with its snooze (null: none) at the tick,
// in local wall time on its weekdays or its date, its skipped occurrence
// passed over, shifted past the minutes that the start of summer time
// skips, once in an hour that its end repeats. zone is the time zone
// (null: the system's).
AlarmPlan planAlarm(AlarmEvent const &event, Snooze const *snooze, AlarmTick const &tick,
                    TIME_ZONE_INFORMATION const *zone);
// The alarm's occurrence after the local minute, its skip disregarded:
// what "Skip next" skips.
LONGLONG nextOccurrence(AlarmEvent const &event, LONGLONG after);
Snooze const *findSnooze(SnoozeList const &pending, int id);

// The first local minute after `after`, within eight days, at which an
// alarm of the table rings, and the slot of that alarm; 0 when none.
LONGLONG nextDueMinute(AlarmTable const &table, SnoozeList const &pending, LONGLONG after,
                       TIME_ZONE_INFORMATION const *zone, int *slot);

// The first whole minute after `after` (local time) at which an alarm of
// settings.alarms or its snooze rings; false when none rings within the
// next eight days.
bool nextDueAlarm(SYSTEMTIME const &after, SYSTEMTIME &due);

// A ring's moment as the page and the menu show it: the short day and the
// time within a week of now, else the date and the time.
std::wstring nextRingText(LONGLONG minute, LONGLONG now);
// The menu's "Skip next alarm": the item named after the alarm that rings
// next (its snooze aside), greyed when none rings within eight days; the
// command skips that ring, false when there is none.
void nameSkipItem(HMENU menu, UINT command);
bool skipNextAlarm();

// The UTC moment the wake timer is set to for the next alarm after now:
// a minute before it rings, so that the computer is awake at its first
// tick. False when no alarm rings within eight days.
bool wakeTime(SYSTEMTIME const &now, FILETIME &due);
// Sets the wake timer afresh when settings.wakeForAlarms is on (else
// cancels it): after the table, a snooze, the clock, the time zone or the
// power state changed.
void armWakeTimer();
// Sets the wake timer once for a day ahead, to learn whether Windows
// takes it (then leaves it as the option says); false when Windows said
// that it cannot wake the computer by a timer.
bool tryWakeTimer();

// The clock's own player of a ringing alarm. It plays the sound file (a
// stored name: a relative one lies beside the program) in a loop without a
// gap on the default output, rising from quiet to full volume over
// quietSeconds (0: full at once). A file that cannot be read or played
// gives way to the default sound, and that to a tone of the player's own;
// a failing device is replaced by the default one of the moment.
void startAlarmPlayer(wchar_t const *file, int quietSeconds);
void stopAlarmPlayer();
// The stored name of the file that the player's last start could not
// play; empty when it played.
wchar_t const *unplayedSound();
// Whether the player can read the file a stored name stands for.
bool soundReadable(wchar_t const *name);
// The sound an alarm rings with: its own, else the Alarms page's.
wchar_t const *alarmSound(AlarmEvent const &event);

// What may keep the next alarm from being heard or from waking the
// computer, as the system said when last asked.
struct RingFacts {
    bool noDevice;         // there is no default sound output
    bool muted;            // it is muted
    bool silent;           // its volume is zero
    bool soundUnreadable;  // the next alarm's sound file cannot be read
    bool wakeWanted;       // "Wake the computer for alarms" is on
    bool wakeOffOnMains;   // the power plan allows no wake timers on mains power
    bool wakeOffOnBattery; // nor on battery (only where a battery is)
    bool modernStandby;    // the computer sleeps in Modern Standby, which a timer does not end
};
extern RingFacts ringFacts;
// Asks the system again: where the Alarms page opens, when the wake timer
// is armed and when a device comes or goes.
void gatherRingFacts();
// What the user is told of the worst fact: a line for the Alarms page that
// says what to do, and a short mark for the tip and the ringing window;
// both null when the alarm will ring.
struct RingWarning {
    wchar_t const *line;
    wchar_t const *mark;
};
RingWarning ringWarning(RingFacts const &facts);

// A function of a DLL that is no Known DLL, loaded from System32 only and
// never from the program's folder; null where the system lacks it.
FARPROC systemFunction(wchar_t const *library, char const *name);

// Tells screen readers, where Windows offers it, that the alarm rings:
// its time and its description, from the window that shows its balloon.
void announceAlarm(HWND window, AlarmEvent const &event);

// The countdown timer's end, rung (or told as missed) through the alarms'
// own path: the sound, the balloon and the handler with every notice
// still unanswered. The label, or "Timer" when it is empty, stands for
// the description; end is its local time.
void tellTimerEnd(wchar_t const *label, SYSTEMTIME const &end, SYSTEMTIME const &now, bool missed);

// The countdown timer (countdown of the settings). Each change is saved at
// once. now is the UTC second (utcNow).
// A run of the clock begins: a timer whose end passed before it is told
// as missed.
void beginTimerRun(LONGLONG now);
// Starts a timer of that length with that label, which becomes the first
// of the recent lengths; false for a length out of range.
bool startTimer(int seconds, wchar_t const *label, LONGLONG now);
void stopTimer();
// The last timer again, with its length and label; false when there was none.
bool restartTimer(LONGLONG now);
// Seconds until the running timer ends; 0 when none runs.
LONGLONG timerSecondsLeft(LONGLONG now);
// At every tick: the running timer whose end came rings, or is told as
// missed when it ended before this run began. localNow is the tick's
// local time.
void checkTimer(LONGLONG now, SYSTEMTIME const &localNow);

// 1 while a fired alarm's sound loops; the local second it began at (a
// local minute count times 60, plus the tick's second). It loops a minute.
extern int alarmSounding;
extern LONGLONG soundBegan;
