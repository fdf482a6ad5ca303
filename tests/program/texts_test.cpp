// Texts in every script through the running clock's sheet and alarm editor:
// the sheet, its pages and the editor are Unicode windows, and a logo text,
// an alarm description and an image path with Latin, Greek, CJK and a
// character outside the Basic Multilingual Plane come back whole from the
// controls, the registry and the next start.
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

namespace {

int const applyButton = 0x3021; // the sheet's Apply button

// Latin, Greek, CJK and U+1D11E, a surrogate pair; the logo text keeps
// within the edit's 10 units.
wchar_t const logoText[] = L"Ab\u03bb\u6642\U0001D11E";
wchar_t const description[] = L"Wake \u03be\u03cd\u03c0\u03bd\u03b1 \u8d77\u5e8a \U0001F514 now";
wchar_t const imagePath[] = L"C:\\Bilder \u03b5\u03b9\u03ba\u03cc\u03bd\u03b1\\\u5199\u771f \U00020BB7.jpg";

HWND showPage(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void select(HWND page, int id, int index)
{
    HWND list = GetDlgItem(page, id);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// Types the text unit by unit over the edit's whole text, as the keyboard
// sends it to a Unicode window (a surrogate pair as its two halves).
void typeOver(HWND dialog, int id, wchar_t const *text)
{
    HWND edit = GetDlgItem(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (; *text; ++text)
        SendMessageW(edit, WM_CHAR, *text, 1);
}

// A control of another process is asked for its text.
std::wstring controlText(HWND dialog, int id)
{
    wchar_t text[300] = L"";
    SendDlgItemMessageW(dialog, id, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring storedText(char const *path, wchar_t const *name)
{
    std::wstring value = L"<missing>";
    textValue(path, name, value);
    return value;
}

bool unicodeWindow(HWND window)
{
    return window && IsWindowUnicode(window);
}

class TextsProgram : public RunningClockTest {
protected:
    void SetUp() override
    {
        RunningClockTest::SetUp();
        // The path is only ever chosen in a file dialog; a stored one is
        // shown by the page and taken back by its apply.
        setText(settingsKey, L"Image", imagePath);
    }
    void start()
    {
        RunningClockTest::start();
        killProcesses(L"hh.exe");
    }
    // The sheet opened through the menu command, which is modal in the
    // clock and therefore posted.
    void openSheet()
    {
        PostMessageA(clock.window, WM_COMMAND, IDM_OPTIONS, 0);
        sheet = waitForDialog("Properties", 0, clock.process.dwProcessId);
        ASSERT_NE(nullptr, sheet);
    }
    HWND openEditor(HWND alarms, int button, char const *caption)
    {
        pressButton(alarms, button);
        return waitForDialog(caption, 0, clock.process.dwProcessId);
    }
    HWND sheet = nullptr;
};

} // namespace

TEST_F(TextsProgram, TextsInEveryScriptSurviveTheSheetTheEditorAndARestart)
{
    start();
    openSheet();
    EXPECT_TRUE(unicodeWindow(sheet));
    HWND options = showPage(sheet, 0);
    ASSERT_NE(nullptr, options);
    EXPECT_TRUE(unicodeWindow(options));
    EXPECT_TRUE(unicodeWindow(GetDlgItem(options, IDC_LOGOTEXT)));
    select(options, IDC_LOGO, 1);
    select(options, IDC_LOGOTYPE, 1);
    typeOver(options, IDC_LOGOTEXT, logoText);
    EXPECT_EQ(logoText, controlText(options, IDC_LOGOTEXT));

    // Only a check box changes on this page; the path is applied as shown.
    HWND colors = showPage(sheet, 1);
    ASSERT_NE(nullptr, colors);
    EXPECT_TRUE(unicodeWindow(colors));
    EXPECT_EQ(imagePath, controlText(colors, IDC_IMAGEPATH));
    SendDlgItemMessageA(colors, IDC_USECOLOR, BM_CLICK, 0, 0);

    HWND alarms = showPage(sheet, 2);
    ASSERT_NE(nullptr, alarms);
    EXPECT_TRUE(unicodeWindow(alarms));
    HWND editor = openEditor(alarms, IDC_ADDALARM, "Add alarm");
    ASSERT_NE(nullptr, editor);
    EXPECT_TRUE(unicodeWindow(editor));
    EXPECT_TRUE(unicodeWindow(GetDlgItem(editor, IDC_DESCRIPTION)));
    // 7:15 is the same in 24-hour and in 12-hour entry, where AM is preset.
    SetDlgItemInt(editor, IDC_HOURS, 7, FALSE);
    SetDlgItemInt(editor, IDC_MINUTES, 15, FALSE);
    typeOver(editor, IDC_DESCRIPTION, description);
    pressButton(editor, IDOK);
    ASSERT_TRUE(waitGone(editor));
    HWND list = GetDlgItem(alarms, IDC_ALARMLIST);
    EXPECT_EQ(description, remoteListTextW(list, 0, 1));

    // Edited again (the new row is selected), the description comes back
    // into the editor whole and goes back into the list whole.
    editor = openEditor(alarms, IDC_EDITALARM, "Edit alarm");
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(description, controlText(editor, IDC_DESCRIPTION));
    pressButton(editor, IDOK);
    ASSERT_TRUE(waitGone(editor));
    EXPECT_EQ(description, remoteListTextW(list, 0, 1));

    SendDlgItemMessageA(sheet, applyButton, BM_CLICK, 0, 0);
    EXPECT_TRUE(waitUntil([] { return keyExists(eventsKey); }));
    EXPECT_EQ(logoText, storedText(settingsKey, L"show.logoText"));
    EXPECT_EQ(imagePath, storedText(settingsKey, L"Image"));
    EXPECT_EQ(description, storedText(eventsKey, L"Event_00_description"));
    EXPECT_EQ(logoText, controlText(options, IDC_LOGOTEXT));
    EXPECT_EQ(imagePath, controlText(colors, IDC_IMAGEPATH));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(waitGone(sheet));
    EXPECT_EQ(0u, exitClock(clock));

    // The next start shows them again, and its own save keeps them.
    start();
    openSheet();
    EXPECT_EQ(logoText, controlText(showPage(sheet, 0), IDC_LOGOTEXT));
    EXPECT_EQ(imagePath, controlText(showPage(sheet, 1), IDC_IMAGEPATH));
    alarms = showPage(sheet, 2);
    ASSERT_NE(nullptr, alarms);
    EXPECT_EQ(description, remoteListTextW(GetDlgItem(alarms, IDC_ALARMLIST), 0, 1));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(waitGone(sheet));
    EXPECT_EQ(0u, exitClock(clock));
    EXPECT_EQ(logoText, storedText(settingsKey, L"show.logoText"));
    EXPECT_EQ(imagePath, storedText(settingsKey, L"Image"));
    EXPECT_EQ(description, storedText(eventsKey, L"Event_00_description"));
}
