#include "gameWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <thread>

#include "waitUntil.h"

namespace {
// Pause after each pointer motion, so that Allegro has handled it before the next.
constexpr std::chrono::milliseconds mousePace(40);
// The pointer is kept this far inside the window's edges.
constexpr int pointerMargin = 20;
// A move across the whole window takes about a dozen motions; this many means it is stuck.
constexpr int maximumMotions = 60;

// The viewable top-level window of the game's size, or 0.
Window findGameWindow(Display* display) {
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) {
        return 0;
    }
    for (unsigned int i = 0; i < count && found == 0; i++) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable && attributes.width == gameWindow::width &&
            attributes.height == gameWindow::height) {
            found = children[i];
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

// The lowest set bit of a colour mask and the mask's width, to pull one channel out of a pixel.
int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

int channel(unsigned long pixel, unsigned long mask) {
    unsigned long value = (pixel & mask) >> shiftOf(mask);
    unsigned long maximum = mask >> shiftOf(mask);
    return maximum == 0 ? 0 : static_cast<int>(value * 255 / maximum);
}
} // namespace

bool gameWindow::find(Display* d, std::chrono::milliseconds limit) {
    display = d;
    return waitUntil(limit, [this] {
        window = findGameWindow(display);
        return window != 0;
    });
}

bool gameWindow::anyOpen(Display* d) {
    return findGameWindow(d) != 0;
}

bool gameWindow::focus(std::chrono::milliseconds limit) {
    // No window manager runs on the private display, so the tests hand out the focus.
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    return waitUntil(limit, [this] {
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(display, &focused, &revert);
        return focused == window;
    });
}

void gameWindow::pressKey(unsigned long keysym) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), True, CurrentTime);
    XSync(display, False);
}

void gameWindow::releaseKey(unsigned long keysym) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), False, CurrentTime);
    XSync(display, False);
}

void gameWindow::holdKey(unsigned long keysym, std::chrono::milliseconds held) {
    pressKey(keysym);
    std::this_thread::sleep_for(held);
    releaseKey(keysym);
}

// Once the game reads mouse mickeys, Allegro's X11 driver no longer follows the pointer: it adds
// up the pointer's relative motions, clamped to the screen, and now and then warps the pointer
// back to the window's centre (a motion it does not count). So the game's mouse position is
// steered by relative motions only, and tracked here as a range of what it may be. Motions
// towards the origin first shrink the range to the exact corner (0, 0); from there each motion
// is known exactly. Every motion keeps the pointer inside the window, where the game sees it.
void gameWindow::mouseRange::add(int step) {
    lowest = std::clamp(lowest + step, 0, largest);
    highest = std::clamp(highest + step, 0, largest);
}

void gameWindow::pointer(int& x, int& y) const {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned int buttons = 0;
    XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &buttons);
}

void gameWindow::nudgeMouse(int dx, int dy) {
    XTestFakeRelativeMotionEvent(display, dx, dy, CurrentTime);
    XSync(display, False);
    // Allegro must handle this motion (and any warp it causes) before the next one comes, or it
    // would measure the next one from the wrong place.
    std::this_thread::sleep_for(mousePace);
}

void gameWindow::moveMouse(int x, int y) {
    steerMouse({0, width - 1, width - 1}, {0, height - 1, height - 1}, x, y);
}

void gameWindow::moveMouseFrom(int fromX, int fromY, int x, int y) {
    steerMouse({fromX, fromX, width - 1}, {fromY, fromY, height - 1}, x, y);
}

void gameWindow::steerMouse(mouseRange rangeX, mouseRange rangeY, int x, int y) {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    // Steps small enough that the pointer stays inside even if a warp to the centre comes first.
    const int stepX = width / 2 - pointerMargin, stepY = height / 2 - pointerMargin;
    int px = 0, py = 0;
    pointer(px, py);
    if (px < pointerMargin || py < pointerMargin || px > width - pointerMargin ||
        py > height - pointerMargin) {
        // Bring the pointer inside first; where the game's position ends up is found below.
        Window child = 0;
        int rootX = 0, rootY = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), width / 2, height / 2,
                              &rootX, &rootY, &child);
        XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
        XSync(display, False);
        std::this_thread::sleep_for(mousePace);
        rangeX = {0, width - 1, width - 1};
        rangeY = {0, height - 1, height - 1};
    }
    for (int motion = 0; motion < maximumMotions; motion++) {
        if (rangeX.known() && rangeY.known() && rangeX.lowest == x && rangeY.lowest == y) {
            return;
        }
        // Towards the corner while unknown, then towards the target.
        int wantX = rangeX.known() ? x - rangeX.lowest : -width;
        int wantY = rangeY.known() ? y - rangeY.lowest : -height;
        pointer(px, py);
        int dx = std::clamp(wantX, std::max(-stepX, pointerMargin - px),
                            std::min(stepX, width - pointerMargin - px));
        int dy = std::clamp(wantY, std::max(-stepY, pointerMargin - py),
                            std::min(stepY, height - pointerMargin - py));
        if (dx == 0 && dy == 0) {
            // The pointer sits at the edge it must go past: a one-pixel motion away from the
            // edge makes Allegro count motions on towards its next warp to the centre.
            dx = px < width / 2 ? 1 : -1;
        }
        nudgeMouse(dx, dy);
        rangeX.add(dx);
        rangeY.add(dy);
    }
}

void gameWindow::warpPointer(int x, int y) {
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(mousePace);
}

bool gameWindow::moveTo(int x, int y, std::chrono::milliseconds limit) {
    // No window manager runs on the private display, so the move takes effect as asked.
    XMoveWindow(display, window, x, y);
    XSync(display, False);
    return waitUntil(limit, [&] {
        Window child = 0;
        int rootX = 0, rootY = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rootX, &rootY,
                              &child);
        return rootX == x && rootY == y;
    });
}

void gameWindow::pressButton() {
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XSync(display, False);
}

void gameWindow::releaseButton() {
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XSync(display, False);
}

void gameWindow::click(int x, int y, std::chrono::milliseconds held) {
    moveMouse(x, y);
    pressButton();
    // The game only sees a button that is still down when it polls.
    std::this_thread::sleep_for(held);
    releaseButton();
}

rgbImage gameWindow::area(int x0, int y0, int w, int h) const {
    if (display == nullptr || window == 0) {
        return {};
    }
    XImage* image = XGetImage(display, window, x0, y0, w, h, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {};
    }
    rgbImage picture(w, h);
    const bool plain32 = image->bits_per_pixel == 32 && image->red_mask == 0xff0000 &&
                         image->green_mask == 0xff00 && image->blue_mask == 0xff &&
                         image->byte_order == LSBFirst;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            if (plain32) {
                // The usual layout of a 24-bit screen, read directly: XGetPixel is slow.
                const unsigned char* p = reinterpret_cast<const unsigned char*>(
                    image->data + y * image->bytes_per_line + x * 4);
                picture.set(x, y, {p[2], p[1], p[0]});
            } else {
                unsigned long pixel = XGetPixel(image, x, y);
                picture.set(x, y,
                            {channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                             channel(pixel, image->blue_mask)});
            }
        }
    }
    XDestroyImage(image);
    return picture;
}
