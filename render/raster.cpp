// Anti-Grain Geometry over the DIB sections, and the polygons of the
// clock's shapes.
#include "render/raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/render.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

Raster raster;

// How far a polygon may stray inside a true circle, in pixels: well below
// what an 8-bit coverage can show.
double const roundness = 1.0 / 64;
double const pi = 3.14159265358979323846;
// How closely GDI+ flattens the curves of glyph outlines, in pixels.
REAL const glyphFlatness = 0.1f;

bool attachRaster(HDC dc, int width, int height)
{
    int side = 0;
    DWORD *bits = surfacePixels(dc, &side);
    if (!bits)
        return false;
    GdiFlush(); // GDI's pending drawing reaches the bits first
    raster.rows.attach(reinterpret_cast<agg::int8u *>(bits), width, height, side * 4);
    raster.renderer.reset_clipping(true);
    raster.rasterizer.clip_box(0, 0, width, height);
    return true;
}

void clipRaster(RECT const &clip)
{
    raster.renderer.clip_box(clip.left, clip.top, clip.right - 1, clip.bottom - 1);
}

agg::rgba8 premultiplied(ARGB color)
{
    agg::rgba8 c(color >> 16 & 0xFF, color >> 8 & 0xFF, color & 0xFF, color >> 24);
    c.premultiply();
    return c;
}

// The number of corners of a polygon that stays within roundness of a
// circle of the radius.
static int cornersFor(double radius)
{
    if (radius <= 2 * roundness)
        return 8;
    int corners = int(std::ceil(pi / std::acos(1 - roundness / radius)));
    return corners < 8 ? 8 : corners;
}

// Points of the arc about (x, y) from angle `from` to angle `to`, both
// ends included; angles grow from +x towards +y.
static void addArc(double x, double y, double radius, double from, double to, bool first)
{
    int steps = int(std::ceil(cornersFor(radius) * std::fabs(to - from) / (2 * pi)));
    steps = steps < 1 ? 1 : steps;
    for (int i = 0; i <= steps; i++) {
        double a = from + (to - from) * i / steps;
        double px = x + radius * std::cos(a), py = y + radius * std::sin(a);
        if (first && i == 0)
            raster.shape.move_to(px, py);
        else
            raster.shape.line_to(px, py);
    }
}

void addDisc(float x, float y, float radius)
{
    int corners = cornersFor(radius);
    for (int i = 0; i < corners; i++) {
        double a = -2 * pi * i / corners;
        double px = x + radius * std::cos(a), py = y + radius * std::sin(a);
        if (i == 0)
            raster.shape.move_to(px, py);
        else
            raster.shape.line_to(px, py);
    }
    raster.shape.close_polygon();
}

// The end of a spoke at (x, y): from the side (x, y) + side round to
// (x, y) - side, bulging along the direction ahead.
static void addCap(double x, double y, double sideX, double sideY, double aheadX, double aheadY, Cap cap)
{
    double half = std::hypot(sideX, sideY);
    if (cap == roundCap) {
        int steps = (cornersFor(half) + 1) / 2;
        for (int i = 1; i < steps; i++) {
            double a = pi * i / steps;
            raster.shape.line_to(x + std::cos(a) * sideX + std::sin(a) * aheadX * half,
                                 y + std::cos(a) * sideY + std::sin(a) * aheadY * half);
        }
    } else if (cap == triangleCap) {
        raster.shape.line_to(x + aheadX * half, y + aheadY * half);
    }
}

void addSpoke(float x0, float y0, float x1, float y1, float width, Cap startCap, Cap endCap)
{
    double length = std::hypot(double(x1) - x0, double(y1) - y0);
    if (length <= 0)
        return;
    double dx = (x1 - x0) / length, dy = (y1 - y0) / length;
    double half = width / 2.0;
    double nx = -dy * half, ny = dx * half; // towards one side
    raster.shape.move_to(x0 + nx, y0 + ny);
    raster.shape.line_to(x1 + nx, y1 + ny);
    addCap(x1, y1, nx, ny, dx, dy, endCap);
    raster.shape.line_to(x1 - nx, y1 - ny);
    raster.shape.line_to(x0 - nx, y0 - ny);
    addCap(x0, y0, -nx, -ny, -dx, -dy, startCap);
    raster.shape.close_polygon();
}

void addRoundRect(float x, float y, float c, float d)
{
    double left = x - c + d, top = y - c + d, right = x + c - d, bottom = y + c - d;
    addArc(right, top, d, 0, -pi / 2, true);
    addArc(left, top, d, -pi / 2, -pi, false);
    addArc(left, bottom, d, -pi, -3 * pi / 2, false);
    addArc(right, bottom, d, -3 * pi / 2, -2 * pi, false);
    raster.shape.close_polygon();
}

// The points of a GDI+ path after flattening, and where its figures end.
struct Figures {
    std::vector<GpPointF> points;
    std::vector<BYTE> types;
};

static bool readFigures(GpPath *path, Figures &figures)
{
    INT count = 0;
    if (GdipFlattenPath(path, nullptr, glyphFlatness) != Ok || GdipGetPointCount(path, &count) != Ok ||
        count <= 0)
        return false;
    figures.points.resize(count);
    figures.types.resize(count);
    return GdipGetPathPoints(path, figures.points.data(), count) == Ok &&
           GdipGetPathTypes(path, figures.types.data(), count) == Ok;
}

// Whether point i starts a figure.
static bool starts(Figures const &figures, size_t i)
{
    return (figures.types[i] & PathPointTypePathTypeMask) == PathPointTypeStart;
}

void addPathFigures(GpPath *path)
{
    Figures figures;
    if (!readFigures(path, figures))
        return;
    for (size_t i = 0; i < figures.points.size(); i++) {
        GpPointF const &p = figures.points[i];
        if (starts(figures, i))
            raster.shape.move_to(p.X, p.Y);
        else
            raster.shape.line_to(p.X, p.Y);
        if (figures.types[i] & PathPointTypeCloseSubpath)
            raster.shape.close_polygon();
    }
}

void addPathOutline(GpPath *path, float width)
{
    Figures figures;
    if (!readFigures(path, figures))
        return;
    size_t count = figures.points.size();
    size_t first = 0;
    for (size_t i = 0; i < count; i++) {
        if (starts(figures, i))
            first = i;
        GpPointF const &p = figures.points[i];
        addDisc(p.X, p.Y, width / 2);
        bool last = i + 1 == count || starts(figures, i + 1);
        if (!last)
            addSpoke(p.X, p.Y, figures.points[i + 1].X, figures.points[i + 1].Y, width, flatCap, flatCap);
        else if (figures.types[i] & PathPointTypeCloseSubpath)
            addSpoke(p.X, p.Y, figures.points[first].X, figures.points[first].Y, width, flatCap, flatCap);
    }
}

// The sides of the clip, grown by a pixel, beyond which a point lies: left,
// top, right and bottom as bits.
static int sidesBeyond(agg::point_d const &point, RECT const &clip)
{
    return (point.x < clip.left - 1) | (point.y < clip.top - 1) << 1 | (point.x > clip.right + 1) << 2 |
           (point.y > clip.bottom + 1) << 3;
}

// A run of edges wholly beyond one side of the clip is replaced by the line
// from its first point to its last, which stays beyond that side. Above,
// below or right of the clip neither changes a pixel inside it; left of it,
// both add the same cover to each row, which is all that reaches the clip.
void fillPolygonInside(agg::point_d const *points, int count, RECT const &clip, agg::rgba8 color)
{
    if (count < 3)
        return;
    raster.shape.move_to(points[0].x, points[0].y);
    int last = 0; // the last point added
    int run = sidesBeyond(points[0], clip), end = 0;
    for (int i = 1; i < count; i++) {
        int sides = sidesBeyond(points[i], clip);
        if (run & sides) {
            run &= sides;
            end = i;
            continue;
        }
        if (end != last)
            raster.shape.line_to(points[end].x, points[end].y);
        last = end;
        run = sidesBeyond(points[end], clip) & sides;
        if (!run) {
            raster.shape.line_to(points[i].x, points[i].y);
            last = i;
            run = sides;
        }
        end = i;
    }
    if (end != last)
        raster.shape.line_to(points[end].x, points[end].y);
    raster.shape.close_polygon();

    raster.rasterizer.reset();
    raster.rasterizer.filling_rule(agg::fill_non_zero);
    raster.rasterizer.add_path(raster.shape);
    raster.shape.remove_all();
    if (!raster.rasterizer.rewind_scanlines() ||
        !raster.rasterizer.navigate_scanline(std::max(int(clip.top), raster.rasterizer.min_y())))
        return;
    raster.scanline.reset(raster.rasterizer.min_x(), raster.rasterizer.max_x());
    while (raster.rasterizer.sweep_scanline(raster.scanline) && raster.scanline.y() < clip.bottom)
        agg::render_scanline_aa_solid(raster.scanline, raster.renderer, color);
}

void fillShape(agg::rgba8 color, agg::filling_rule_e rule)
{
    raster.rasterizer.reset();
    raster.rasterizer.filling_rule(rule);
    raster.rasterizer.add_path(raster.shape);
    agg::render_scanlines_aa_solid(raster.rasterizer, raster.scanline, raster.renderer, color);
    raster.shape.remove_all();
}
