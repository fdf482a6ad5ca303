// The whole clock rings a stored alarm, watched from outside: run by
// tests/alarm_ring.sh in a desktop of its own whose clock is set to
// Monday 2026-12-07, a few seconds before 07:30.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"

#include "settings/settings.h"
#include "support/balloon.h"
#include "support/program.h"
#include "support/registry.h"

namespace {

wchar_t const wakeUp[] = L"Rise and shine: the rooster calls";

void storeAlarm(int number, int hours, int minutes, int on, wchar_t const *description)
{
    char name[32];
    auto field = [&](char const *suffix) {
        wsprintfA(name, "Event_%02d_%s", number, suffix);
        return name;
    };
    setNumber(eventsKey, field("hours"), hours);
    setNumber(eventsKey, field("minutes"), minutes);
    std::string text = field("description");
    setText(eventsKey, std::wstring(text.begin(), text.end()).c_str(), description);
    setNumber(eventsKey, field("on"), on);
    for (int day = 0; day < 7; ++day) {
        wsprintfA(name, "Event_%02d_week%d", number, day);
        setNumber(eventsKey, name, day == 1); // Monday only
    }
}

// A change of the clock's notification icon asked for from outside;
// whether the shell has the icon.
bool modifyTrayIcon(HWND window)
{
    NOTIFYICONDATAW icon = {};
    icon.cbSize = NOTIFYICONDATAW_V3_SIZE;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_TIP;
    lstrcpyW(icon.szTip, L"Halvitrum");
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

bool isHalfPastSeven(SYSTEMTIME const &time)
{
    return time.wHour == 7 && time.wMinute == 30;
}

// The ringing window, wherever it is.
HWND ringWindow()
{
    return FindWindowA("#32770", "Alarm");
}

std::wstring ringText(HWND window)
{
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(GetDlgItem(window, IDC_RINGTEXT), WM_GETTEXT, ARRAYSIZE(text),
                        reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, nullptr);
    return text;
}

class AlarmRing : public RunningClockTest {
protected:
    void SetUp() override
    {
        RunningClockTest::SetUp();
        storeAlarm(0, 7, 30, 1, wakeUp);
        storeAlarm(1, 7, 30, 0, L"This alarm is switched off");
    }
};

TEST_F(AlarmRing, StoredAlarmRingsAndAClickStopsIt)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    ASSERT_TRUE(now.wYear == 2026 && now.wMonth == 12 && now.wDay == 7 && now.wHour == 7 &&
                now.wMinute == 29 && now.wSecond <= 55)
        << "the faked clock should be a few seconds before 07:30, it is " << now.wHour << ":" << now.wMinute
        << ":" << now.wSecond;

    // The clock adds its notification icon once, at start-up; the desktop's
    // shell must be there to take it.
    ASSERT_TRUE(waitUntil([] { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }, 10000));
    ASSERT_TRUE(startClock(clock, L"", 15000, L"C:\\windows\\system32")); // as at logon
    HWND refusal = nullptr;
    EXPECT_TRUE(waitUntil([&] {
        refusal = FindWindowA("#32770", "Halvitrum");
        return refusal || modifyTrayIcon(clock.window);
    }));
    EXPECT_EQ(nullptr, refusal) << "the clock could not add its notification icon";
    Balloon balloon;
    EXPECT_FALSE(findBalloon(balloon)) << "a balloon before the alarm's minute";

    // The shell laid its taskbar out only when the clock's icon arrived;
    // the clock, started in the desktop's corner, moves up above it.
    RECT taskbar = {}, window = {};
    EXPECT_TRUE(waitUntil([&] {
        GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &taskbar);
        GetWindowRect(clock.window, &window);
        return !IsRectEmpty(&taskbar) && window.bottom == taskbar.top && window.right == taskbar.right;
    })) << "clock bottom "
        << window.bottom << ", taskbar top " << taskbar.top;

    // The shell forgets the icon, as a restarted shell does, and announces
    // itself: the clock adds the icon again, where the balloon then appears.
    ASSERT_TRUE(modifyTrayIcon(clock.window));
    NOTIFYICONDATAW forgotten = {};
    forgotten.cbSize = NOTIFYICONDATAW_V3_SIZE;
    forgotten.hWnd = clock.window;
    forgotten.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &forgotten));
    EXPECT_FALSE(modifyTrayIcon(clock.window));
    SendMessageW(clock.window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(modifyTrayIcon(clock.window)) << "the icon was not added again";

    // The program in use keeps the keyboard when the alarm rings.
    HWND inUse = CreateWindowExW(0, L"STATIC", L"In use", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(inUse);

    bool const balloons = shellShowsBalloons();
    bool shown = waitUntil([&] { return balloons ? findBalloon(balloon) : soundGrows(); }, 35000);
    GetLocalTime(&now);
    ASSERT_TRUE(shown) << "no balloon by " << now.wHour << ":" << now.wMinute << ":" << now.wSecond
                       << ", sound bytes " << soundBytes();
    EXPECT_TRUE(isHalfPastSeven(now)) << "the balloon came at " << now.wHour << ":" << now.wMinute;
    if (balloons) {
        EXPECT_EQ(wakeUp, balloon.text);
    }
    EXPECT_TRUE(soundGrows()) << "the wave file does not play";
    EXPECT_TRUE(waitUntil([] { return ringWindow() && ringText(ringWindow()) != L""; }, 3000));
    EXPECT_NE(std::wstring::npos, ringText(ringWindow()).find(wakeUp))
        << "the ringing window lacks the alarm";
    EXPECT_EQ(inUse, GetForegroundWindow()) << "the ringing window took the focus";

    SendMessageA(clock.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageA(clock.window, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(waitUntil([] { return !soundGrows(); }, 3000)) << "the click did not stop the sound";
    GetLocalTime(&now);
    EXPECT_TRUE(isHalfPastSeven(now))
        << "the sound was measured too late to tell a click from the minute's end";

    EXPECT_EQ(0u, exitClock(clock));
    DestroyWindow(inUse);
}

} // namespace
