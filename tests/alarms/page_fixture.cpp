#include "page_fixture.h"

#include <prsht.h>

#include "app/app.h"
#include "render/render.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "support/clockwindow.h"
#include "support/registry.h"
#include "ui/alarmspage.h"
#include "ui/ui.h"

namespace {

int changeCount;
HWND changedPage;

LRESULT CALLBACK sheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PSM_CHANGED) {
        ++changeCount;
        changedPage = reinterpret_cast<HWND>(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

char const sheetClass[] = "AlarmsTestSheet";

} // namespace

AlarmEvent makeAlarm(TestAlarm const &alarm)
{
    AlarmEvent event = {};
    event.on = alarm.on;
    lstrcpynW(event.description, alarm.description, 260);
    event.hours = atoi(alarm.time);
    event.minutes = atoi(alarm.time + 3);
    for (int day = 0; day < 7; ++day)
        event.week[day] = alarm.sundayFirstWeek[day] == '+';
    return event;
}

void setTable(std::vector<TestAlarm> const &alarms)
{
    for (size_t i = 0; i < alarms.size(); ++i)
        settings.alarms[i] = makeAlarm(alarms[i]);
    settings.alarms[alarms.size()].hours = -1;
}

std::string cell(int row, int column)
{
    char text[1024] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(alarmList, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::string> listRows()
{
    std::vector<std::string> rows;
    int count = static_cast<int>(SendMessageA(alarmList, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        UINT state = static_cast<UINT>(
            SendMessageA(alarmList, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK | LVIS_SELECTED));
        std::string text = (state & LVIS_SELECTED) ? "> " : "";
        text += (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)   ? "[x] "
                : (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(1) ? "[ ] "
                                                                            : "[?] ";
        for (int column = 0; column < 4; ++column)
            text += (column ? "|" : "") + cell(row, column);
        rows.push_back(text);
    }
    return rows;
}

void AlarmsPageTest::SetUp()
{
    // The page's apply is taken over by the clock's real window, which
    // must not tick here: the tests' alarms are not to ring at the real time.
    ClockWindowTest::SetUp();
    KillTimer(mainWindow, clockTimer);
    saved24Hour = use24Hour;
    savedMondayFirst = mondayFirst;
    use24Hour = 1;
    mondayFirst = 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = sheetProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = sheetClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&windowClass);
}

void AlarmsPageTest::TearDown()
{
    closePage();
    ClockWindowTest::TearDown();
    use24Hour = saved24Hour;
    mondayFirst = savedMondayFirst;
}

void AlarmsPageTest::openPage()
{
    closePage();
    changeCount = 0;
    changedPage = nullptr;
    sheet = CreateWindowExA(0, sheetClass, "Properties", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 520, 360,
                            nullptr, nullptr, instance, nullptr);
    page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_ALARMS), sheet, alarmsPageProc, 0);
    ASSERT_NE(nullptr, page);
    // A sheet enables and shows the page it displays.
    EnableWindow(page, TRUE);
    SetWindowPos(page, nullptr, 4, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void AlarmsPageTest::closePage()
{
    if (sheet)
        DestroyWindow(sheet);
    sheet = page = nullptr;
}

void AlarmsPageTest::applyPage()
{
    PSHNOTIFY notify = {};
    notify.hdr.hwndFrom = sheet;
    notify.hdr.code = PSN_APPLY;
    EXPECT_EQ(PSNRET_NOERROR, SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify)));
    // The sheet's loop hands what the page posted to the clock window.
    pumpMessages();
}

void AlarmsPageTest::selectRow(int row)
{
    LVITEMA item = {};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(alarmList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void AlarmsPageTest::checkRow(int row, bool checked)
{
    LVITEMA item = {};
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    item.stateMask = LVIS_STATEIMAGEMASK;
    SendMessageA(alarmList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void AlarmsPageTest::doubleClick(int row)
{
    RECT cellRect = {LVIR_LABEL, 0, 0, 0};
    POINT point = {20, 0};
    if (row >= 0) {
        SendMessageA(alarmList, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cellRect));
        point = {cellRect.left + 10, (cellRect.top + cellRect.bottom) / 2};
    } else {
        RECT client;
        GetClientRect(alarmList, &client);
        point.y = client.bottom - 5;
    }
    SendMessageA(alarmList, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

void AlarmsPageTest::press(int id)
{
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

int AlarmsPageTest::changes() const
{
    if (changeCount) {
        EXPECT_EQ(page, changedPage);
    }
    return changeCount;
}

void expectBox(MessageBoxSeen const &seen, char const *text, LPCSTR icon, HWND owner)
{
    EXPECT_EQ(text, seen.text);
    EXPECT_EQ(LoadIconA(nullptr, icon), seen.icon) << text;
    EXPECT_EQ(owner, seen.owner) << text;
}

void typeText(HWND edit, std::wstring const &text)
{
    for (wchar_t c : text)
        SendMessageW(edit, WM_CHAR, c, 1);
}
