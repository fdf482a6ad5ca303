#include <windows.h>

#include <climits>
#include <cmath>

#include <gtest/gtest.h>

#include "canvas.h"
#include "render/render.h"
#include "settings/settings.h"

// Opaque hand pixels: the text colour of the hands or the markers colour
// of their stripes.
static bool handColored(DWORD pixel)
{
    return pixel == opaque(testText) || pixel == opaque(testMarkers);
}

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    int count = 0;
    void add(int x, int y)
    {
        left = x < left ? x : left;
        right = x > right ? x : right;
        top = y < top ? y : top;
        bottom = y > bottom ? y : bottom;
        count++;
    }
};

TEST(Hands, HourHandAtThreePointsRight)
{
    useTestSettings();
    settings.showSeconds = 0;
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float u = faceUnit(side), Rh = 0.85f * faceRadius(side);
    // At noon both hands point up; what moves at 03:00 is the hour hand.
    drawClock(side, moment(12, 0, 0));
    std::vector<DWORD> noon = frameCopy(side);
    drawClock(side, moment(3, 0, 0));
    Box hour;
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++)
            if (framePixel(x, y) != noon[y * side + x] && handColored(framePixel(x, y)))
                hour.add(x, y);
    ASSERT_GT(hour.count, 100);
    EXPECT_GT(hour.left, cx);
    EXPECT_GE(hour.top, cy - int(7 * u) - 1); // half of its 14u width, nothing above
    EXPECT_LE(hour.bottom, cy + int(7 * u) + 1);
    EXPECT_NEAR(hour.right, cx + 0.6f * Rh + 7 * u, 1.5); // the round cap at the tip
}

TEST(Hands, SecondsDoNotMoveTheMinuteHand)
{
    useTestSettings();
    settings.showSeconds = 0;
    drawClock(256, moment(10, 10, 0));
    std::vector<DWORD> atZero = frameCopy(256);
    drawClock(256, moment(10, 10, 59));
    EXPECT_EQ(atZero, frameCopy(256));
    drawClock(256, moment(10, 11, 0));
    EXPECT_NE(atZero, frameCopy(256));
}

TEST(Hands, WithoutSecondsHubAndItsShadowRemain)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float Rh = 0.85f * faceRadius(side);
    // At 12:00:20 the second hand points down right (120 degrees).
    double a = 120 * 3.14 / 180;
    int sx = cx + int(0.7f * Rh * sin(a)), sy = cy - int(0.7f * Rh * cos(a));
    // Beyond the hub (radius 11u = 12.1), inside its shadow (radius 8u = 8.8
    // about the centre moved by 4, 4).
    int hx = cx + 9, hy = cy + 9;

    useTestSettings();
    settings.showSeconds = 1;
    drawClock(side, moment(12, 0, 20));
    EXPECT_TRUE(handColored(framePixel(sx, sy)));
    EXPECT_NE(facePixel(sx + 4, sy + 4), framePixel(sx + 4, sy + 4));

    settings.showSeconds = 0;
    drawClock(side, moment(12, 0, 20));
    for (int d = -3; d <= 7; d++) {
        EXPECT_EQ(facePixel(sx + d, sy + d), framePixel(sx + d, sy + d)) << d;
    }
    EXPECT_EQ(opaque(testRing1), framePixel(cx, cy));
    DWORD face = facePixel(hx, hy);
    ASSERT_EQ(opaque(testBackground), face);
    // White under black at alpha 0x30: 255 * (1 - 48/255) = 207.
    EXPECT_EQ(0xFFCFCFCFu, framePixel(hx, hy));
}

TEST(Hands, ShadowsAreMovedFourPixelsRightAndDown)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float u = faceUnit(side);
    useTestSettings();
    // At 12:00:15 the second hand points right; right of everything else
    // only it and its shadow are drawn.
    drawClock(side, moment(12, 0, 15));
    Box hand, all;
    for (int y = 0; y < side; y++)
        for (int x = cx + int(15 * u); x < side; x++) {
            if (framePixel(x, y) == facePixel(x, y))
                continue;
            all.add(x, y);
            if (handColored(framePixel(x, y)))
                hand.add(x, y);
        }
    ASSERT_GT(hand.count, 100);
    EXPECT_EQ(4, all.right - hand.right);
    EXPECT_EQ(4, all.bottom - hand.bottom);
    EXPECT_EQ(hand.top, all.top);
    EXPECT_NEAR(hand.bottom, cy + 2.5f * u, 1.5);
}

TEST(Hands, HubHasRing2OutsideRing1)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float u = faceUnit(side);
    useTestSettings();
    drawClock(side, moment(7, 40, 5));
    int between = int(10.5f * u); // between the radii 9u and 11u
    EXPECT_EQ(opaque(testRing1), framePixel(cx, cy));
    EXPECT_EQ(opaque(testRing1), framePixel(cx + int(8 * u), cy));
    EXPECT_EQ(opaque(testRing2), framePixel(cx + between, cy));
    EXPECT_EQ(opaque(testRing2), framePixel(cx - between, cy));
    EXPECT_EQ(opaque(testRing2), framePixel(cx, cy - between));
    EXPECT_EQ(opaque(testRing2), framePixel(cx, cy + between));
}

TEST(Hands, CounterweightAtHalfMinutePointsUp)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float Rh = 0.85f * faceRadius(side);
    useTestSettings();
    // At 06:30:30 the hour hand points between 6 and 7 and the minute and
    // second hands down; only the counterweight points to twelve.
    drawClock(side, moment(6, 30, 30));
    EXPECT_EQ(opaque(testText), framePixel(cx, cy - int(Rh / 3.5f)));
    EXPECT_EQ(opaque(testBackground), framePixel(cx, cy - int(Rh / 3 + 8)));
}
