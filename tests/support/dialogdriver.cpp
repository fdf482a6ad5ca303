#include "support/dialogdriver.h"

#include <commctrl.h>

#include <vector>

#include <gtest/gtest.h>

#include "support/program.h"

namespace {

struct DialogSearch {
    char const *caption;
    DWORD threadId;
    DWORD processId;
    HWND found;
};

bool isDialog(HWND window)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0;
}

BOOL CALLBACK matchDialog(HWND window, LPARAM parameter)
{
    DialogSearch &search = *reinterpret_cast<DialogSearch *>(parameter);
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (search.threadId ? threadId != search.threadId : processId != search.processId)
        return TRUE;
    if (!isDialog(window) || !IsWindowVisible(window) || windowText(window) != search.caption)
        return TRUE;
    search.found = window;
    return FALSE;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM parameter)
{
    if (isDialog(window) && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND> *>(parameter)->push_back(window);
    return TRUE;
}

BOOL CALLBACK readMessageBoxPart(HWND control, LPARAM parameter)
{
    MessageBoxSeen &seen = *reinterpret_cast<MessageBoxSeen *>(parameter);
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(className, "Button") == 0 && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        seen.defaultButton = GetDlgCtrlID(control);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    if ((style & SS_TYPEMASK) == SS_ICON)
        seen.icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
    else if (seen.text.empty())
        seen.text = windowText(control);
    return TRUE;
}

struct Driven {
    std::function<void()> const *script;
    DWORD ownerThread;
    volatile LONG actionDone;
};

DWORD WINAPI driverThread(void *parameter)
{
    Driven &driven = *static_cast<Driven *>(parameter);
    (*driven.script)();
    if (waitUntil([&] { return driven.actionDone != 0; }, 3000))
        return 0;
    ADD_FAILURE() << "a dialog stayed open after the script";
    while (!driven.actionDone) {
        std::vector<HWND> open;
        EnumThreadWindows(driven.ownerThread, collectDialog, reinterpret_cast<LPARAM>(&open));
        for (HWND dialog : open)
            pressButton(dialog, IDCANCEL);
        Sleep(200);
    }
    return 0;
}

} // namespace

HWND waitForDialog(char const *caption, DWORD threadId, DWORD processId, DWORD timeoutMs)
{
    DialogSearch search = {caption, threadId, processId, nullptr};
    waitUntil(
        [&] {
            EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

bool waitGone(HWND window, DWORD timeoutMs)
{
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

void pressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string windowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::wstring windowTextW(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

bool isChecked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(HWND dialog, int id, bool checked)
{
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool answerMessageBox(char const *caption, DWORD threadId, int answer, MessageBoxSeen &seen, DWORD timeoutMs)
{
    HWND box = waitForDialog(caption, threadId, 0, timeoutMs);
    if (!box)
        return false;
    seen = MessageBoxSeen();
    seen.owner = GetWindow(box, GW_OWNER);
    seen.ownerCaption = windowText(seen.owner);
    EnumChildWindows(box, readMessageBoxPart, reinterpret_cast<LPARAM>(&seen));
    pressButton(box, answer);
    return waitGone(box);
}

void runDriven(std::function<void()> const &action, std::function<void()> const &script)
{
    Driven driven = {&script, GetCurrentThreadId(), 0};
    HANDLE thread = CreateThread(nullptr, 0, driverThread, &driven, 0, nullptr);
    action();
    InterlockedExchange(&driven.actionDone, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

namespace {

// Memory in the list's process for one LVITEMA and its text.
struct RemoteItem {
    HANDLE process = nullptr;
    char *memory = nullptr;
    explicit RemoteItem(HWND list)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(list, &processId);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process)
            memory = static_cast<char *>(
                VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteItem()
    {
        if (memory)
            VirtualFreeEx(process, memory, 0, MEM_RELEASE);
        if (process)
            CloseHandle(process);
    }
};

} // namespace

// Asks for a cell's text into memory of the list's process and reads back
// bytes of it; LVITEMA and LVITEMW have the same layout.
static void remoteItemText(HWND list, int row, int column, UINT message, void *text, SIZE_T bytes)
{
    RemoteItem remote(list);
    if (!remote.memory)
        return;
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = remote.memory + sizeof item;
    item.cchTextMax = 1024;
    WriteProcessMemory(remote.process, remote.memory, &item, sizeof item, nullptr);
    SendMessageA(list, message, row, reinterpret_cast<LPARAM>(remote.memory));
    ReadProcessMemory(remote.process, remote.memory + sizeof item, text, bytes, nullptr);
}

std::string remoteListText(HWND list, int row, int column)
{
    char text[1024] = "";
    remoteItemText(list, row, column, LVM_GETITEMTEXTA, text, sizeof text - 1);
    return text;
}

std::wstring remoteListTextW(HWND list, int row, int column)
{
    wchar_t text[1024] = L"";
    remoteItemText(list, row, column, LVM_GETITEMTEXTW, text, sizeof text - sizeof *text);
    return text;
}

int remoteListCount(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

UINT remoteListState(HWND list, int row, UINT mask)
{
    return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, row, mask));
}
