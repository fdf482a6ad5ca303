#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "canvas.h"
#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus::DllExports;

double const k = 3.14 / 180;

static float ringRadius(int side, int ring) // R1 .. R4
{
    float r = faceRadius(side);
    float factors[] = {0.99f, 0.9f, 0.97f, 0.97f};
    for (int i = 0; i < ring; i++)
        r *= factors[i];
    return r;
}

static bool close(DWORD pixel, DWORD expected, int tolerance = 2)
{
    for (int shift = 0; shift < 32; shift += 8) {
        int a = pixel >> shift & 0xFF, b = expected >> shift & 0xFF;
        if (abs(a - b) > tolerance)
            return false;
    }
    return true;
}

// Pixels of the face cache in the rectangle about (x, y) that differ from
// the plain dial, within reach of (cx, cy) when reach is given.
static int marked(int x, int y, int halfWidth, int halfHeight, int cx = 0, int cy = 0, float reach = 1e9f)
{
    int count = 0;
    for (int j = y - halfHeight; j <= y + halfHeight; j++)
        for (int i = x - halfWidth; i <= x + halfWidth; i++)
            if (std::hypot(float(i - cx), float(j - cy)) < reach)
                count += facePixel(i, j) != opaque(testBackground);
    return count;
}

TEST(Face, TransparentOutsideTheOuterRingOpaqueInside)
{
    useTestSettings();
    settings.showNumbers = 1;
    settings.showLogo = 2;
    settings.showDayOfTheWeek = 2;
    for (int side : {144, 256, 384}) {
        drawClock(side, moment(4, 40, 50));
        int c = side / 2;
        float R1 = ringRadius(side, 1);
        int outside = 0, opaqueInside = 0, inside = 0;
        // A pixel whose centre lies more than half its diagonal from the
        // circle is wholly outside or inside it.
        float const halfDiagonal = 0.71f;
        for (int y = 0; y < side; y++)
            for (int x = 0; x < side; x++) {
                float d = std::hypot(x + 0.5f - c, y + 0.5f - c);
                if (d > R1 + halfDiagonal) {
                    outside++;
                    EXPECT_EQ(0u, facePixel(x, y) >> 24) << side << ": " << x << "," << y;
                    EXPECT_EQ(0u, framePixel(x, y) >> 24) << side << ": " << x << "," << y;
                } else if (d < R1 - halfDiagonal) {
                    inside++;
                    opaqueInside += framePixel(x, y) >> 24 == 0xFF;
                }
            }
        EXPECT_GT(outside, side * side / 5);
        EXPECT_EQ(inside, opaqueInside) << side;
    }
}

// The pixels that the circle of radius R1 crosses are anti-aliased: all
// but those it only grazes are partly transparent, also at the sides of
// 150 % and 200 % display scaling.
TEST(Face, OuterRimIsSmooth)
{
    useTestSettings();
    for (int side : {144, 256, 384, 576, 768}) {
        drawClock(side, moment(4, 40, 50));
        float c = float(side / 2), R1 = ringRadius(side, 1);
        int crossed = 0, partial = 0;
        for (int y = 0; y < side; y++)
            for (int x = 0; x < side; x++) {
                // The nearest and the farthest point of the pixel's square.
                float nx = std::max(float(x), std::min(c, x + 1.0f)) - c;
                float ny = std::max(float(y), std::min(c, y + 1.0f)) - c;
                float fx = std::max(std::fabs(x - c), std::fabs(x + 1 - c));
                float fy = std::max(std::fabs(y - c), std::fabs(y + 1 - c));
                if (std::hypot(nx, ny) >= R1 || std::hypot(fx, fy) <= R1)
                    continue;
                crossed++;
                DWORD alpha = framePixel(x, y) >> 24;
                partial += alpha > 0 && alpha < 255;
            }
        EXPECT_GT(crossed, 4 * R1) << side;
        EXPECT_GE(partial, 0.9 * crossed) << side;
    }
}

TEST(Face, OnlyTheTopLeftSquareIsDrawn)
{
    DWORD const untouched = 0x5A5A5A5A;
    useTestSettings();
    settings.showNumbers = 1;
    for (int side : {144, 256, 384}) {
        for (HDC dc : {mainFace.faceDC, mainFace.frameDC})
            std::fill(surfacePixels(dc), surfacePixels(dc) + mainFace.surfaceSide * mainFace.surfaceSide,
                      untouched);
        drawClock(side, moment(9, 5, 0));
        // The face pass clears its whole bitmap but draws only in the square.
        int kept = 0, drawnOver = 0;
        for (int y = 0; y < mainFace.surfaceSide; y++)
            for (int x = 0; x < mainFace.surfaceSide; x++) {
                bool mine = x < side && y < side;
                kept += !mine && framePixel(x, y) == untouched;
                kept += !mine && (facePixel(x, y) == untouched || facePixel(x, y) == 0);
                drawnOver += mine && framePixel(x, y) != untouched && facePixel(x, y) != untouched;
            }
        EXPECT_EQ(2 * (mainFace.surfaceSide * mainFace.surfaceSide - side * side), kept) << side;
        EXPECT_EQ(side * side, drawnOver) << side;
    }
}

TEST(Face, ColorsFollowTheRoles)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float R = faceRadius(side), R4 = ringRadius(side, 4);
    useTestSettings();
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(opaque(testBackground), framePixel(cx - 60, cy + 30));
    EXPECT_EQ(opaque(testText), facePixel(cx + int(0.975f * R4), cy)); // the mark at three
    // The gradients run from the top-left corner of the face to its bottom
    // right: ring 1 to ring 2 on the outer ring, the reverse on the inner.
    for (int ring : {1, 2}) {
        float r = (ringRadius(side, ring) + ringRadius(side, ring + 1)) / 2;
        int x = cx - int(r / std::sqrt(2.0f)), y = cy - int(r / std::sqrt(2.0f));
        float t = ((x - (cx - R)) + (y - (cy - R))) / (4 * R);
        DWORD from = opaque(ring == 1 ? testRing1 : testRing2),
              to = opaque(ring == 1 ? testRing2 : testRing1);
        DWORD expected = 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8)
            expected |= DWORD(std::lround((from >> shift & 0xFF) * (1 - t) + (to >> shift & 0xFF) * t))
                        << shift;
        EXPECT_TRUE(close(facePixel(x, y), expected, 6))
            << ring << ": " << std::hex << facePixel(x, y) << " " << expected;
    }

    settings.useColor = 0;
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(opaque(GetSysColor(COLOR_BTNFACE)), framePixel(cx - 60, cy + 30));
    EXPECT_EQ(opaque(GetSysColor(COLOR_BTNTEXT)), facePixel(cx + int(0.975f * R4), cy));
    EXPECT_EQ(opaque(GetSysColor(COLOR_BTNSHADOW)), framePixel(cx, cy));

    // A high-contrast theme's colours, whatever the chosen ones; the hub
    // and the rings take its highlight.
    settings.useColor = 1;
    highContrast = 1;
    drawClock(side, moment(12, 0, 0));
    highContrast = 0;
    EXPECT_EQ(opaque(GetSysColor(COLOR_WINDOW)), framePixel(cx - 60, cy + 30));
    EXPECT_EQ(opaque(GetSysColor(COLOR_WINDOWTEXT)), facePixel(cx + int(0.975f * R4), cy));
    EXPECT_EQ(opaque(GetSysColor(COLOR_HIGHLIGHT)), framePixel(cx, cy));
    EXPECT_EQ(opaque(GetSysColor(COLOR_HIGHLIGHT)), facePixel(cx - int(0.9f * R), cy));
    // The hands are solid in the text colour, stripes included: across the
    // minute hand (11 units wide, its stripe 8), above the hour hand's tip.
    float u = faceUnit(side);
    for (int dx = -int(4 * u); dx <= int(4 * u); dx++)
        EXPECT_EQ(opaque(GetSysColor(COLOR_WINDOWTEXT)), framePixel(cx + dx, cy - int(0.7f * 0.85f * R)))
            << "minute hand, " << dx << " from its axis";
}

TEST(Face, NumbersAllOnlyQuartersOrNone)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float u = faceUnit(side);
    int rn = int(0.8f * ringRadius(side, 4));
    for (int mode : {0, 1, 2}) {
        useTestSettings();
        settings.showNumbers = mode;
        drawClock(side, moment(12, 0, 0));
        for (int label = 1; label <= 12; label++) {
            double a = 6 * (label % 12) * 5 * k;
            int x = cx + int(rn * sin(a)) + int(label == 10 || label == 3 ? 5 * u : label == 9 ? -3 * u : 0);
            int y = cy - int(rn * cos(a)) + int(4 * u);
            // Inside the tips of the hour marks.
            int count = marked(x, y, int(18 * u), int(10 * u), cx, cy, 0.9f * ringRadius(side, 4));
            bool shown = mode == 1 || (mode == 2 && label % 3 == 0);
            if (shown)
                EXPECT_GT(count, 40) << mode << ": " << label;
            else
                EXPECT_EQ(0, count) << mode << ": " << label;
        }
    }
}

// The logo's part of the dial: centred at (cx, cy + R4/3).
static int logoPixels(int side, bool (*test)(DWORD))
{
    int cx = side / 2, cy = side / 2;
    float R4 = ringRadius(side, 4), u = faceUnit(side);
    int count = 0;
    for (int y = cy + int(R4 / 3 - 20 * u); y < cy + int(R4 / 3 + 20 * u); y++)
        for (int x = cx - int(0.8f * R4); x < cx + int(0.8f * R4); x++)
            count += test(facePixel(x, y));
    return count;
}

// The mean height of the face pixels that pass the test.
static float meanY(int side, bool (*test)(DWORD))
{
    long sum = 0, count = 0;
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++)
            if (test(facePixel(x, y))) {
                sum += y;
                count++;
            }
    return count ? float(sum) / count : -1;
}

static bool plain(DWORD pixel)
{
    return pixel == opaque(testBackground);
}

// Text colour (black) at alpha 0xC0 over the white dial.
static bool solidLabel(DWORD pixel)
{
    return close(pixel, 0xFF3F3F3F);
}

// Markers colour (red) at alpha 0xC0 over the white dial.
static bool contourFill(DWORD pixel)
{
    return close(pixel, 0xFFFF3F3F);
}

TEST(Face, LogoSolidContourOrNone)
{
    int const side = 384;
    useTestSettings();
    settings.logoType = 1;
    lstrcpyW(settings.logoText, L"HALVITRUM");
    int area = logoPixels(side, [](DWORD) { return true; });

    settings.showLogo = 0;
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(area, logoPixels(side, plain));

    settings.showLogo = 1;
    drawClock(side, moment(12, 0, 0));
    EXPECT_GT(logoPixels(side, solidLabel), 200);
    EXPECT_EQ(0, logoPixels(side, contourFill));
    float textCentre = side / 2 + ringRadius(side, 4) / 3;
    EXPECT_NEAR(textCentre, meanY(side, solidLabel), 4);

    settings.showLogo = 2;
    drawClock(side, moment(12, 0, 0));
    EXPECT_GT(logoPixels(side, contourFill), 100);
    EXPECT_NEAR(textCentre, meanY(side, contourFill), 4);

    settings.logoText[0] = L'\0';
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(area, logoPixels(side, plain));
}

TEST(Face, DateLogoIsTheShortDateOfTheMoment)
{
    int const side = 256;
    SYSTEMTIME monday = moment(9, 0, 0);
    wchar_t date[520] = L"";
    ASSERT_GT(GetDateFormatW(0, 0, &monday, nullptr, date, 520), 0);
    useTestSettings();
    settings.showLogo = 1;
    settings.logoType = 1;
    lstrcpyW(settings.logoText, date);
    drawClock(side, monday);
    std::vector<DWORD> asText = faceCopy(side);

    settings.logoType = 0;
    drawClock(side, monday);
    EXPECT_EQ(asText, faceCopy(side));
    drawClock(side, moment(9, 0, 0, 8));
    EXPECT_NE(asText, faceCopy(side));
}

struct DayBox {
    int x, y, c;
};

static DayBox dayBox(int side)
{
    float R4 = ringRadius(side, 4);
    return {side / 2 + int(R4 / 2.5f), side / 2, int(R4 / 5)};
}

TEST(Face, DayOfTheWeekLabelAndBox)
{
    int const side = 384;
    DayBox box = dayBox(side);
    useTestSettings();
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(0, marked(box.x, box.y, box.c + 2, box.c + 2));

    settings.showDayOfTheWeek = 1;
    drawClock(side, moment(12, 0, 0));
    // The 3-pixel outline shows 1.5 pixels outside the square; the fill
    // covers the rest. The pixels next to the square's edges lie wholly on it.
    EXPECT_EQ(opaque(testRing1), facePixel(box.x, box.y - box.c - 1));
    EXPECT_EQ(opaque(testRing1), facePixel(box.x - box.c - 1, box.y - 5));
    EXPECT_EQ(opaque(testRing1), facePixel(box.x + box.c, box.y + 5));
    EXPECT_EQ(opaque(testRing1), facePixel(box.x, box.y + box.c));
    EXPECT_EQ(opaque(testBackground), facePixel(box.x, box.y - box.c + 2));
    EXPECT_EQ(opaque(testBackground), facePixel(box.x - box.c - 1, box.y - box.c - 1)); // a round corner
    std::vector<DWORD> monday = faceCopy(side);
    int solid = 0;
    for (int y = box.y - box.c + 2; y < box.y + box.c - 2; y++)
        for (int x = box.x - box.c + 2; x < box.x + box.c - 2; x++)
            solid += solidLabel(facePixel(x, y));
    EXPECT_GT(solid, 50);

    drawClock(side, moment(12, 0, 0, 8));
    EXPECT_NE(monday, faceCopy(side));

    settings.showDayOfTheWeek = 2;
    drawClock(side, moment(12, 0, 0));
    int contour = 0;
    for (int y = box.y - box.c + 2; y < box.y + box.c - 2; y++)
        for (int x = box.x - box.c + 2; x < box.x + box.c - 2; x++)
            contour += contourFill(facePixel(x, y));
    EXPECT_GT(contour, 50);
    EXPECT_EQ(opaque(testRing1), facePixel(box.x, box.y - box.c - 1));
}

class Picture : public testing::Test {
protected:
    void TearDown() override
    {
        lstrcpyW(settings.imagePath, L"rose.jpg");
        loadBackgroundImage();
    }
};

TEST_F(Picture, CentredSquareFillsTheDial)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    int R3 = int(ringRadius(side, 3));
    useTestSettings();
    settings.showDayOfTheWeek = 1;
    std::wstring path = makePicture();
    lstrcpyW(settings.imagePath, path.c_str());
    loadBackgroundImage();
    ASSERT_EQ(300u, backgroundWidth());
    ASSERT_EQ(200u, backgroundHeight());
    settings.useImage = 1;
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(1, settings.useImage);
    int h = R3 / 2;
    EXPECT_TRUE(close(facePixel(cx - h, cy - h), 0xFFFF8000)) << std::hex << facePixel(cx - h, cy - h);
    EXPECT_TRUE(close(facePixel(cx + h, cy - h), 0xFF0000C0)) << std::hex << facePixel(cx + h, cy - h);
    EXPECT_TRUE(close(facePixel(cx - h, cy + h), 0xFFC0C000)) << std::hex << facePixel(cx - h, cy + h);
    EXPECT_TRUE(close(facePixel(cx + h, cy + h - 10), 0xFFC000C0)) << std::hex << facePixel(cx + h, cy + h);
    // The dial's left and right edges show the square's edges, not the bands.
    EXPECT_TRUE(close(facePixel(cx - R3 + 6, cy - 20), 0xFFFF8000))
        << std::hex << facePixel(cx - R3 + 6, cy - 20);
    EXPECT_TRUE(close(facePixel(cx + R3 - 6, cy + 20), 0xFFC000C0))
        << std::hex << facePixel(cx + R3 - 6, cy + 20);
    // Cut to the circle: the inner ring goes on outside it.
    EXPECT_FALSE(close(facePixel(cx - int(0.72f * R3), cy - int(0.72f * R3)), 0xFFFF8000, 40));
    // With a picture the day label has no box.
    DayBox box = dayBox(side);
    EXPECT_NE(opaque(testRing1), facePixel(box.x, box.y - box.c - 1));
    EXPECT_NE(opaque(testBackground), facePixel(box.x, box.y - box.c + 2));
    // A high-contrast theme shows a plain dial, and the label's box.
    highContrast = 1;
    drawClock(side, moment(12, 0, 0));
    highContrast = 0;
    EXPECT_EQ(opaque(GetSysColor(COLOR_WINDOW)), facePixel(cx - h, cy - h));
    EXPECT_EQ(opaque(GetSysColor(COLOR_HIGHLIGHT)), facePixel(box.x, box.y - box.c - 1));
    EXPECT_EQ(1, settings.useImage);
    DeleteFileW(path.c_str());
}

TEST_F(Picture, LoadedPictureLeavesItsFileFree)
{
    std::wstring path = makePicture();
    lstrcpyW(settings.imagePath, path.c_str());
    loadBackgroundImage();
    ASSERT_EQ(300u, backgroundWidth());
    // The user can replace or remove the file while the clock shows it.
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(300u, backgroundWidth());
    useTestSettings();
    settings.useImage = 1;
    drawClock(256, moment(12, 0, 0));
    EXPECT_EQ(1, settings.useImage);
    loadBackgroundImage(); // the file is gone now
    EXPECT_EQ(0u, backgroundWidth());
}

TEST_F(Picture, MissingFileSwitchesThePictureOff)
{
    int const side = 256;
    int cx = side / 2, cy = side / 2;
    useTestSettings();
    settings.showDayOfTheWeek = 1;
    lstrcpyW(settings.imagePath, L"Z:\\nowhere\\missing.jpg");
    loadBackgroundImage();
    ASSERT_NE(nullptr, backgroundImage);
    EXPECT_EQ(0u, backgroundWidth());
    settings.useImage = 1;
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(0, settings.useImage);
    EXPECT_EQ(opaque(testBackground), facePixel(cx - 40, cy + 20));
    DayBox box = dayBox(side);
    EXPECT_EQ(opaque(testRing1), facePixel(box.x, box.y - box.c - 1));
}

TEST(Face, RebuiltOnlyWhenDirty)
{
    int const side = 256;
    int cx = side / 2, cy = side / 2;
    useTestSettings();
    drawClock(side, moment(12, 0, 0));
    settings.colorBackground = RGB(10, 20, 30);
    mainFace.faceDirty = 0;
    renderClock(mainFace, side, side, moment(12, 0, 1));
    EXPECT_EQ(opaque(testBackground), framePixel(cx - 40, cy + 20));
    mainFace.faceDirty = 1;
    renderClock(mainFace, side, side, moment(12, 0, 2));
    EXPECT_EQ(0, mainFace.faceDirty);
    EXPECT_EQ(opaque(RGB(10, 20, 30)), framePixel(cx - 40, cy + 20));
}

// A world clock's label stands where the logo text stands, in the lower
// half of the dial, also with the logo turned off; nothing else changes.
TEST(Face, WorldClockLabelInTheLogoPlace)
{
    int const side = 256;
    useTestSettings(); // no logo
    drawClock(side, moment(12, 0, 0));
    std::vector<DWORD> plain = faceCopy(side);
    mainFace.label = L"WWWWWW";
    drawClock(side, moment(12, 0, 0));
    mainFace.label = nullptr;
    std::vector<DWORD> labelled = faceCopy(side);
    float R4 = 0.97f * 0.97f * 0.9f * 0.99f * faceRadius(side);
    int changedInside = 0, changedOutside = 0;
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            if (plain[y * side + x] == labelled[y * side + x])
                continue;
            bool inLogo = std::abs(x - side / 2) < R4 && y > side / 2 && y < side / 2 + 2 * R4 / 3;
            (inLogo ? changedInside : changedOutside)++;
        }
    EXPECT_GT(changedInside, 100);
    EXPECT_EQ(0, changedOutside);
    drawClock(side, moment(12, 0, 0)); // the next test finds the plain face
}
