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

// 1 while a fired alarm's sound loops; the wMinute of the tick it fired at.
extern int alarmSounding;
extern int alarmMinute;
