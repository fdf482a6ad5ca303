// World clocks: more faces on the desktop, each in a time zone of its own.
// The clock window's procedure serves them too; the tray icon, the tick,
// the alarms and the settings stay the main clock's.
#include <windows.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/ui.h"

struct WorldFace {
    WorldClock clock;                   // zone, label, place and size, as they are saved
    DYNAMIC_TIME_ZONE_INFORMATION zone; // its rules, read again when the system's change
    bool zoneKnown;
    ClockFace face;
    HWND window;
};

// In the order they were added, which is the order of the words and the save.
static std::vector<WorldFace *> worldFaces;
static char const worldClassName[] = "HALVITRUM world clock";

static WorldFace *creating; // the face whose window is being made

static WorldFace *worldFaceOf(HWND window)
{
    for (WorldFace *world : worldFaces)
        if (world->window == window)
            return world;
    if (creating && !creating->window)
        creating->window = window; // its first message
    return creating && creating->window == window ? creating : nullptr;
}

static void readZone(WorldFace &world)
{
    world.zoneKnown = findTimeZone(world.clock.zone, world.zone);
}

// The zone's time at the moment; the local time where the zone went away.
static SYSTEMTIME worldTime(WorldFace const &world, SYSTEMTIME const &utc)
{
    SYSTEMTIME local;
    if (!world.zoneKnown || !zoneTime(world.zone, utc, local))
        SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return local;
}

// A face is drawn only when shown, and presented only when its hands moved.
static void drawWorldFace(WorldFace &world, SYSTEMTIME const &utc)
{
    SYSTEMTIME now = worldTime(world, utc);
    if (now.wDay != world.face.shown.wDay)
        world.face.faceDirty = 1; // its own date and day of the week
    redrawClockAt(world.face, now);
}

void tickWorldClocks(bool rebuild)
{
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    for (WorldFace *world : worldFaces) {
        if (!IsWindowVisible(world->window))
            continue; // a hidden face costs nothing
        if (rebuild) {
            readZone(*world);
            world->face.faceDirty = 1;
        }
        drawWorldFace(*world, utc);
    }
}

static ATOM worldClass; // the main clock's class under another name

static bool registerWorldClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (!worldClass && GetClassInfoExA(instance, className, &windowClass)) {
        windowClass.lpszClassName = worldClassName;
        worldClass = RegisterClassExA(&windowClass);
    }
    return worldClass != 0;
}

static void openWorldClock(WorldClock const &clock)
{
    if (int(worldFaces.size()) >= worldClockLimit || !registerWorldClass())
        return;
    auto *world = new WorldFace{clock, {}, false, {}, nullptr};
    readZone(*world);
    world->face.label = world->clock.label;
    world->face.faceDirty = 1;
    int side = pixelSide(clampSide(clock.size));
    creating = world;
    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, worldClassName, "", WS_POPUP, clock.x,
                                  clock.y, side, side, nullptr, nullptr, instance, nullptr);
    creating = nullptr;
    if (!window) {
        delete world;
        return;
    }
    world->window = window;
    worldFaces.push_back(world);
    noteWorldClocks();
    createDrawingResources(world->face, world->window);
    orderWorldClocks(GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST ? HWND_TOPMOST : HWND_NOTOPMOST);
    if (IsWindowVisible(mainWindow))
        ShowWindow(world->window, SW_SHOWNOACTIVATE);
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    drawWorldFace(*world, utc);
}

// The clock's words tell the world clocks from now on.
static void tellWorldClocks()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    showClockWords(now);
}

void openWorldClocks()
{
    // Each new face notes the faces in the settings again.
    std::vector<WorldClock> stored(worldClocks, worldClocks + worldClockCount);
    for (WorldClock const &clock : stored)
        openWorldClock(clock);
    tellWorldClocks();
}

static void closeWorldClock(WorldFace *world)
{
    releaseDrawingResources(world->face);
    DestroyWindow(world->window);
    delete world;
}

void closeWorldClocks()
{
    std::vector<WorldFace *> closing;
    closing.swap(worldFaces);
    for (WorldFace *world : closing)
        closeWorldClock(world);
}

void orderWorldClocks(HWND insertAfter)
{
    for (WorldFace *world : worldFaces)
        SetWindowPos(world->window, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Only the main clock is placed against the work area; a world clock is
// simply moved.
void moveClockWindow(HWND window, RECT const &rect)
{
    if (window == mainWindow)
        placeClockWindow(rect);
    else
        SetWindowPos(window, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The settings hold every world clock as it is, for a save at any time.
void noteWorldClocks()
{
    worldClockCount = 0;
    for (WorldFace *world : worldFaces) {
        RECT rect;
        GetWindowRect(world->window, &rect);
        world->clock.x = rect.left;
        world->clock.y = rect.top;
        world->clock.size = clampSide(MulDiv(rect.right - rect.left, standardDpi, clockDpi));
        worldClocks[worldClockCount++] = world->clock;
    }
}

void showWorldClocks(bool show)
{
    for (WorldFace *world : worldFaces) {
        if (show)
            world->face.frameDirty = 1; // the system need not have kept the hidden picture
        ShowWindow(world->window, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    if (show)
        tickWorldClocks(false);
}

// Whether a new face of that rectangle overlaps no other clock.
static bool placeIsFree(RECT const &place)
{
    RECT other, common;
    GetWindowRect(mainWindow, &other);
    if (IntersectRect(&common, &place, &other))
        return false;
    for (WorldFace *world : worldFaces) {
        GetWindowRect(world->window, &other);
        if (IntersectRect(&common, &place, &other))
            return false;
    }
    return true;
}

// Beside the main clock, inside its work area: left of it, above it, right
// of it or below it, one side further for every clock already there.
static POINT placeBesideMain(int side)
{
    RECT main;
    GetWindowRect(mainWindow, &main);
    RECT area = nearestWorkArea(main);
    for (int step = 1; step <= worldClockLimit; step++) {
        POINT const places[] = {{main.left - step * side, main.top},
                                {main.left, main.top - step * side},
                                {main.left + (main.right - main.left) + (step - 1) * side, main.top},
                                {main.left, main.top + (main.bottom - main.top) + (step - 1) * side}};
        for (POINT place : places) {
            RECT rect = {place.x, place.y, place.x + side, place.y + side}, inside;
            IntersectRect(&inside, &rect, &area);
            if (EqualRect(&inside, &rect) && placeIsFree(rect))
                return place;
        }
    }
    return POINT{area.left, area.top};
}

void addWorldClock()
{
    if (int(worldFaces.size()) >= worldClockLimit) {
        char text[textUnits] = "";
        LoadStringA(instance, IDS_TOOMANYCLOCKS, text, sizeof text);
        MessageBoxA(mainWindow, text, productName, MB_ICONINFORMATION);
        return;
    }
    WorldClock clock = {};
    if (!chooseWorldZone(mainWindow, clock))
        return;
    clock.size = logicalSide();
    POINT place = placeBesideMain(pixelSide(clock.size));
    clock.x = place.x;
    clock.y = place.y;
    openWorldClock(clock);
    tellWorldClocks();
}

static void setWorldClockSize(WorldFace &world, int side)
{
    RECT rect;
    GetWindowRect(world.window, &rect);
    side = pixelSide(clampSide(side));
    SetWindowPos(world.window, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    world.face.faceDirty = 1;
    tickWorldClocks(false);
}

int worldClockSide(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return MulDiv(client.right, standardDpi, clockDpi);
}

static void removeWorldClock(WorldFace *world)
{
    for (size_t i = 0; i < worldFaces.size(); i++)
        if (worldFaces[i] == world)
            worldFaces.erase(worldFaces.begin() + i);
    closeWorldClock(world);
    noteWorldClocks();
    tellWorldClocks();
}

// The face's own commands; the others are the main clock's.
static void onWorldCommand(WorldFace *world, UINT command)
{
    int side = worldClockSide(world->window);
    switch (command) {
    case IDM_TIMEZONE:
        if (chooseWorldZone(world->window, world->clock)) {
            noteWorldClocks();
            tellWorldClocks();
            readZone(*world);
            world->face.faceDirty = 1;
            tickWorldClocks(false);
        }
        break;
    case IDM_REMOVECLOCK:
        removeWorldClock(world);
        break;
    case IDM_SIZEDECREASE:
    case IDM_SIZEINCREASE:
        setWorldClockSize(*world, side + (command == IDM_SIZEINCREASE ? sideStep : -sideStep));
        break;
    case IDM_SIZEMINIMUM:
        setWorldClockSize(*world, minimumSide);
        break;
    case IDM_SIZEDEFAULT:
        setWorldClockSize(*world, defaultSide);
        break;
    case IDM_SIZEMAXIMUM:
        setWorldClockSize(*world, maximumSide);
        break;
    default:
        SendMessageA(mainWindow, WM_COMMAND, command, 0);
    }
}

// The clock's menu with the face's own two items below it.
static void showWorldMenu(WorldFace *world)
{
    wchar_t zoneText[nameLength] = L"", removeText[nameLength] = L"";
    LoadStringW(instance, IDS_TIMEZONE, zoneText, nameLength);
    LoadStringW(instance, IDS_REMOVECLOCK, removeText, nameLength);
    AppendMenuW(popupMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popupMenu, MF_STRING, IDM_TIMEZONE, zoneText);
    AppendMenuW(popupMenu, MF_STRING, IDM_REMOVECLOCK, removeText);
    EnableMenuItem(popupMenu, IDM_DEFAULTPOSITION, MF_BYCOMMAND | MF_GRAYED); // the main clock's corner
    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(world->window);
    UINT command = TrackPopupMenu(popupMenu, TPM_RETURNCMD, cursor.x, cursor.y, 0, world->window, nullptr);
    EnableMenuItem(popupMenu, IDM_DEFAULTPOSITION, MF_BYCOMMAND | MF_ENABLED);
    for (int i = 0; i < 3; i++)
        DeleteMenu(popupMenu, GetMenuItemCount(popupMenu) - 1, MF_BYPOSITION);
    if (command)
        onWorldCommand(world, command);
}

// On Windows a face keeps its side in standard pixels on a monitor of
// another scale, at the place the system suggests.
static void onWorldDpiChanged(WorldFace &world, UINT dpi, RECT const &suggested)
{
    int pixels = MulDiv(worldClockSide(world.window), dpi, standardDpi);
    SetWindowPos(world.window, nullptr, suggested.left, suggested.top, pixels, pixels,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    world.face.faceDirty = 1;
    tickWorldClocks(false);
}

// A world clock's messages: its menu and commands here; the mouse, the
// size limits and the Size items as the main clock's; everything that the
// system tells every window (time, settings, colours, the taskbar, the
// end) is the main clock's alone.
bool worldClockMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    if (!worldClass || GetClassWord(window, GCW_ATOM) != worldClass)
        return false;
    WorldFace *world = worldFaceOf(window);
    result = 0;
    switch (world ? message : WM_NULL) { // a face being removed only ends
    case WM_CONTEXTMENU:
        showWorldMenu(world);
        return true;
    case WM_COMMAND:
        onWorldCommand(world, LOWORD(wParam));
        return true;
    case WM_DPICHANGED:
        onWorldDpiChanged(*world, LOWORD(wParam), *reinterpret_cast<RECT const *>(lParam));
        return true;
    case WM_WINDOWPOSCHANGED:
        noteWorldClocks(); // moved or sized
        break;
    case WM_GETMINMAXINFO:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_INITMENUPOPUP:
        return false;
    }
    result = DefWindowProcA(window, message, wParam, lParam);
    return true;
}

bool worldClockTime(int index, SYSTEMTIME const &utc, std::wstring &label, SYSTEMTIME &time)
{
    if (index >= int(worldFaces.size()))
        return false;
    label = worldFaces[index]->clock.label;
    time = worldTime(*worldFaces[index], utc);
    return true;
}

void setWorldClockTexts(wchar_t const *text)
{
    for (WorldFace *world : worldFaces)
        DefWindowProcW(world->window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

ClockFace const *worldClockFace(HWND window)
{
    WorldFace const *world = worldFaceOf(window);
    return world ? &world->face : nullptr;
}
