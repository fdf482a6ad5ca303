// World clocks on the clock's real window: added through the dialog's own
// controls, drawn, removed, and brought back by a restart.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "support/clockwindow.h"
#include "support/dialogdriver.h"

namespace {

// The world clocks' windows, by their labels.
std::vector<HWND> worldWindows()
{
    std::vector<HWND> windows;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "HALVITRUM world clock", nullptr));)
        if (worldClockFace(window))
            windows.push_back(window);
    std::sort(windows.begin(), windows.end(), [](HWND a, HWND b) {
        return std::wstring(worldClockFace(a)->label) < worldClockFace(b)->label;
    });
    return windows;
}

// "Add world clock..." from the menu, answered as a user would: a few
// letters in the filter, the one zone left chosen, the label typed over.
void addThroughDialog(char const *filter, wchar_t const *zoneLabel, wchar_t const *label)
{
    DWORD thread = GetCurrentThreadId();
    runDriven([] { SendMessageA(mainWindow, WM_COMMAND, IDM_ADDWORLDCLOCK, 0); },
              [&] {
                  HWND dialog = waitForDialog("World clock", thread);
                  ASSERT_NE(nullptr, dialog);
                  SetDlgItemTextA(dialog, IDC_ZONEFILTER, filter); // EN_CHANGE, as typing sends it
                  HWND list = GetDlgItem(dialog, IDC_ZONELIST);
                  ASSERT_EQ(1, SendMessageA(list, LB_GETCOUNT, 0, 0));
                  SendMessageA(list, LB_SETCURSEL, 0, 0);
                  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ZONELIST, LBN_SELCHANGE), LPARAM(list));
                  EXPECT_EQ(zoneLabel, windowTextW(GetDlgItem(dialog, IDC_ZONELABEL)));
                  if (label)
                      SetDlgItemTextW(dialog, IDC_ZONELABEL, label);
                  pressButton(dialog, IDOK);
                  EXPECT_TRUE(waitGone(dialog));
              });
    pumpMessages();
}

RECT rectOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

class WorldClocks : public ClockWindowTest {};

} // namespace

TEST_F(WorldClocks, DialogAddsAFaceBesideTheMainClockThatRemoveTakesAway)
{
    addThroughDialog("kathm", L"Kathmandu", L"Family");
    std::vector<HWND> windows = worldWindows();
    ASSERT_EQ(1u, windows.size());
    HWND world = windows[0];
    EXPECT_TRUE(IsWindowVisible(world));
    EXPECT_TRUE(insideWorkArea(world));
    RECT face = rectOf(world), main = rectOf(mainWindow), common;
    EXPECT_FALSE(IntersectRect(&common, &face, &main));
    EXPECT_EQ(main.right - main.left, face.right - face.left);

    // Its hands show Kathmandu's time: UTC + 5:45.
    ClockFace const *drawn = worldClockFace(world);
    ASSERT_NE(nullptr, drawn);
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    int minutes = (utc.wHour * 60 + utc.wMinute + 5 * 60 + 45) % (24 * 60);
    int shown = drawn->shown.wHour * 60 + drawn->shown.wMinute;
    EXPECT_LE((minutes - shown + 24 * 60) % (24 * 60), 1);
    EXPECT_STREQ(L"Family", drawn->label);
    // The hands lie over the cached face at the centre, the hub included.
    int side = drawn->drawnWidth, centre = side / 2 * drawn->surfaceSide + side / 2;
    EXPECT_NE(surfacePixels(drawn->faceDC)[centre], surfacePixels(drawn->frameDC)[centre]);
    EXPECT_NE(std::wstring::npos, windowTextW(world).find(L"Family "));

    SendMessageA(world, WM_COMMAND, IDM_REMOVECLOCK, 0);
    pumpMessages();
    EXPECT_FALSE(IsWindow(world));
    EXPECT_TRUE(worldWindows().empty());
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(0, worldClockCount);
}

TEST_F(WorldClocks, RestartBringsBackTheSameClocksAtTheSamePlaces)
{
    addThroughDialog("tokyo", L"Osaka, Sapporo, Tokyo", L"Tokyo");
    addThroughDialog("chatham", L"Chatham Islands", nullptr);
    std::vector<HWND> before = worldWindows();
    ASSERT_EQ(2u, before.size());
    SendMessageA(before[0], WM_COMMAND, IDM_SIZEMINIMUM, 0);
    SetWindowPos(before[0], nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<RECT> places = {rectOf(before[0]), rectOf(before[1])};
    std::vector<std::wstring> labels = {worldClockFace(before[0])->label, worldClockFace(before[1])->label};
    EXPECT_EQ(L"Chatham Islands", labels[0]); // from the zone's name

    // The tip and the window's text tell the world clocks after the local time.
    std::wstring words = windowTextW(mainWindow);
    size_t tokyo = words.find(L" - Tokyo "), chatham = words.find(L" - Chatham Islands ");
    EXPECT_NE(std::wstring::npos, tokyo);
    EXPECT_LT(tokyo, chatham);

    destroyClockWindow(); // saves
    EXPECT_TRUE(worldWindows().empty());
    loadSettings();
    settings.firstRun = 0;
    create();
    std::vector<HWND> after = worldWindows();
    ASSERT_EQ(2u, after.size());
    for (size_t i = 0; i < 2; i++) {
        RECT place = rectOf(after[i]);
        EXPECT_TRUE(EqualRect(&places[i], &place)) << i;
        EXPECT_EQ(labels[i], worldClockFace(after[i])->label);
    }
    // Hide hides them all; the tray icon shows them all.
    SendMessageA(mainWindow, WM_COMMAND, IDM_HIDE, 0);
    EXPECT_FALSE(IsWindowVisible(after[0]));
    SendMessageA(mainWindow, trayCallback, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(after[1]));
}

// The tip holds 127 characters: world clocks' lines are left out from the
// last on, whole, until the words fit; the local time and the alarm stay.
struct TipRow {
    size_t lineLength; // of each of the two world lines
    size_t linesKept;
};

class TipCut : public testing::TestWithParam<TipRow> {};

TEST_P(TipCut, WholeLinesFromTheLast)
{
    std::wstring head = L"Halvitrum\nWednesday, 9 December 2026 14:05"; // 42 characters
    std::wstring tail = L"\nNext alarm: Thu 07:30";                     // 21 characters
    std::vector<std::wstring> lines = {std::wstring(GetParam().lineLength, L'a'),
                                       std::wstring(GetParam().lineLength, L'b')};
    std::wstring tip = fitTip(head, lines, tail, 127);
    std::wstring expected = head;
    for (size_t i = 0; i < GetParam().linesKept; i++)
        expected += L"\n" + lines[i];
    EXPECT_EQ(expected + tail, tip);
}

// 42 + 22 = 64 characters besides the lines, each of which costs one more.
INSTANTIATE_TEST_SUITE_P(Tip, TipCut,
                         testing::Values(TipRow{16, 2}, TipRow{30, 2}, TipRow{31, 1}, TipRow{62, 1},
                                         TipRow{63, 0}));
