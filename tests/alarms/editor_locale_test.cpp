// The page and the editor under the locale this test program runs in, with
// the locale flags read as the clock reads them when its window is created.
// CTest runs it under a 12-hour, Sunday-first locale, a 24-hour,
// Monday-first one and Greek formats on a Western system (HALVITRUM_LOCALE
// names the locale the run asked for).
#include <algorithm>
#include <cstdlib>

#include "app/app.h"
#include "page_fixture.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "support/clockwindow.h"
#include "ui/alarmspage.h"
#include "ui/ui.h"

namespace {

struct KnownLocale {
    char const *name;
    int use24Hour;
    int mondayFirst;
    wchar_t const *days[7]; // Sunday first
    // The clock's window text on Monday 2026-12-07 at 07:29:40 with one
    // alarm, on Tuesdays at 07:30; null where not known.
    wchar_t const *words;
};

KnownLocale const knownLocales[] = {
    {"en-US",
     0,
     0,
     {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"},
     L"Halvitrum - Monday, December 7, 2026 7:29 AM - Next alarm: Tue 7:30 AM"},
    {"en-GB", 1, 1, {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"}, nullptr},
    {"de-DE",
     1,
     1,
     {L"So.", L"Mo.", L"Di.", L"Mi.", L"Do.", L"Fr.", L"Sa."},
     L"Halvitrum - Montag, 7. Dezember 2026 07:29 - Next alarm: Di. 07:30"},
    // Greek formats on a system whose 8-bit code page is Western.
    {"el-GR",
     0,
     1,
     {L"\u039a\u03c5\u03c1", L"\u0394\u03b5\u03c5", L"\u03a4\u03c1\u03af", L"\u03a4\u03b5\u03c4",
      L"\u03a0\u03ad\u03bc", L"\u03a0\u03b1\u03c1", L"\u03a3\u03ac\u03b2"},
     nullptr},
};

class RealLocale : public AlarmsPageTest {
protected:
    void SetUp() override
    {
        AlarmsPageTest::SetUp();
        // The drawing resources of a new clock window read the flags.
        destroyClockWindow();
        use24Hour = mondayFirst = -1;
        createClockWindow();
        KillTimer(mainWindow, clockTimer);
    }
};

} // namespace

static KnownLocale const *knownLocale()
{
    char name[LOCALE_NAME_MAX_LENGTH] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNAME, name, sizeof name);
    for (KnownLocale const &locale : knownLocales)
        if (lstrcmpA(locale.name, name) == 0)
            return &locale;
    return nullptr;
}

// The tray tip has the window's words, a line each.
TEST_F(RealLocale, TimeInWords)
{
    KnownLocale const *known = knownLocale();
    if (!known || !known->words)
        GTEST_SKIP() << "no expected words for this locale";
    setTable({{"07:30", L"Wake up", "--+----", 1}});
    SYSTEMTIME const moment = {2026, 12, 1, 7, 7, 29, 40, 0};
    std::wstring tip = known->words;
    for (size_t dash; (dash = tip.find(L" - ")) != std::wstring::npos;)
        tip.replace(dash, 3, L"\n");
    EXPECT_EQ(tip, clockWords(moment, L"\n"));
    EXPECT_LE(tip.size(), 127u);
    showClockWords(moment);
    wchar_t text[256] = L"";
    InternalGetWindowText(mainWindow, text, ARRAYSIZE(text));
    EXPECT_EQ(std::wstring(known->words), text);
    EXPECT_EQ(mainWindow, FindWindowA(className, nullptr));
}

TEST_F(RealLocale, FlagsTimesAndWeekdays)
{
    char name[LOCALE_NAME_MAX_LENGTH] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNAME, name, sizeof name);
    if (char const *wanted = getenv("HALVITRUM_LOCALE")) {
        ASSERT_STREQ(wanted, name);
    }
    KnownLocale const *known = knownLocale();
    if (!known)
        GTEST_SKIP() << "no expectations for the locale " << name;
    EXPECT_EQ(known->use24Hour, use24Hour);
    EXPECT_EQ(known->mondayFirst, mondayFirst);

    setTable({{"00:05", L"", "+++++++", 1}});
    openPage();
    EXPECT_EQ(use24Hour ? "00:05" : "12:05 AM", cell(0, 0));
    EXPECT_EQ("00:05", cell(0, 3));
    runDriven([&] { press(IDC_ADDALARM); },
              [&] {
                  HWND editor = waitForDialog("Add alarm", thread);
                  ASSERT_NE(nullptr, editor);
                  EXPECT_EQ(use24Hour ? "0" : "1", windowText(GetDlgItem(editor, IDC_HOURS)));
                  EXPECT_EQ(!use24Hour, IsWindowVisible(GetDlgItem(editor, IDC_AM)) != FALSE);
                  // The boxes' captions top to bottom, in the locale's order.
                  std::vector<std::pair<LONG, std::wstring>> boxes;
                  for (int day = 0; day < 7; ++day) {
                      HWND box = GetDlgItem(editor, IDC_SUNDAY + day);
                      RECT rect;
                      GetWindowRect(box, &rect);
                      boxes.push_back({rect.top, windowTextW(box)});
                  }
                  std::sort(boxes.begin(), boxes.end());
                  for (int p = 0; p < 7; ++p)
                      EXPECT_EQ(known->days[(p + known->mondayFirst) % 7], boxes[p].second) << p;

                  SetDlgItemTextA(editor, IDC_HOURS, use24Hour ? "13" : "1");
                  if (!use24Hour) {
                      setChecked(editor, IDC_AM, false);
                      setChecked(editor, IDC_PM, true);
                  }
                  SetDlgItemTextA(editor, IDC_MINUTES, "5");
                  setChecked(editor, IDC_SUNDAY, false);
                  setChecked(editor, IDC_SUNDAY + 6, false);
                  pressButton(editor, IDOK);
                  EXPECT_TRUE(waitGone(editor));
              });
    EXPECT_EQ(use24Hour ? "13:05" : "01:05 PM", cell(1, 0));
    EXPECT_EQ(mondayFirst ? "+++++--" : "-+++++-", cell(1, 2));
    EXPECT_EQ("13:05", cell(1, 3));
    applyPage();
    int const expected[7] = {0, 1, 1, 1, 1, 1, 0};
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(expected[day], settings.alarms[1].week[day]) << day;
}
