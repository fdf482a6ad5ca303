// The running clock's small commands, driven from outside: its menu's
// "Calendar...", "About...", "Help" and "Home page", and the About keys.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/dialogdriver.h"
#include "support/processes.h"
#include "support/program.h"
#include "support/registry.h"

namespace {

class MenuDialogs : public RunningClockTest {
protected:
    // A start that is not the first, so that no help viewer opens by itself.
    void SetUp() override
    {
        RunningClockTest::SetUp();
        setNumber(settingsKey, "onTop", 1);
        start();
    }
    DWORD clockId() const
    {
        return clock.process.dwProcessId;
    }

    // A dialog of the clock with this caption, modal over the clock window.
    HWND clockDialog(char const *caption)
    {
        HWND dialog = waitForDialog(caption, 0, clockId());
        if (dialog) {
            EXPECT_EQ(clock.window, GetWindow(dialog, GW_OWNER)) << caption;
            EXPECT_FALSE(IsWindowEnabled(clock.window)) << caption;
        }
        return dialog;
    }
};

// The file name of the program that a shell command key of HKEY_CLASSES_ROOT
// starts; empty when the key is missing.
std::wstring shellCommandProgram(wchar_t const *key)
{
    wchar_t handler[MAX_PATH] = L"";
    LONG size = sizeof handler;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key, handler, &size) != ERROR_SUCCESS)
        return L"";
    std::wstring program = commandProgram(handler);
    return program.substr(program.find_last_of(L"\\/") + 1);
}

void key(WORD virtualKey, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = WORD(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// Alt with the key that types the character on the keyboard layout in use,
// Shift included when the character needs it.
void typeWithAlt(char character)
{
    SHORT typed = VkKeyScanA(character);
    WORD virtualKey = LOBYTE(typed);
    bool shift = HIBYTE(typed) & 1;
    key(VK_MENU, true);
    if (shift)
        key(VK_SHIFT, true);
    key(virtualKey, true);
    key(virtualKey, false);
    if (shift)
        key(VK_SHIFT, false);
    key(VK_MENU, false);
}

} // namespace

TEST_F(MenuDialogs, CalendarOpensAMonthCalendar)
{
    PostMessageA(clock.window, WM_COMMAND, IDM_CALENDAR, 0);
    HWND dialog = clockDialog("Calendar");
    ASSERT_NE(nullptr, dialog);
    // The month calendar's class was there when the dialog was built.
    HWND calendar = GetDlgItem(dialog, IDC_MONTHCAL);
    ASSERT_NE(nullptr, calendar);
    char className[64] = "";
    GetClassNameA(calendar, className, sizeof className);
    EXPECT_STREQ(MONTHCAL_CLASSA, className);
    EXPECT_TRUE(IsWindowVisible(calendar));

    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(waitGone(dialog));
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(clock.window) != FALSE; }));
    EXPECT_EQ(0u, exitClock(clock));
}

TEST_F(MenuDialogs, AboutFromTheMenuAndTheAltKeys)
{
    PostMessageA(clock.window, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = clockDialog("About");
    ASSERT_NE(nullptr, about);
    EXPECT_EQ("Halvitrum version 4.1", windowText(GetDlgItem(about, IDC_VERSION)));
    pressButton(about, IDOK);
    ASSERT_TRUE(waitGone(about));

    // The keys reach the clock through its accelerator table.
    for (char character : {'?', '/'}) {
        ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(clock.window) != FALSE; }));
        SetForegroundWindow(clock.window);
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == clock.window; })) << character;
        typeWithAlt(character);
        about = clockDialog("About");
        ASSERT_NE(nullptr, about) << "Alt+" << character;
        pressButton(about, IDOK);
        ASSERT_TRUE(waitGone(about));
    }
    EXPECT_EQ(0u, exitClock(clock));
}

TEST_F(MenuDialogs, HelpUnderWineOpensThePlainPageInTheBrowser)
{
    // Wine's help viewer has no HTML engine. Under Wine the clock opens the
    // topic's plain page from the help folder beside it with the command of
    // the HTML file class: winebrowser.exe, which hands the page to the
    // desktop's browser and ends. The help viewer is not started.
    std::wstring browser = shellCommandProgram(L"htmlfile\\shell\\open\\command");
    ASSERT_FALSE(browser.empty());

    PostMessageA(clock.window, WM_COMMAND, IDM_HELP, 0);
    std::wstring arguments = commandArguments(childCommandLine(clockId(), browser.c_str()));
    std::wstring page = L"\"" + binFolder() + L"\\help\\index.html\"";
    EXPECT_EQ(0, lstrcmpiW(page.c_str(), arguments.c_str()))
        << std::string(arguments.begin(), arguments.end());
    EXPECT_EQ(0u, waitForChildProcess(clockId(), L"hh.exe", 500));
    EXPECT_EQ(0u, exitClock(clock));
}

TEST_F(MenuDialogs, HomePageGoesToTheShellsBrowser)
{
    // The shell opens an https address with the command registered for
    // https: under Wine that is winebrowser.exe, which hands the address to
    // the desktop's browser and ends (here, with none installed, after
    // about a quarter of a second; the polling sees it meanwhile).
    std::wstring browser = shellCommandProgram(L"https\\shell\\open\\command");
    ASSERT_FALSE(browser.empty());

    PostMessageA(clock.window, WM_COMMAND, IDM_HOMEPAGE, 0);
    std::wstring commandLine = childCommandLine(clockId(), browser.c_str());
    EXPECT_NE(std::wstring::npos, commandArguments(commandLine).find(L"https://"))
        << std::string(commandLine.begin(), commandLine.end());
    EXPECT_EQ(0u, exitClock(clock));
}
