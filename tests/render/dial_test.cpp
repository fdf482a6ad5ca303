// The dial's marks: the timer's sector and the alarm hand.
#include <windows.h>

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "canvas.h"
#include "render/render.h"
#include "settings/settings.h"

namespace {

COLORREF const timerColor = RGB(230, 30, 30);
int const side = 384;
double const radiansPerDegree = 3.14 / 180; // the hands' own factor

// The frame's pixel at a clock angle (degrees clockwise from twelve) and a
// share of the face radius.
DWORD pixelAt(double degrees, double share)
{
    double a = degrees * 3.14159265358979 / 180, r = share * faceRadius(side);
    return framePixel(int(side / 2 + r * std::sin(a)), int(side / 2 - r * std::cos(a)));
}

// White dial under the translucent red: red stays high, green drops.
bool tinted(DWORD pixel)
{
    return (pixel >> 16 & 0xFF) >= 230 && (pixel >> 8 & 0xFF) < 200;
}

void showTimer(SYSTEMTIME const &now, LONGLONG secondsLeft)
{
    timerSector(now, secondsLeft, mainFace.marks.sectorStart, mainFace.marks.sectorSweep);
    mainFace.marks.sector = true;
}

struct SectorRow {
    int minutesLeft;
    double inside[2];  // angles the sector covers at half the radius
    double outside[2]; // angles it leaves
};

// At 10:00:00 the minute hand points up and the hour hand at 300 degrees:
// up to an hour the sector runs from twelve over 6 degrees a minute; two
// hours run over the hour scale from ten to twelve.
SectorRow const sectorRows[] = {
    {25, {10, 140}, {160, 345}},
    {3, {9, 15}, {25, 90}},
    {120, {320, 350}, {30, 270}},
};

class Sector : public testing::TestWithParam<SectorRow> {};

} // namespace

TEST_P(Sector, CoversTheTimeLeft)
{
    SectorRow const &row = GetParam();
    useTestSettings();
    settings.colorTimer = timerColor;
    showTimer(moment(10, 0, 0), row.minutesLeft * 60);
    drawClock(side, moment(10, 0, 0));
    for (double angle : row.inside)
        EXPECT_TRUE(tinted(pixelAt(angle, 0.5))) << angle << std::hex << " " << pixelAt(angle, 0.5);
    for (double angle : row.outside)
        EXPECT_EQ(opaque(testBackground), pixelAt(angle, 0.5)) << angle;
    mainFace.marks = {};
}

INSTANTIATE_TEST_SUITE_P(Moments, Sector, testing::ValuesIn(sectorRows));

// An ended timer leaves the dial as it is without one; a sector shrinking
// second by second, drawn in parts, ends as a whole drawing of it.
TEST(Sector, EndedLeavesNothingAndPartsMakeTheWhole)
{
    useTestSettings();
    settings.colorTimer = timerColor;
    drawClock(side, moment(10, 0, 0));
    std::vector<DWORD> plain = frameCopy(side);
    showTimer(moment(10, 0, 0), 0);
    drawClock(side, moment(10, 0, 0));
    EXPECT_EQ(plain, frameCopy(side));

    for (int second = 0; second < 5; second++) {
        showTimer(moment(10, 0, second), 25 * 60 - second);
        drawClock(side, moment(10, 0, second), false);
    }
    std::vector<DWORD> parts = frameCopy(side);
    mainFace.frameDirty = 1;
    drawClock(side, moment(10, 0, 4), false);
    EXPECT_EQ(frameCopy(side), parts);
    mainFace.marks = {};
}

struct AlarmHandRow {
    int nowDay, nowHour, nowMinute;
    int dueDay, dueHour, dueMinute;
    double degrees; // on the hour scale; negative: no hand
};

AlarmHandRow const alarmHandRows[] = {
    {7, 6, 0, 7, 7, 30, 225}, {7, 20, 0, 8, 6, 15, 187.5}, {7, 12, 0, 8, 0, 0, 0},
    {7, 12, 0, 8, 0, 1, -1},  {7, 23, 50, 8, 15, 0, -1},   {7, 13, 5, 7, 13, 6, 33},
};

TEST(AlarmHand, PointsAtTheAlarmOnTheHourScaleWithinTwelveHours)
{
    for (AlarmHandRow const &row : alarmHandRows) {
        float angle = -1;
        bool shown = alarmHandAngle(moment(row.nowHour, row.nowMinute, 0, row.nowDay),
                                    moment(row.dueHour, row.dueMinute, 0, row.dueDay), angle);
        EXPECT_EQ(row.degrees >= 0, shown) << row.dueDay << " " << row.dueHour << ":" << row.dueMinute;
        if (shown && row.degrees >= 0) {
            EXPECT_NEAR(row.degrees * radiansPerDegree, angle, 1e-4) << row.dueHour << ":" << row.dueMinute;
        }
    }
}

// The hand is drawn in its own colour, beneath the hour hand.
TEST(AlarmHand, LiesUnderTheOtherHands)
{
    useTestSettings();
    settings.showSeconds = 0;
    settings.colorAlarmHand = RGB(240, 150, 0);
    mainFace.marks.alarmHand = true;
    mainFace.marks.alarmAngle = float(90 * radiansPerDegree);
    drawClock(side, moment(12, 0, 0));
    EXPECT_EQ(opaque(RGB(240, 150, 0)), pixelAt(90, 0.4));
    drawClock(side, moment(3, 0, 0));
    EXPECT_EQ(opaque(testText), pixelAt(90, 0.3));
    mainFace.marks = {};
}

TEST(Opacity, ConstantAlphaIsTheShareOf255)
{
    EXPECT_EQ(255, constantAlpha(100));
    EXPECT_EQ(128, constantAlpha(50));
    EXPECT_EQ(51, constantAlpha(20));
    EXPECT_EQ(255, constantAlpha(19));
    EXPECT_EQ(255, constantAlpha(0));
    EXPECT_EQ(255, constantAlpha(101));
}
