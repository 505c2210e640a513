#include "inputObj.h"

#include <allegro.h>

#include "cursor.h"

namespace {
constexpr int gameKeyCount = 6;
constexpr int mouseButtonCount = 3;

// A click fires on letting go, and every click reaches exactly one logic tick: a release seen
// on a poll without a tick pending is latched and handed to the next tick's poll instead of
// being cleared by it (the loop draws faster than it ticks, so most releases land between ticks).
void updateFlags(std::vector<bool>& wasHit, std::vector<bool>& wasClicked,
                 std::vector<bool>& waiting, int index, bool down, bool tickPending) {
    bool released = wasHit.at(index) && !down;
    if (tickPending) {
        wasClicked.at(index) = released || waiting.at(index);
        waiting.at(index) = false;
    } else if (released) {
        wasClicked.at(index) = true;
        waiting.at(index) = true;
    }
    wasHit.at(index) = down;
}
} // namespace

inputObj::inputObj()
    : keyMap(nullptr), keyWasHit(nullptr), keyWasClicked(nullptr), mouseWasHit(nullptr),
      mouseWasClicked(nullptr), numberOfKeys(0), inputWait(0), mouseUsedLast(false),
      keyWasHitThisFrame(false), cursor(nullptr), keyClickWaiting(gameKeyCount, false),
      mouseClickWaiting(mouseButtonCount, false) {
    numberOfKeys = gameKeyCount;
    keyMap = new std::vector<int>(numberOfKeys);
    keyWasHit = new std::vector<bool>(numberOfKeys, false);
    keyWasClicked = new std::vector<bool>(numberOfKeys, false);
    keyMap->at(keyUp) = KEY_W;
    keyMap->at(keyDown) = KEY_S;
    keyMap->at(keyLeft) = KEY_A;
    keyMap->at(keyRight) = KEY_D;
    keyMap->at(keySpace) = KEY_SPACE;
    keyMap->at(keyRestart) = KEY_F10;
    mouseWasHit = new std::vector<bool>(mouseButtonCount, false);
    mouseWasClicked = new std::vector<bool>(mouseButtonCount, false);
    cursor = new ::cursor();
}

inputObj::~inputObj() {
    delete keyMap;
    delete keyWasHit;
    delete keyWasClicked;
    delete mouseWasHit;
    delete mouseWasClicked;
    delete cursor;
}

void inputObj::processInput(int maxX, int maxY, bool tickPending) {
    for (int i = 0; i < numberOfKeys; i++) {
        bool down = key[keyMap->at(i)] != 0;
        updateFlags(*keyWasHit, *keyWasClicked, keyClickWaiting, i, down, tickPending);
        if (down) {
            mouseUsedLast = false;
        }
    }

    int mickeyX = 0;
    int mickeyY = 0;
    get_mouse_mickeys(&mickeyX, &mickeyY);
    if (mickeyX != 0 || mickeyY != 0) {
        mouseUsedLast = true;
    }

    int x = mouse_x;
    int y = mouse_y;
    if (x < 0) {
        x = 0;
    }
    if (y < 0) {
        y = 0;
    }
    if (x > maxX) {
        x = maxX;
    }
    if (y > maxY) {
        y = maxY;
    }
    cursor->setCursorShouldBe(x, y);

    int buttons = mouse_b;
    for (int b = 0; b < mouseButtonCount; b++) {
        bool down = (buttons & (1 << b)) != 0;
        updateFlags(*mouseWasHit, *mouseWasClicked, mouseClickWaiting, b, down, tickPending);
        if (down) {
            mouseUsedLast = true;
        }
    }
}

int inputObj::setKeyMap(std::vector<int>* v) {
    keyMap = v;
    return 0;
}

int inputObj::setKeyWasHit(std::vector<bool>* v) {
    keyWasHit = v;
    return 0;
}

int inputObj::setKeyWasClicked(std::vector<bool>* v) {
    keyWasClicked = v;
    return 0;
}

int inputObj::setMouseWasHit(std::vector<bool>* v) {
    mouseWasHit = v;
    return 0;
}

int inputObj::setMouseWasClicked(std::vector<bool>* v) {
    mouseWasClicked = v;
    return 0;
}

int inputObj::setCursor(::cursor* c) {
    cursor = c;
    return 0;
}
