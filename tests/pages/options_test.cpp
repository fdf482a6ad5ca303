// The Options page under a window that plays the sheet, with the clock's
// real main window behind it.
#include <windows.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include "app/app.h"
#include "pagehost.h"
#include "render/render.h"
#include "res/resource.h"
#include "ui/ui.h"
#include "settings/settings.h"
#include "support/clockwindow.h"
#include "support/registry.h"

COLORREF const marker = RGB(1, 2, 3);

class OptionsPage : public ClockWindowTest {};

static std::vector<std::string> items(HWND list)
{
    std::vector<std::string> texts;
    int count = int(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = "";
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

static bool topmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Covers the cached face with a colour that no face has, so that a rebuild
// shows.
static void markFace()
{
    RECT all = {0, 0, mainFace.surfaceSide, mainFace.surfaceSide};
    HBRUSH brush = CreateSolidBrush(marker);
    FillRect(mainFace.faceDC, &all, brush);
    DeleteObject(brush);
    mainFace.faceDirty = 0;
}

TEST_F(OptionsPage, ShowsTheRecordInItsControls)
{
    settings.showDayOfTheWeek = 1;
    settings.showLogo = 2;
    settings.logoType = 1;
    settings.showNumbers = 2;
    settings.showSeconds = 0;
    settings.onTop = 0;
    settings.autorun = 1;
    lstrcpyW(settings.logoText, L"HELLO");
    PageHost host(IDD_OPTIONS, optionsPageProc);

    using Texts = std::vector<std::string>;
    EXPECT_EQ((Texts{"Off", "Solid", "Contour"}), items(host.item(IDC_DAYOFWEEK)));
    EXPECT_EQ((Texts{"Off", "Solid", "Contour"}), items(host.item(IDC_LOGO)));
    EXPECT_EQ((Texts{"Date", "Text"}), items(host.item(IDC_LOGOTYPE)));
    EXPECT_EQ((Texts{"Off", "On", "Only 12-3-6-9"}), items(host.item(IDC_NUMBERS)));
    EXPECT_EQ(1, host.selection(IDC_DAYOFWEEK));
    EXPECT_EQ(2, host.selection(IDC_LOGO));
    EXPECT_EQ(1, host.selection(IDC_LOGOTYPE));
    EXPECT_EQ(2, host.selection(IDC_NUMBERS));
    EXPECT_FALSE(host.checked(IDC_SECONDS));
    EXPECT_FALSE(host.checked(IDC_ONTOP));
    EXPECT_TRUE(host.checked(IDC_AUTORUN));
    EXPECT_EQ(L"HELLO", host.text(IDC_LOGOTEXT));
    EXPECT_EQ(10, SendMessageA(host.item(IDC_LOGOTEXT), EM_GETLIMITTEXT, 0, 0));
    EXPECT_TRUE(host.enabled(IDC_LOGOTYPE));
    EXPECT_TRUE(host.enabled(IDC_LOGOTEXT));
    EXPECT_TRUE(host.changes().empty()); // showing the record is no edit
}

TEST_F(OptionsPage, EnablingRuleFollowsEveryLogoChoice)
{
    PageHost host(IDD_OPTIONS, optionsPageProc);
    int choices = 0;
    for (int logo : {1, 2}) {
        for (int type : {0, 1}) {
            host.select(IDC_LOGO, logo);
            host.select(IDC_LOGOTYPE, type);
            choices += 2;
            EXPECT_TRUE(host.enabled(IDC_LOGOTYPE)) << logo << " " << type;
            EXPECT_EQ(type == 1, host.enabled(IDC_LOGOTEXT)) << logo << " " << type;
        }
        // Off greys both, whatever the content.
        host.select(IDC_LOGO, 0);
        ++choices;
        EXPECT_FALSE(host.enabled(IDC_LOGOTYPE)) << logo;
        EXPECT_FALSE(host.enabled(IDC_LOGOTEXT)) << logo;
    }
    host.select(IDC_LOGO, 2);
    ++choices;
    EXPECT_TRUE(host.enabled(IDC_LOGOTYPE));
    EXPECT_TRUE(host.enabled(IDC_LOGOTEXT)); // the content is still "Text"
    EXPECT_EQ(std::vector<WPARAM>(choices, WPARAM(host.page())), host.changes());
}

TEST_F(OptionsPage, EveryOtherEditTellsTheSheet)
{
    PageHost host(IDD_OPTIONS, optionsPageProc);
    host.click(IDC_SECONDS);
    host.click(IDC_ONTOP);
    host.click(IDC_AUTORUN);
    host.select(IDC_NUMBERS, 0);
    host.select(IDC_DAYOFWEEK, 0);
    host.type(IDC_LOGOTEXT, L"X");
    EXPECT_EQ(std::vector<WPARAM>(6, WPARAM(host.page())), host.changes());
}

TEST_F(OptionsPage, LogoTextTakesTenCharactersButKeepsALongerStoredText)
{
    settings.logoType = 1;
    settings.logoText[0] = L'\0';
    {
        PageHost host(IDD_OPTIONS, optionsPageProc);
        host.type(IDC_LOGOTEXT, L"ABCDEFGHIJKL");
        EXPECT_EQ(L"ABCDEFGHIJ", host.text(IDC_LOGOTEXT));
        EXPECT_FALSE(host.changes().empty());
    }
    wchar_t const stored[] = L"A logo text of thirty-one units";
    setText(settingsKey, L"show.logoText", stored);
    loadSettings();
    settings.firstRun = 0;
    ASSERT_STREQ(stored, settings.logoText);
    PageHost host(IDD_OPTIONS, optionsPageProc);
    EXPECT_EQ(stored, host.text(IDC_LOGOTEXT));
    EXPECT_EQ(0, host.notify(PSN_APPLY));
    EXPECT_STREQ(stored, settings.logoText);
    std::wstring saved;
    EXPECT_TRUE(textValue(settingsKey, L"show.logoText", saved));
    EXPECT_EQ(stored, saved);
}

TEST_F(OptionsPage, ApplyTakesEveryControlRedrawsAndSavesAtOnce)
{
    settings.autorun = 0;
    settings.showNumbers = 0;
    settings.showDayOfTheWeek = 0;
    settings.showLogo = 0;
    PageHost host(IDD_OPTIONS, optionsPageProc);
    host.click(IDC_SECONDS); // off
    host.click(IDC_AUTORUN); // on
    host.select(IDC_NUMBERS, 2);
    host.select(IDC_DAYOFWEEK, 1);
    host.select(IDC_LOGO, 1);
    host.select(IDC_LOGOTYPE, 1);
    host.type(IDC_LOGOTEXT, L"!");
    // Nothing reaches the record before the sheet applies the page.
    EXPECT_EQ(1, settings.showSeconds);
    EXPECT_EQ(0, settings.showNumbers);
    EXPECT_FALSE(settingsSaved());
    host.forgetChanges();

    markFace();
    EXPECT_EQ(0, host.notify(PSN_APPLY)); // PSNRET_NOERROR
    EXPECT_TRUE(host.changes().empty());
    EXPECT_EQ(0, settings.showSeconds);
    EXPECT_EQ(1, settings.autorun);
    EXPECT_EQ(1, settings.onTop);
    EXPECT_EQ(2, settings.showNumbers);
    EXPECT_EQ(1, settings.showDayOfTheWeek);
    EXPECT_EQ(1, settings.showLogo);
    EXPECT_EQ(1, settings.logoType);
    EXPECT_STREQ(L"ORVELLA!", settings.logoText);
    // The face was rebuilt: the marker is gone and the rebuild request used up.
    EXPECT_EQ(0, mainFace.faceDirty);
    EXPECT_NE(marker, GetPixel(mainFace.faceDC, 1, 1));
    // The applied options are in the registry, the Run entry included.
    DWORD value = 99;
    EXPECT_TRUE(numberValue(settingsKey, "show.seconds", value) && value == 0);
    EXPECT_TRUE(numberValue(settingsKey, "show.numbers", value) && value == 2);
    EXPECT_TRUE(numberValue(settingsKey, "show.dayOfTheWeek", value) && value == 1);
    EXPECT_TRUE(numberValue(settingsKey, "show.logo", value) && value == 1);
    EXPECT_TRUE(numberValue(settingsKey, "show.logoType", value) && value == 1);
    std::wstring text;
    EXPECT_TRUE(textValue(settingsKey, L"show.logoText", text));
    EXPECT_EQ(L"ORVELLA!", text);
    EXPECT_EQ(DWORD(REG_SZ), valueType(autorunKey, "Halvitrum"));
    // Applying leaves the page open with what it shows.
    EXPECT_TRUE(IsWindow(host.page()));
    EXPECT_EQ(2, host.selection(IDC_NUMBERS));
}

TEST_F(OptionsPage, SetToDefaultShowsTheDefaultsAndChangesNothingUntilApplied)
{
    settings.showDayOfTheWeek = 0;
    settings.showLogo = 0;
    settings.logoType = 1;
    settings.showNumbers = 0;
    settings.showSeconds = 0;
    settings.onTop = 0;
    settings.autorun = 0;
    lstrcpyW(settings.logoText, L"MINE");
    ClockSettings const before = settings;
    {
        PageHost host(IDD_OPTIONS, optionsPageProc);
        host.click(IDC_OPTIONSDEFAULT);
        EXPECT_EQ(2, host.selection(IDC_DAYOFWEEK));
        EXPECT_EQ(2, host.selection(IDC_LOGO));
        EXPECT_EQ(0, host.selection(IDC_LOGOTYPE));
        EXPECT_EQ(1, host.selection(IDC_NUMBERS));
        EXPECT_EQ(L"ORVELLA", host.text(IDC_LOGOTEXT));
        EXPECT_TRUE(host.checked(IDC_SECONDS));
        EXPECT_TRUE(host.checked(IDC_ONTOP));
        EXPECT_TRUE(host.checked(IDC_AUTORUN));
        EXPECT_TRUE(host.enabled(IDC_LOGOTYPE));
        EXPECT_FALSE(host.enabled(IDC_LOGOTEXT));
        ASSERT_FALSE(host.changes().empty());
        EXPECT_EQ(WPARAM(host.page()), host.changes().back());
        // The page goes away unapplied, as it does on Cancel.
    }
    EXPECT_EQ(0, memcmp(&before, &settings, sizeof settings));
    EXPECT_FALSE(settingsSaved());
}

TEST_F(OptionsPage, UncheckingAlwaysOnTopTakesEffectAtApply)
{
    ASSERT_TRUE(topmost(mainWindow));
    PageHost host(IDD_OPTIONS, optionsPageProc);
    host.click(IDC_ONTOP);
    EXPECT_TRUE(topmost(mainWindow));
    host.notify(PSN_APPLY);
    EXPECT_EQ(0, settings.onTop);
    EXPECT_FALSE(topmost(mainWindow));
    host.click(IDC_ONTOP);
    host.notify(PSN_APPLY);
    EXPECT_TRUE(topmost(mainWindow));
}
