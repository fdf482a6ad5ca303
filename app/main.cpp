// The entry point: single instance, GDI+, settings, the main window, the
// tray icon and the message loop.
#include <windows.h>
#include <delayimp.h>
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

void loadProductStrings(HINSTANCE module)
{
    loadProductName(module);
    LoadStringA(module, IDS_CLASSNAME, className, nameLength);
}

static void showStartupError(HWND owner, char const *text)
{
    MessageBoxA(owner, text, productName, MB_OK | MB_ICONERROR);
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
    windowClass.hIconSm = loadSmallIcon(windowDpi(nullptr));
    return RegisterClassExA(&windowClass) != 0;
}

// Windows looks for a DLL that is not a Known DLL in the program's folder
// first, where a planted copy (a winmm.dll in a Downloads folder) would be
// run. The DLLs concerned are delay-loaded: at the first call into one the
// hook below loads it from System32 alone, while the rest of the process
// (shell extensions in the Open dialog, input methods) keeps the system's
// search. A Windows 7 without its update KB2533623 knows no
// LOAD_LIBRARY_SEARCH flags, nor AddDllDirectory, which tells of them:
// there the DLL is loaded by its full System32 path.
static FARPROC WINAPI loadFromSystem32(unsigned notification, PDelayLoadInfo load)
{
    wchar_t name[MAX_PATH], path[MAX_PATH];
    if (notification != dliNotePreLoadLibrary ||
        !MultiByteToWideChar(CP_ACP, 0, load->szDll, -1, name, MAX_PATH))
        return nullptr;
    static bool const searchFlags =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "AddDllDirectory") != nullptr;
    if (searchFlags)
        return reinterpret_cast<FARPROC>(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH)
        return nullptr;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return reinterpret_cast<FARPROC>(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

PfnDliHook __pfnDliNotifyHook2 = loadFromSystem32;

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int showCommand)
{
    // Nor does any DLL come from the current folder.
    SetDllDirectoryW(L"");
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
    createTrayIcon(window);

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
