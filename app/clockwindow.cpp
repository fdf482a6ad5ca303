// The main window procedure.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/ui.h"

HWND mainWindow;
HMENU popupMenu;

static bool ended;       // settings saved and drawing resources released
static POINT dragOrigin; // cursor position at the previous drag step
static bool dragging;    // the window holds the mouse for a drag

static int localeFlag(LCTYPE type, char const *value)
{
    char text[260] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return lstrcmpA(text, value) == 0;
}

// While a high-contrast theme is on, the face is drawn in its colours.
static void readContrast()
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                   (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

static LRESULT onThemeChange()
{
    readContrast();
    mainFace.faceDirty = 1;
    paintClock();
    tickWorldClocks(true);
    return 0;
}

// Every alarm that rings, and every one found missed, is shown in the
// ringing window.
static void showAlarmNotices(AlarmNotices const &notices)
{
    showRingingWindow(notices, mainWindow);
}

// The user's answer by the clock, its icon or the balloon: the sound
// stops, the alarms are answered and their ringing window goes.
void dismissAlarms()
{
    endToldAlarms();
    closeRingingWindow();
}

static LRESULT onCreate(HWND window)
{
    // A new window starts with a fresh tick and a fresh end.
    ended = false;
    resetTick();
    dragging = false;
    resetTrayCallbacks();
    mainFace.faceDirty = 1;
    mainWindow = window;
    clockDpi = windowDpi(window);
    createDrawingResources(mainFace, window);
    mondayFirst = localeFlag(LOCALE_IFIRSTDAYOFWEEK, "0");
    use24Hour = localeFlag(LOCALE_ITIME, "1");
    setAlarmWindow(window, trayIconId);
    setAlarmHandler(showAlarmNotices);
    beginTimerRun(utcNow());
    armWakeTimer();
    setDialogHost(instance, window, showHelp);
    popupMenu = GetSubMenu(LoadMenuA(instance, MAKEINTRESOURCEA(IDM_CLOCKMENU)), 0);
    if (settings.windowX == -1) {
        setClockSize(defaultSide);
        moveToDefaultPosition();
    } else if (logicalSide() != clampSide(settings.size)) {
        setClockSize(clampSide(settings.size)); // made at the system's DPI, on a monitor of another
    }
    keepOnScreen();
    applyOnTop();
    applyClickThrough();
    readContrast();
    watchForFullScreen(true);
    redrawNow();
    if (settings.firstRun)
        showHelp(5);
    // Wine's shell lays out its taskbar only when the first notification
    // icon arrives, which start-up adds after this: the clock looks at the
    // work area again once its message loop runs.
    PostMessageA(window, workAreaCheck, 0, 0);
    openWorldClocks();
    return 0;
}

// Saves everything and ends the message loop; a second call finds nothing
// left to do.
static void endClock()
{
    if (ended)
        return;
    ended = true;
    watchForFullScreen(false);
    closeWorldClocks();
    saveLastTick();
    saveSettings(mainWindow);
    releaseDrawingResources(mainFace);
    PostQuitMessage(0);
}

static LRESULT onEndSession(WPARAM ending)
{
    // A cancelled log-off leaves the user's session, and the clock, running.
    if (ending) {
        endClock();
    } else {
        saveLastTick();
        saveSettings(mainWindow);
    }
    return 0;
}

// Back from sleep the hands jump to the present moment at once. Alarms are
// left to the ticks, which ring none whose minute passed in the sleep but
// tell them as missed. Every change of the power state sets the wake timer
// afresh.
static LRESULT onPowerBroadcast(WPARAM event)
{
    if (event == PBT_APMRESUMEAUTOMATIC)
        redrawNow();
    else if (event == PBT_APMSUSPEND)
        saveLastTick(); // the power may not come back
    armWakeTimer();
    return TRUE;
}

// However many pages one apply of the sheet applied, their messages are
// all queued before the first is handled: the clock takes the new settings
// over, and saves them, once. What the user applied survives a crash or a
// killed process. The picture is read again even when its path is
// unchanged, so that an edited file shows at once.
static LRESULT onSettingsApplied()
{
    MSG duplicate;
    while (PeekMessageA(&duplicate, mainWindow, settingsApplied, settingsApplied, PM_REMOVE))
        continue; // taken over with this one
    applyOnTop();
    applyClickThrough();
    loadBackgroundImage();
    mainFace.faceDirty = 1;
    redrawNow();    // the second hand may have come or gone
    armWakeTimer(); // the table or the wake option may have changed
    saveSettings(mainWindow);
    return 0;
}

// The Size items that would leave 144..384 or change nothing are gray.
// They are addressed by command, so the main popup reaches its submenu.
static LRESULT onInitMenuPopup(HMENU menu, int side)
{
    struct {
        UINT command;
        bool gray;
    } const items[] = {
        {IDM_SIZEDECREASE, side <= minimumSide}, {IDM_SIZEMINIMUM, side <= minimumSide},
        {IDM_SIZEINCREASE, side >= maximumSide}, {IDM_SIZEMAXIMUM, side >= maximumSide},
        {IDM_SIZEDEFAULT, side == defaultSide},
    };
    for (auto const &item : items)
        EnableMenuItem(menu, item.command, MF_BYCOMMAND | (item.gray ? MF_GRAYED : MF_ENABLED));
    nameSkipItem(menu, IDM_SKIPNEXTALARM);
    CheckMenuItem(menu, IDM_LOCKPOSITION, MF_BYCOMMAND | (settings.lockPosition ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, IDM_CLICKTHROUGH, MF_BYCOMMAND | (settings.clickThrough ? MF_CHECKED : MF_UNCHECKED));
    // The Size submenu's opening would otherwise change the open menu.
    if (menu == popupMenu)
        showTimerItems(menu);
    return 0;
}

static LRESULT onCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_HIDE:
        ShowWindow(mainWindow, SW_HIDE);
        break;
    case IDM_OPTIONS:
        openPropertySheet(0);
        break;
    case IDM_PROOPTIONS:
        openPropertySheet(1);
        break;
    case IDM_ALARMS:
        openPropertySheet(2);
        break;
    case IDM_SKIPNEXTALARM:
        skipNextAlarm();
        redrawNow(); // the words name the next alarm
        break;
    case IDM_CALENDAR:
        showCalendar(mainWindow);
        break;
    case IDM_ADDWORLDCLOCK:
        addWorldClock();
        break;
    case IDM_TIMER:
        openTimerDialog();
        break;
    case IDM_STOPTIMER:
        endTimer();
        break;
    case IDM_DEFAULTPOSITION:
        moveToDefaultPosition();
        break;
    case IDM_LOCKPOSITION:
        toggleOption(settings.lockPosition);
        break;
    case IDM_CLICKTHROUGH:
        toggleOption(settings.clickThrough);
        break;
    case IDM_SIZEDECREASE:
        stepClockSize(-1);
        break;
    case IDM_SIZEINCREASE:
        stepClockSize(+1);
        break;
    case IDM_SIZEMINIMUM:
        setClockSize(minimumSide);
        break;
    case IDM_SIZEDEFAULT:
        setClockSize(defaultSide);
        break;
    case IDM_SIZEMAXIMUM:
        setClockSize(maximumSide);
        break;
    case IDM_HELP:
        showHelp(6);
        break;
    case IDM_ABOUT:
        showAbout(mainWindow);
        break;
    case IDM_HOMEPAGE:
        openHomePage();
        break;
    case IDM_EXIT:
        DestroyWindow(mainWindow);
        break;
    default:
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
    return 0;
}

// Windows delivers the primary button as the left one and the secondary as
// the right one, whether the buttons are swapped or not: the left button
// drags, unless the position is locked, the right one opens the menu (its release, through
// DefWindowProcA's WM_CONTEXTMENU).
//
// The window holds the mouse while it is dragged: the transparent pixels
// of a per-pixel-alpha window let the mouse through, so a quick drag would
// outrun it.
static LRESULT onButtonDown(HWND window, UINT press)
{
    if (press == WM_LBUTTONDOWN && !settings.lockPosition) {
        GetCursorPos(&dragOrigin);
        SetCapture(window);
        dragging = true;
    }
    dismissAlarms();
    return 0;
}

static LRESULT onLeftButtonUp()
{
    if (dragging)
        ReleaseCapture(); // WM_CAPTURECHANGED ends the drag
    return 0;
}

// The window follows the cursor; nothing keeps it on the screen.
static LRESULT onMouseMove(HWND window, WPARAM keys)
{
    if (!dragging || !(keys & MK_LBUTTON))
        return 0;
    POINT cursor;
    GetCursorPos(&cursor);
    RECT rect;
    GetWindowRect(window, &rect);
    OffsetRect(&rect, cursor.x - dragOrigin.x, cursor.y - dragOrigin.y);
    dragOrigin = cursor;
    moveClockWindow(window, rect);
    return 0;
}

LRESULT CALLBACK clockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result;
    if (window != mainWindow && worldClockMessage(window, message, wParam, lParam, result))
        return result;
    if (isTaskbarCreated(message)) {
        restoreTrayIcon();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_DESTROY:
        endClock();
        return 0;
    case WM_QUERYENDSESSION:
        saveLastTick(); // a session that ends may give the clock no more time
        return TRUE;
    case WM_ENDSESSION:
        return onEndSession(wParam);
    case WM_SIZE:
        return keepSquare(wParam);
    case WM_SYSCOLORCHANGE:
        return onThemeChange();
    case WM_GETMINMAXINFO:
        return limitTrackSize(reinterpret_cast<MINMAXINFO *>(lParam));
    case WM_DISPLAYCHANGE:
        // The clock follows the desktop, and is shown whole again.
        followWorkArea();
        mainFace.frameDirty = 1;
        paintClock();
        tickWorldClocks(true);
        return 0;
    case WM_DPICHANGED:
        return followDpiChange(wParam, *reinterpret_cast<RECT const *>(lParam));
    case WM_SETTINGCHANGE:
        armWakeTimer();        // a new time zone moves the next alarm in UTC
        tickWorldClocks(true); // and the zones may have new rules
        if (wParam == SPI_SETHIGHCONTRAST)
            return onThemeChange();
        if (wParam != SPI_SETWORKAREA)
            break;
        followWorkArea();
        return 0;
    case workAreaCheck:
        // Only a taskbar that came meanwhile moves the clock: what the
        // user did since the start stays.
        if (workAreaChanged())
            followWorkArea();
        return 0;
    case WM_TIMECHANGE:
        redrawNow();
        armWakeTimer();
        return 0;
    case WM_POWERBROADCAST:
        return onPowerBroadcast(wParam);
    case WM_DEVICECHANGE: // a sound output may have come or gone
        gatherRingFacts();
        redrawNow();
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        followVisibility(reinterpret_cast<WINDOWPOS *>(lParam)->flags);
        break; // the default procedure sends WM_SIZE and WM_MOVE
    case WM_CONTEXTMENU:
        showClockMenu();
        return 0;
    case WM_COMMAND:
        return onCommand(window, wParam, lParam);
    case WM_INITMENUPOPUP:
        return onInitMenuPopup(reinterpret_cast<HMENU>(wParam), worldClockSide(window));
    case WM_TIMER:
        timerTick();
        return 0;
    case WM_MOUSEMOVE:
        return onMouseMove(window, wParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        return onButtonDown(window, message);
    case WM_LBUTTONUP:
        return onLeftButtonUp();
    case WM_CAPTURECHANGED:
        dragging = false;
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        ShowWindow(mainWindow, SW_HIDE);
        return 0;
    case appBarCallback:
        if (wParam == ABN_FULLSCREENAPP)
            yieldToFullScreen(lParam != 0);
        return 0;
    case trayCallback:
        return trayIconNotified(wParam, lParam);
    case settingsApplied:
        return onSettingsApplied();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
