// Anti-Grain Geometry over the clock's 32-bit DIB sections: one rasteriser
// whose cell, scanline and path storage live from call to call, the shape
// being built, and the polygons of the clock's shapes (discs, spokes with
// their caps, rounded squares, outlines). Every shape is built with the
// same orientation, so that pieces filled together with the non-zero rule
// make their union.
#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <agg_basics.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_p.h>
#include <agg_span_allocator.h>

// The DIB's bytes are blue, green, red, alpha, with premultiplied colours.
typedef agg::pixfmt_bgra32_pre PixelFormat;
typedef agg::renderer_base<PixelFormat> Renderer;

struct Raster {
    agg::rendering_buffer rows;
    PixelFormat pixels{rows};
    Renderer renderer{pixels};
    agg::rasterizer_scanline_aa<> rasterizer;
    agg::scanline_p8 scanline;
    agg::span_allocator<agg::rgba8> spans;
    agg::path_storage shape; // built by the add functions, emptied by each fill
};
extern Raster raster;

// Puts the raster over the top-left width x height of the DIB section
// selected into dc, drawing allowed everywhere in it; false when dc holds
// no DIB section.
bool attachRaster(HDC dc, int width, int height);
// Limits drawing to the rectangle; shapes are still rasterised whole, so
// that the pixels inside it are those of an unclipped drawing.
void clipRaster(RECT const &clip);

// An ARGB colour in the premultiplied form that the raster blends.
agg::rgba8 premultiplied(Gdiplus::ARGB color);

enum Cap { flatCap, roundCap, triangleCap };

void addDisc(float x, float y, float radius);
// A line of the given width from (x0, y0) to (x1, y1): a round cap is a
// half disc of the line's width, a triangle cap a point half the width
// beyond the end, a flat cap ends at the point.
void addSpoke(float x0, float y0, float x1, float y1, float width, Cap startCap, Cap endCap);
// The square of centre (x, y) and half side c with corners of radius d.
void addRoundRect(float x, float y, float c, float d);
// The flattened figures of a GDI+ path, as they are.
void addPathFigures(Gdiplus::GpPath *path);
// An outline of the given width along the flattened figures of a GDI+ path,
// with round joins.
void addPathOutline(Gdiplus::GpPath *path, float width);

void fillShape(agg::rgba8 color, agg::filling_rule_e rule = agg::fill_non_zero);

// Adds the closed polygon of the points, less what cannot reach the
// pixels of the clip, and fills it, sweeping only the clip's rows: the
// pixels inside the clip are exactly those of the whole polygon filled.
// For a large polygon of which a tick redraws a small part.
void fillPolygonInside(agg::point_d const *points, int count, RECT const &clip, agg::rgba8 color);

// Fills the shape with the colours of a span generator.
template <class Spans> void fillShapeWith(Spans &spans)
{
    raster.rasterizer.reset();
    raster.rasterizer.filling_rule(agg::fill_non_zero);
    raster.rasterizer.add_path(raster.shape);
    agg::render_scanlines_aa(raster.rasterizer, raster.scanline, raster.renderer, raster.spans, spans);
    raster.shape.remove_all();
}
