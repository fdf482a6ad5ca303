// The system's time zones, by key name, and the local time in one of them.
#include <windows.h>

#include <algorithm>

#include "settings/registry.h"
#include "settings/settings.h"

static char const zonesKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

// The registry's form of a zone's rules ("TZI").
struct StoredRules {
    LONG bias, standardBias, daylightBias;
    SYSTEMTIME standardDate, daylightDate;
};

template <class Function> static Function *systemFunction(char const *module, char const *name)
{
    return reinterpret_cast<Function *>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA(module), name)));
}

// EnumDynamicTimeZoneInformation exists from Windows 8 on.
static auto *const enumZones = systemFunction<DWORD WINAPI(DWORD, DYNAMIC_TIME_ZONE_INFORMATION *)>(
    "advapi32.dll", "EnumDynamicTimeZoneInformation");

static bool readZone(HKEY zones, wchar_t const *key, DYNAMIC_TIME_ZONE_INFORMATION &zone,
                     std::wstring &display)
{
    HKEY entry;
    if (RegOpenKeyExW(zones, key, 0, KEY_READ, &entry) != ERROR_SUCCESS)
        return false;
    StoredRules rules;
    DWORD type, size = sizeof rules;
    std::wstring standard, daylight;
    bool whole = RegQueryValueExW(entry, L"TZI", nullptr, &type, reinterpret_cast<BYTE *>(&rules), &size) ==
                     ERROR_SUCCESS &&
                 type == REG_BINARY && size == sizeof rules && readText(entry, L"Std", standard) &&
                 readText(entry, L"Dlt", daylight);
    if (!readText(entry, L"Display", display))
        display = key;
    RegCloseKey(entry);
    if (!whole)
        return false;
    zone = {};
    zone.Bias = rules.bias;
    zone.StandardBias = rules.standardBias;
    zone.DaylightBias = rules.daylightBias;
    zone.StandardDate = rules.standardDate;
    zone.DaylightDate = rules.daylightDate;
    lstrcpynW(zone.StandardName, standard.c_str(), 32);
    lstrcpynW(zone.DaylightName, daylight.c_str(), 32);
    lstrcpynW(zone.TimeZoneKeyName, key, 128);
    return true;
}

std::vector<TimeZoneName> systemTimeZones()
{
    std::vector<TimeZoneName> list;
    HKEY zones = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, zonesKey, 0, KEY_READ, &zones);
    DYNAMIC_TIME_ZONE_INFORMATION zone;
    std::wstring display;
    if (enumZones) {
        for (DWORD i = 0; enumZones(i, &zone) == ERROR_SUCCESS; i++) {
            std::wstring key = zone.TimeZoneKeyName;
            if (!zones || !readZone(zones, key.c_str(), zone, display))
                display = key;
            list.push_back({key, display});
        }
    } else if (zones) {
        std::vector<std::pair<LONG, TimeZoneName>> found;
        wchar_t key[zoneKeyUnits];
        DWORD length = zoneKeyUnits;
        for (DWORD i = 0;
             RegEnumKeyExW(zones, i, key, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             i++, length = zoneKeyUnits)
            if (readZone(zones, key, zone, display))
                found.push_back({-zone.Bias, {key, display}});
        // West to east, as the system lists them.
        std::stable_sort(found.begin(), found.end(),
                         [](auto const &a, auto const &b) { return a.first < b.first; });
        for (auto const &entry : found)
            list.push_back(entry.second);
    }
    if (zones)
        RegCloseKey(zones);
    return list;
}

// Read from the zone's own key: the system's enumeration reads the whole
// list again at every index.
bool findTimeZone(wchar_t const *key, DYNAMIC_TIME_ZONE_INFORMATION &zone)
{
    HKEY zones;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zonesKey, 0, KEY_READ, &zones) != ERROR_SUCCESS)
        return false;
    std::wstring display;
    bool found = key[0] && readZone(zones, key, zone, display);
    RegCloseKey(zones);
    return found;
}

bool zoneTime(DYNAMIC_TIME_ZONE_INFORMATION const &zone, SYSTEMTIME const &utc, SYSTEMTIME &local)
{
    // SystemTimeToTzSpecificLocalTimeEx exists from Windows 7 on. Wine 8's
    // kernel32 lacks it (its kernelbase has only a stub that ends the
    // program), and there the year's rules are taken and applied in two steps,
    // which is what the call itself does.
    static auto *const convert =
        systemFunction<BOOL WINAPI(DYNAMIC_TIME_ZONE_INFORMATION const *, SYSTEMTIME const *, SYSTEMTIME *)>(
            "kernel32.dll", "SystemTimeToTzSpecificLocalTimeEx");
    if (convert)
        return convert(&zone, &utc, &local) != FALSE;
    TIME_ZONE_INFORMATION rules;
    DYNAMIC_TIME_ZONE_INFORMATION dynamic = zone;
    return GetTimeZoneInformationForYear(utc.wYear, &dynamic, &rules) &&
           SystemTimeToTzSpecificLocalTime(&rules, &utc, &local);
}
