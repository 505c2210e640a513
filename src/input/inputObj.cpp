#include "inputObj.h"

#include <allegro.h>

#include <atomic>

#include "cursor.h"

namespace {
constexpr int gameKeyCount = 6;
constexpr int mouseButtonCount = 3;
constexpr int scancodeReleased = 0x80; // Allegro's low-level keyboard callback: bit 7 = let go
constexpr int scancodeMask = 0x7f;
constexpr int buttonUpFlags[mouseButtonCount] = {MOUSE_FLAG_LEFT_UP, MOUSE_FLAG_RIGHT_UP,
                                                 MOUSE_FLAG_MIDDLE_UP};

// Releases counted as Allegro's input thread sees them, by key code and by mouse button. A tap
// or a short click can begin and end between two polls, where key[] and mouse_b never show it;
// these counts do. The callbacks run on Allegro's thread and touch nothing but these atomics.
std::atomic<unsigned> keyReleases[scancodeMask + 1];
std::atomic<unsigned> buttonReleases[mouseButtonCount];

void countKeyRelease(int scancode) {
    if ((scancode & scancodeReleased) != 0) {
        keyReleases[scancode & scancodeMask]++;
    }
}

void countButtonReleases(int flags) {
    for (int b = 0; b < mouseButtonCount; b++) {
        if ((flags & buttonUpFlags[b]) != 0) {
            buttonReleases[b]++;
        }
    }
}
} // namespace

// A click fires on letting go, and every click reaches exactly one logic tick: a release seen
// on a poll without a tick pending is latched and handed to the next tick's poll instead of
// being cleared by it (the loop draws faster than it ticks, so most releases land between ticks).
// A key held now was not let go, whatever the count says: Allegro reports no release for the
// keyboard's auto-repeat, and a press again within one poll is taken as held.
void inputObj::updateFlags(std::vector<bool>& wasHit, std::vector<bool>& wasClicked, latch& l,
                           int index, bool down, unsigned releases, bool tickPending) {
    bool releasedUnseen = releases != l.releasesSeen;
    l.releasesSeen = releases;
    if (l.heldFromBefore) {
        l.heldFromBefore = down;
        down = releasedUnseen = false;
    }
    bool released = !down && (wasHit.at(index) || releasedUnseen);
    if (tickPending) {
        wasClicked.at(index) = released || l.waiting;
        l.waiting = false;
    } else if (released) {
        wasClicked.at(index) = true;
        l.waiting = true;
    }
    wasHit.at(index) = down;
}

inputObj::inputObj()
    : keyMap(nullptr), keyWasHit(nullptr), keyWasClicked(nullptr), mouseWasHit(nullptr),
      mouseWasClicked(nullptr), numberOfKeys(0), inputWait(0), mouseUsedLast(false),
      keyWasHitThisFrame(false), cursor(nullptr), keyLatches(gameKeyCount),
      mouseLatches(mouseButtonCount), lastMouseX(mouse_x), lastMouseY(mouse_y),
      escReleasesAtStart(keyReleases[KEY_ESC]) {
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
    startAfresh(false);
    keyboard_lowlevel_callback = countKeyRelease;
    mouse_callback = countButtonReleases;
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
        const int code = keyMap->at(i);
        bool down = key[code] != 0;
        updateFlags(*keyWasHit, *keyWasClicked, keyLatches.at(i), i, down, keyReleases[code],
                    tickPending);
        if (down) {
            mouseUsedLast = false;
        }
    }

    // Motion is read from the position: asking Allegro for the motion itself (mickeys) makes its
    // X11 driver warp the pointer back into the window, and the player could not leave it.
    if (mouse_x != lastMouseX || mouse_y != lastMouseY) {
        mouseUsedLast = true;
    }
    lastMouseX = mouse_x;
    lastMouseY = mouse_y;

    int x = lastMouseX;
    int y = lastMouseY;
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
        updateFlags(*mouseWasHit, *mouseWasClicked, mouseLatches.at(b), b, down, buttonReleases[b],
                    tickPending);
        if (down) {
            mouseUsedLast = true;
        }
    }
}

void inputObj::forget() {
    startAfresh(true);
}

void inputObj::startAfresh(bool ignoreHeld) {
    for (int i = 0; i < numberOfKeys; i++) {
        const int code = keyMap->at(i);
        keyLatches.at(i) = {false, keyReleases[code], ignoreHeld && key[code] != 0};
        keyWasHit->at(i) = keyWasClicked->at(i) = false;
    }
    const int buttons = mouse_b;
    for (int b = 0; b < mouseButtonCount; b++) {
        mouseLatches.at(b) = {false, buttonReleases[b], ignoreHeld && (buttons & (1 << b)) != 0};
        mouseWasHit->at(b) = mouseWasClicked->at(b) = false;
    }
}

bool inputObj::quitAsked() const {
    return key[KEY_ESC] != 0 || keyReleases[KEY_ESC] != escReleasesAtStart;
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
