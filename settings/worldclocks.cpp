// The world clocks' registry layout: in their subkey of the settings key,
// for clock n (1 to 8) the values "Clock n zone" and "Clock n label"
// (REG_SZ) and "Clock n X", "Clock n Y" and "Clock n size" (REG_DWORD).
#include <windows.h>

#include <string>

#include "settings/registry.h"
#include "settings/settings.h"

WorldClock worldClocks[worldClockLimit];
int worldClockCount;
char const worldClocksKey[] = "Software\\Orvella\\Halvitrum\\World clocks";

static std::string valueName(int n, char const *field)
{
    return "Clock " + std::to_string(n) + " " + field;
}

static std::wstring wideValueName(int n, char const *field)
{
    std::string name = valueName(n, field);
    return std::wstring(name.begin(), name.end());
}

// An entry is taken whole or not at all.
static bool loadWorldClock(HKEY key, int n, WorldClock &clock)
{
    std::wstring zone, label;
    DWORD x, y, size;
    DYNAMIC_TIME_ZONE_INFORMATION known;
    return readText(key, wideValueName(n, "zone").c_str(), zone) &&
           takeText(zone, clock.zone, zoneKeyUnits) && findTimeZone(clock.zone, known) &&
           readText(key, wideValueName(n, "label").c_str(), label) &&
           takeText(label, clock.label, labelUnits) && readNumber(key, valueName(n, "X").c_str(), x) &&
           readNumber(key, valueName(n, "Y").c_str(), y) &&
           readNumber(key, valueName(n, "size").c_str(), size) && size >= 144 &&
           size <= 384 && // the Size menu's sides
           (clock.x = LONG(x), clock.y = LONG(y), clock.size = int(size), true);
}

void loadWorldClocks()
{
    worldClockCount = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, worldClocksKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    for (int n = 1; n <= worldClockLimit; n++)
        if (loadWorldClock(key, n, worldClocks[worldClockCount]))
            worldClockCount++;
    RegCloseKey(key);
}

// The subkey is written afresh, so that no removed clock comes back.
void saveWorldClocks()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, worldClocksKey);
    if (worldClockCount == 0)
        return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, worldClocksKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < worldClockCount && i < worldClockLimit; i++) {
        WorldClock const &clock = worldClocks[i];
        writeText(key, wideValueName(i + 1, "zone").c_str(), clock.zone);
        writeText(key, wideValueName(i + 1, "label").c_str(), clock.label);
        writeNumber(key, valueName(i + 1, "X").c_str(), DWORD(clock.x));
        writeNumber(key, valueName(i + 1, "Y").c_str(), DWORD(clock.y));
        writeNumber(key, valueName(i + 1, "size").c_str(), DWORD(clock.size));
    }
    RegCloseKey(key);
}
