// The hands pass: shadows, hands with their light stripes and the hub,
// drawn over the copy of the face in the frame. Only the part of the frame
// that the moving hands change is copied and drawn again at a tick.
#include <windows.h>
#include <gdiplus.h>

#include <cmath>

#include "render/drawing.h"
#include "render/raster.h"
#include "render/render.h"
#include "settings/settings.h"

using namespace Gdiplus;

BYTE const shadowAlpha = 0x30;
float const shadowOffset = 4; // standard pixels right and down, whatever the size

enum Group { hourGroup, minuteGroup, secondGroup, alarmGroup, hubGroup };

// One shape of the hands: a spoke from its outer point (round cap) to its
// inner point (flat end), or a disc about (x0, y0).
struct Piece {
    Group group;
    bool disc;
    float x0, y0, x1, y1;
    float width; // of a spoke; the radius of a disc
    agg::rgba8 color;
};

struct Hands {
    float angles[4]; // hour, minute, second and alarm, in radians
    bool seconds;
    bool alarm;
    int count;
    Piece pieces[16];
};

struct Direction {
    float sine, cosine;
};

static Direction direction(float angle)
{
    return {std::sin(angle), std::cos(angle)};
}

static void addPiece(Hands &hands, Piece const &piece)
{
    hands.pieces[hands.count++] = piece;
}

// A spoke along a, from outer to inner (0 is the centre).
static void addSpokePiece(Hands &hands, ClockDrawing const &drawing, Group group, Direction a, float outer,
                          float inner, float width, ARGB color, float offset = 0)
{
    float x = drawing.cx + offset, y = drawing.cy + offset;
    addPiece(hands, {group, false, x + outer * a.sine, y - outer * a.cosine, x + inner * a.sine,
                     y - inner * a.cosine, width, premultiplied(color)});
}

static void addDiscPiece(Hands &hands, ClockDrawing const &drawing, float radius, ARGB color,
                         float offset = 0)
{
    float x = drawing.cx + offset, y = drawing.cy + offset;
    addPiece(hands, {hubGroup, true, x, y, x, y, radius, premultiplied(color)});
}

// The hands of the drawing's moment in their drawing order: all shadows
// under all hands, the stripes on their hands, the second hand over the
// others and the hub over everything. The minute and hour shadows have
// each other's widths.
static void layOut(ClockDrawing const &drawing, Hands &hands)
{
    SYSTEMTIME const &now = drawing.now;
    float const kf = float(k);
    float u = drawing.u;
    float Rh = 0.85f * drawing.R;
    float hour = float(now.wHour > 12 ? now.wHour - 12 : now.wHour);
    hands.angles[hourGroup] = (hour + now.wMinute / 60.0f) * 360 / 12 * kf;
    hands.angles[minuteGroup] = 6 * now.wMinute * kf;
    hands.angles[secondGroup] = 6 * now.wSecond * kf;
    float counterAngle = hands.angles[secondGroup] + 3.14f;
    if (counterAngle >= 6.28f)
        counterAngle -= 6.28f;
    Direction hourHand = direction(hands.angles[hourGroup]);
    Direction minuteHand = direction(hands.angles[minuteGroup]);
    Direction secondHand = direction(hands.angles[secondGroup]);
    Direction counterweight = direction(counterAngle);
    hands.seconds = settings.showSeconds != 0;
    hands.alarm = drawing.alarmHand;
    hands.angles[alarmGroup] = drawing.alarmAngle;
    hands.count = 0;

    // The alarm hand lies under all the others and their shadows.
    if (hands.alarm)
        addSpokePiece(hands, drawing, alarmGroup, direction(drawing.alarmAngle), 0.75f * Rh, 0, 4 * u,
                      drawing.alarmColor);

    ARGB shadow = withAlpha(drawing.text, shadowAlpha);
    float const o = shadowOffset * drawing.px;
    addSpokePiece(hands, drawing, minuteGroup, minuteHand, 0.85f * Rh, 0, 14 * u, shadow, o);
    addSpokePiece(hands, drawing, hourGroup, hourHand, 0.6f * Rh, 0, 11 * u, shadow, o);
    if (hands.seconds) {
        addSpokePiece(hands, drawing, secondGroup, secondHand, 0.9f * Rh, 0, 5 * u, shadow, o);
        addSpokePiece(hands, drawing, secondGroup, counterweight, Rh / 3.5f, 0, 8 * u, shadow, o);
    }
    addDiscPiece(hands, drawing, 8 * u, shadow, o);

    // In high contrast the markers colour is the background's: stripes in
    // it would hollow the hands out to edges a pixel wide, so they take the
    // text colour and the hands stay solid.
    ARGB stripe = highContrast ? drawing.text : drawing.markers;
    addSpokePiece(hands, drawing, hourGroup, hourHand, 0.6f * Rh, 0, 14 * u, drawing.text);
    addSpokePiece(hands, drawing, hourGroup, hourHand, 0.6f * Rh, 0.45f * Rh, 11 * u, stripe);
    addSpokePiece(hands, drawing, minuteGroup, minuteHand, 0.85f * Rh, 0, 11 * u, drawing.text);
    addSpokePiece(hands, drawing, minuteGroup, minuteHand, 0.85f * Rh, 0.45f * Rh, 8 * u, stripe);
    if (hands.seconds) {
        addSpokePiece(hands, drawing, secondGroup, secondHand, 0.9f * Rh, 0, 5 * u, drawing.text);
        addSpokePiece(hands, drawing, secondGroup, counterweight, Rh / 3, 0, 8 * u, drawing.text);
        addSpokePiece(hands, drawing, secondGroup, secondHand, 0.9f * Rh, 0.45f * Rh, 3 * u, stripe);
    }
    addDiscPiece(hands, drawing, 11 * u, drawing.ring2);
    addDiscPiece(hands, drawing, 9 * u, drawing.ring1);
}

int const alarmHandReach = 12 * 60; // minutes

bool alarmHandAngle(SYSTEMTIME const &now, SYSTEMTIME const &due, float &angle)
{
    LONGLONG ahead = localMinute(due) - localMinute(now);
    if (!localMinute(now) || ahead <= 0 || ahead > alarmHandReach)
        return false;
    angle = ((due.wHour % 12) + due.wMinute / 60.0f) * 30 * float(k);
    return true;
}

// The pixels a piece may touch: its caps and one pixel of anti-aliasing
// included.
static RECT bounds(Piece const &piece)
{
    float reach = (piece.disc ? piece.width : piece.width / 2) + 1;
    float left = piece.x0 < piece.x1 ? piece.x0 : piece.x1;
    float right = piece.x0 < piece.x1 ? piece.x1 : piece.x0;
    float top = piece.y0 < piece.y1 ? piece.y0 : piece.y1;
    float bottom = piece.y0 < piece.y1 ? piece.y1 : piece.y0;
    return {LONG(std::floor(left - reach)), LONG(std::floor(top - reach)), LONG(std::ceil(right + reach)),
            LONG(std::ceil(bottom + reach))};
}

static void addBounds(RECT &area, Hands const &hands, Group group)
{
    for (int i = 0; i < hands.count; i++)
        if (hands.pieces[i].group == group) {
            RECT piece = bounds(hands.pieces[i]);
            UnionRect(&area, &area, &piece);
        }
}

RECT placeHands(ClockFace &face, ClockDrawing const &drawing, bool whole)
{
    Hands now;
    layOut(drawing, now);
    RECT all = {0, 0, drawing.width, drawing.height};
    RECT change = {0, 0, 0, 0};
    // The face's hands last placed, which its frame shows once drawn.
    bool anyPlaced = face.hands != nullptr;
    if (!anyPlaced)
        face.hands = new Hands;
    Hands &placed = *face.hands;
    if (whole || !anyPlaced) {
        change = all;
    } else {
        for (Group group : {hourGroup, minuteGroup, secondGroup, alarmGroup}) {
            bool shown = group == secondGroup ? now.seconds : group == alarmGroup ? now.alarm : true;
            bool wasShown = group == secondGroup ? placed.seconds : group == alarmGroup ? placed.alarm : true;
            if (shown == wasShown && (!shown || now.angles[group] == placed.angles[group]))
                continue;
            addBounds(change, placed, group);
            addBounds(change, now, group);
        }
        IntersectRect(&change, &change, &all);
    }
    placed = now;
    return change;
}

void forgetHands(ClockFace &face)
{
    delete face.hands;
    face.hands = nullptr;
}

void drawHands(ClockFace const &face, ClockDrawing const &drawing, RECT const &clip)
{
    if (!face.hands || !attachRaster(face.frameDC, drawing.width, drawing.height))
        return;
    Hands const &placed = *face.hands;
    clipRaster(clip);
    for (int i = 0; i < placed.count; i++) {
        Piece const &piece = placed.pieces[i];
        RECT reach = bounds(piece), inside;
        if (!IntersectRect(&inside, &reach, &clip))
            continue;
        if (piece.disc)
            addDisc(piece.x0, piece.y0, piece.width);
        else
            addSpoke(piece.x0, piece.y0, piece.x1, piece.y1, piece.width, roundCap, flatCap);
        fillShape(piece.color);
    }
}
