// The real Alarms page, created from its template with its procedure under
// a window that plays the property sheet and counts the page's PSM_CHANGED.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/clockwindow.h"
#include "support/dialogdriver.h"

// One alarm as a test writes it: "HH:MM", weekdays Sunday first as
// "+"/"-", on flag.
struct TestAlarm {
    char const *time;
    wchar_t const *description;
    char const *sundayFirstWeek;
    int on;
};

AlarmEvent makeAlarm(TestAlarm const &alarm);
// Fills settings.alarms with the alarms and the end marker.
void setTable(std::vector<TestAlarm> const &alarms);

// The texts of every cell of the page's list, row by row, "|" between the
// columns: "07:30|Wake up|-+++++-|07:30"; a check mark "[x] " or "[ ] " and
// a selection mark "> " lead the row.
std::vector<std::string> listRows();
std::string cell(int row, int column);

class AlarmsPageTest : public ClockWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void openPage();
    void closePage();
    void applyPage();
    void selectRow(int row);
    void checkRow(int row, bool checked);
    // A double click on the row's first cell, or below the last row when
    // row is -1.
    void doubleClick(int row);
    // Sends the page a button press; returns when its handling has ended.
    void press(int id);

    // PSM_CHANGED messages the page has sent since it opened.
    int changes() const;

    HWND sheet = nullptr;
    HWND page = nullptr;
    DWORD thread = GetCurrentThreadId();
    int saved24Hour = 0;
    int savedMondayFirst = 0;
};

// Expectations on a message box the page or the editor showed.
void expectBox(MessageBoxSeen const &seen, char const *text, LPCSTR icon, HWND owner);

// Types into an edit control of another thread as the keyboard would.
void typeText(HWND edit, std::wstring const &text);
