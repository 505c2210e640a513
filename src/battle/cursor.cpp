#include "cursor.h"

cursor::cursor()
    : cursorPic(nullptr), cursorX(0), cursorY(0), cursorShouldBeX(0), cursorShouldBeY(0) {}

void cursor::getCursor(int& x, int& y) const {
    x = cursorX;
    y = cursorY;
}

void cursor::setCursor(int x, int y) {
    cursorX = x;
    cursorY = y;
}

void cursor::getCursorShouldBe(int& x, int& y) const {
    x = cursorShouldBeX;
    y = cursorShouldBeY;
}

void cursor::setCursorShouldBe(int x, int y) {
    cursorShouldBeX = x;
    cursorShouldBeY = y;
}
