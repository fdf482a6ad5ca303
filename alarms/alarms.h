// The once-a-second alarm test: the looping sound, the balloon tip, the
// snoozes, the alarms missed, and the timer that wakes the computer.
#pragma once
#include <windows.h>

#include "settings/settings.h"

// The window whose notification icon (iconId) shows the alarm balloon;
// handed in once when that window is created.
void setAlarmWindow(HWND window, UINT iconId);

// What the clock tells of an alarm that rings or was missed.
struct AlarmNotice {
    int hours;
    int minutes;
    wchar_t description[textUnits];
    bool missed;   // its minute passed unseen: told, never rung
    bool sounding; // rang in the minute of the sound now playing
    int rounds;    // how often it snoozed itself unanswered
    LONGLONG rang; // the local minute it rang at
    bool timer;    // the countdown timer's end, which neither snoozes nor repeats
};

// Every alarm told since the user last answered, in the order told.
struct AlarmNotices {
    int count;
    AlarmNotice items[2 * maxAlarms];
};

// Called, once per tick at most, whenever alarms rang or were found
// missed, with everything still unanswered; set once by the clock window.
void setAlarmHandler(void (*told)(AlarmNotices const &notices));

// Called at every tick with its local time.
void checkAlarms(SYSTEMTIME const &now);
void stopAlarmSound();
// The user's answers: the sound stops and the told alarms are forgotten;
// snoozing rings each of them again after that many minutes, stopping
// also cancels the snoozes they gave themselves.
void snoozeAlarms(int minutes);
void stopAlarms();
// Writes the alarm memory with the last tick seen, at a suspend, a
// log-off and the exit; the ticks write it every quarter of an hour.
void saveLastTick();

// The alarm's time in the user's locale, without seconds.
void alarmTimeText(int hours, int minutes, wchar_t (&text)[64]);

// Whether the alarm rings at the local time now (its weekday and minute).
bool alarmFires(AlarmEvent const &event, SYSTEMTIME const &now);
// The enabled alarm of the table that a snooze rings again; null when the
// alarm was switched off or deleted meanwhile.
AlarmEvent const *snoozedAlarm(AlarmTable const &table, Snooze const &snooze);

// The first local minute (see localMinute) after `after` and no later than
// `last` at which an enabled alarm of the table or a pending snooze rings,
// as the ticks ring them: at local wall time, on its weekdays, never in
// the minutes that the start of summer time skips, once in an hour that
// its end repeats. zone is the time zone (null: the system's). 0 when
// nothing rings in that span.
LONGLONG nextDueMinute(AlarmTable const &table, SnoozeList const &pending, LONGLONG after, LONGLONG last,
                       TIME_ZONE_INFORMATION const *zone);

// The first whole minute after `after` (local time) at which an enabled
// alarm of settings.alarms or a pending snooze rings; false when none
// rings within the next eight days.
bool nextDueAlarm(SYSTEMTIME const &after, SYSTEMTIME &due);

// The UTC moment the wake timer is set to for the next alarm after now:
// a minute before it rings, so that the computer is awake at its first
// tick. False when no alarm rings within eight days.
bool wakeTime(SYSTEMTIME const &now, FILETIME &due);
// Sets the wake timer afresh when settings.wakeForAlarms is on (else
// cancels it): after the table, a snooze, the clock, the time zone or the
// power state changed.
void armWakeTimer();
// False when Windows said that it cannot wake the computer by a timer.
bool computerCanWake();

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

// 1 while a fired alarm's sound loops; the wMinute of the tick it fired at.
extern int alarmSounding;
extern int alarmMinute;
