// The program's resources as the system loads them.
#include <msxml2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "res/resource.h"

namespace {

std::string stringResource(UINT id)
{
    char text[nameLength] = "";
    LoadStringA(instance, id, text, nameLength);
    return text;
}

std::string itemText(HMENU menu, int position)
{
    char text[64] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

struct Item {
    UINT id; // 0 for a separator or the submenu
    char const *text;
};

void expectItems(HMENU menu, std::vector<Item> const &items)
{
    ASSERT_EQ(static_cast<int>(items.size()), GetMenuItemCount(menu));
    for (size_t i = 0; i < items.size(); ++i) {
        int position = static_cast<int>(i);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &info));
        if (!items[i].text) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << position;
            continue;
        }
        EXPECT_EQ(items[i].text, itemText(menu, position)) << position;
        if (items[i].id) {
            EXPECT_EQ(items[i].id, info.wID) << items[i].text;
        }
        EXPECT_EQ(0u, info.fState & (MFS_CHECKED | MFS_GRAYED)) << items[i].text;
    }
}

} // namespace

TEST(Resources, Strings)
{
    EXPECT_EQ("Halvitrum", stringResource(IDS_PRODUCT));
    EXPECT_EQ("4.1", stringResource(IDS_VERSION));
    EXPECT_EQ("HALVITRUM", stringResource(IDS_CLASSNAME));
    EXPECT_STREQ("Halvitrum", productName);
    EXPECT_STREQ("HALVITRUM", className);
}

TEST(Resources, PopupMenu)
{
    HMENU bar = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_CLOCKMENU));
    ASSERT_NE(nullptr, bar);
    HMENU popup = GetSubMenu(bar, 0);
    ASSERT_NE(nullptr, popup);
    expectItems(popup, {{IDM_HIDE, "Hide"},
                        {0, nullptr},
                        {IDM_OPTIONS, "Options..."},
                        {IDM_PROOPTIONS, "Pro options..."},
                        {IDM_ALARMS, "Alrams..."},
                        {IDM_SKIPNEXTALARM, "Skip next alarm"},
                        {0, nullptr},
                        {IDM_CALENDAR, "Calendar..."},
                        {IDM_ADDWORLDCLOCK, "Add world clock..."},
                        {IDM_DEFAULTPOSITION, "Set default position"},
                        {0, "Size"},
                        {IDM_LOCKPOSITION, "Lock position"},
                        {IDM_CLICKTHROUGH, "Let clicks through"},
                        {0, nullptr},
                        {IDM_TIMER, "Timer..."},
                        {0, nullptr},
                        {IDM_HELP, "Help"},
                        {IDM_ABOUT, "About..."},
                        {IDM_HOMEPAGE, "Home page"},
                        {0, nullptr},
                        {IDM_EXIT, "Exit"}});
    HMENU size = GetSubMenu(popup, 10);
    ASSERT_NE(nullptr, size);
    expectItems(size, {{IDM_SIZEDECREASE, "decrease"},
                       {IDM_SIZEINCREASE, "increase"},
                       {0, nullptr},
                       {IDM_SIZEMINIMUM, "minimum"},
                       {IDM_SIZEDEFAULT, "default"},
                       {IDM_SIZEMAXIMUM, "maximum"}});
    DestroyMenu(bar);
}

TEST(Resources, AcceleratorsAreAltCharacters)
{
    HACCEL table = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDC_HALVITRUM));
    ASSERT_NE(nullptr, table);
    ACCEL entries[4];
    ASSERT_EQ(2, CopyAcceleratorTableA(table, entries, 4));
    EXPECT_EQ('?', entries[0].key);
    EXPECT_EQ('/', entries[1].key);
    for (int i = 0; i < 2; ++i) {
        // a character with Alt, not a virtual key
        EXPECT_EQ(FALT, entries[i].fVirt & (FALT | FVIRTKEY | FCONTROL | FSHIFT));
        EXPECT_EQ(IDM_ABOUT, entries[i].cmd);
    }
}

// Bits per pixel and whether any pixel is partly transparent.
static void iconFormat(UINT id, int side, int &bitsPerPixel, bool &softEdges)
{
    HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, side, side, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(side, bitmap.bmWidth);
    EXPECT_EQ(side, bitmap.bmHeight);
    bitsPerPixel = bitmap.bmBitsPixel;
    BITMAPINFO header = {};
    header.bmiHeader = {sizeof header.bmiHeader, side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(side * side);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, side, pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    softEdges = false;
    for (DWORD pixel : pixels) {
        BYTE alpha = pixel >> 24;
        softEdges = softEdges || (alpha > 0 && alpha < 255);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

// The width of the image that the icon group offers for a size: an icon
// shown at that size is not stretched from another when they are equal.
static int nearestImageWidth(UINT id, int side)
{
    HRSRC group = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    auto *directory = static_cast<BYTE *>(LockResource(LoadResource(instance, group)));
    int image = LookupIconIdFromDirectoryEx(directory, TRUE, side, side, LR_DEFAULTCOLOR);
    HRSRC icon = FindResourceA(instance, MAKEINTRESOURCEA(image), MAKEINTRESOURCEA(3)); // RT_ICON
    auto *header = static_cast<BITMAPINFOHEADER *>(LockResource(LoadResource(instance, icon)));
    return header ? header->biWidth : 0;
}

TEST(Resources, IconsHaveAnAlphaChannel)
{
    struct {
        UINT id;
        int side;
    } const icons[] = {{IDI_HALVITRUM, 32}, {IDI_HALVITRUM, 16}, {IDI_HALVITRUM, 48}, {IDI_SMALL, 16},
                       {IDI_SMALL, 20},     {IDI_SMALL, 24},     {IDI_SMALL, 32}};
    for (auto const &icon : icons) {
        int bits = 0;
        bool soft = false;
        iconFormat(icon.id, icon.side, bits, soft);
        EXPECT_EQ(32, bits) << icon.id << " " << icon.side;
        EXPECT_TRUE(soft) << icon.id << " " << icon.side;
        EXPECT_EQ(icon.side, nearestImageWidth(icon.id, icon.side)) << icon.id;
    }
}

TEST(Resources, AboutLogoBitmap)
{
    HBITMAP logo =
        static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(nullptr, logo);
    BITMAP bitmap = {};
    GetObjectA(logo, sizeof bitmap, &bitmap);
    EXPECT_EQ(203, bitmap.bmWidth);
    EXPECT_EQ(61, bitmap.bmHeight);
    DeleteObject(logo);
}

// Per-monitor DPI awareness from Windows 10 1703 on and the system's DPI
// before, and version 6 of the common controls. Windows reads a manifest's
// elements only in their XML namespaces: the test reads it as XML too.
TEST(Resources, ManifestAsksForDpiAwarenessAndCommonControls6)
{
    HRSRC manifest = FindResourceA(instance, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, manifest);
    std::string text(static_cast<char const *>(LockResource(LoadResource(instance, manifest))),
                     SizeofResource(instance, manifest));
    std::wstring xml(text.size(), L'\0');
    xml.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &xml[0], int(xml.size())));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID parser;
    IID document2;
    IXMLDOMDocument2 *document = nullptr;
    CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &parser);
    IIDFromString(L"{2933BF95-7B36-11d2-B20E-00C04F983E60}", &document2); // IXMLDOMDocument2
    ASSERT_EQ(S_OK, CoCreateInstance(parser, nullptr, CLSCTX_INPROC_SERVER, document2,
                                     reinterpret_cast<void **>(&document)));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    BSTR source = SysAllocStringLen(xml.data(), UINT(xml.size()));
    EXPECT_EQ(S_OK, document->loadXML(source, &loaded));
    SysFreeString(source);
    EXPECT_EQ(VARIANT_TRUE, loaded);
    VARIANT value = {};
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(L"xmlns:a='urn:schemas-microsoft-com:asm.v1' "
                                   L"xmlns:b='urn:schemas-microsoft-com:asm.v3' "
                                   L"xmlns:s='http://schemas.microsoft.com/SMI/2005/WindowsSettings' "
                                   L"xmlns:t='http://schemas.microsoft.com/SMI/2016/WindowsSettings'");
    BSTR property = SysAllocString(L"SelectionNamespaces");
    document->setProperty(property, value);
    SysFreeString(property);
    VariantClear(&value);
    std::wstring const commonControls = L"/a:assembly/a:dependency/a:dependentAssembly/a:assemblyIdentity/";
    struct {
        std::wstring path;
        wchar_t const *value;
    } const rows[] = {
        {L"/a:assembly/b:application/b:windowsSettings/s:dpiAware", L"true"},
        {L"/a:assembly/b:application/b:windowsSettings/t:dpiAwareness", L"PerMonitorV2, System"},
        {commonControls + L"@type", L"win32"},
        {commonControls + L"@name", L"Microsoft.Windows.Common-Controls"},
        {commonControls + L"@version", L"6.0.0.0"},
        {commonControls + L"@processorArchitecture", L"*"},
        {commonControls + L"@publicKeyToken", L"6595b64144ccf1df"},
        {commonControls + L"@language", L"*"},
    };
    for (auto const &row : rows) {
        IXMLDOMNode *node = nullptr;
        BSTR path = SysAllocString(row.path.c_str()), found = nullptr;
        if (document->selectSingleNode(path, &node) == S_OK)
            node->get_text(&found);
        SysFreeString(path);
        EXPECT_EQ(std::wstring(row.value), found ? found : L"(absent)")
            << std::string(row.path.begin(), row.path.end());
        SysFreeString(found);
        if (node)
            node->Release();
    }
    document->Release();
    CoUninitialize();
}
