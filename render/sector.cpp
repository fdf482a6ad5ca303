// The timer's sector: the time left as a translucent wedge of the dial,
// under the hands. Only the part that the shrinking wedge changes is
// copied and drawn again at a tick.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "render/drawing.h"
#include "render/raster.h"
#include "render/render.h"

float const quarterTurn = 90 * float(k);
// The arc's corners lie on whole degrees, whatever the sector's edges, so
// that a sector that shrinks keeps its arc's pixels (within 1/64 pixel of
// a true circle up to a radius of 400 pixels).
double const arcStep = 3.14159265358979323846 / 180;

// The wedge of the dial that the sector covers: the minute hand's reach.
static float sectorRadius(ClockDrawing const &drawing)
{
    return 0.85f * drawing.R;
}

void timerSector(SYSTEMTIME const &now, LONGLONG secondsLeft, float &start, float &sweep)
{
    float const kf = float(k);
    float minutes = now.wMinute + now.wSecond / 60.0f;
    if (secondsLeft <= 0) {
        start = sweep = 0;
    } else if (secondsLeft <= 60 * 60) {
        start = 6 * minutes * kf;
        sweep = secondsLeft * 0.1f * kf; // 6 degrees a minute
    } else {
        int hour = now.wHour % 12;
        start = (hour + minutes / 60) * 30 * kf;
        sweep = secondsLeft / 120.0f * kf; // 30 degrees an hour
    }
}

// The pixels of the wedge about the centre between the two angles, one
// pixel of anti-aliasing included.
static RECT wedgeBounds(float cx, float cy, float radius, float from, float to)
{
    float left = cx, right = cx, top = cy, bottom = cy;
    auto take = [&](float angle) {
        float x = cx + radius * std::sin(angle), y = cy - radius * std::cos(angle);
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    };
    take(from);
    take(to);
    for (float quarter = std::ceil(from / quarterTurn) * quarterTurn; quarter < to; quarter += quarterTurn)
        take(quarter);
    return {LONG(std::floor(left - 1)), LONG(std::floor(top - 1)), LONG(std::ceil(right + 1)),
            LONG(std::ceil(bottom + 1))};
}

struct PlacedSector {
    bool shown;
    float cx, cy, radius, start, sweep;
    Gdiplus::ARGB color;
};

// The wedge between the angles, out to the arc's corners on either side.
static void addWedge(RECT &area, PlacedSector const &sector, float a, float b)
{
    if (a == b)
        return;
    float from = float(std::floor(std::min(a, b) / arcStep) * arcStep);
    float to = float(std::ceil(std::max(a, b) / arcStep) * arcStep);
    RECT wedge = wedgeBounds(sector.cx, sector.cy, sector.radius, from, to);
    UnionRect(&area, &area, &wedge);
}

RECT placeSector(ClockFace &face, ClockDrawing const &drawing, bool whole)
{
    PlacedSector now = {drawing.sector && drawing.sectorSweep > 0,
                        float(drawing.cx),
                        float(drawing.cy),
                        sectorRadius(drawing),
                        drawing.sectorStart,
                        drawing.sectorSweep,
                        drawing.sectorColor};
    RECT all = {0, 0, drawing.width, drawing.height};
    RECT change = {0, 0, 0, 0};
    // The face's sector last placed, which its frame shows once drawn.
    if (!face.sector)
        face.sector = new PlacedSector{};
    PlacedSector &placed = *face.sector;
    bool same = now.shown == placed.shown && now.cx == placed.cx && now.cy == placed.cy &&
                now.radius == placed.radius && now.color == placed.color;
    if (whole) {
        change = all;
    } else if (same && now.shown) {
        // Only what lies between the old and the new edges changes.
        addWedge(change, now, placed.start, now.start);
        addWedge(change, now, placed.start + placed.sweep, now.start + now.sweep);
    } else if (!same) {
        if (placed.shown)
            addWedge(change, placed, placed.start, placed.start + placed.sweep);
        if (now.shown)
            addWedge(change, now, now.start, now.start + now.sweep);
    }
    IntersectRect(&change, &change, &all);
    placed = now;
    return change;
}

void forgetSector(ClockFace &face)
{
    delete face.sector;
    face.sector = nullptr;
}

void drawSector(ClockFace const &face, ClockDrawing const &drawing, RECT const &clip)
{
    if (!face.sector || !face.sector->shown || !attachRaster(face.frameDC, drawing.width, drawing.height))
        return;
    PlacedSector const &placed = *face.sector;
    clipRaster(clip);
    // The centre, the edges' ends and the arc's corners on whole degrees
    // between them.
    agg::point_d points[364];
    int count = 0;
    auto corner = [&placed, &points, &count](double angle) {
        points[count++] = {placed.cx + placed.radius * std::sin(angle),
                           placed.cy - placed.radius * std::cos(angle)};
    };
    double end = double(placed.start) + placed.sweep;
    points[count++] = {placed.cx, placed.cy};
    corner(placed.start);
    for (double step = std::floor(placed.start / arcStep) + 1; step * arcStep < end && count < 363; ++step)
        corner(step * arcStep);
    corner(end);
    fillPolygonInside(points, count, clip, premultiplied(placed.color));
}
