// The Pro options page of the property sheet: the five custom colours with
// their switch, and the background picture with its switch.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/pages.h"
#include "ui/ui.h"

int const colorsHelpId = 2;
COLORREF const white = RGB(255, 255, 255);

// Each colour button keeps its colour as its own (never shown) window text.
struct ColorButton {
    int id;
    COLORREF ClockSettings::*field;
};

static ColorButton const colorButtons[] = {
    {IDC_COLORBACKGROUND, &ClockSettings::colorBackground},
    {IDC_COLORRING1, &ClockSettings::colorRing1},
    {IDC_COLORRING2, &ClockSettings::colorRing2},
    {IDC_COLORTEXT, &ClockSettings::colorText},
    {IDC_COLORMARKERS, &ClockSettings::colorMarkers},
    {IDC_COLORALARMHAND, &ClockSettings::colorAlarmHand},
    {IDC_COLORTIMER, &ClockSettings::colorTimer},
};

// Everything that "Use custom colors" switches on and off.
static int const colorControls[] = {
    IDC_COLORBACKGROUND, IDC_COLORRING1,      IDC_COLORRING2,  IDC_COLORTEXT,
    IDC_COLORMARKERS,    IDC_LABELBACKGROUND, IDC_LABELRING1,  IDC_LABELRING2,
    IDC_LABELTEXT,       IDC_LABELMARKERS,    IDC_COLORSGROUP,
};

// Everything that "Use background image" switches on and off.
static int const imageControls[] = {IDC_IMAGEGROUP, IDC_IMAGEPATH, IDC_SELECTIMAGE};

static COLORREF buttonColor(HWND page, int buttonId)
{
    return GetDlgItemInt(page, buttonId, nullptr, FALSE);
}

// Gives the button a bitmap of its client size filled with its colour, or
// with release set no bitmap; the bitmap it had is deleted. The button
// keeps it as its user data and the page draws it over the button's face
// (onCustomDraw): a bitmap handed to a button of the common controls 6
// with BM_SETIMAGE was never freed under Wine, whatever its owner did.
static void setColorSwatch(HWND page, int buttonId, int release)
{
    HWND button = GetDlgItem(page, buttonId);
    HBITMAP swatch = nullptr;
    if (!release) {
        RECT rect;
        GetClientRect(button, &rect);
        HDC screen = GetDC(page);
        swatch = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
        ReleaseDC(page, screen);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, swatch);
        HBRUSH brush = CreateSolidBrush(buttonColor(page, buttonId));
        FillRect(memory, &rect, brush);
        DeleteObject(brush);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
        SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(swatch)));
    if (old)
        DeleteObject(old);
    InvalidateRect(button, nullptr, FALSE);
}

static bool isColorButton(UINT_PTR id)
{
    for (ColorButton const &button : colorButtons)
        if (UINT_PTR(button.id) == id)
            return true;
    return false;
}

// After the button has drawn its face, its swatch fills the face inside
// the button's edges.
static LRESULT onCustomDraw(HWND page, NMCUSTOMDRAW const &draw)
{
    if (draw.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYPOSTPAINT;
    if (draw.dwDrawStage != CDDS_POSTPAINT)
        return CDRF_DODEFAULT;
    HBITMAP swatch = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(draw.hdr.hwndFrom, GWLP_USERDATA));
    int inset = 2 * metricForDpi(SM_CXEDGE, windowDpi(page));
    RECT face = draw.rc;
    InflateRect(&face, -inset, -inset);
    HDC memory = CreateCompatibleDC(draw.hdc);
    HGDIOBJ previous = SelectObject(memory, swatch);
    if (swatch && previous)
        BitBlt(draw.hdc, face.left, face.top, face.right - face.left, face.bottom - face.top, memory,
               face.left, face.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    return CDRF_DODEFAULT;
}

static INT_PTR onNotify(HWND page, NMHDR const *header)
{
    if (header->code != NM_CUSTOMDRAW || !isColorButton(header->idFrom))
        return onSheetNotify(page, header, colorsHelpId);
    SetWindowLongPtrW(page, DWLP_MSGRESULT,
                      onCustomDraw(page, *reinterpret_cast<NMCUSTOMDRAW const *>(header)));
    return TRUE;
}

static void showColor(HWND page, int buttonId, COLORREF color)
{
    SetDlgItemInt(page, buttonId, color, FALSE);
    setColorSwatch(page, buttonId, 0);
}

static void showColors(HWND page, ClockSettings const &record)
{
    for (ColorButton const &button : colorButtons)
        showColor(page, button.id, record.*button.field);
}

static void enableGroup(HWND page, int const ids[], int count, bool enabled)
{
    for (int i = 0; i < count; ++i)
        EnableWindow(GetDlgItem(page, ids[i]), enabled);
}

static void enableSwitchedControls(HWND page)
{
    enableGroup(page, colorControls, ARRAYSIZE(colorControls),
                IsDlgButtonChecked(page, IDC_USECOLOR) == BST_CHECKED);
    enableGroup(page, imageControls, ARRAYSIZE(imageControls),
                IsDlgButtonChecked(page, IDC_USEIMAGE) == BST_CHECKED);
}

// The page keeps the path's heavy font until it is destroyed.
static void setPathFont(HWND page)
{
    HFONT font = setHeavyFont(GetDlgItem(page, IDC_IMAGEPATH),
                              reinterpret_cast<HFONT>(GetWindowLongPtrA(page, DWLP_USER)));
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(font));
}

// The opacity's slider and its figure.
static void showOpacity(HWND page, int opacity)
{
    SendDlgItemMessageA(page, IDC_OPACITY, TBM_SETPOS, TRUE, opacity);
    char text[16];
    wsprintfA(text, "%d %%", opacity);
    SetDlgItemTextA(page, IDC_OPACITYTEXT, text);
}

static int chosenOpacity(HWND page)
{
    return static_cast<int>(SendDlgItemMessageA(page, IDC_OPACITY, TBM_GETPOS, 0, 0));
}

static INT_PTR onInitDialog(HWND page)
{
    SendDlgItemMessageA(page, IDC_OPACITY, TBM_SETRANGE, FALSE, MAKELPARAM(minimumOpacity, fullOpacity));
    SendDlgItemMessageA(page, IDC_OPACITY, TBM_SETTICFREQ, 10, 0);
    SendDlgItemMessageA(page, IDC_OPACITY, TBM_SETPAGESIZE, 0, 10);
    showOpacity(page, settings.opacity);
    showColors(page, settings);
    CheckDlgButton(page, IDC_USECOLOR, settings.useColor);
    SetDlgItemTextW(page, IDC_IMAGEPATH, settings.imagePath);
    CheckDlgButton(page, IDC_USEIMAGE, settings.useImage);
    enableSwitchedControls(page);
    setPathFont(page);
    return TRUE;
}

static void onDestroy(HWND page)
{
    for (ColorButton const &button : colorButtons)
        setColorSwatch(page, button.id, 1);
    releaseHeavyFont(GetDlgItem(page, IDC_IMAGEPATH),
                     reinterpret_cast<HFONT>(GetWindowLongPtrA(page, DWLP_USER)));
}

// The colour dialog opens on the button's colour, which is also its first
// custom colour; the other fifteen are white and forgotten afterwards.
static bool chooseColor(HWND page, COLORREF &color)
{
    COLORREF customColors[16];
    customColors[0] = color;
    for (int i = 1; i < 16; ++i)
        customColors[i] = white;
    CHOOSECOLORA choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = page;
    choice.rgbResult = color;
    choice.lpCustColors = customColors;
    choice.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorA(&choice))
        return false;
    color = choice.rgbResult;
    return true;
}

static void onColorButton(HWND page, int buttonId)
{
    COLORREF color = buttonColor(page, buttonId);
    if (!chooseColor(page, color))
        return;
    showColor(page, buttonId, color);
    InvalidateRect(page, nullptr, FALSE);
    PropSheet_Changed(GetParent(page), page);
}

static void onSelectImage(HWND page)
{
    // The chosen file need not exist; its folder must.
    wchar_t path[textUnits];
    if (!chooseFile(page, L"Image file (bmp, jpg, png, gif)\0*.bmp;*.jpg;*.png;*.gif\0",
                    L"Please select an image file", false, path))
        return;
    SetDlgItemTextW(page, IDC_IMAGEPATH, path);
    PropSheet_Changed(GetParent(page), page);
}

static void onSetToDefault(HWND page)
{
    ClockSettings defaults;
    setDefaultColors(defaults);
    showColors(page, defaults);
    PropSheet_Changed(GetParent(page), page);
}

static void onApply(HWND page)
{
    for (ColorButton const &button : colorButtons)
        settings.*button.field = buttonColor(page, button.id);
    settings.useColor = IsDlgButtonChecked(page, IDC_USECOLOR) == BST_CHECKED;
    GetDlgItemTextW(page, IDC_IMAGEPATH, settings.imagePath, textUnits);
    settings.useImage = IsDlgButtonChecked(page, IDC_USEIMAGE) == BST_CHECKED;
    settings.opacity = chosenOpacity(page);
    postSettingsApplied();
}

static INT_PTR onCommand(HWND page, int id)
{
    switch (id) {
    case IDOK:
        onApply(page);
        break;
    case IDC_COLORBACKGROUND:
    case IDC_COLORTEXT:
    case IDC_COLORRING1:
    case IDC_COLORMARKERS:
    case IDC_COLORRING2:
    case IDC_COLORALARMHAND:
    case IDC_COLORTIMER:
        onColorButton(page, id);
        break;
    case IDC_USECOLOR:
    case IDC_USEIMAGE:
        enableSwitchedControls(page);
        PropSheet_Changed(GetParent(page), page);
        break;
    case IDC_SELECTIMAGE:
        onSelectImage(page);
        break;
    case IDC_COLORSDEFAULT:
        onSetToDefault(page);
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK colorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(page);
    case WM_COMMAND:
        return onCommand(page, LOWORD(wParam));
    case WM_NOTIFY:
        return onNotify(page, reinterpret_cast<NMHDR const *>(lParam));
    case WM_HSCROLL:
        // The slider moved, by the mouse or the keys.
        showOpacity(page, chosenOpacity(page));
        PropSheet_Changed(GetParent(page), page);
        return TRUE;
    case WM_DESTROY:
        onDestroy(page);
        return FALSE;
    case dpiChangedAfterParent:
        rescaleLater(page);
        return FALSE;
    case dpiRescale:
        // Swatches of the buttons' new size, and the path's font anew.
        for (ColorButton const &button : colorButtons)
            setColorSwatch(page, button.id, 0);
        setPathFont(page);
        return TRUE;
    }
    return FALSE;
}
