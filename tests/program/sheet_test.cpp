// The running clock's Options and Pro options pages, changed from outside
// through the real sheet: what Apply takes survives a killed process.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "support/dialogdriver.h"
#include "support/program.h"
#include "support/registry.h"

int const applyButton = 0x3021;                              // the sheet's Apply button
int const redField = 706, greenField = 707, blueField = 708; // of the colour dialog

class SheetProgram : public RunningClockTest {
protected:
    // Opens the sheet through the menu command; the sheet is modal in the
    // clock, so the command is posted.
    HWND openSheet()
    {
        PostMessageA(clock.window, WM_COMMAND, IDM_OPTIONS, 0);
        return waitForDialog("Properties", 0, clock.process.dwProcessId);
    }
};

static HWND showPage(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

static void select(HWND page, int id, int index)
{
    HWND list = GetDlgItem(page, id);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

static int selection(HWND page, int id)
{
    return int(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
}

static void click(HWND page, int id)
{
    SendDlgItemMessageA(page, id, BM_CLICK, 0, 0);
}

// Replaces the edit's text by typing over all of it.
static void typeOver(HWND page, int id, char const *text)
{
    HWND edit = GetDlgItem(page, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (; *text; ++text)
        SendMessageA(edit, WM_CHAR, *text, 1);
}

struct OwnedDialogSearch {
    HWND owner;
    HWND found;
};

static BOOL CALLBACK matchOwnedDialog(HWND window, LPARAM parameter)
{
    auto &search = *reinterpret_cast<OwnedDialogSearch *>(parameter);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != search.owner)
        return TRUE;
    search.found = window;
    return FALSE;
}

// Picks a colour with a colour button: its dialog, owned by the sheet, is
// answered as a user would answer it.
static bool chooseColor(HWND sheet, HWND page, int buttonId, COLORREF color)
{
    PostMessageA(GetDlgItem(page, buttonId), BM_CLICK, 0, 0);
    OwnedDialogSearch search = {sheet, nullptr};
    if (!waitUntil([&] {
            EnumWindows(matchOwnedDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        }))
        return false;
    SetDlgItemInt(search.found, redField, GetRValue(color), FALSE);
    SetDlgItemInt(search.found, greenField, GetGValue(color), FALSE);
    SetDlgItemInt(search.found, blueField, GetBValue(color), FALSE);
    pressButton(search.found, IDOK);
    return waitGone(search.found);
}

// An edit control of another process keeps its text to itself: it is asked.
static std::string editText(HWND page, int id)
{
    char text[260] = "";
    SendDlgItemMessageA(page, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

static bool topmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

static DWORD number(char const *name)
{
    DWORD value = 0xDEADBEEF;
    numberValue(settingsKey, name, value);
    return value;
}

static std::wstring text(char const *path, wchar_t const *name)
{
    std::wstring value;
    textValue(path, name, value);
    return value;
}

TEST_F(SheetProgram, AppliedOptionsAndColoursSurviveAKill)
{
    COLORREF const background = RGB(30, 60, 90);
    COLORREF const ring1 = RGB(250, 128, 0);
    clearRegistry();
    start(); // a first start: under Wine its help page goes to the browser, which ends by itself
    ASSERT_TRUE(topmost(clock.window));

    HWND sheet = openSheet();
    ASSERT_NE(nullptr, sheet);
    HWND options = showPage(sheet, 0);
    ASSERT_NE(nullptr, options);
    select(options, IDC_NUMBERS, 2);
    select(options, IDC_DAYOFWEEK, 0);
    select(options, IDC_LOGO, 1);
    select(options, IDC_LOGOTYPE, 1);
    typeOver(options, IDC_LOGOTEXT, "TICK TOCK");
    click(options, IDC_SECONDS);
    click(options, IDC_ONTOP);
    // The Run key exists without the clock's entry, so Autorun starts off.
    EXPECT_FALSE(isChecked(options, IDC_AUTORUN));
    click(options, IDC_AUTORUN);
    HWND colors = showPage(sheet, 1);
    ASSERT_NE(nullptr, colors);
    click(colors, IDC_USECOLOR);
    ASSERT_TRUE(chooseColor(sheet, colors, IDC_COLORBACKGROUND, background));
    ASSERT_TRUE(chooseColor(sheet, colors, IDC_COLORRING1, ring1));
    EXPECT_FALSE(settingsSaved()); // nothing is applied yet
    EXPECT_TRUE(topmost(clock.window));

    click(sheet, applyButton);
    // The clock saves once the apply is over; the Run entry is the save's
    // last write.
    EXPECT_TRUE(waitUntil([] { return valueType(autorunKey, "Halvitrum") == REG_SZ; }));
    EXPECT_FALSE(topmost(clock.window));
    EXPECT_TRUE(IsWindow(sheet)); // Apply leaves the sheet open

    killClock(clock);
    // Everything applied was written at once, the Run entry included.
    EXPECT_EQ(2u, number("show.numbers"));
    EXPECT_EQ(0u, number("show.dayOfTheWeek"));
    EXPECT_EQ(1u, number("show.logo"));
    EXPECT_EQ(1u, number("show.logoType"));
    EXPECT_EQ(0u, number("show.seconds"));
    EXPECT_EQ(0u, number("onTop"));
    EXPECT_EQ(1u, number("Use color"));
    EXPECT_EQ(background, number("Color background"));
    EXPECT_EQ(ring1, number("Color ring 1"));
    EXPECT_EQ(L"TICK TOCK", text(settingsKey, L"show.logoText"));
    std::wstring run = text(autorunKey, L"Halvitrum");
    EXPECT_NE(std::wstring::npos, run.find(L"Halvitrum.exe")) << run;

    // The next start shows what was applied.
    start();
    EXPECT_FALSE(topmost(clock.window));
    sheet = openSheet();
    ASSERT_NE(nullptr, sheet);
    options = showPage(sheet, 0);
    EXPECT_EQ(2, selection(options, IDC_NUMBERS));
    EXPECT_EQ(0, selection(options, IDC_DAYOFWEEK));
    EXPECT_EQ(1, selection(options, IDC_LOGO));
    EXPECT_EQ(1, selection(options, IDC_LOGOTYPE));
    EXPECT_EQ("TICK TOCK", editText(options, IDC_LOGOTEXT));
    EXPECT_FALSE(isChecked(options, IDC_SECONDS));
    EXPECT_FALSE(isChecked(options, IDC_ONTOP));
    EXPECT_TRUE(isChecked(options, IDC_AUTORUN));
    colors = showPage(sheet, 1);
    EXPECT_TRUE(isChecked(colors, IDC_USECOLOR));
    EXPECT_EQ(std::to_string(background), windowText(GetDlgItem(colors, IDC_COLORBACKGROUND)));
    EXPECT_EQ(std::to_string(ring1), windowText(GetDlgItem(colors, IDC_COLORRING1)));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_TRUE(waitGone(sheet));
    EXPECT_EQ(0u, exitClock(clock));
}
