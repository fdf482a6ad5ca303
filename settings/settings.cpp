#include "settings/settings.h"

#include <cstddef>

#include "res/resource.h"
#include "settings/registry.h"

ClockSettings settings;
UINT clockDpi = standardDpi;
char productName[nameLength];
static wchar_t wideProductName[nameLength]; // the Run entry's UTF-16 name

char const settingsKey[] = "Software\\Orvella\\Halvitrum";
char const eventsKey[] = "Software\\Orvella\\Halvitrum\\Events";
char const autorunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

static wchar_t const defaultLogoText[] = L"ORVELLA";
static wchar_t const defaultImagePath[] = L"rose.jpg";
static wchar_t const autorunMarker[] = L" -autorun";

int const noSystemColor = -1;

// The numbers of the settings key, in the order in which they are saved.
// Every field named here is 32 bits wide (int or COLORREF); a colour that
// is not stored follows the system colour of this start.
struct StoredNumber {
    char const *name;
    size_t offset;
    int systemColor;
};

static StoredNumber const storedNumbers[] = {
    {"size", offsetof(ClockSettings, size), noSystemColor},
    {"show.seconds", offsetof(ClockSettings, showSeconds), noSystemColor},
    {"show.dayOfTheWeek", offsetof(ClockSettings, showDayOfTheWeek), noSystemColor},
    {"show.numbers", offsetof(ClockSettings, showNumbers), noSystemColor},
    {"show.logo", offsetof(ClockSettings, showLogo), noSystemColor},
    {"show.logoType", offsetof(ClockSettings, logoType), noSystemColor},
    {"onTop", offsetof(ClockSettings, onTop), noSystemColor},
    {"X", offsetof(ClockSettings, windowX), noSystemColor},
    {"Y", offsetof(ClockSettings, windowY), noSystemColor},
    {"Color background", offsetof(ClockSettings, colorBackground), COLOR_BTNFACE},
    {"Color markers", offsetof(ClockSettings, colorMarkers), COLOR_BTNHIGHLIGHT},
    {"Color ring 1", offsetof(ClockSettings, colorRing1), COLOR_BTNSHADOW},
    {"Color ring 2", offsetof(ClockSettings, colorRing2), COLOR_BTNTEXT},
    {"Color text", offsetof(ClockSettings, colorText), COLOR_BTNTEXT},
    {"Use color", offsetof(ClockSettings, useColor), noSystemColor},
    {"Use image", offsetof(ClockSettings, useImage), noSystemColor},
    {"Wake for alarms", offsetof(ClockSettings, wakeForAlarms), noSystemColor},
    {"Snooze minutes", offsetof(ClockSettings, snoozeMinutes), noSystemColor},
    {"Start quietly", offsetof(ClockSettings, startQuietly), noSystemColor},
    {"opacity", offsetof(ClockSettings, opacity), noSystemColor},
    {"clickThrough", offsetof(ClockSettings, clickThrough), noSystemColor},
    {"lockPosition", offsetof(ClockSettings, lockPosition), noSystemColor},
    {"show.alarmHand", offsetof(ClockSettings, showAlarmHand), noSystemColor},
    {"Color alarm hand", offsetof(ClockSettings, colorAlarmHand), noSystemColor},
    {"Color timer", offsetof(ClockSettings, colorTimer), noSystemColor},
};

struct StoredText {
    wchar_t const *name;
    size_t offset;
    wchar_t const *fallback; // replaces an empty text at load
};

static StoredText const storedTexts[] = {
    {L"show.logoText", offsetof(ClockSettings, logoText), nullptr},
    {L"Image", offsetof(ClockSettings, imagePath), defaultImagePath},
    {L"Wave file", offsetof(ClockSettings, waveFile), defaultWaveFile},
};

static DWORD &numberField(ClockSettings &record, StoredNumber const &number)
{
    return *reinterpret_cast<DWORD *>(reinterpret_cast<char *>(&record) + number.offset);
}

static wchar_t *textField(ClockSettings &record, StoredText const &text)
{
    return reinterpret_cast<wchar_t *>(reinterpret_cast<char *>(&record) + text.offset);
}

void loadProductName(HINSTANCE module)
{
    LoadStringA(module, IDS_PRODUCT, productName, nameLength);
    LoadStringW(module, IDS_PRODUCT, wideProductName, nameLength);
}

// path = the program's folder followed by name; whether it fits.
static bool pathBesideProgram(wchar_t const *name, wchar_t (&path)[MAX_PATH])
{
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    wchar_t *fileName = path + length;
    while (fileName > path && fileName[-1] != L'\\' && fileName[-1] != L'/')
        --fileName;
    if (lstrlenW(name) >= MAX_PATH - (fileName - path))
        return false;
    lstrcpyW(fileName, name);
    return true;
}

bool besideProgram(wchar_t const *name, wchar_t (&path)[MAX_PATH])
{
    return pathBesideProgram(name, path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// A drive ("C:..."), a root ("\...") or a share ("\\server...") makes a
// name absolute; every other name is relative.
static bool isRelativePath(wchar_t const *name)
{
    bool rooted = name[0] == L'\\' || name[0] == L'/';
    bool drive = name[0] != L'\0' && name[1] == L':';
    return !rooted && !drive;
}

bool programFilePath(wchar_t const *name, wchar_t (&path)[MAX_PATH])
{
    if (name[0] != L'\0' && isRelativePath(name))
        return pathBesideProgram(name, path);
    lstrcpynW(path, name, MAX_PATH); // a stored text always fits
    return true;
}

void setDefaultOptions(ClockSettings &record)
{
    record.onTop = 1;
    record.autorun = 1;
    record.showSeconds = 1;
    record.showNumbers = 1;
    record.showDayOfTheWeek = labelContour;
    record.showLogo = labelContour;
    record.logoType = 0;
    lstrcpyW(record.logoText, defaultLogoText);
    record.showAlarmHand = 0;
}

void setDefaultColors(ClockSettings &record)
{
    for (StoredNumber const &number : storedNumbers)
        if (number.systemColor != noSystemColor)
            numberField(record, number) = GetSysColor(number.systemColor);
    record.colorAlarmHand = defaultAlarmHandColor;
    record.colorTimer = defaultTimerColor;
}

// Only a length that the ringing window offers is taken.
static bool snoozeLength(DWORD minutes)
{
    for (int length : snoozeLengths)
        if (DWORD(length) == minutes)
            return true;
    return false;
}

// Only a length that the Alarms page offers is taken.
static bool quietLength(DWORD seconds)
{
    for (int length : quietLengths)
        if (DWORD(length) == seconds)
            return true;
    return false;
}

// Whether a stored number may be taken for its field; one that may not
// leaves the default. Only the two known logo contents are taken, and
// anything else keeps the date.
static bool acceptable(size_t field, DWORD value)
{
    switch (field) {
    case offsetof(ClockSettings, logoType):
    case offsetof(ClockSettings, clickThrough):
    case offsetof(ClockSettings, lockPosition):
    case offsetof(ClockSettings, showAlarmHand):
        return value <= 1;
    case offsetof(ClockSettings, snoozeMinutes):
        return snoozeLength(value);
    case offsetof(ClockSettings, startQuietly):
        return value == 0 || quietLength(value);
    case offsetof(ClockSettings, opacity):
        return value >= DWORD(minimumOpacity) && value <= DWORD(fullOpacity);
    case offsetof(ClockSettings, colorAlarmHand):
    case offsetof(ClockSettings, colorTimer):
        return value <= 0xFFFFFF;
    }
    return true;
}

static void loadNumbers(HKEY key)
{
    for (StoredNumber const &number : storedNumbers) {
        DWORD value;
        if (readNumber(key, number.name, value) && acceptable(number.offset, value))
            numberField(settings, number) = value;
    }
}

static void loadTexts(HKEY key)
{
    for (StoredText const &text : storedTexts) {
        std::wstring value;
        if (readText(key, text.name, value))
            takeText(value, textField(settings, text), textUnits);
    }
}

static void loadAutorun()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, autorunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    BYTE data[260];
    DWORD type = 0, bytes = sizeof data;
    LONG status = RegQueryValueExA(key, productName, nullptr, &type, data, &bytes);
    // A value too long for the buffer still exists as a text entry.
    settings.autorun = (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) && type == REG_SZ;
    RegCloseKey(key);
}

void loadSettings()
{
    setDefaultOptions(settings);
    settings.firstRun = 0;
    settings.size = 256;
    settings.windowX = -1;
    setDefaultColors(settings);
    settings.imagePath[0] = L'\0';
    settings.waveFile[0] = L'\0';
    settings.wakeForAlarms = 0;
    settings.snoozeMinutes = defaultSnoozeMinutes;
    settings.startQuietly = 0;
    settings.opacity = fullOpacity;
    settings.clickThrough = 0;
    settings.lockPosition = 0;
    settings.showAlarmHand = 0;
    snoozes.count = 0;
    lastTick = 0;

    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        loadNumbers(key);
        loadTexts(key);
        loadTimerMemory(key);
        RegCloseKey(key);
    } else {
        settings.firstRun = 1;
        countdown = {};
    }
    for (StoredText const &text : storedTexts)
        if (text.fallback && textField(settings, text)[0] == L'\0')
            lstrcpyW(textField(settings, text), text.fallback);

    settings.alarms[0].hours = -1;
    loadAlarmTable(settings.alarms);
    // The snoozes name alarms of the table.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        loadAlarmMemory(key, localMinute(now));
        RegCloseKey(key);
    }
    loadWorldClocks();
    loadAutorun();
}

std::wstring autorunCommand(std::wstring const &programPath)
{
    return L"\"" + programPath + L"\"" + autorunMarker;
}

// The full path of Halvitrum.exe, however long.
static std::wstring programPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

static void saveAutorun()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, autorunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (settings.autorun) {
        writeText(key, wideProductName, autorunCommand(programPath()).c_str());
    } else {
        RegDeleteValueA(key, productName);
    }
    RegCloseKey(key);
}

void saveSettings(HWND window)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RECT client, frame;
        if (GetClientRect(window, &client))
            settings.size = MulDiv(client.right, standardDpi, clockDpi);
        if (GetWindowRect(window, &frame)) {
            settings.windowX = frame.left;
            settings.windowY = frame.top;
        }
        for (StoredNumber const &number : storedNumbers)
            writeNumber(key, number.name, numberField(settings, number));
        for (StoredText const &text : storedTexts)
            writeText(key, text.name, textField(settings, text));
        RegCloseKey(key);
    }
    saveAlarmMemory();
    saveTimerMemory();
    saveAlarmTable(settings.alarms);
    saveWorldClocks();
    saveAutorun();
}
