#pragma once

struct BITMAP;

// The mouse cursor: where it was drawn, where it is wanted, and its picture. Screen pixels.
class cursor {
  public:
    // Everything 0, no picture.
    cursor();

    // Where the cursor was last drawn.
    void getCursor(int& x, int& y) const;
    void setCursor(int x, int y);

    // Where the cursor is wanted; written by the input poll.
    void getCursorShouldBe(int& x, int& y) const;
    void setCursorShouldBe(int x, int y);

    // Picture drawn centred on the position; belongs to the datafile.
    BITMAP* getCursorPic() const { return cursorPic; }
    void setCursorPic(BITMAP* pic) { cursorPic = pic; }

  private:
    BITMAP* cursorPic;
    int cursorX, cursorY;
    int cursorShouldBeX, cursorShouldBeY;
};
