// The face's font travels with the program: when it is not installed, the
// font file beside Halvitrum.exe is loaded into a private collection of
// GDI+, so that a zip or a per-user install draws its numbers without
// installing a font for the whole system.
#include <windows.h>
#include <gdiplus.h>

#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Made at the first family that is not installed and kept until exit: a
// family taken from it is valid only while the collection lives. An empty
// collection (no file beside the program) is kept too, so that the folder
// is looked at once only.
static GpFontCollection *privateFonts;

GpStatus createFontFamily(wchar_t const *name, GpFontFamily **family)
{
    *family = nullptr;
    if (GdipCreateFontFamilyFromName(name, nullptr, family) == Ok)
        return Ok;
    if (!privateFonts) {
        if (GdipNewPrivateFontCollection(&privateFonts) != Ok)
            return GenericError;
        wchar_t fileName[LF_FACESIZE + 8];
        wsprintfW(fileName, L"%.31s.ttf", name);
        wchar_t path[MAX_PATH];
        if (besideProgram(fileName, path))
            GdipPrivateAddFontFile(privateFonts, path);
    }
    *family = nullptr;
    return GdipCreateFontFamilyFromName(name, privateFonts, family);
}

void releasePrivateFonts()
{
    if (privateFonts)
        GdipDeletePrivateFontCollection(&privateFonts);
    privateFonts = nullptr;
}
