// The running clock driven from outside, as the user and the shell drive
// it: its first place, the Size commands, hiding and the tray, dragging,
// the property sheet, and its place and side kept from one start to the
// next.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/cursor.h"
#include "support/dialogdriver.h"
#include "support/program.h"
#include "support/rects.h"
#include "support/registry.h"

UINT const trayCallback = WM_USER + 1;

static bool menuShown()
{
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

class ClockProgram : public RunningClockTest {
protected:
    // Delivered and handled before it returns, as the shell's calls are.
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(clock.window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
        return LRESULT(result);
    }
    // A start that is not the first, so that no help viewer opens.
    void startAgain()
    {
        setNumber(settingsKey, "onTop", 1);
        ASSERT_TRUE(startClock(clock));
    }
};

TEST_F(ClockProgram, FirstStartSizesHidingAndDragging)
{
    clearRegistry();
    ASSERT_TRUE(startClock(clock));
    RECT start = desktopCorner(256);
    EXPECT_TRUE(waitUntil([&] { return windowRect(clock.window) == start && IsWindowVisible(clock.window); }))
        << windowRect(clock.window);
    EXPECT_TRUE(GetWindowLongA(clock.window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The Size commands keep the top-left corner.
    struct {
        UINT command;
        int side;
    } const sizes[] = {
        {IDM_SIZEMAXIMUM, 384},  {IDM_SIZEDECREASE, 368}, {IDM_SIZEMINIMUM, 144},
        {IDM_SIZEINCREASE, 160}, {IDM_SIZEDEFAULT, 256},
    };
    for (auto const &size : sizes) {
        send(WM_COMMAND, size.command, 0);
        EXPECT_EQ(square(start.left, start.top, size.side), windowRect(clock.window)) << size.command;
    }

    send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 100));
    EXPECT_FALSE(IsWindowVisible(clock.window));
    send(trayCallback, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(clock.window));

    ASSERT_TRUE(moveCursor(start.left + 100, start.top + 100));
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    ASSERT_TRUE(moveCursor(start.left + 100 - 250, start.top + 100 - 120));
    send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 100));
    EXPECT_EQ(square(start.left - 250, start.top - 120, 256), windowRect(clock.window));

    EXPECT_EQ(0u, exitClock(clock));
}

TEST_F(ClockProgram, MenuOpensPropertiesOnEachPage)
{
    clearRegistry();
    startAgain();
    ASSERT_TRUE(waitUntil([&] { return windowRect(clock.window) == desktopCorner(256); }));
    struct {
        UINT command;
        int page;
    } const commands[] = {{IDM_OPTIONS, 0}, {IDM_PROOPTIONS, 1}, {IDM_ALARMS, 2}};
    // From the clock in its corner, then at the top-left of the desktop.
    for (bool inCorner : {true, false}) {
        if (!inCorner) {
            SetWindowPos(clock.window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_EQ(square(0, 0, 256), windowRect(clock.window));
        }
        for (auto const &command : commands) {
            // The sheet is modal: the command returns only when it closes.
            PostMessageA(clock.window, WM_COMMAND, command.command, 0);
            HWND sheet = waitForDialog("Properties", 0, clock.process.dwProcessId);
            ASSERT_NE(nullptr, sheet);
            EXPECT_EQ(clock.window, GetWindow(sheet, GW_OWNER));
            // Placed beside the clock and then grown to fit its pages, the
            // sheet still lies on the screen, its buttons too.
            EXPECT_TRUE(insideWorkArea(sheet)) << command.command;
            EXPECT_TRUE(insideWorkArea(GetDlgItem(sheet, IDOK))) << command.command;
            HWND tabs = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
            ASSERT_NE(nullptr, tabs);
            EXPECT_EQ(3, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
            EXPECT_EQ(command.page, SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
            HWND page = HWND(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            EXPECT_EQ(command.page, SendMessageA(sheet, PSM_HWNDTOINDEX, WPARAM(page), 0));
            EXPECT_TRUE(IsWindowVisible(page));

            // With the sheet open the clock is disabled, and a press of the
            // menu button on the tray icon opens no menu.
            EXPECT_FALSE(IsWindowEnabled(clock.window));
            send(trayCallback, 1, WM_RBUTTONDOWN);
            EXPECT_FALSE(menuShown());

            PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            EXPECT_TRUE(waitUntil([&] { return !IsWindow(sheet) && IsWindowEnabled(clock.window); }));
        }
    }
    EXPECT_EQ(0u, exitClock(clock));
}

TEST_F(ClockProgram, PlaceAndSideKeptToTheNextStart)
{
    clearRegistry();
    startAgain();
    RECT start = desktopCorner(256);
    ASSERT_TRUE(waitUntil([&] { return windowRect(clock.window) == start; }));
    send(WM_COMMAND, IDM_SIZEINCREASE, 0);
    ASSERT_TRUE(moveCursor(start.left + 50, start.top + 50));
    send(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_TRUE(moveCursor(start.left + 50 - 400, start.top + 50 - 300));
    send(WM_MOUSEMOVE, MK_LBUTTON, 0);
    RECT moved = square(start.left - 400, start.top - 300, 272);
    EXPECT_EQ(moved, windowRect(clock.window));
    EXPECT_EQ(0u, exitClock(clock));
    CloseHandle(clock.process.hProcess);
    CloseHandle(clock.process.hThread);
    clock = RunningClock();

    DWORD x = 0, y = 0, size = 0;
    EXPECT_TRUE(numberValue(settingsKey, "X", x));
    EXPECT_TRUE(numberValue(settingsKey, "Y", y));
    EXPECT_TRUE(numberValue(settingsKey, "size", size));
    EXPECT_EQ(DWORD(moved.left), x);
    EXPECT_EQ(DWORD(moved.top), y);
    EXPECT_EQ(272u, size);

    ASSERT_TRUE(startClock(clock));
    EXPECT_TRUE(waitUntil([&] { return windowRect(clock.window) == moved && IsWindowVisible(clock.window); }))
        << windowRect(clock.window);
    EXPECT_EQ(0u, exitClock(clock));
}
