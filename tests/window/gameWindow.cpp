#include "gameWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <thread>

#include "waitUntil.h"

namespace {
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

bool gameWindow::anyOpen(Display* d) { return findGameWindow(d) != 0; }

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

void gameWindow::moveMouse(int x, int y) {
    // XTEST moves the pointer in root coordinates; the window need not sit at the origin.
    Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
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

rgbImage gameWindow::screenshot() const {
    XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {};
    }
    rgbImage picture(width, height);
    const bool plain32 = image->bits_per_pixel == 32 && image->red_mask == 0xff0000 &&
                         image->green_mask == 0xff00 && image->blue_mask == 0xff &&
                         image->byte_order == LSBFirst;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
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
