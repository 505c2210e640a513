#pragma once

#include <allegro.h>

#include <string>
#include <vector>

// A rectangle of pixels from (x, y), w wide and h high; empty when w or h is 0 or less.
struct pixelRect {
    int x, y, w, h;
};

// One drawing call as the canvas takes it: what it draws, on which bitmap, and where.
struct drawCall {
    enum kind { clear, fill, outline, text, sprite, copy, stretchedSprite, turnedSprite };
    kind what;
    BITMAP* target;
    BITMAP* pic; // sprites and copies
    int x, y;    // the corner, or for a turned sprite the point its pivot lands on
    int a, b;    // fill and outline: the far corner; stretched: the size; turned: the pivot
    fixed angle; // turned sprite
    int colour;  // clear, fill, outline, text
    std::string words = {};       // text
    int offsetX = 0, offsetY = 0; // the target's corner on the recording's screen
    pixelRect bounds = {};        // the screen pixels the call may touch, within the target
    bool operator==(const drawCall& o) const;
};

// Every picture of the game is drawn through these calls, each of which draws as the Allegro call
// named beside it, at once. While a bitmap is recorded, a call on it goes into the record instead,
// with the pixels it may touch, so that a frame can be drawn later where it changed and nowhere
// else. A call that draws on a recorded bitmap some other way escapes the record: don't.
class canvas {
  public:
    // clear_to_color: the whole target.
    static void clear(BITMAP* target, int colour);
    // rectfill and rect: from (left, top) to (right, bottom), both included. A fill costs half
    // of rectfill's work on a 24-bit target: it is a clear within a clipping rectangle.
    static void fill(BITMAP* target, int left, int top, int right, int bottom, int colour);
    static void outline(BITMAP* target, int left, int top, int right, int bottom, int colour);
    // textout_ex in Allegro's font, its top-left corner at (x, y), on a transparent background.
    static void text(BITMAP* target, const std::string& words, int x, int y, int colour);
    // The same, centred on x.
    static void centredText(BITMAP* target, const std::string& words, int x, int y, int colour) {
        text(target, words, x - text_length(font, words.c_str()) / 2, y, colour);
    }
    // draw_sprite: the picture masked, its top-left corner at (x, y).
    static void sprite(BITMAP* target, BITMAP* pic, int x, int y);
    // blit: the whole picture, opaque, its top-left corner at (x, y).
    static void copy(BITMAP* target, BITMAP* pic, int x, int y);
    // stretch_sprite: the picture masked, scaled to w x h pixels at (x, y).
    static void stretchedSprite(BITMAP* target, BITMAP* pic, int x, int y, int w, int h);
    // pivot_sprite: the picture masked and turned by angle (256 a turn) about its point
    // (pivotX, pivotY), which lands on (x, y).
    static void turnedSprite(BITMAP* target, BITMAP* pic, int x, int y, int pivotX, int pivotY,
                             fixed angle);

    // From now on the calls on target go into record, the target's corner being (offsetX,
    // offsetY) on the record's screen.
    static void record(BITMAP* target, std::vector<drawCall>* record, int offsetX = 0,
                       int offsetY = 0);
    // The bitmaps recorded into record are drawn on at once again.
    static void endRecord(const std::vector<drawCall>* record);
    // Draws a recorded call on its target within the screen pixels of `within`, or whole where
    // drawnWhole says so.
    static void draw(const drawCall& call, const pixelRect& within);
    // Whether the call is drawn whole, as the whole frame draws it: Allegro's turned and scaled
    // sprites step through the picture in fixed point from the clipping edge, and are not trusted
    // to land on the same pixels from another edge.
    static bool drawnWhole(const drawCall& call);
    // The pixels of its target (its own coordinates) that a turned sprite may touch, unclipped:
    // every pixel whose centre the turned picture can cover.
    static pixelRect turnedBounds(const BITMAP* pic, int x, int y, int pivotX, int pivotY,
                                  fixed angle);
    // The pixels both rectangles hold; empty when none.
    static pixelRect intersect(const pixelRect& a, const pixelRect& b) {
        const int left = a.x > b.x ? a.x : b.x, top = a.y > b.y ? a.y : b.y;
        const int right = a.x + a.w < b.x + b.w ? a.x + a.w : b.x + b.w;
        const int bottom = a.y + a.h < b.y + b.h ? a.y + a.h : b.y + b.h;
        return {left, top, right - left, bottom - top};
    }
    static bool isEmpty(const pixelRect& r) { return r.w <= 0 || r.h <= 0; }
};
