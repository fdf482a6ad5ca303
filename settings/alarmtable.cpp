// The alarm table's registry layout in the Events subkey.
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

    // A damaged description is kept as far as it goes: an absent one is
    // empty, a long one is cut to what the buffer holds.
    wchar_t wideName[64];
    swprintf(wideName, 64, L"Event_%02d_description", number);
    std::wstring description;
    if (!readText(key, wideName, description))
        description.clear();
    description.resize(std::min(description.size(), size_t(textUnits - 1)));
    takeText(description, event.description, textUnits);

    // An alarm's own sound, which versions before it ignore; none is stored
    // for an alarm that rings the Alarms page's wave file.
    swprintf(wideName, 64, L"Event_%02d_sound", number);
    std::wstring sound;
    if (!readText(key, wideName, sound))
        sound.clear();
    sound.resize(std::min(sound.size(), size_t(textUnits - 1)));
    takeText(sound, event.sound, textUnits);

    for (int day = 0; day < 7; ++day) {
        weekdayName(name, number, day);
        event.week[day] = readNumber(key, name, value) ? static_cast<int>(value) : 1;
    }
    return true;
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
    valueName(name, number, "hours");
    writeNumber(key, name, event.hours);
}

static void deleteAlarm(HKEY key, int number)
{
    char name[64];
    static char const *const fields[] = {"hours", "minutes", "description", "on", "sound"};
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
