// The entry point: single instance, GDI+, settings, the main window, the
// tray icon and the message loop.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>
#include <shellapi.h>

#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/ui.h"

HINSTANCE instance = GetModuleHandleA(nullptr);
char className[nameLength];
static char trayTip[nameLength];

static NOTIFYICONDATAA trayIcon;
static bool trayIconShown; // the shell holds the icon

// At logon the shell may not take icons yet: the icon is tried again once
// a second for a minute before the clock gives up and says so.
UINT_PTR const trayRetryTimer = 2;
int const trayRetries = 60;
static int trayRetriesLeft;

void loadProductStrings(HINSTANCE module)
{
    loadProductName(module);
    lstrcpynA(trayTip, productName, nameLength);
    LoadStringA(module, IDS_CLASSNAME, className, nameLength);
}

static void showStartupError(HWND owner, char const *text)
{
    MessageBoxA(owner, text, productName, MB_OK | MB_ICONERROR);
}

// The small icon at the size the system shows it at its DPI, not one
// stretched from 16 x 16.
static HICON loadSmallIcon()
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         LR_DEFAULTCOLOR));
}

static bool registerClockClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = clockWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HALVITRUM));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    windowClass.hIconSm = loadSmallIcon();
    return RegisterClassExA(&windowClass) != 0;
}

// The icon as start-up describes it; a re-created taskbar gets it again.
bool addTrayIcon()
{
    trayIconShown = Shell_NotifyIconA(NIM_ADD, &trayIcon) != FALSE;
    return trayIconShown;
}

static void CALLBACK retryTrayIcon(HWND window, UINT, UINT_PTR timer, DWORD)
{
    // A re-created taskbar may have taken the icon in the meantime.
    if (trayIconShown || addTrayIcon()) {
        KillTimer(window, timer);
        return;
    }
    if (--trayRetriesLeft > 0)
        return;
    KillTimer(window, timer);
    showStartupError(window, "Shell notify icon is not created!");
}

static void createTrayIcon(HWND window, HICON icon)
{
    trayIcon.cbSize = NOTIFYICONDATAA_V3_SIZE;
    trayIcon.hWnd = window;
    trayIcon.uID = trayIconId;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = trayCallback;
    trayIcon.hIcon = icon;
    lstrcpynA(trayIcon.szTip, trayTip, sizeof trayIcon.szTip);
    if (addTrayIcon())
        return;
    trayRetriesLeft = trayRetries;
    SetTimer(window, trayRetryTimer, 1000, retryTrayIcon);
}

static void deleteTrayIcon()
{
    if (trayIconShown)
        Shell_NotifyIconA(NIM_DELETE, &trayIcon);
    trayIconShown = false;
}

// Windows looks for a DLL that is not a Known DLL in the program's folder
// first, where a planted copy (a winmm.dll in a Downloads folder) would be
// run. From here on only System32's copies load; the DLLs concerned are
// delay-loaded, so none of them has loaded yet. Found at run time: a
// Windows 7 without its update KB2533623 lacks the call.
static void loadDllsFromSystem32Only()
{
    typedef BOOL(WINAPI * SetDirectories)(DWORD);
    auto setDirectories = reinterpret_cast<SetDirectories>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDirectories)
        setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int showCommand)
{
    loadDllsFromSystem32Only();
    loadProductStrings(module);
    if (HWND running = FindWindowA(className, nullptr)) {
        ShowWindow(running, SW_SHOWNORMAL);
        SetForegroundWindow(running);
        return 0;
    }
    instance = module;

    ULONG_PTR gdiplusToken;
    Gdiplus::GdiplusStartupInput startupInput;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &startupInput, nullptr) != Gdiplus::Ok) {
        showStartupError(nullptr, "Error loading GDI+ library.\n"
                                  "Please download file GDIPLUS.DLL from https://www.microsoft.com/download\n"
                                  "and copy it to folder C:\\WINDOWS\\SYSTEM32.");
        return 1;
    }

    // The shell, which opens the help and the home page, asks for COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    loadSettings();
    clockDpi = windowDpi(nullptr); // until the window knows its monitor's
    if (!registerClockClass()) {
        showStartupError(nullptr, "Can not register class");
        return 0;
    }
    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, className, productName, WS_POPUP,
                                  settings.windowX, settings.windowY, pixelSide(clampSide(settings.size)),
                                  pixelSide(clampSide(settings.size)), nullptr, nullptr, instance, nullptr);
    if (!window) {
        showStartupError(nullptr, "Can not create window");
        return 0;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDC_HALVITRUM));
    createTrayIcon(window, loadSmallIcon());

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        if (ringingWindowMessage(&message))
            continue;
        if (!TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    deleteTrayIcon();
    releasePrivateFonts();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    CoUninitialize();
    return static_cast<int>(message.wParam);
}
