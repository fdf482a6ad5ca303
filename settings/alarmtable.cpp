// The alarm table's registry layout in the Events subkey. Beside the values
// of old, each alarm has "Event_NN_id" (REG_DWORD), and a once-only alarm
// "Event_NN_date" ("YYYY-MM-DD"), a skipped one "Event_NN_skip"
// ("YYYY-MM-DD HH:MM", the occurrence skipped); older versions ignore them.
#include <algorithm>
#include <cwchar>

#include "settings/registry.h"
#include "settings/settings.h"

static void valueName(char *name, int number, char const *field)
{
    wsprintfA(name, "Event_%02d_%s", number, field);
}

static void weekdayName(char *name, int number, int day)
{
    wsprintfA(name, "Event_%02d_week%d", number, day);
}

// Reads stored alarm number into event, whose hours are read already.
// Returns false when the alarm cannot be rebuilt: its time is incomplete or
// no time of the day. Such an alarm never rings and would only confuse the
// list; an hours value of -1 would even end the table early.
// A damaged text value of the alarm is kept as far as it goes: an absent
// one is empty, a long one is cut to what the buffer holds.
static void readAlarmText(HKEY key, int number, wchar_t const *field, wchar_t (&text)[textUnits])
{
    wchar_t name[64];
    swprintf(name, 64, L"Event_%02d_%ls", number, field);
    std::wstring value;
    if (!readText(key, name, value))
        value.clear();
    value.resize(std::min(value.size(), size_t(textUnits - 1)));
    takeText(value, text, textUnits);
}

static bool readAlarm(HKEY key, int number, AlarmEvent &event)
{
    char name[64];
    DWORD value;
    valueName(name, number, "minutes");
    if (!readNumber(key, name, value) || value > 59 || static_cast<DWORD>(event.hours) > 23)
        return false;
    event.minutes = static_cast<int>(value);

    // An alarm whose switch is damaged is kept, but switched off, so that
    // it neither rings unasked nor is lost.
    valueName(name, number, "on");
    event.on = readNumber(key, name, value) ? static_cast<int>(value) : 0;

    readAlarmText(key, number, L"description", event.description);
    // An alarm's own sound, which versions before it ignore; none is stored
    // for an alarm that rings the Alarms page's wave file.
    readAlarmText(key, number, L"sound", event.sound);

    for (int day = 0; day < 7; ++day) {
        weekdayName(name, number, day);
        event.week[day] = readNumber(key, name, value) ? static_cast<int>(value) : 1;
    }

    valueName(name, number, "id");
    event.id = readNumber(key, name, value) && int(value) > 0 ? int(value) : 0;
    // A date or skip that cannot be read is left out: the alarm is then
    // weekly, on the days stored for the older versions, or not skipped.
    std::wstring text;
    wchar_t const *cursor;
    LONGLONG minute;
    wchar_t wideName[64];
    swprintf(wideName, 64, L"Event_%02d_date", number);
    bool read = readText(key, wideName, text) && readDay(cursor = text.c_str(), minute) && !*cursor;
    event.date = read ? minute : 0;
    swprintf(wideName, 64, L"Event_%02d_skip", number);
    read = readText(key, wideName, text) && readMinute(cursor = text.c_str(), minute) && !*cursor;
    event.skip = read ? minute : 0;
    return true;
}

static int lastAlarmId;

int newAlarmId()
{
    return ++lastAlarmId;
}

AlarmEvent *findAlarm(AlarmTable &table, int id)
{
    for (int slot = 0; slot < maxAlarms && table[slot].hours != -1; ++slot)
        if (table[slot].id == id)
            return &table[slot];
    return nullptr;
}

// Alarms stored by older versions, or with an id another alarm has, get
// fresh ones.
static void giveIds(AlarmTable &table, int count)
{
    for (int slot = 0; slot < count; ++slot)
        lastAlarmId = std::max(lastAlarmId, table[slot].id);
    for (int slot = 0; slot < count; ++slot) {
        bool taken = table[slot].id == 0;
        for (int other = 0; other < slot && !taken; ++other)
            taken = table[other].id == table[slot].id;
        if (taken)
            table[slot].id = newAlarmId();
    }
}

bool loadAlarmTable(AlarmTable &table)
{
    table[0].hours = -1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, eventsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    int count = 0;
    for (int number = 0; number < maxAlarms; ++number) {
        char name[64];
        DWORD hours;
        valueName(name, number, "hours");
        // The first number without its hours ends the stored table.
        if (!readNumber(key, name, hours))
            break;
        AlarmEvent &event = table[count];
        event.hours = static_cast<int>(hours);
        if (readAlarm(key, number, event))
            ++count;
    }
    table[count].hours = -1;
    giveIds(table, count);
    RegCloseKey(key);
    return true;
}

// A stored alarm's hours value is written after its other values and
// deleted before them, so a number whose hours exist is always complete,
// whenever the process is stopped.
static void writeAlarm(HKEY key, int number, AlarmEvent const &event)
{
    char name[64];
    valueName(name, number, "on");
    writeNumber(key, name, event.on);
    valueName(name, number, "minutes");
    writeNumber(key, name, event.minutes);
    wchar_t wideName[64];
    swprintf(wideName, 64, L"Event_%02d_description", number);
    writeText(key, wideName, event.description);
    swprintf(wideName, 64, L"Event_%02d_sound", number);
    if (event.sound[0])
        writeText(key, wideName, event.sound);
    else
        RegDeleteValueW(key, wideName);
    for (int day = 0; day < 7; ++day) {
        weekdayName(name, number, day);
        writeNumber(key, name, event.week[day]);
    }
    valueName(name, number, "id");
    writeNumber(key, name, DWORD(event.id));
    swprintf(wideName, 64, L"Event_%02d_date", number);
    if (event.date)
        writeText(key, wideName, dayText(event.date).c_str());
    else
        RegDeleteValueW(key, wideName);
    swprintf(wideName, 64, L"Event_%02d_skip", number);
    if (event.skip)
        writeText(key, wideName, minuteText(event.skip).c_str());
    else
        RegDeleteValueW(key, wideName);
    valueName(name, number, "hours");
    writeNumber(key, name, event.hours);
}

static void deleteAlarm(HKEY key, int number)
{
    char name[64];
    static char const *const fields[] = {"hours", "minutes", "description", "on",
                                         "id",    "date",    "skip",        "sound"};
    for (char const *field : fields) {
        valueName(name, number, field);
        RegDeleteValueA(key, name);
    }
    for (int day = 0; day < 7; ++day) {
        weekdayName(name, number, day);
        RegDeleteValueA(key, name);
    }
}

// The slots are overwritten in place, and only then are the numbers past
// the new end removed, the first of them ending the stored table at once:
// a save that is cut short leaves every stored alarm but the one being
// written as it was before or as it is now.
bool saveAlarmTable(AlarmTable const &table)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, eventsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    int count = 0;
    for (; count < maxAlarms && table[count].hours != -1; ++count)
        writeAlarm(key, count, table[count]);
    // Every number is cleared, also behind one already missing, since an
    // earlier save may have been stopped half-way through the clearing.
    for (int number = count; number < maxAlarms; ++number)
        deleteAlarm(key, number);
    RegCloseKey(key);
    return true;
}
