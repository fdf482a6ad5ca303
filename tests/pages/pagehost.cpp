#include "pagehost.h"

#include <prsht.h>
#include <dlgs.h>

#include "app/app.h"
#include "support/clockwindow.h"

static char const sheetClass[] = "HalvitrumTestSheet";

PageHost::PageHost(int templateId, DLGPROC procedure)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = sheetProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = sheetClass;
    RegisterClassA(&windowClass); // already there after the first host
    sheet_ = CreateWindowExA(0, sheetClass, "Properties", WS_OVERLAPPEDWINDOW, 40, 40, 640, 480, nullptr,
                             nullptr, instance, nullptr);
    SetWindowLongPtrA(sheet_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    page_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), sheet_, procedure, 0);
    // A sheet enables and shows the page it selects.
    EnableWindow(page_, TRUE);
    ShowWindow(page_, SW_SHOW);
    ShowWindow(sheet_, SW_SHOW);
}

PageHost::~PageHost()
{
    DestroyWindow(sheet_);
}

LRESULT CALLBACK PageHost::sheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PSM_CHANGED) {
        if (auto host = reinterpret_cast<PageHost *>(GetWindowLongPtrA(window, GWLP_USERDATA)))
            host->changes_.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PageHost::click(int id)
{
    SendMessageA(item(id), BM_CLICK, 0, 0);
}

void PageHost::select(int listId, int index)
{
    HWND list = item(listId);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void PageHost::type(int editId, wchar_t const *text)
{
    HWND edit = item(editId);
    LRESULT end = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, end, end);
    for (; *text; ++text)
        SendMessageW(edit, WM_CHAR, *text, 1);
}

LRESULT PageHost::notify(UINT code)
{
    PSHNOTIFY notification = {};
    notification.hdr.hwndFrom = sheet_;
    notification.hdr.code = code;
    SetWindowLongPtrA(page_, DWLP_MSGRESULT, 12345); // shows whether the page set a result
    SendMessageA(page_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notification));
    LRESULT result = GetWindowLongPtrA(page_, DWLP_MSGRESULT);
    pumpMessages();
    return result;
}

int PageHost::selection(int listId) const
{
    return static_cast<int>(SendMessageA(item(listId), CB_GETCURSEL, 0, 0));
}

bool PageHost::checked(int id) const
{
    return IsDlgButtonChecked(page_, id) == BST_CHECKED;
}

bool PageHost::enabled(int id) const
{
    return IsWindowEnabled(item(id)) != FALSE;
}

std::wstring PageHost::text(int id) const
{
    wchar_t buffer[1024] = L"";
    GetWindowTextW(item(id), buffer, 1024);
    return buffer;
}

static DialogAnswer *activeAnswer;

DialogAnswer::DialogAnswer(std::function<void(HWND)> answer) : answer_(std::move(answer))
{
    activeAnswer = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, watch, nullptr, GetCurrentThreadId());
}

DialogAnswer::~DialogAnswer()
{
    UnhookWindowsHookEx(hook_);
    activeAnswer = nullptr;
}

// Notes the first top-level dialog to be initialised, with its parameter
// when that is a colour choice, and answers it once it is running.
LRESULT CALLBACK DialogAnswer::watch(int code, WPARAM wParam, LPARAM lParam)
{
    auto call = reinterpret_cast<CWPSTRUCT const *>(lParam);
    DialogAnswer *self = activeAnswer;
    if (code == HC_ACTION && self && !self->dialog && call->message == WM_INITDIALOG &&
        !(GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD)) {
        self->dialog = call->hwnd;
        auto choice = reinterpret_cast<CHOOSECOLORW const *>(call->lParam);
        if (choice && choice->lStructSize == sizeof(CHOOSECOLORW) && choice->lpCustColors) {
            self->colorChoice = *choice;
            for (int i = 0; i < 16; ++i)
                self->customColors[i] = choice->lpCustColors[i];
        }
        SetTimer(nullptr, 0, 200, respond);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogAnswer::respond(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    DialogAnswer *self = activeAnswer;
    if (!self || !IsWindow(self->dialog))
        return;
    wchar_t title[256] = L"";
    GetWindowTextW(self->dialog, title, 256);
    self->title = title;
    self->owner = GetWindow(self->dialog, GW_OWNER);
    self->answer_(self->dialog);
}

static void press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The colour dialog's fields for red, green and blue.
int const redField = 706, greenField = 707, blueField = 708;

void confirmColor(HWND dialog, COLORREF color)
{
    SetDlgItemInt(dialog, redField, GetRValue(color), FALSE);
    SetDlgItemInt(dialog, greenField, GetGValue(color), FALSE);
    SetDlgItemInt(dialog, blueField, GetBValue(color), FALSE);
    press(dialog, IDOK);
}

COLORREF shownColor(HWND dialog)
{
    return RGB(GetDlgItemInt(dialog, redField, nullptr, FALSE),
               GetDlgItemInt(dialog, greenField, nullptr, FALSE),
               GetDlgItemInt(dialog, blueField, nullptr, FALSE));
}

void confirmFile(HWND dialog, std::wstring const &path)
{
    HWND name = GetDlgItem(dialog, edt1);
    if (!name)
        name = GetDlgItem(dialog, cmb13);
    SetWindowTextW(name, path.c_str());
    press(dialog, IDOK);
}

std::wstring fileTypeShown(HWND dialog)
{
    wchar_t text[256] = L"";
    SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

void cancelDialog(HWND dialog)
{
    press(dialog, IDCANCEL);
}

COLORREF bitmapColor(HBITMAP bitmap, SIZE &size)
{
    size = {0, 0};
    BITMAP header;
    if (!bitmap || !GetObjectA(bitmap, sizeof header, &header))
        return CLR_INVALID;
    size = {header.bmWidth, header.bmHeight};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = header.bmWidth;
    info.bmiHeader.biHeight = -header.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(size_t(header.bmWidth) * header.bmHeight);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, header.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != header.bmHeight || pixels.empty())
        return CLR_INVALID;
    for (DWORD pixel : pixels)
        if ((pixel & 0xFFFFFF) != (pixels[0] & 0xFFFFFF))
            return CLR_INVALID;
    return RGB(pixels[0] >> 16 & 0xFF, pixels[0] >> 8 & 0xFF, pixels[0] & 0xFF);
}

bool writeBitmapFile(std::wstring const &path, int width, int height, COLORREF color)
{
    int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + rowBytes * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::vector<BYTE> pixels(size_t(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE *pixel = &pixels[size_t(y) * rowBytes + x * 3];
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
        }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0, total = 0;
    WriteFile(handle, &file, sizeof file, &written, nullptr);
    total += written;
    WriteFile(handle, &info, sizeof info, &written, nullptr);
    total += written;
    WriteFile(handle, pixels.data(), DWORD(pixels.size()), &written, nullptr);
    total += written;
    CloseHandle(handle);
    return total == file.bfSize;
}
