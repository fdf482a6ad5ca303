// Starting and ending the whole program, observed from outside.
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/program.h"
#include "support/registry.h"

namespace {

char const *const storedNumbers[] = {"size",
                                     "show.seconds",
                                     "show.dayOfTheWeek",
                                     "show.numbers",
                                     "show.logo",
                                     "show.logoType",
                                     "onTop",
                                     "X",
                                     "Y",
                                     "Color background",
                                     "Color markers",
                                     "Color ring 1",
                                     "Color ring 2",
                                     "Color text",
                                     "Use color",
                                     "Use image"};
char const *const storedTexts[] = {"show.logoText", "Image", "Wave file"};

void expectEveryValueStored()
{
    for (char const *name : storedNumbers)
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), valueType(settingsKey, name)) << name;
    for (char const *name : storedTexts)
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), valueType(settingsKey, name)) << name;
    EXPECT_TRUE(keyExists(eventsKey));
}

class Startup : public RunningClockTest {
protected:
};

} // namespace

TEST_F(Startup, FirstStartWritesEverySettingAtExit)
{
    ASSERT_TRUE(startClock(first));
    killProcesses(L"hh.exe");
    EXPECT_FALSE(settingsSaved()); // no setting is written while it runs
    EXPECT_EQ(0u, exitClock(first));
    expectEveryValueStored();
    DWORD size = 0;
    EXPECT_TRUE(numberValue(settingsKey, "size", size));
    EXPECT_EQ(256u, size);
}

TEST_F(Startup, SecondStartShowsTheRunningClockAndLeaves)
{
    ASSERT_TRUE(startClock(first));
    killProcesses(L"hh.exe");
    ShowWindow(first.window, SW_HIDE);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(first.window); }));

    ASSERT_TRUE(startClock(second)); // finds the window of the first at once
    EXPECT_EQ(first.window, second.window);
    EXPECT_EQ(0u, waitForExit(second, 5000));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(first.window) != FALSE; }));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), waitForExit(first, 0));
    EXPECT_EQ(0u, exitClock(first));
}

TEST_F(Startup, CancelledEndOfSessionSavesAndKeepsRunning)
{
    ASSERT_TRUE(startClock(first));
    killProcesses(L"hh.exe");
    SendMessageA(first.window, WM_ENDSESSION, FALSE, 0);
    expectEveryValueStored();
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), waitForExit(first, 1500));
    EXPECT_TRUE(IsWindow(first.window));

    clearRegistry();
    SendMessageA(first.window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(0u, waitForExit(first, 5000));
    expectEveryValueStored();
}

// Started as the Run key starts it at logon, in System32, three times in a
// row: the entry stays the program's own path and one marker.
TEST_F(Startup, RunEntryStaysTheSameAtEveryLogon)
{
    std::wstring const expected = L"\"" + binFolder() + L"\\Halvitrum.exe\" -autorun";
    setText(autorunKey, L"Halvitrum", expected); // Autorun is on
    for (int logon = 1; logon <= 3; ++logon) {
        ASSERT_TRUE(startClock(first, L"-autorun", 15000, L"C:\\windows\\system32"));
        killProcesses(L"hh.exe");
        EXPECT_EQ(0u, exitClock(first));
        releaseClock(first);
        std::wstring entry;
        ASSERT_TRUE(textValue(autorunKey, L"Halvitrum", entry));
        EXPECT_EQ(expected, entry) << "logon " << logon;
    }
}
