// The Pro options page under a window that plays the sheet, with the
// clock's real main window behind it and the colour and file dialogs
// answered as a user would.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "app/app.h"
#include "pagehost.h"
#include "render/render.h"
#include "res/resource.h"
#include "ui/ui.h"
#include "settings/settings.h"
#include "support/clockwindow.h"
#include "support/registry.h"

COLORREF const white = RGB(255, 255, 255);

static int const colorButtonIds[] = {IDC_COLORBACKGROUND, IDC_COLORRING1, IDC_COLORRING2, IDC_COLORTEXT,
                                     IDC_COLORMARKERS};
static int const colorGroup[] = {IDC_COLORBACKGROUND, IDC_COLORRING1,      IDC_COLORRING2, IDC_COLORTEXT,
                                 IDC_COLORMARKERS,    IDC_LABELBACKGROUND, IDC_LABELRING1, IDC_LABELRING2,
                                 IDC_LABELTEXT,       IDC_LABELMARKERS,    IDC_COLORSGROUP};
static int const imageGroup[] = {IDC_IMAGEGROUP, IDC_IMAGEPATH, IDC_SELECTIMAGE};

class ColorsPage : public ClockWindowTest {
protected:
    void SetUp() override
    {
        loadFreshSettings();
        // A plain dial: no labels over the face's middle.
        settings.showNumbers = settings.showLogo = settings.showDayOfTheWeek = 0;
        create();
    }
};

static HBITMAP swatch(PageHost const &host, int buttonId)
{
    return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(host.item(buttonId), GWLP_USERDATA));
}

// The swatch's colour when it fills exactly the button's client area.
static COLORREF swatchColor(PageHost const &host, int buttonId)
{
    SIZE size;
    COLORREF color = bitmapColor(swatch(host, buttonId), size);
    RECT client;
    GetClientRect(host.item(buttonId), &client);
    return size.cx == client.right && size.cy == client.bottom ? color : CLR_INVALID;
}

// A point of the cached face inside the dial, away from every tick.
static COLORREF dialColor()
{
    RECT client;
    GetClientRect(mainWindow, &client);
    return GetPixel(mainFace.faceDC, client.right / 2 + 5, client.bottom / 2 + 5);
}

static std::wstring tempPath(wchar_t const *name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

TEST_F(ColorsPage, ShowsTheRecordInItsControls)
{
    settings.colorBackground = RGB(1, 2, 3);
    settings.colorRing1 = RGB(40, 50, 60);
    settings.colorRing2 = RGB(70, 80, 90);
    settings.colorText = RGB(200, 0, 100);
    settings.colorMarkers = RGB(0, 255, 0);
    settings.useColor = 1;
    settings.useImage = 0;
    lstrcpyW(settings.imagePath, L"C:\\pictures\\dial.png");
    PageHost host(IDD_PROOPTIONS, colorsPageProc);

    COLORREF ClockSettings::*const fields[] = {&ClockSettings::colorBackground, &ClockSettings::colorRing1,
                                               &ClockSettings::colorRing2, &ClockSettings::colorText,
                                               &ClockSettings::colorMarkers};
    for (int i = 0; i < 5; ++i) {
        COLORREF color = settings.*fields[i];
        EXPECT_EQ(std::to_wstring(color), host.text(colorButtonIds[i])) << colorButtonIds[i];
        EXPECT_EQ(color, swatchColor(host, colorButtonIds[i])) << colorButtonIds[i];
    }
    EXPECT_TRUE(host.checked(IDC_USECOLOR));
    EXPECT_FALSE(host.checked(IDC_USEIMAGE));
    EXPECT_EQ(L"C:\\pictures\\dial.png", host.text(IDC_IMAGEPATH));
    EXPECT_TRUE(host.changes().empty()); // showing the record is no edit
    for (int id : colorGroup)
        EXPECT_TRUE(host.enabled(id)) << id;
    for (int id : imageGroup)
        EXPECT_FALSE(host.enabled(id)) << id;

    LOGFONTA path = {}, page = {};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(host.item(IDC_IMAGEPATH), WM_GETFONT, 0, 0)),
               sizeof path, &path);
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(host.page(), WM_GETFONT, 0, 0)), sizeof page, &page);
    EXPECT_EQ(1000, path.lfWeight);
    EXPECT_STREQ(page.lfFaceName, path.lfFaceName);
    EXPECT_EQ(page.lfHeight, path.lfHeight);
}

TEST_F(ColorsPage, SwitchesGreyTheirGroupsButNotSetToDefault)
{
    settings.useColor = 1;
    settings.useImage = 1;
    PageHost host(IDD_PROOPTIONS, colorsPageProc);
    for (int id : colorGroup)
        EXPECT_TRUE(host.enabled(id)) << id;
    for (int id : imageGroup)
        EXPECT_TRUE(host.enabled(id)) << id;

    host.click(IDC_USECOLOR);
    for (int id : colorGroup)
        EXPECT_FALSE(host.enabled(id)) << id;
    for (int id : imageGroup)
        EXPECT_TRUE(host.enabled(id)) << id;
    EXPECT_TRUE(host.enabled(IDC_COLORSDEFAULT));

    host.click(IDC_USEIMAGE);
    for (int id : imageGroup)
        EXPECT_FALSE(host.enabled(id)) << id;
    EXPECT_TRUE(host.enabled(IDC_COLORSDEFAULT));
    EXPECT_TRUE(host.enabled(IDC_USECOLOR));
    EXPECT_TRUE(host.enabled(IDC_USEIMAGE));

    host.click(IDC_USECOLOR);
    host.click(IDC_USEIMAGE);
    for (int id : colorGroup)
        EXPECT_TRUE(host.enabled(id)) << id;
    for (int id : imageGroup)
        EXPECT_TRUE(host.enabled(id)) << id;
    EXPECT_EQ(std::vector<WPARAM>(4, WPARAM(host.page())), host.changes());
    EXPECT_EQ(1, settings.useColor); // until applied
}

TEST_F(ColorsPage, ColourDialogOpensOnTheButtonsColour)
{
    settings.colorRing2 = RGB(12, 34, 56);
    PageHost host(IDD_PROOPTIONS, colorsPageProc);
    COLORREF shown = CLR_INVALID;
    DialogAnswer answer([&](HWND dialog) {
        shown = shownColor(dialog);
        cancelDialog(dialog);
    });
    host.click(IDC_COLORRING2);
    ASSERT_NE(nullptr, answer.dialog);
    EXPECT_EQ(RGB(12, 34, 56), shown);
    CHOOSECOLORW const &choice = answer.colorChoice;
    EXPECT_EQ(RGB(12, 34, 56), choice.rgbResult);
    EXPECT_EQ(DWORD(CC_RGBINIT | CC_ANYCOLOR), choice.Flags);
    EXPECT_EQ(RGB(12, 34, 56), answer.customColors[0]);
    for (int i = 1; i < 16; ++i)
        EXPECT_EQ(white, answer.customColors[i]) << i;
    // It belongs to the page, and so to the page's top-level window.
    EXPECT_EQ(host.page(), choice.hwndOwner);
    EXPECT_EQ(GetAncestor(host.page(), GA_ROOT), answer.owner);
}

TEST_F(ColorsPage, ChosenColourShowsInItsSwatchAndReachesTheFaceAtApply)
{
    settings.useColor = 1;
    settings.colorBackground = RGB(0, 0, 255);
    settings.colorMarkers = RGB(0, 0, 255);
    PageHost host(IDD_PROOPTIONS, colorsPageProc);
    mainFace.faceDirty = 1;
    redrawClock(mainFace);
    ASSERT_EQ(RGB(0, 0, 255), dialColor());
    HBITMAP before = swatch(host, IDC_COLORBACKGROUND);

    COLORREF const chosen = RGB(200, 100, 50);
    DialogAnswer answer([&](HWND dialog) { confirmColor(dialog, chosen); });
    host.click(IDC_COLORBACKGROUND);
    ASSERT_NE(nullptr, answer.dialog);
    EXPECT_EQ(std::to_wstring(chosen), host.text(IDC_COLORBACKGROUND));
    EXPECT_EQ(chosen, swatchColor(host, IDC_COLORBACKGROUND));
    EXPECT_EQ(OBJ_BITMAP, GetObjectType(swatch(host, IDC_COLORBACKGROUND)));
    EXPECT_EQ(0u, GetObjectType(before)); // the old swatch is freed
    EXPECT_EQ(std::vector<WPARAM>(1, WPARAM(host.page())), host.changes());
    // The record and the face keep the old colour until the apply.
    EXPECT_EQ(RGB(0, 0, 255), settings.colorBackground);
    mainFace.faceDirty = 1;
    redrawClock(mainFace);
    EXPECT_EQ(RGB(0, 0, 255), dialColor());

    EXPECT_EQ(0, host.notify(PSN_APPLY));
    EXPECT_EQ(chosen, settings.colorBackground);
    EXPECT_EQ(RGB(0, 0, 255), settings.colorMarkers);
    EXPECT_EQ(chosen, dialColor());
    DWORD stored = 0;
    EXPECT_TRUE(numberValue(settingsKey, "Color background", stored));
    EXPECT_EQ(chosen, stored);
}

TEST_F(ColorsPage, CancelledColourDialogChangesNothing)
{
    settings.colorText = RGB(9, 8, 7);
    PageHost host(IDD_PROOPTIONS, colorsPageProc);
    HBITMAP before = swatch(host, IDC_COLORTEXT);
    DialogAnswer answer([](HWND dialog) {
        SetDlgItemInt(dialog, 706, 255, FALSE); // a colour set, then dropped
        cancelDialog(dialog);
    });
    host.click(IDC_COLORTEXT);
    ASSERT_NE(nullptr, answer.dialog);
    EXPECT_EQ(std::to_wstring(RGB(9, 8, 7)), host.text(IDC_COLORTEXT));
    EXPECT_EQ(before, swatch(host, IDC_COLORTEXT));
    EXPECT_EQ(RGB(9, 8, 7), swatchColor(host, IDC_COLORTEXT));
    EXPECT_TRUE(host.changes().empty());
    host.notify(PSN_APPLY);
    EXPECT_EQ(RGB(9, 8, 7), settings.colorText);
}

TEST_F(ColorsPage, SetToDefaultShowsTheSystemColoursOnly)
{
    settings.colorBackground = settings.colorText = settings.colorMarkers = RGB(1, 1, 1);
    settings.colorRing1 = settings.colorRing2 = RGB(2, 2, 2);
    settings.useColor = 0;
    settings.useImage = 1;
    lstrcpyW(settings.imagePath, L"mine.png");
    PageHost host(IDD_PROOPTIONS, colorsPageProc);
    host.click(IDC_COLORSDEFAULT);
    int const systemColors[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNTEXT, COLOR_BTNTEXT,
                                COLOR_BTNHIGHLIGHT};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::to_wstring(GetSysColor(systemColors[i])), host.text(colorButtonIds[i])) << i;
        EXPECT_EQ(GetSysColor(systemColors[i]), swatchColor(host, colorButtonIds[i])) << i;
    }
    EXPECT_FALSE(host.checked(IDC_USECOLOR));
    EXPECT_TRUE(host.checked(IDC_USEIMAGE));
    EXPECT_EQ(L"mine.png", host.text(IDC_IMAGEPATH));
    EXPECT_EQ(std::vector<WPARAM>(1, WPARAM(host.page())), host.changes());
    EXPECT_EQ(RGB(1, 1, 1), settings.colorBackground);

    host.notify(PSN_APPLY);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), settings.colorBackground);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), settings.colorRing1);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), settings.colorRing2);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), settings.colorText);
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), settings.colorMarkers);
    EXPECT_EQ(0, settings.useColor);
}

TEST_F(ColorsPage, SelectTakesTheChosenFileAndCancelKeepsThePath)
{
    lstrcpyW(settings.imagePath, L"rose.jpg");
    PageHost host(IDD_PROOPTIONS, colorsPageProc);
    {
        DialogAnswer answer([](HWND dialog) { cancelDialog(dialog); });
        host.click(IDC_SELECTIMAGE);
        ASSERT_NE(nullptr, answer.dialog);
        EXPECT_EQ(L"rose.jpg", host.text(IDC_IMAGEPATH));
        EXPECT_TRUE(host.changes().empty());
    }
    // A file that does not exist yet, in a folder that does.
    std::wstring chosen = tempPath(L"not-yet-drawn.png");
    std::wstring typeShown;
    DialogAnswer answer([&](HWND dialog) {
        typeShown = fileTypeShown(dialog);
        confirmFile(dialog, chosen);
    });
    host.click(IDC_SELECTIMAGE);
    ASSERT_NE(nullptr, answer.dialog);
    EXPECT_EQ(L"Please select an image file", answer.title);
    EXPECT_EQ(L"Image file (bmp, jpg, png, gif)", typeShown);
    EXPECT_EQ(0, lstrcmpiW(chosen.c_str(), host.text(IDC_IMAGEPATH).c_str())) << host.text(IDC_IMAGEPATH);
    EXPECT_EQ(std::vector<WPARAM>(1, WPARAM(host.page())), host.changes());
    EXPECT_STREQ(L"rose.jpg", settings.imagePath);
    host.notify(PSN_APPLY);
    EXPECT_EQ(host.text(IDC_IMAGEPATH), settings.imagePath);
}

TEST_F(ColorsPage, ApplyReloadsAnUnchangedPictureFromDisk)
{
    // A loaded picture keeps its file open against writing, so the file
    // changes on disk while no picture is loaded from it.
    std::wstring picture = tempPath(L"halvitrum-dial.bmp");
    DeleteFileW(picture.c_str());
    lstrcpyW(settings.imagePath, picture.c_str());
    settings.useImage = 1;
    settings.useColor = 1;
    settings.colorBackground = RGB(0, 0, 255);
    PageHost host(IDD_PROOPTIONS, colorsPageProc);
    host.notify(PSN_APPLY);
    EXPECT_EQ(0u, backgroundWidth());
    // A file that does not decode switches the picture off at the redraw.
    EXPECT_EQ(0, settings.useImage);
    DWORD stored = 1;
    EXPECT_TRUE(numberValue(settingsKey, "Use image", stored));
    EXPECT_EQ(0u, stored);

    // The same path, now with a picture behind it.
    ASSERT_TRUE(writeBitmapFile(picture, 8, 4, RGB(255, 0, 0)));
    host.notify(PSN_APPLY);
    EXPECT_EQ(8u, backgroundWidth());
    EXPECT_EQ(4u, backgroundHeight());
    EXPECT_EQ(RGB(255, 0, 0), dialColor());
    EXPECT_EQ(1, settings.useImage);

    // Switched off, the picture is read all the same.
    host.click(IDC_USEIMAGE);
    host.notify(PSN_APPLY);
    EXPECT_EQ(8u, backgroundWidth());
    EXPECT_EQ(0, settings.useImage);
    EXPECT_EQ(RGB(0, 0, 255), dialColor()) << "the plain dial";
}

TEST_F(ColorsPage, DestroyingThePageFreesItsSwatchesAndFont)
{
    HBITMAP swatches[5];
    HGDIOBJ font;
    {
        PageHost host(IDD_PROOPTIONS, colorsPageProc);
        for (int i = 0; i < 5; ++i)
            swatches[i] = swatch(host, colorButtonIds[i]);
        font = reinterpret_cast<HGDIOBJ>(SendMessageA(host.item(IDC_IMAGEPATH), WM_GETFONT, 0, 0));
        for (HBITMAP bitmap : swatches)
            ASSERT_EQ(OBJ_BITMAP, GetObjectType(bitmap));
        ASSERT_EQ(OBJ_FONT, GetObjectType(font));
    }
    for (HBITMAP bitmap : swatches)
        EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(0u, GetObjectType(font));
}

// Moved to a monitor of another scale, the pages size again what they made
// themselves, as a page opened at that scale has it: the Alarms columns,
// the colour swatches and the heavy path labels (tests/dpi_scales.sh runs
// this at 192 DPI). Before the message each page shows what the dialog
// manager leaves: its parts of the old scale, the dialog's font on the
// labels.
TEST_F(ColorsPage, PagesSizeTheirOwnPartsAgainAtANewDpi)
{
    PageHost colors(IDD_PROOPTIONS, colorsPageProc), alarms(IDD_ALARMS, alarmsPageProc);
    HWND list = alarms.item(IDC_ALARMLIST);
    int opened[4];
    for (int i = 0; i < 4; ++i) {
        opened[i] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(i == 0 ? 1 : opened[i] / 2, 0));
    }
    SIZE swatchSize[5];
    COLORREF swatchColors[5];
    for (int i = 0; i < 5; ++i) {
        swatchColors[i] = bitmapColor(swatch(colors, colorButtonIds[i]), swatchSize[i]);
        HBITMAP half = CreateBitmap(swatchSize[i].cx / 2, swatchSize[i].cy / 2, 1, 32, nullptr);
        DeleteObject(reinterpret_cast<HGDIOBJ>(SendMessageA(colors.item(colorButtonIds[i]), BM_SETIMAGE,
                                                            IMAGE_BITMAP, reinterpret_cast<LPARAM>(half))));
    }
    std::pair<PageHost *, int> const labels[] = {{&colors, IDC_IMAGEPATH}, {&alarms, IDC_WAVEFILE}};
    HGDIOBJ heavy[2];
    for (int i = 0; i < 2; ++i) {
        HWND label = labels[i].first->item(labels[i].second);
        heavy[i] = reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0));
        SendMessageA(label, WM_SETFONT, SendMessageA(labels[i].first->page(), WM_GETFONT, 0, 0), FALSE);
    }

    SendMessageA(colors.page(), dpiChangedAfterParent, 0, 0);
    SendMessageA(alarms.page(), dpiChangedAfterParent, 0, 0);
    pumpMessages();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(opened[i], SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0)) << "column " << i;
    for (int i = 0; i < 5; ++i) {
        SIZE size;
        EXPECT_EQ(swatchColors[i], bitmapColor(swatch(colors, colorButtonIds[i]), size)) << i;
        EXPECT_EQ(swatchSize[i].cx, size.cx) << i;
        EXPECT_EQ(swatchSize[i].cy, size.cy) << i;
    }
    for (int i = 0; i < 2; ++i) {
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HGDIOBJ>(
                       SendMessageA(labels[i].first->item(labels[i].second), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_EQ(1000, font.lfWeight) << labels[i].second;
        EXPECT_EQ(0u, GetObjectType(heavy[i])) << labels[i].second; // the old heavy font is deleted
    }
}
