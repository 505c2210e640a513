#include "inputObj.h"

#include <allegro.h>

#include <atomic>

#include "cursor.h"

namespace {
constexpr int gameKeyCount = 6;
constexpr int mouseButtonCount = 3;
constexpr int scancodeReleased = 0x80; // Allegro's low-level keyboard callback: bit 7 = let go
constexpr int scancodeMask = 0x7f;
constexpr int buttonDownFlags[mouseButtonCount] = {MOUSE_FLAG_LEFT_DOWN, MOUSE_FLAG_RIGHT_DOWN,
                                                   MOUSE_FLAG_MIDDLE_DOWN};
constexpr int buttonUpFlags[mouseButtonCount] = {MOUSE_FLAG_LEFT_UP, MOUSE_FLAG_RIGHT_UP,
                                                 MOUSE_FLAG_MIDDLE_UP};

// Presses and releases as Allegro's input thread reports them, by key code and by mouse button.
// A tap or a short click can begin and end between two polls, where key[] and mouse_b never show
// it; these counts do. A release counts only when its press was reported too: one whose press
// went to another window (ESC closing the desktop's window switcher, say) is nobody's click. The
// callbacks run on Allegro's thread and touch nothing but these atomics.
std::atomic<bool> keyPressed[scancodeMask + 1]; // pressed, not yet let go
std::atomic<unsigned> keyReleases[scancodeMask + 1];
std::atomic<bool> buttonPressed[mouseButtonCount];
std::atomic<unsigned> buttonReleases[mouseButtonCount];
std::atomic<unsigned> keyPressCount; // of any key

void notePressOrRelease(bool released, std::atomic<bool>& pressed,
                        std::atomic<unsigned>& releases) {
    if (!released) {
        pressed = true;
    } else if (pressed.exchange(false)) {
        releases++;
    }
}

void noteKey(int scancode) {
    const int code = scancode & scancodeMask;
    const bool released = (scancode & scancodeReleased) != 0;
    if (!released) {
        keyPressCount++;
    }
    notePressOrRelease(released, keyPressed[code], keyReleases[code]);
}

void noteButtons(int flags) {
    for (int b = 0; b < mouseButtonCount; b++) {
        if ((flags & buttonDownFlags[b]) != 0) {
            notePressOrRelease(false, buttonPressed[b], buttonReleases[b]);
        }
        if ((flags & buttonUpFlags[b]) != 0) {
            notePressOrRelease(true, buttonPressed[b], buttonReleases[b]);
        }
    }
}
} // namespace

void (*inputObj::betweenReads)(int keyOrButton, bool isButton) = nullptr;

// A click fires on letting go, and every click reaches exactly one logic tick: a release seen
// on a poll without a tick pending is latched and handed to the next tick's poll instead of
// being cleared by it (the loop draws faster than it ticks, so most releases land between ticks).
// Releases come from the counts alone: Allegro writes key[] and mouse_b before it calls back, so
// a poll in between must not take the release from the state and then again from the count. For
// the same reason the poll reads the count before the state: read after it, a release landing in
// between would be counted as seen while the state still said down, and the tap would be lost. A
// key down at the poll is held, whatever the count says: a press again within one poll is as
// good as held, and Allegro's auto-repeat filter can let a release through.
void inputObj::updateFlags(std::vector<bool>& wasHit, std::vector<bool>& wasClicked, latch& l,
                           int index, bool down, unsigned releases, bool tickPending) {
    bool released = !down && releases != l.releasesSeen;
    l.releasesSeen = releases;
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
      mouseLatches(mouseButtonCount), lastMouseX(mouse_x), lastMouseY(mouse_y), escReleasesSeen(0) {
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
    forget();
    keyboard_lowlevel_callback = noteKey;
    mouse_callback = noteButtons;
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
        const unsigned releases = keyReleases[code];
        if (betweenReads != nullptr) {
            betweenReads(code, false);
        }
        const bool down = key[code] != 0;
        updateFlags(*keyWasHit, *keyWasClicked, keyLatches.at(i), i, down, releases, tickPending);
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

    for (int b = 0; b < mouseButtonCount; b++) {
        const unsigned releases = buttonReleases[b];
        if (betweenReads != nullptr) {
            betweenReads(b, true);
        }
        const bool down = (mouse_b & (1 << b)) != 0;
        updateFlags(*mouseWasHit, *mouseWasClicked, mouseLatches.at(b), b, down, releases,
                    tickPending);
        if (down) {
            mouseUsedLast = true;
        }
    }
}

void inputObj::forget() {
    // Presses first: a release reported from now on has no press to go with.
    for (std::atomic<bool>& pressed : keyPressed) {
        pressed = false;
    }
    for (std::atomic<bool>& pressed : buttonPressed) {
        pressed = false;
    }
    for (int i = 0; i < numberOfKeys; i++) {
        keyLatches.at(i) = {false, keyReleases[keyMap->at(i)]};
        keyWasHit->at(i) = keyWasClicked->at(i) = false;
    }
    for (int b = 0; b < mouseButtonCount; b++) {
        mouseLatches.at(b) = {false, buttonReleases[b]};
        mouseWasHit->at(b) = mouseWasClicked->at(b) = false;
    }
    escReleasesSeen = keyReleases[KEY_ESC];
}

unsigned inputObj::keyPresses() {
    return keyPressCount;
}

bool inputObj::quitAsked() const {
    return key[KEY_ESC] != 0 || keyReleases[KEY_ESC] != escReleasesSeen;
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
