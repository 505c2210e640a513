#pragma once

#include <vector>

#include "canvas.h"

// Draws a frame, recorded through the canvas, only where it differs from the frame drawn before,
// and tells which rectangles changed. The two frames' calls are compared in order: a call made in
// only one of them changes the pixels it may touch, and every other pixel shows the same calls,
// in the same order, in both frames.
class frameChanges {
  public:
    // Records from now on the calls on screen and on each part, a sub-bitmap of it.
    void record(BITMAP* screen, const std::vector<BITMAP*>& parts);
    // Ends the recording and draws the recorded frame on the screen bitmap where it changed (whole
    // the first time, after forget, or when the changes cover over half of it). Returns the
    // rectangles that changed: copying them to the display brings it up to date.
    const std::vector<pixelRect>& finish();
    // The frame on the screen bitmap is no longer known: the next one is drawn whole.
    void forget() { known = false; }
    // The rectangles the last finish changed.
    const std::vector<pixelRect>& changed() const { return changedRects; }

  private:
    BITMAP* screen = nullptr;
    std::vector<drawCall> shown, next; // the calls of the frame drawn and of the one recorded
    std::vector<pixelRect> changedRects, repaint;
    bool known = false;

    // The rectangles that the calls made in only one of the two frames may touch.
    void compare();
    // The changed area grown until every call drawn whole that reaches into it lies inside it.
    void growRepaint();
};
