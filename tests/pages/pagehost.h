// Driving a property page from a test: a window that plays the sheet, user
// actions on the page's controls, and answers to the common dialogs that a
// page opens.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

// One page created from its template under a top-level window that stands
// for the sheet and records every PSM_CHANGED it receives.
class PageHost {
public:
    PageHost(int templateId, DLGPROC procedure);
    ~PageHost();

    HWND page() const
    {
        return page_;
    }
    HWND item(int id) const
    {
        return GetDlgItem(page_, id);
    }
    // The first parameters of the PSM_CHANGED messages received so far.
    std::vector<WPARAM> const &changes() const
    {
        return changes_;
    }
    void forgetChanges()
    {
        changes_.clear();
    }

    void click(int id);                         // BM_CLICK, as a mouse click does
    void select(int listId, int index);         // a list choice with its notification
    void type(int editId, wchar_t const *text); // characters typed at the end
    // Sends a sheet notification (PSN_APPLY, PSN_HELP), then lets the
    // thread's messages run, as the sheet's loop does; the page's result.
    LRESULT notify(UINT code);

    int selection(int listId) const;
    bool checked(int id) const;
    bool enabled(int id) const;
    std::wstring text(int id) const;

private:
    static LRESULT CALLBACK sheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
    std::vector<WPARAM> changes_;
};

// Answers the next common dialog (colour or file) that opens on this thread
// while it lives: answer runs once the dialog is up and must close it. The
// public fields record what the dialog was.
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void(HWND dialog)> answer);
    ~DialogAnswer();

    HWND dialog = nullptr; // null: no dialog opened
    HWND owner = nullptr;
    std::wstring title;
    // What a colour dialog was given (its initialisation parameter).
    CHOOSECOLORW colorChoice = {};
    COLORREF customColors[16] = {};

private:
    static LRESULT CALLBACK watch(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK respond(HWND, UINT, UINT_PTR timer, DWORD);
    std::function<void(HWND)> answer_;
    HHOOK hook_ = nullptr;
};

// Sets the colour dialog's red, green and blue fields and presses OK.
void confirmColor(HWND dialog, COLORREF color);
// The colour that the colour dialog's red, green and blue fields show.
COLORREF shownColor(HWND dialog);
// Types a file name into the file dialog and presses Open.
void confirmFile(HWND dialog, std::wstring const &path);
// The first entry of the file dialog's type list.
std::wstring fileTypeShown(HWND dialog);
void cancelDialog(HWND dialog);

// The colour of every pixel of a button's bitmap, or CLR_INVALID when they
// differ; size receives the bitmap's size.
COLORREF bitmapColor(HBITMAP bitmap, SIZE &size);

// A 24-bit BMP file of one colour.
bool writeBitmapFile(std::wstring const &path, int width, int height, COLORREF color);
