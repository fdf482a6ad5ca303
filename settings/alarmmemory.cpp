// What the clock remembers of its alarms between runs: the last tick it
// saw and the snoozes still to ring, as texts in the settings key that
// older versions of the clock ignore.
//   "Last tick"  REG_SZ  "2026-12-07 07:29"              local time
//   "Snoozes"    REG_SZ  "2026-12-07 07:35 07:30 0 12;..."  due, the alarm's time, self-snoozes, id
// Older versions wrote no id: their entries find the alarm by its time.
#include <cwchar>
#include <string>

#include "settings/registry.h"
#include "settings/settings.h"

SnoozeList snoozes;
LONGLONG lastTick;

static wchar_t const lastTickName[] = L"Last tick";
static wchar_t const snoozesName[] = L"Snoozes";

// The alarm of the table that a stored snooze names: by its id, or, in an
// entry of an older version, by its time, which no two alarms share.
static int snoozedId(int id, int hours, int minutes)
{
    AlarmEvent const *byTime = nullptr;
    for (int slot = 0; slot < maxAlarms && settings.alarms[slot].hours != -1; ++slot) {
        AlarmEvent const &event = settings.alarms[slot];
        if (id && event.id == id)
            return id;
        if (!byTime && event.hours == hours && event.minutes == minutes)
            byTime = &event;
    }
    return !id && byTime ? byTime->id : 0;
}

// "YYYY-MM-DD HH:MM HH:MM N" and, from this version on, " ID" after it.
static bool readSnooze(wchar_t const *&text, Snooze &snooze)
{
    int hours, minutes;
    if (!readMinute(text, snooze.due) || *text++ != L' ' || !readClock(text, hours, minutes) ||
        *text++ != L' ' || *text < L'0' || *text > L'0' + maxSelfSnoozes)
        return false;
    snooze.selfSnoozes = *text++ - L'0';
    int id = 0;
    if (*text == L' ') {
        wchar_t *end;
        id = int(wcstol(++text, &end, 10));
        if (end == text || id <= 0)
            return false;
        text = end;
    }
    snooze.id = snoozedId(id, hours, minutes);
    return snooze.id != 0;
}

static bool snoozed(int id)
{
    for (int i = 0; i < snoozes.count; ++i)
        if (snoozes.items[i].id == id)
            return true;
    return false;
}

// Each entry is read on its own: one that cannot be read is skipped up to
// the next separator, and the others are kept.
static void readSnoozes(std::wstring const &text, LONGLONG now)
{
    int const longestSnooze = snoozeLengths[ARRAYSIZE(snoozeLengths) - 1];
    wchar_t const *next = text.c_str();
    while (*next && snoozes.count < maxAlarms) {
        Snooze snooze;
        wchar_t const *entry = next;
        bool read = readSnooze(entry, snooze) && (*entry == L';' || *entry == L'\0');
        if (read && snooze.due <= now + longestSnooze && !snoozed(snooze.id))
            snoozes.items[snoozes.count++] = snooze;
        while (*next && *next != L';')
            ++next;
        if (*next)
            ++next;
    }
}

void loadAlarmMemory(HKEY key, LONGLONG now)
{
    snoozes.count = 0;
    lastTick = 0;
    std::wstring text;
    if (readText(key, lastTickName, text)) {
        wchar_t const *cursor = text.c_str();
        LONGLONG minute;
        if (readMinute(cursor, minute) && *cursor == L'\0')
            lastTick = minute;
    }
    if (readText(key, snoozesName, text))
        readSnoozes(text, now);
}

void saveAlarmMemory()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (lastTick)
        writeText(key, lastTickName, minuteText(lastTick).c_str());
    std::wstring text;
    for (int i = 0; i < snoozes.count; ++i) {
        Snooze const &snooze = snoozes.items[i];
        AlarmEvent const *event = findAlarm(settings.alarms, snooze.id);
        if (!event)
            continue;
        wchar_t entry[80];
        wsprintfW(entry, L"%s %02d:%02d %d %d", minuteText(snooze.due).c_str(), event->hours, event->minutes,
                  snooze.selfSnoozes, snooze.id);
        if (!text.empty())
            text += L';';
        text += entry;
    }
    writeText(key, snoozesName, text.c_str());
    RegCloseKey(key);
}
