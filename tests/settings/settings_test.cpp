#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"
#include "support/program.h"
#include "support/registry.h"

namespace {

class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        clearRegistry();
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 120, 200, 200, nullptr, nullptr, nullptr,
                                 nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        clearRegistry();
    }
    HWND window = nullptr;
};

// The stored value of the settings key.
DWORD stored(char const *name)
{
    DWORD value = 0xDEADBEEF;
    EXPECT_TRUE(numberValue(settingsKey, name, value)) << name;
    return value;
}

std::wstring storedText(wchar_t const *name, DWORD *bytes = nullptr)
{
    std::wstring text;
    EXPECT_TRUE(textValue(settingsKey, name, text, bytes));
    return text;
}

} // namespace

TEST_F(Settings, DefaultsWithoutKey)
{
    settings.showSeconds = 7; // whatever an earlier start left
    loadSettings();
    EXPECT_EQ(1, settings.firstRun);
    EXPECT_EQ(1, settings.onTop);
    EXPECT_EQ(1, settings.showSeconds);
    EXPECT_EQ(1, settings.showNumbers);
    EXPECT_EQ(2, settings.showDayOfTheWeek);
    EXPECT_EQ(2, settings.showLogo);
    EXPECT_EQ(0, settings.logoType);
    EXPECT_STREQ(L"ORVELLA", settings.logoText);
    EXPECT_EQ(256, settings.size);
    EXPECT_EQ(-1, settings.windowX);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), settings.colorBackground);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), settings.colorText);
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), settings.colorMarkers);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), settings.colorRing1);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), settings.colorRing2);
    EXPECT_STREQ(L"rose.jpg", settings.imagePath);
    EXPECT_STREQ(L"rooster.wav", settings.waveFile);
    EXPECT_EQ(-1, settings.alarms[0].hours);
}

TEST_F(Settings, FirstSaveWritesEveryValueAndEndsFirstRun)
{
    loadSettings();
    saveSettings(window);
    EXPECT_EQ(200u, stored("size"));
    EXPECT_EQ(100u, stored("X"));
    EXPECT_EQ(120u, stored("Y"));
    EXPECT_EQ(1u, stored("show.seconds"));
    EXPECT_EQ(2u, stored("show.dayOfTheWeek"));
    EXPECT_EQ(1u, stored("show.numbers"));
    EXPECT_EQ(2u, stored("show.logo"));
    EXPECT_EQ(0u, stored("show.logoType"));
    EXPECT_EQ(1u, stored("onTop"));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), stored("Color background"));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), stored("Color markers"));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), stored("Color ring 1"));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), stored("Color ring 2"));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), stored("Color text"));
    EXPECT_EQ(0u, stored("Use color"));
    EXPECT_EQ(0u, stored("Use image"));
    DWORD bytes = 0;
    EXPECT_EQ(L"ORVELLA", storedText(L"show.logoText", &bytes));
    EXPECT_EQ(16u, bytes); // the terminator is stored too
    EXPECT_EQ(L"rose.jpg", storedText(L"Image"));
    EXPECT_EQ(L"rooster.wav", storedText(L"Wave file"));
    EXPECT_TRUE(keyExists(eventsKey));

    loadSettings();
    EXPECT_EQ(0, settings.firstRun);
    EXPECT_EQ(100, settings.windowX);
    EXPECT_EQ(120, settings.windowY);
    EXPECT_EQ(200, settings.size);
}

TEST_F(Settings, RoundTripOfEveryField)
{
    loadSettings();
    settings.onTop = 0;
    settings.showSeconds = 0;
    settings.showNumbers = 2;
    settings.showDayOfTheWeek = 1;
    settings.showLogo = 0;
    settings.logoType = 1;
    lstrcpyW(settings.logoText, L"Zeit \u00e4\u00f6\u00fc\u20ac");
    settings.useColor = 1;
    settings.colorBackground = RGB(1, 2, 3);
    settings.colorText = RGB(4, 5, 6);
    settings.colorMarkers = RGB(7, 8, 9);
    settings.colorRing1 = RGB(10, 11, 12);
    settings.colorRing2 = RGB(13, 14, 15);
    settings.useImage = 1;
    lstrcpyW(settings.imagePath, L"C:\\Bilder\\Rose \u00fcberall.png");
    lstrcpyW(settings.waveFile, L"C:\\Kl\u00e4nge\\wecker.wav");
    settings.autorun = 0;
    SetWindowPos(window, nullptr, -50, 30, 160, 160, SWP_NOZORDER);
    saveSettings(window);

    ZeroMemory(&settings, sizeof settings);
    loadSettings();
    EXPECT_EQ(0, settings.firstRun);
    EXPECT_EQ(0, settings.onTop);
    EXPECT_EQ(0, settings.showSeconds);
    EXPECT_EQ(2, settings.showNumbers);
    EXPECT_EQ(1, settings.showDayOfTheWeek);
    EXPECT_EQ(0, settings.showLogo);
    EXPECT_EQ(1, settings.logoType);
    EXPECT_STREQ(L"Zeit \u00e4\u00f6\u00fc\u20ac", settings.logoText);
    EXPECT_EQ(160, settings.size);
    EXPECT_EQ(-50, settings.windowX);
    EXPECT_EQ(30, settings.windowY);
    EXPECT_EQ(1, settings.useColor);
    EXPECT_EQ(RGB(1, 2, 3), settings.colorBackground);
    EXPECT_EQ(RGB(4, 5, 6), settings.colorText);
    EXPECT_EQ(RGB(7, 8, 9), settings.colorMarkers);
    EXPECT_EQ(RGB(10, 11, 12), settings.colorRing1);
    EXPECT_EQ(RGB(13, 14, 15), settings.colorRing2);
    EXPECT_EQ(1, settings.useImage);
    EXPECT_STREQ(L"C:\\Bilder\\Rose \u00fcberall.png", settings.imagePath);
    EXPECT_STREQ(L"C:\\Kl\u00e4nge\\wecker.wav", settings.waveFile);
    EXPECT_EQ(0, settings.autorun);
}

TEST_F(Settings, NumbersOfAnotherTypeKeepTheirDefaultsAndAreRewritten)
{
    setText(settingsKey, L"size", L"300");
    setRaw(settingsKey, "show.seconds", REG_BINARY, "\0\0\0\0", 4);
    setRaw(settingsKey, "show.numbers", REG_DWORD, "\2\0", 2); // too short for a number
    setText(settingsKey, L"Color text", L"255");
    loadSettings();
    EXPECT_EQ(256, settings.size);
    EXPECT_EQ(1, settings.showSeconds);
    EXPECT_EQ(1, settings.showNumbers);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), settings.colorText);

    saveSettings(window);
    EXPECT_EQ(REG_DWORD, valueType(settingsKey, "size"));
    EXPECT_EQ(REG_DWORD, valueType(settingsKey, "show.seconds"));
    EXPECT_EQ(1u, stored("show.seconds"));
    EXPECT_EQ(REG_DWORD, valueType(settingsKey, "Color text"));
}

// The snoozes still to ring and the last tick are texts of local minutes;
// an entry that cannot be read, repeats an alarm or lies further ahead than
// the longest snooze is dropped, the others are kept.
TEST_F(Settings, SnoozesAndTheLastTickAreReadEntryByEntry)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    LONGLONG in5 = localMinute(now) + 5, in40 = localMinute(now) + 40;
    SYSTEMTIME due5, due40;
    ASSERT_TRUE(minuteTime(in5, due5) && minuteTime(in40, due40));
    wchar_t good[64], tooFar[64];
    wsprintfW(good, L"%04d-%02d-%02d %02d:%02d 07:30 1", due5.wYear, due5.wMonth, due5.wDay, due5.wHour,
              due5.wMinute);
    wsprintfW(tooFar, L"%04d-%02d-%02d %02d:%02d 08:00 0", due40.wYear, due40.wMonth, due40.wDay, due40.wHour,
              due40.wMinute);
    std::wstring repeated = std::wstring(good).substr(0, 16) + L" 07:30 0";
    setText(settingsKey, L"Snoozes",
            std::wstring(good) + L";garbage;" + tooFar + L";" + repeated + L";2026-02-30 07:00 06:00 0;" +
                L"2026-12-07 07:35 25:00 0;2026-12-07 07:35 06:00 4;");
    setText(settingsKey, L"Last tick", L"2026-12-07 05:29");
    setNumber(settingsKey, "Snooze minutes", 7);
    // The snoozes of older versions name their alarm by its time.
    setNumber(eventsKey, "Event_00_hours", 7);
    setNumber(eventsKey, "Event_00_minutes", 30);
    setText(eventsKey, L"Event_00_description", L"");
    setNumber(eventsKey, "Event_00_on", 1);
    setNumber(eventsKey, "Event_00_id", 12);
    loadSettings();
    ASSERT_EQ(1, snoozes.count);
    EXPECT_EQ(in5, snoozes.items[0].due);
    EXPECT_EQ(12, snoozes.items[0].id);
    EXPECT_EQ(1, snoozes.items[0].selfSnoozes);
    SYSTEMTIME tick;
    ASSERT_TRUE(minuteTime(lastTick, tick));
    EXPECT_TRUE(tick.wYear == 2026 && tick.wMonth == 12 && tick.wDay == 7 && tick.wHour == 5 &&
                tick.wMinute == 29);
    EXPECT_EQ(10, settings.snoozeMinutes);

    saveSettings(window);
    EXPECT_EQ(std::wstring(good) + L" 12", storedText(L"Snoozes"));
    EXPECT_EQ(L"2026-12-07 05:29", storedText(L"Last tick"));
    setText(settingsKey, L"Last tick", L"2026-12-07 05:29x");
    setNumber(settingsKey, "Snooze minutes", 15);
    loadSettings();
    EXPECT_EQ(0, lastTick);
    EXPECT_EQ(15, settings.snoozeMinutes);
}

TEST_F(Settings, LogoTypeIsTakenOnlyAsDateOrText)
{
    for (DWORD value : {2u, 7u, 0xFFFFFFFFu}) {
        setNumber(settingsKey, "show.logoType", value);
        loadSettings();
        EXPECT_EQ(0, settings.logoType) << value;
    }
    setNumber(settingsKey, "show.logoType", 1);
    loadSettings();
    EXPECT_EQ(1, settings.logoType);
}

// The values that older versions ignore take only what the clock can show;
// anything else keeps the default.
TEST_F(Settings, WindowOptionsTakeOnlyValuesInRange)
{
    struct {
        char const *name;
        DWORD value;
        int ClockSettings::*field;
        int expected;
    } const rows[] = {
        {"opacity", 50, &ClockSettings::opacity, 50},
        {"opacity", 20, &ClockSettings::opacity, 20},
        {"opacity", 19, &ClockSettings::opacity, 100},
        {"opacity", 101, &ClockSettings::opacity, 100},
        {"clickThrough", 1, &ClockSettings::clickThrough, 1},
        {"clickThrough", 2, &ClockSettings::clickThrough, 0},
        {"lockPosition", 1, &ClockSettings::lockPosition, 1},
        {"lockPosition", 0xFFFFFFFF, &ClockSettings::lockPosition, 0},
        {"show.alarmHand", 1, &ClockSettings::showAlarmHand, 1},
        {"show.alarmHand", 7, &ClockSettings::showAlarmHand, 0},
    };
    for (auto const &row : rows) {
        clearRegistry();
        setNumber(settingsKey, row.name, row.value);
        loadSettings();
        EXPECT_EQ(row.expected, settings.*row.field) << row.name << " " << row.value;
    }
    setNumber(settingsKey, "Color timer", 0x01000000);
    loadSettings();
    EXPECT_EQ(RGB(230, 30, 30), settings.colorTimer);
}

TEST_F(Settings, TimerMemoryKeepsWhatItCanRead)
{
    setNumber(settingsKey, "Timer length", 90);
    setText(settingsKey, L"Timer end", L"2026-02-30 10:00:00"); // no such day
    setText(settingsKey, L"Timer label", L"Tee \u00e4");
    setText(settingsKey, L"Timer recent", L"300;abc;0;43201;90;60;120;30;15");
    loadSettings();
    EXPECT_EQ(0, countdown.end);
    EXPECT_EQ(90, countdown.seconds);
    EXPECT_STREQ(L"Tee \u00e4", countdown.label);
    int const recent[recentTimerCount] = {300, 90, 60, 120, 30};
    for (int i = 0; i < recentTimerCount; ++i)
        EXPECT_EQ(recent[i], countdown.recent[i]) << i;
    // An end further ahead than a timer can run is none, and so is one
    // without a length it could have run.
    setText(settingsKey, L"Timer end", L"2099-12-09 10:00:00");
    loadSettings();
    EXPECT_EQ(0, countdown.end);
    setNumber(settingsKey, "Timer length", 43201);
    setText(settingsKey, L"Timer end", L"2026-12-09 10:00:00");
    loadSettings();
    EXPECT_EQ(0, countdown.seconds);
    EXPECT_EQ(0, countdown.end);
}

TEST_F(Settings, NumbersAreNotCheckedAtLoad)
{
    setNumber(settingsKey, "show.numbers", 9);
    setNumber(settingsKey, "show.logo", 5);
    setNumber(settingsKey, "size", 1000);
    loadSettings();
    EXPECT_EQ(9, settings.showNumbers);
    EXPECT_EQ(5, settings.showLogo);
    EXPECT_EQ(1000, settings.size);
}

TEST_F(Settings, MissingXMeansNoStoredPosition)
{
    setNumber(settingsKey, "Y", 300);
    setNumber(settingsKey, "size", 200);
    loadSettings();
    EXPECT_EQ(-1, settings.windowX);
    EXPECT_EQ(300, settings.windowY);

    setNumber(settingsKey, "X", 0xFFFFFFFF); // a window saved at x = -1
    loadSettings();
    EXPECT_EQ(-1, settings.windowX);
}

TEST_F(Settings, EmptyPathsFallBackToTheDefaultFiles)
{
    setText(settingsKey, L"Image", L"");
    setText(settingsKey, L"Wave file", L"");
    setText(settingsKey, L"show.logoText", L"");
    loadSettings();
    EXPECT_STREQ(L"rose.jpg", settings.imagePath);
    EXPECT_STREQ(L"rooster.wav", settings.waveFile);
    EXPECT_STREQ(L"", settings.logoText); // an empty logo text is the user's
}

TEST_F(Settings, TextsAreTakenOnlyWhenTheyFitWithTheirTerminator)
{
    std::wstring longest(259, L'a'), tooLong(260, L'b');
    setText(settingsKey, L"show.logoText", longest);
    setText(settingsKey, L"Image", tooLong);
    // 260 units with no terminator fill the buffer exactly: not taken.
    setText(settingsKey, L"Wave file", std::wstring(260, L'c'), false);
    loadSettings();
    EXPECT_EQ(longest, std::wstring(settings.logoText));
    EXPECT_STREQ(L"rose.jpg", settings.imagePath);
    EXPECT_STREQ(L"rooster.wav", settings.waveFile);

    // A short text stored without its terminator is taken, and terminated.
    setText(settingsKey, L"Wave file", L"bell.wav", false);
    setText(settingsKey, L"show.logoText", L"XY", false);
    loadSettings();
    EXPECT_STREQ(L"bell.wav", settings.waveFile);
    EXPECT_STREQ(L"XY", settings.logoText);
}

TEST_F(Settings, TextOfAnotherTypeIsNotTaken)
{
    setRaw(settingsKey, "Image", REG_EXPAND_SZ, L"x.png", 12);
    setNumber(settingsKey, "show.logoText", 5);
    loadSettings();
    EXPECT_STREQ(L"rose.jpg", settings.imagePath);
    EXPECT_STREQ(L"ORVELLA", settings.logoText);
}

TEST_F(Settings, AbsentColoursFollowTheSystemAndAreStoredAsNumbers)
{
    setNumber(settingsKey, "Color ring 1", RGB(9, 9, 9));
    loadSettings();
    EXPECT_EQ(RGB(9, 9, 9), settings.colorRing1);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), settings.colorBackground);
    saveSettings(window);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), stored("Color background"));
    EXPECT_EQ(RGB(9, 9, 9), stored("Color ring 1"));
}

TEST_F(Settings, DefaultsForThePages)
{
    ClockSettings scratch = {};
    setDefaultOptions(scratch);
    EXPECT_EQ(1, scratch.onTop);
    EXPECT_EQ(1, scratch.autorun);
    EXPECT_EQ(1, scratch.showSeconds);
    EXPECT_EQ(1, scratch.showNumbers);
    EXPECT_EQ(2, scratch.showDayOfTheWeek);
    EXPECT_EQ(2, scratch.showLogo);
    EXPECT_EQ(0, scratch.logoType);
    EXPECT_STREQ(L"ORVELLA", scratch.logoText);
    EXPECT_EQ(0, scratch.size); // options only

    setDefaultColors(scratch);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), scratch.colorBackground);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), scratch.colorText);
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), scratch.colorMarkers);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), scratch.colorRing1);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), scratch.colorRing2);
    EXPECT_EQ(0, scratch.useColor);
}

// The files that stored names stand for, wherever the program was started:
// a relative name lies beside the program, an absolute one is kept.
TEST(StoredFiles, RelativeNamesLieBesideTheProgram)
{
    std::wstring const folder = testFolder() + L"\\";
    CurrentFolder system32(L"C:\\windows\\system32");
    ASSERT_TRUE(system32.entered);
    struct {
        wchar_t const *stored;
        bool inFolder;
    } const names[] = {
        {L"rooster.wav", true},           {L"rose.jpg", true},
        {L"Halvitrum.chm", true},         {L"sounds\\bell.wav", true},
        {L"D:\\sounds\\bell.wav", false}, {L"\\\\server\\share\\rose.jpg", false},
        {L"\\pictures\\rose.jpg", false}, {L"", false},
    };
    for (auto const &name : names) {
        wchar_t path[MAX_PATH] = L"?";
        ASSERT_TRUE(programFilePath(name.stored, path)) << name.stored;
        EXPECT_EQ((name.inFolder ? folder : L"") + name.stored, path);
    }
}
