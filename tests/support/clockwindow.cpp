#include "support/clockwindow.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "support/registry.h"
#include "ui/ui.h"

// The program's strings, as WinMain loads them first.
class ProductStrings : public testing::Environment {
public:
    void SetUp() override
    {
        loadProductStrings(instance);
    }
};

static testing::Environment *const productStrings = testing::AddGlobalTestEnvironment(new ProductStrings);

void loadFreshSettings()
{
    clearRegistry();
    loadSettings();
    settings.firstRun = 0;
}

HWND createClockWindow()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = clockWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass); // already there after the first window
    clockDpi = windowDpi(nullptr);
    int side = pixelSide(clampSide(settings.size));
    HWND window =
        CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, className, productName, WS_POPUP, settings.windowX,
                        settings.windowY, side, side, nullptr, nullptr, instance, nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        pumpMessages(); // as the message loop does once the window is up
    }
    return window;
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void destroyClockWindow()
{
    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    pumpMessages();
}

void ClockWindowTest::SetUp()
{
    loadFreshSettings();
    create();
}

void ClockWindowTest::TearDown()
{
    destroyClockWindow();
    clearRegistry();
}

void ClockWindowTest::create()
{
    ASSERT_NE(nullptr, createClockWindow());
    ASSERT_EQ(mainWindow, FindWindowA(className, nullptr));
}
