// The About box, the Calendar dialog and the help viewer's start, run for
// real in this process and driven from a second thread as a user would.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "support/clockwindow.h"
#include "support/dialogdriver.h"
#include "support/processes.h"
#include "support/program.h"
#include "ui/ui.h"

namespace {

// The fixed head of an extended dialog template.
#pragma pack(push, 1)
struct TemplateHead {
    WORD version;
    WORD signature;
    DWORD helpId;
    DWORD exStyle;
    DWORD style;
};
#pragma pack(pop)

TemplateHead templateHead(int id)
{
    TemplateHead head = {};
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    if (resource)
        head = *static_cast<TemplateHead const *>(LockResource(LoadResource(instance, resource)));
    return head;
}

// Esc as the keyboard delivers it: to the control that has the focus, where
// the dialog's own loop turns it into IDCANCEL.
void pressEscape(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    HWND target = info.hwndFocus ? info.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

// A click on the caption's close box ends up as this system command.
void pressCloseBox(HWND dialog)
{
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// The program of a command line is the HTML Help viewer of the Windows
// folder, named by its full path.
bool isViewer(std::wstring const &program)
{
    wchar_t windows[MAX_PATH];
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    return lstrcmpiW(program.c_str(), (std::wstring(windows) + L"\\hh.exe").c_str()) == 0;
}

// Runs a dialog modally with the given procedure while closeIt closes it;
// the dialog's result.
INT_PTR runAndClose(int templateId, DLGPROC procedure, char const *caption, void (*closeIt)(HWND))
{
    DWORD thread = GetCurrentThreadId();
    INT_PTR result = -1;
    runDriven(
        [&] { result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), nullptr, procedure, 0); },
        [&] {
            HWND dialog = waitForDialog(caption, thread);
            ASSERT_NE(nullptr, dialog);
            closeIt(dialog);
            EXPECT_TRUE(waitGone(dialog));
        });
    return result;
}

// The dialogs open over the clock's real window, as from its menu.
class SmallDialogs : public ClockWindowTest {
protected:
    // Owned by the clock, which is disabled while the dialog is open.
    void expectModalOverClock(HWND dialog)
    {
        EXPECT_EQ(mainWindow, GetWindow(dialog, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(mainWindow));
    }
};

} // namespace

TEST_F(SmallDialogs, AboutShowsNameVersionAndLogo)
{
    EXPECT_EQ(
        DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS | DS_CENTER),
        templateHead(IDD_ABOUTBOX).style);
    EXPECT_EQ(0u, templateHead(IDD_ABOUTBOX).exStyle);

    DWORD thread = GetCurrentThreadId();
    DLGPROC aboutProc = nullptr;
    runDriven([] { showAbout(mainWindow); },
              [&] {
                  HWND about = waitForDialog("About", thread);
                  ASSERT_NE(nullptr, about);
                  expectModalOverClock(about);
                  EXPECT_TRUE(insideWorkArea(about));
                  aboutProc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(about, DWLP_DLGPROC));
                  EXPECT_EQ("Halvitrum version 4.1", windowText(GetDlgItem(about, IDC_VERSION)));

                  HWND logo = FindWindowExA(about, nullptr, "Static", nullptr);
                  ASSERT_NE(nullptr, logo);
                  EXPECT_EQ(SS_BITMAP, GetWindowLongA(logo, GWL_STYLE) & SS_TYPEMASK);
                  BITMAP bitmap = {};
                  HGDIOBJ image = HGDIOBJ(SendMessageA(logo, STM_GETIMAGE, IMAGE_BITMAP, 0));
                  ASSERT_NE(nullptr, image);
                  GetObjectA(image, sizeof bitmap, &bitmap);
                  EXPECT_EQ(203, bitmap.bmWidth);
                  EXPECT_EQ(61, bitmap.bmHeight);

                  pressButton(about, IDOK);
                  EXPECT_TRUE(waitGone(about));
              });
    ASSERT_NE(nullptr, aboutProc);
    EXPECT_EQ(IDOK,
              runAndClose(IDD_ABOUTBOX, aboutProc, "About", [](HWND about) { pressButton(about, IDOK); }));
    EXPECT_EQ(IDCANCEL, runAndClose(IDD_ABOUTBOX, aboutProc, "About", pressEscape));
    EXPECT_EQ(IDCANCEL, runAndClose(IDD_ABOUTBOX, aboutProc, "About", pressCloseBox));
}

// The Timer dialog refuses a length out of range with a message and starts
// the timer it is given; the clock's menu then offers "Stop timer" with the
// time left, which stops it.
TEST_F(SmallDialogs, TimerDialogStartsATimerThatTheMenuStops)
{
    DWORD thread = GetCurrentThreadId();
    runDriven([] { SendMessageA(mainWindow, WM_COMMAND, IDM_TIMER, 0); },
              [&] {
                  HWND timer = waitForDialog("Timer", thread);
                  ASSERT_NE(nullptr, timer);
                  expectModalOverClock(timer);
                  SetDlgItemTextA(timer, IDC_TIMERMINUTES, "720");
                  SetDlgItemTextA(timer, IDC_TIMERSECONDS, "1");
                  pressButton(timer, IDOK);
                  MessageBoxSeen seen;
                  EXPECT_TRUE(answerMessageBox(productName, thread, IDOK, seen));
                  EXPECT_EQ("Please enter a time from 1 second to 12 hours.", seen.text);
                  SetDlgItemTextA(timer, IDC_TIMERMINUTES, "1");
                  SetDlgItemTextA(timer, IDC_TIMERSECONDS, "30");
                  SetDlgItemTextA(timer, IDC_TIMERLABEL, "Eggs");
                  pressButton(timer, IDOK);
                  EXPECT_TRUE(waitGone(timer));
              });
    LONGLONG left = timerSecondsLeft(utcNow());
    EXPECT_TRUE(left > 80 && left <= 90) << left;
    EXPECT_STREQ(L"Eggs", countdown.label);
    SendMessageA(mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popupMenu), 0);
    char text[64] = "";
    GetMenuStringA(popupMenu, IDM_STOPTIMER, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(0, strncmp(text, "Stop timer (1:", 14)) << text;
    SendMessageA(mainWindow, WM_COMMAND, IDM_STOPTIMER, 0);
    EXPECT_EQ(0, timerSecondsLeft(utcNow()));
    SendMessageA(mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popupMenu), 0);
    EXPECT_EQ(UINT(-1), GetMenuState(popupMenu, IDM_STOPTIMER, MF_BYCOMMAND));
}

TEST_F(SmallDialogs, CalendarShowsAPlainMonthCalendarAndEndsOnEscAndCloseBox)
{
    TemplateHead head = templateHead(IDD_CALENDAR);
    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS),
              head.style);
    EXPECT_EQ(DWORD(WS_EX_TOOLWINDOW), head.exStyle);

    DWORD thread = GetCurrentThreadId();
    DLGPROC calendarProc = nullptr;
    runDriven([] { showCalendar(mainWindow); },
              [&] {
                  HWND dialog = waitForDialog("Calendar", thread);
                  ASSERT_NE(nullptr, dialog);
                  expectModalOverClock(dialog);
                  calendarProc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
                  HWND calendar = GetDlgItem(dialog, IDC_MONTHCAL);
                  ASSERT_NE(nullptr, calendar);
                  char className[64] = "";
                  GetClassNameA(calendar, className, sizeof className);
                  EXPECT_STREQ(MONTHCAL_CLASSA, className);
                  EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | MCS_NOTODAYCIRCLE | MCS_NOTODAY),
                            DWORD(GetWindowLongA(calendar, GWL_STYLE)));
                  // The whole month shows: the control is at least as large as
                  // it needs to be, lies wholly in the client area and keeps
                  // its margins of 7 dialog units.
                  RECT needed = {}, client, placed, joined, margin = {7, 7, 0, 0};
                  ASSERT_TRUE(
                      SendMessageA(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&needed)));
                  GetClientRect(dialog, &client);
                  GetWindowRect(calendar, &placed);
                  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&placed), 2);
                  EXPECT_GE(client.right, needed.right - needed.left);
                  EXPECT_GE(client.bottom, needed.bottom - needed.top);
                  EXPECT_GE(placed.right - placed.left, needed.right - needed.left);
                  EXPECT_GE(placed.bottom - placed.top, needed.bottom - needed.top);
                  UnionRect(&joined, &client, &placed);
                  EXPECT_TRUE(EqualRect(&joined, &client));
                  MapDialogRect(dialog, &margin);
                  EXPECT_EQ(margin.left, placed.left);
                  EXPECT_EQ(margin.top, placed.top);
                  EXPECT_NEAR(margin.left, client.right - placed.right, 1);
                  EXPECT_NEAR(margin.top, client.bottom - placed.bottom, 1);
                  EXPECT_TRUE(insideWorkArea(dialog));
                  // It opens on the current month.
                  SYSTEMTIME shown = {}, today = {};
                  SendMessageA(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
                  GetLocalTime(&today);
                  EXPECT_EQ(today.wYear, shown.wYear);
                  EXPECT_EQ(today.wMonth, shown.wMonth);

                  pressEscape(dialog);
                  EXPECT_TRUE(waitGone(dialog));
              });
    ASSERT_NE(nullptr, calendarProc);
    EXPECT_EQ(IDCANCEL, runAndClose(IDD_CALENDAR, calendarProc, "Calendar", pressEscape));
    EXPECT_EQ(IDCANCEL, runAndClose(IDD_CALENDAR, calendarProc, "Calendar", pressCloseBox));
    // Enter has no button to press: the dialog manager sends IDOK, which ends it too.
    EXPECT_EQ(IDOK, runAndClose(IDD_CALENDAR, calendarProc, "Calendar",
                                [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }));
}

TEST(Help, ShowHelpStartsTheViewerAtTheMapId)
{
    // The viewer is given the file beside the program, whatever folder the
    // program was started in.
    CurrentFolder system32(L"C:\\windows\\system32");
    ASSERT_TRUE(system32.entered);
    for (int mapId : {1, 2, 3, 5, 6}) {
        showHelp(mapId);
        DWORD viewer = waitForChildProcess(GetCurrentProcessId(), L"hh.exe");
        ASSERT_NE(0u, viewer) << mapId;
        std::wstring commandLine;
        EXPECT_TRUE(waitUntil([&] { return !(commandLine = processCommandLine(viewer)).empty(); }));
        EXPECT_TRUE(isViewer(commandProgram(commandLine)))
            << std::string(commandLine.begin(), commandLine.end());
        EXPECT_EQ(L"-mapid " + std::to_wstring(mapId) + L" " + testFolder() + L"\\Halvitrum.chm",
                  commandArguments(commandLine));
        endProcess(viewer);
    }
}
