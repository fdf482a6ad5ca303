#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"
#include "support/registry.h"

namespace {

// A zone's local time at a fixed UTC moment; the expected times are the
// zones' published offsets and summer-time rules, not the system's data.
struct ZoneMoment {
    wchar_t const *zone;
    int year, month, day, hour, minute; // UTC
    int localDay, localHour, localMinute;
};

ZoneMoment const zoneMoments[] = {
    {L"Tokyo Standard Time", 2026, 7, 1, 0, 0, 1, 9, 0}, // +9, no summer time
    {L"Tokyo Standard Time", 2026, 12, 31, 20, 30, 1, 5, 30},
    {L"India Standard Time", 2026, 12, 9, 12, 0, 9, 17, 30},           // +5:30
    {L"Nepal Standard Time", 2026, 12, 9, 12, 0, 9, 17, 45},           // +5:45
    {L"Chatham Islands Standard Time", 2026, 7, 1, 0, 0, 1, 12, 45},   // +12:45 in its winter
    {L"Chatham Islands Standard Time", 2026, 1, 15, 0, 0, 15, 13, 45}, // +13:45 in its summer
    // New York: summer time from 8 March 2026 07:00 UTC to 1 November 06:00 UTC.
    {L"Eastern Standard Time", 2026, 3, 8, 6, 59, 8, 1, 59},
    {L"Eastern Standard Time", 2026, 3, 8, 7, 0, 8, 3, 0},
    {L"Eastern Standard Time", 2026, 11, 1, 5, 59, 1, 1, 59},
    {L"Eastern Standard Time", 2026, 11, 1, 6, 0, 1, 1, 0},
    // London: summer time from 29 March 2026 01:00 UTC to 25 October 01:00 UTC.
    {L"GMT Standard Time", 2026, 3, 29, 0, 59, 29, 0, 59},
    {L"GMT Standard Time", 2026, 3, 29, 1, 0, 29, 2, 0},
    {L"GMT Standard Time", 2026, 10, 25, 0, 59, 25, 1, 59},
    {L"GMT Standard Time", 2026, 10, 25, 1, 0, 25, 1, 0},
    // New York's rules changed in 2007: in 2006 summer time began on 2 April
    // and ended on 29 October, so 20 March and 30 October had none.
    {L"Eastern Standard Time", 2006, 3, 20, 12, 0, 20, 7, 0},
    {L"Eastern Standard Time", 2006, 10, 30, 12, 0, 30, 7, 0},
    {L"Eastern Standard Time", 2007, 3, 20, 12, 0, 20, 8, 0},
};

} // namespace

class ZoneTime : public testing::TestWithParam<ZoneMoment> {};

TEST_P(ZoneTime, LocalTimeAtAFixedMoment)
{
    ZoneMoment const &row = GetParam();
    DYNAMIC_TIME_ZONE_INFORMATION zone;
    ASSERT_TRUE(findTimeZone(row.zone, zone));
    SYSTEMTIME utc = {};
    utc.wYear = WORD(row.year);
    utc.wMonth = WORD(row.month);
    utc.wDay = WORD(row.day);
    utc.wHour = WORD(row.hour);
    utc.wMinute = WORD(row.minute);
    SYSTEMTIME local;
    ASSERT_TRUE(zoneTime(zone, utc, local));
    EXPECT_EQ(row.localDay, local.wDay);
    EXPECT_EQ(row.localHour, local.wHour);
    EXPECT_EQ(row.localMinute, local.wMinute);
}

INSTANTIATE_TEST_SUITE_P(Zones, ZoneTime, testing::ValuesIn(zoneMoments));

TEST(TimeZones, ListedByDisplayNameAndFoundByKey)
{
    std::vector<TimeZoneName> zones = systemTimeZones();
    ASSERT_GT(zones.size(), 50u);
    bool tokyo = false;
    for (TimeZoneName const &zone : zones)
        if (zone.key == L"Tokyo Standard Time")
            tokyo = zone.display.find(L"Tokyo") != std::wstring::npos && zone.display != zone.key;
    EXPECT_TRUE(tokyo);
    DYNAMIC_TIME_ZONE_INFORMATION found;
    EXPECT_FALSE(findTimeZone(L"Nowhere Standard Time", found));
}

namespace {

// The second of three stored world clocks spoiled one way; the others, and
// the rest of the settings, load.
struct SpoiledEntry {
    char const *what;
    void (*spoil)();
};

void storeClock(int n, wchar_t const *zone, wchar_t const *label, DWORD x)
{
    std::string prefix = "Clock " + std::to_string(n) + " ";
    std::wstring wide(prefix.begin(), prefix.end());
    setText(worldClocksKey, (wide + L"zone").c_str(), zone);
    setText(worldClocksKey, (wide + L"label").c_str(), label);
    setNumber(worldClocksKey, (prefix + "X").c_str(), x);
    setNumber(worldClocksKey, (prefix + "Y").c_str(), 40);
    setNumber(worldClocksKey, (prefix + "size").c_str(), 200);
}

SpoiledEntry const spoiledEntries[] = {
    {"zone missing", [] { deleteValue(worldClocksKey, "Clock 2 zone"); }},
    {"zone unknown", [] { setText(worldClocksKey, L"Clock 2 zone", L"Atlantis Standard Time"); }},
    {"zone a number", [] { setNumber(worldClocksKey, "Clock 2 zone", 9); }},
    {"label too long", [] { setText(worldClocksKey, L"Clock 2 label", std::wstring(32, L'x')); }},
    {"X missing", [] { deleteValue(worldClocksKey, "Clock 2 X"); }},
    {"Y a text", [] { setText(worldClocksKey, L"Clock 2 Y", L"40"); }},
    {"size too large", [] { setNumber(worldClocksKey, "Clock 2 size", 385); }},
    {"size of 2 bytes",
     [] {
         WORD size = 200;
         setRaw(worldClocksKey, "Clock 2 size", REG_DWORD, &size, sizeof size);
     }},
};

} // namespace

class WorldClockStore : public testing::TestWithParam<SpoiledEntry> {
protected:
    void TearDown() override
    {
        clearRegistry();
    }
};

TEST_P(WorldClockStore, BrokenEntryIsDroppedAlone)
{
    clearRegistry();
    setNumber(settingsKey, "size", 300);
    storeClock(1, L"Tokyo Standard Time", L"Tokyo", 10);
    storeClock(2, L"India Standard Time", L"Pune", 20);
    storeClock(3, L"Nepal Standard Time", std::wstring(31, L'k').c_str(), 30);
    GetParam().spoil();
    loadSettings();
    EXPECT_EQ(300, settings.size);
    ASSERT_EQ(2, worldClockCount) << GetParam().what;
    EXPECT_STREQ(L"Tokyo", worldClocks[0].label);
    EXPECT_EQ(10, worldClocks[0].x);
    EXPECT_STREQ(L"Nepal Standard Time", worldClocks[1].zone);
    EXPECT_EQ(std::wstring(31, L'k'), worldClocks[1].label);
    EXPECT_EQ(30, worldClocks[1].x);
    EXPECT_EQ(200, worldClocks[1].size);
}

INSTANTIATE_TEST_SUITE_P(Spoiled, WorldClockStore, testing::ValuesIn(spoiledEntries));
