#pragma once

#include <allegro.h>

#include <vector>

// A rectangle of pixels from (x, y), w wide and h high; empty when w or h is 0 or less.
struct pixelRect {
    int x, y, w, h;
};

// What a frame shows, as far as it decides the frame's pixels (screen pixels).
struct frameContents {
    // A unit's picture as unit::draw draws it: the unit's ID, the picture, its centre and pivot
    // (arena pixels), its angle, and the screen pixels it may touch.
    struct picture {
        int id;
        BITMAP* pic;
        int x, y, half;
        fixed angle;
        pixelRect bounds;
    };
    // Something drawn over the arena, the cursor or a HUD figure: what decides its pixels (a
    // picture and a position, or a number in x) and the screen pixels it may touch.
    struct part {
        BITMAP* pic;
        int x, y;
        pixelRect bounds;
    };
    pixelRect screen = {0, 0, 0, 0};
    BITMAP* floor = nullptr;
    int background = 0;
    std::vector<picture> units; // in drawing order
    std::vector<part> parts;    // in drawing order, the same parts every frame
};

// Knows the frame on screen and finds what the next one changes, by comparing what the two show:
// each unit's picture (paired by unit ID), each part. Everything outside the changed rectangles
// is the same in both frames, as long as every bound holds all that its thing draws.
class frameChanges {
  public:
    // Takes `next` as the frame shown and tells what differs from the one shown before. False
    // when `next` must be drawn whole: nothing known on screen, another floor or background, units
    // out of increasing ID order, or changes over half the screen. Otherwise `changed` holds every
    // pixel that differs, in rectangles, merged; `repaint` holds them grown until every unit
    // picture touching them lies inside, and `redraw` flags those units (by index in next.units).
    bool compare(frameContents next, std::vector<pixelRect>& changed,
                 std::vector<pixelRect>& repaint, std::vector<bool>& redraw);
    // The frame on screen is no longer known: the next comparison asks for a whole frame.
    void forget() { known = false; }
    // The frame last taken as shown.
    const frameContents& shown() const { return current; }

    // The pixels both rectangles hold; empty when none.
    static pixelRect intersect(const pixelRect& a, const pixelRect& b);
    // Whether a rectangle of the list shares a pixel with r.
    static bool touches(const std::vector<pixelRect>& rects, const pixelRect& r);

  private:
    frameContents current;
    bool known = false;
};
