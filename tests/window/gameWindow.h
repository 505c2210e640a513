#pragma once

#include <chrono>

#include "rgbImage.h"

typedef struct _XDisplay Display;
typedef unsigned long XID;

// The game's 640 x 480 window on a display, driven the way a user would: real key and
// button events through the XTEST extension, and screenshots of the window's content.
// Positions are window pixels, that is the game's screen pixels.
class gameWindow {
  public:
    static constexpr int width = 640;
    static constexpr int height = 480;

    // Waits up to limit for a mapped 640 x 480 top-level window on the display; false if none
    // appeared. The display connection is not owned.
    bool find(Display* display, std::chrono::milliseconds limit);
    // True while a mapped 640 x 480 top-level window exists on the display.
    static bool anyOpen(Display* display);
    // Gives the window the keyboard focus and waits up to limit until it has it.
    bool focus(std::chrono::milliseconds limit = std::chrono::milliseconds(2000));

    // Key down and key up of an X keysym (XK_Escape, XK_d, ...).
    void pressKey(unsigned long keysym);
    void releaseKey(unsigned long keysym);
    // Holds the key down for the given time, then lets it go.
    void holdKey(unsigned long keysym, std::chrono::milliseconds held);
    // Puts the game's mouse position at (x, y) of the window (see gameWindow.cpp for how).
    void moveMouse(int x, int y);
    // The same, quicker, when the game's mouse is known to be at (fromX, fromY): where the last
    // move put it, the pointer not having been moved otherwise since.
    void moveMouseFrom(int fromX, int fromY, int x, int y);
    // Puts the pointer at (x, y) of the screen in one jump, inside the window or not; the game
    // gets no relative motions it could add up, so its mouse position is unknown afterwards.
    void warpPointer(int x, int y);
    // Moves the window so that its top-left corner is at (x, y) of the screen, as a user would
    // drag it; false if it is not there within limit.
    bool moveTo(int x, int y, std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
    // Left button down and up at the pointer's position.
    void pressButton();
    void releaseButton();
    // Moves to (x, y) and holds the left button there long enough for the game to see it.
    void click(int x, int y, std::chrono::milliseconds held = std::chrono::milliseconds(100));

    // The window's content now; an empty picture if it cannot be read (the window is gone).
    rgbImage screenshot() const { return area(0, 0, width, height); }
    // The w x h pixels from (x, y) of the window now, a single round trip to the server and so
    // much quicker than a screenshot when only a few pixels matter; empty if unreadable.
    rgbImage area(int x, int y, int w, int h) const;

  private:
    // What the game may believe its mouse position to be on one axis: [lowest, highest].
    struct mouseRange {
        int lowest, highest, largest;
        void add(int step);
        bool known() const { return lowest == highest; }
    };
    // Steers the game's mouse position from what it may be to (x, y).
    void steerMouse(mouseRange rangeX, mouseRange rangeY, int x, int y);
    // Moves the pointer by (dx, dy) and gives the game time to take the motion in.
    void nudgeMouse(int dx, int dy);
    // The pointer's position in window pixels.
    void pointer(int& x, int& y) const;

    Display* display = nullptr;
    XID window = 0;
};
