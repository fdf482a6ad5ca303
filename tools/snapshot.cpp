// snapshot: draws the clock with the program's own drawing code for a
// chosen size, moment and set of options, and writes it as a PNG with its
// transparency.
//   snapshot [options] OUTPUT.png
//     --size N             side in pixels, 144 to 768 (256): up to 384 at 200 %
//     --dpi N              the display's DPI (96): 192 for 200 %
//     --time HH:MM:SS      the moment drawn (10:10:30)
//     --date YYYY-MM-DD    its date, for the date logo and day label (2026-12-07)
//     --seconds 0|1        second hand (1)
//     --numbers 0|1|2      none, all, only 12-3-6-9 (1)
//     --logo 0|1|2         none, solid, contour (2)
//     --logo-text TEXT     a text logo instead of the date
//     --day 0|1|2          day of the week: none, solid, contour (2)
//     --colors B,M,R1,R2,T own colours as RRGGBB: background, markers,
//                          ring 1, ring 2, text (system colours otherwise)
//     --picture FILE       a picture dial
//     --high-contrast 0|1  in a high-contrast theme's system colours (0)
// Exit code 0 on success, 1 when the PNG cannot be written, 2 on a wrong call.
#include <windows.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

static COLORREF parseColor(wchar_t const *text)
{
    unsigned long rgb = wcstoul(text, nullptr, 16);
    return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}

static bool parseColors(wchar_t const *text)
{
    COLORREF *roles[] = {&settings.colorBackground, &settings.colorMarkers, &settings.colorRing1,
                         &settings.colorRing2, &settings.colorText};
    for (COLORREF *role : roles) {
        if (!*text)
            return false;
        *role = parseColor(text);
        text = wcschr(text, L',');
        text = text ? text + 1 : L"";
    }
    settings.useColor = 1;
    return true;
}

int const maximumSnapshot = 768;

struct Options {
    int size = 256;
    SYSTEMTIME now = {2026, 12, 1, 7, 10, 10, 30, 0};
    wchar_t const *output = nullptr;
};

static bool parseArguments(int count, wchar_t **arguments, Options &options)
{
    for (int i = 1; i < count; i++) {
        wchar_t const *name = arguments[i];
        if (name[0] != L'-') {
            options.output = name;
            continue;
        }
        if (i + 1 == count)
            return false;
        wchar_t const *value = arguments[++i];
        int a = 0, b = 0, c = 0;
        if (!wcscmp(name, L"--size"))
            options.size = _wtoi(value);
        else if (!wcscmp(name, L"--dpi"))
            clockDpi = _wtoi(value);
        else if (!wcscmp(name, L"--time") && swscanf(value, L"%d:%d:%d", &a, &b, &c) == 3) {
            options.now.wHour = WORD(a);
            options.now.wMinute = WORD(b);
            options.now.wSecond = WORD(c);
        } else if (!wcscmp(name, L"--date") && swscanf(value, L"%d-%d-%d", &a, &b, &c) == 3) {
            options.now.wYear = WORD(a);
            options.now.wMonth = WORD(b);
            options.now.wDay = WORD(c);
        } else if (!wcscmp(name, L"--seconds"))
            settings.showSeconds = _wtoi(value);
        else if (!wcscmp(name, L"--numbers"))
            settings.showNumbers = _wtoi(value);
        else if (!wcscmp(name, L"--logo"))
            settings.showLogo = _wtoi(value);
        else if (!wcscmp(name, L"--logo-text")) {
            settings.logoType = 1;
            lstrcpynW(settings.logoText, value, textUnits);
        } else if (!wcscmp(name, L"--day"))
            settings.showDayOfTheWeek = _wtoi(value);
        else if (!wcscmp(name, L"--colors")) {
            if (!parseColors(value))
                return false;
        } else if (!wcscmp(name, L"--high-contrast")) {
            highContrast = _wtoi(value);
        } else if (!wcscmp(name, L"--picture")) {
            settings.useImage = 1;
            lstrcpynW(settings.imagePath, value, textUnits);
        } else
            return false;
    }
    // The day of the week follows from the date.
    FILETIME file;
    if (!SystemTimeToFileTime(&options.now, &file) || !FileTimeToSystemTime(&file, &options.now))
        return false;
    return options.output && options.size >= 144 && options.size <= maximumSnapshot && clockDpi >= 96 &&
           clockDpi <= 480;
}

static bool pngEncoder(CLSID &encoder)
{
    UINT count = 0, bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Ok || bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    ImageCodecInfo *codecs = reinterpret_cast<ImageCodecInfo *>(buffer.data());
    if (GdipGetImageEncoders(count, bytes, codecs) != Ok)
        return false;
    for (UINT i = 0; i < count; i++)
        if (!wcscmp(codecs[i].MimeType, L"image/png")) {
            encoder = codecs[i].Clsid;
            return true;
        }
    return false;
}

// The frame is premultiplied; the PNG gets straight alpha from GDI+.
static bool savePng(int side, wchar_t const *path)
{
    CLSID encoder;
    if (!pngEncoder(encoder))
        return false;
    GpBitmap *bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(side, side, mainFace.surfaceSide * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE *>(surfacePixels(mainFace.frameDC)), &bitmap) != Ok)
        return false;
    bool saved = GdipSaveImageToFile(bitmap, path, &encoder, nullptr) == Ok;
    GdipDisposeImage(bitmap);
    return saved;
}

int main()
{
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    setDefaultOptions(settings);
    setDefaultColors(settings);
    Options options;
    if (!arguments || !parseArguments(count, arguments, options)) {
        fprintf(stderr,
                "usage: snapshot [--size N] [--dpi N] [--time HH:MM:SS] [--date YYYY-MM-DD] [--seconds 0|1]\n"
                "  [--numbers 0|1|2] [--logo 0|1|2] [--logo-text TEXT] [--day 0|1|2]\n"
                "  [--colors RRGGBB,RRGGBB,RRGGBB,RRGGBB,RRGGBB] [--picture FILE]\n"
                "  [--high-contrast 0|1] OUTPUT.png\n");
        return 2;
    }
    ULONG_PTR token;
    GdiplusStartupInput input;
    if (GdiplusStartup(&token, &input, nullptr) != Ok)
        return 1;
    mainFace.surfaceSide = std::max(mainFace.surfaceSide, options.size);
    createDrawingResources(mainFace, nullptr);
    bool pictureWanted = settings.useImage == 1;
    mainFace.faceDirty = 1;
    renderClock(mainFace, options.size, options.size, options.now);
    if (pictureWanted && settings.useImage == 0)
        fwprintf(stderr, L"cannot read the picture %ls; the dial is plain\n", settings.imagePath);
    bool saved = savePng(options.size, options.output);
    releaseDrawingResources(mainFace);
    GdiplusShutdown(token);
    LocalFree(arguments);
    if (!saved)
        fwprintf(stderr, L"cannot write %ls\n", options.output);
    return saved ? 0 : 1;
}
