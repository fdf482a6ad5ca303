#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "canvas.h"
#include "render/render.h"
#include "settings/settings.h"

// Pixels whose centre a hand covers: the hands (black) and their stripes
// (red) have no green, the dial under them is white, and a shadow alone
// takes off at most 48 of its green. A pixel at least half covered keeps
// at most half of it.
static bool handColored(DWORD pixel)
{
    return (pixel >> 8 & 0xFF) <= 127;
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
    // The round cap at the tip: the last pixel whose centre it covers.
    EXPECT_NEAR(hour.right + 0.5f, cx + 0.6f * Rh + 7 * u, 1);
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

// The hands alone: drawn whole over a transparent face, so that the
// frame's alpha is theirs.
static void drawHandsAlone(int side, SYSTEMTIME const &now)
{
    drawClock(side, now);
    std::fill(surfacePixels(mainFace.faceDC),
              surfacePixels(mainFace.faceDC) + mainFace.surfaceSide * mainFace.surfaceSide, 0);
    mainFace.frameDirty = 1;
    drawClock(side, now, false);
}

static float alphaOf(int x, int y)
{
    return (framePixel(x, y) >> 24) / 255.0f;
}

TEST(Hands, ShadowsAreMovedFourPixelsRightAndDown)
{
    int const side = 384;
    int cx = side / 2, cy = side / 2;
    float u = faceUnit(side), Rh = 0.85f * faceRadius(side);
    float const shadow = 48 / 255.0f;
    useTestSettings();
    // At 12:00:15 the second hand points right; right of everything else
    // only it and its shadow are drawn. Its 5u-wide band, centred on the
    // row cy, covers the rows from cy - 2.75 to cy + 2.75; the shadow's, the
    // rows from cy + 1.25 to cy + 6.75.
    drawHandsAlone(side, moment(12, 0, 15));
    int from = cx + int(0.6f * Rh);
    // How far the hand reaches to the right in the row above cy, and the
    // shadow in the row 4 lower, where the hand is gone.
    float handEnd = float(from), shadowEnd = float(from + 4);
    for (int x = from; x < side; x++) {
        handEnd += alphaOf(x, cy - 1);
        if (x + 4 < side)
            shadowEnd += alphaOf(x + 4, cy + 3) / shadow;
    }
    EXPECT_NEAR(cx + 0.9f * Rh + 2.5f * u, handEnd, 0.5f); // the round cap
    EXPECT_NEAR(handEnd + 4, shadowEnd, 0.1f);
    // The hand's top edge and the shadow's bottom edge in one column.
    float handTop = float(cy), shadowBottom = float(cy + 3);
    for (int y = 0; y < cy; y++)
        handTop -= alphaOf(from, y);
    for (int y = cy + 3; y < side; y++)
        shadowBottom += alphaOf(from, y) / shadow;
    EXPECT_NEAR(cy - 2.5f * u, handTop, 0.1f);
    EXPECT_NEAR(cy + 2.5f * u + 4, shadowBottom, 0.1f);
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

// The hands as specified, for an oracle that knows nothing of polygons: a
// spoke is the points within half its width of the segment from its inner
// point (a flat end) to its outer point, or of the outer point (the round
// cap); a disc the points within its radius.
struct Shape {
    bool disc;
    float outerX, outerY, innerX, innerY;
    float half; // half the width of a spoke; the radius of a disc
    float alpha;
};

static bool insideShape(Shape const &s, float x, float y)
{
    float ox = x - s.outerX, oy = y - s.outerY;
    if (ox * ox + oy * oy <= s.half * s.half)
        return true;
    if (s.disc)
        return false;
    float dx = s.outerX - s.innerX, dy = s.outerY - s.innerY;
    float length = std::sqrt(dx * dx + dy * dy);
    float along = ((x - s.innerX) * dx + (y - s.innerY) * dy) / length;
    float across = std::fabs((x - s.innerX) * dy - (y - s.innerY) * dx) / length;
    return along >= 0 && along <= length && across <= s.half;
}

// The share of the pixel (x, y) that the shape covers, from 16 x 16 samples.
static float coverage(Shape const &s, int x, int y)
{
    int inside = 0;
    for (int j = 0; j < 16; j++)
        for (int i = 0; i < 16; i++)
            inside += insideShape(s, x + (i + 0.5f) / 16, y + (j + 0.5f) / 16);
    return inside / 256.0f;
}

static std::vector<Shape> specifiedHands(int side, SYSTEMTIME const &now)
{
    float cx = float(side / 2), cy = float(side / 2);
    float u = faceUnit(side), Rh = 0.85f * faceRadius(side);
    float kf = float(3.14 / 180);
    float hour = float(now.wHour > 12 ? now.wHour - 12 : now.wHour);
    float hourAngle = (hour + now.wMinute / 60.0f) * 360 / 12 * kf;
    float minuteAngle = 6 * now.wMinute * kf;
    float secondAngle = 6 * now.wSecond * kf;
    float counterAngle = secondAngle + 3.14f >= 6.28f ? secondAngle + 3.14f - 6.28f : secondAngle + 3.14f;
    float const shadow = 48 / 255.0f;
    auto spoke = [&](float angle, float outer, float inner, float width, float alpha, float offset) {
        float x = cx + offset, y = cy + offset;
        return Shape{false,
                     x + outer * std::sin(angle),
                     y - outer * std::cos(angle),
                     x + inner * std::sin(angle),
                     y - inner * std::cos(angle),
                     width / 2,
                     alpha};
    };
    auto disc = [&](float radius, float alpha, float offset) {
        return Shape{true, cx + offset, cy + offset, cx + offset, cy + offset, radius, alpha};
    };
    return {spoke(minuteAngle, 0.85f * Rh, 0, 14 * u, shadow, 4),
            spoke(hourAngle, 0.6f * Rh, 0, 11 * u, shadow, 4),
            spoke(secondAngle, 0.9f * Rh, 0, 5 * u, shadow, 4),
            spoke(counterAngle, Rh / 3.5f, 0, 8 * u, shadow, 4),
            disc(8 * u, shadow, 4),
            spoke(hourAngle, 0.6f * Rh, 0, 14 * u, 1, 0),
            spoke(hourAngle, 0.6f * Rh, 0.45f * Rh, 11 * u, 1, 0),
            spoke(minuteAngle, 0.85f * Rh, 0, 11 * u, 1, 0),
            spoke(minuteAngle, 0.85f * Rh, 0.45f * Rh, 8 * u, 1, 0),
            spoke(secondAngle, 0.9f * Rh, 0, 5 * u, 1, 0),
            spoke(counterAngle, Rh / 3, 0, 8 * u, 1, 0),
            spoke(secondAngle, 0.9f * Rh, 0.45f * Rh, 3 * u, 1, 0),
            disc(11 * u, 1, 0),
            disc(9 * u, 1, 0)};
}

// Over a transparent face, the frame's alpha is the hands' own: each
// shape's coverage times its alpha, laid over the shapes before it.
TEST(Hands, CoverageMatchesTheSpecifiedShapes)
{
    useTestSettings();
    for (int side : {144, 256, 384})
        for (SYSTEMTIME now : {moment(10, 10, 30), moment(4, 40, 50), moment(7, 22, 15)}) {
            drawHandsAlone(side, now);

            std::vector<float> expected(side * side, 0);
            for (Shape const &shape : specifiedHands(side, now)) {
                float reach = shape.half;
                int left = int(std::floor(std::min(shape.outerX, shape.innerX) - reach - 1));
                int right = int(std::ceil(std::max(shape.outerX, shape.innerX) + reach + 1));
                int top = int(std::floor(std::min(shape.outerY, shape.innerY) - reach - 1));
                int bottom = int(std::ceil(std::max(shape.outerY, shape.innerY) + reach + 1));
                for (int y = std::max(top, 0); y < std::min(bottom, side); y++)
                    for (int x = std::max(left, 0); x < std::min(right, side); x++) {
                        float &a = expected[y * side + x];
                        a += shape.alpha * coverage(shape, x, y) * (1 - a);
                    }
            }
            double errors = 0;
            int counted = 0, worst = 0, worstX = 0, worstY = 0;
            for (int y = 0; y < side; y++)
                for (int x = 0; x < side; x++) {
                    int alpha = framePixel(x, y) >> 24;
                    int oracle = int(std::lround(expected[y * side + x] * 255));
                    if (alpha == 0 && oracle == 0)
                        continue;
                    int error = std::abs(alpha - oracle);
                    errors += error;
                    counted++;
                    if (error > worst) {
                        worst = error;
                        worstX = x;
                        worstY = y;
                    }
                }
            ASSERT_GT(counted, side * 4) << side;
            EXPECT_LE(errors / counted, 2.0) << side << " at " << now.wHour << ":" << now.wMinute;
            EXPECT_LE(worst, 24) << side << " at " << now.wHour << ":" << now.wMinute << ", pixel " << worstX
                                 << "," << worstY;
        }
}
