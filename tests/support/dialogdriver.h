// Driving modal dialogs and message boxes as a user would: the thread (or
// process) that owns them stays in its modal loop while a script on another
// thread finds their windows, fills them and presses their buttons.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// A visible top-level dialog (#32770) with this caption that belongs to the
// thread threadId, or to any thread of the process processId when threadId
// is 0; null when none appears within timeoutMs.
HWND waitForDialog(char const *caption, DWORD threadId, DWORD processId = 0, DWORD timeoutMs = 5000);

// Whether the window is gone (or hidden) within timeoutMs.
bool waitGone(HWND window, DWORD timeoutMs = 5000);

// Presses a button of a dialog: posts the WM_COMMAND that its click sends.
void pressButton(HWND dialog, int id);

std::string windowText(HWND window);
std::wstring windowTextW(HWND window);
bool isChecked(HWND dialog, int id);
void setChecked(HWND dialog, int id, bool checked);

// What a message box showed. icon is the handle of its icon control,
// comparable with LoadIcon(nullptr, IDI_...) inside the same process.
struct MessageBoxSeen {
    HWND owner = nullptr;
    std::string ownerCaption;
    std::string text;
    HICON icon = nullptr;
    int defaultButton = 0;
};

// Waits for a message box captioned caption on the thread, reads it and
// answers it with the button answer (IDOK, IDYES, IDNO...). Whether one came.
bool answerMessageBox(char const *caption, DWORD threadId, int answer, MessageBoxSeen &seen,
                      DWORD timeoutMs = 5000);

// Runs action on this thread while script runs on a second one. Dialogs of
// this thread that the script leaves open are cancelled (and reported as a
// failure) so that action always returns.
void runDriven(std::function<void()> const &action, std::function<void()> const &script);

// The text of a cell of a list view that lives in another process, read
// through memory allocated in that process.
std::string remoteListText(HWND list, int row, int column);
std::wstring remoteListTextW(HWND list, int row, int column); // through the UTF-16 message
int remoteListCount(HWND list);
// The state bits of a row of such a list view (LVIS_...).
UINT remoteListState(HWND list, int row, UINT mask);
