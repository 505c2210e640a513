#!/usr/bin/python3
"""What the game scripts read from X, and hear, faster or more exactly than xdotool and
ImageMagick can. Usage: xwin.py SUBCOMMAND ARGUMENTS (each subcommand's line below)."""
import array, os, signal, subprocess, sys, time

try:
    from Xlib import X, display, protocol
    from Xlib.ext import xtest
except ImportError:
    sys.exit("xwin.py: the Python X library is missing: install Debian's python3-xlib")

SECOND = 176400  # bytes of a capture: unsigned 16-bit stereo at 44.1 kHz


def window(d, wid):
    return d.create_resource_object("window", int(wid))


def glimpse(wid, colour, seconds, *xdotool):
    """Does what xdotool is told, then watches the arena up to SECONDS for a pixel of COLOUR
    (#RRGGBB); status 1 when none came. A shot is in sight for half a second, less than a
    screenshot and its reading can take on a busy machine."""
    arena = window(display.Display(), wid)
    subprocess.run(["xdotool", *xdotool], check=True)
    end = time.monotonic() + int(seconds)
    while time.monotonic() < end:
        pixels = arena.get_image(70, 40, 500, 400, X.ZPixmap, 0xFFFFFF).data
        if int(colour[1:], 16) in memoryview(pixels).cast("I"):
            return 0
    return 1


def close(wid):
    """Asks the window to close, as a window manager does when its close button is pressed."""
    d = display.Display()
    w = window(d, wid)
    message = [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]
    w.send_event(protocol.event.ClientMessage(window=w, client_type=d.intern_atom("WM_PROTOCOLS"),
                                              data=(32, message)))
    d.flush()


def class_and_icon(wid):
    """Prints the window's class, then on one line the colours in the icon of its WM_HINTS."""
    w = window(display.Display(), wid)
    print(w.get_wm_class()[1])
    icon = w.get_wm_hints().icon_pixmap
    size = icon.get_geometry()
    px = icon.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xFFFFFFFF).data
    print(*{"#%02X%02X%02X" % (px[i + 2], px[i + 1], px[i]) for i in range(0, len(px), 4)})


def cover(wid):
    """Covers 300 x 200 of the window's arena with a white window for half a second; status 1
    unless the white was seen."""
    d = display.Display()
    screen = d.screen()
    at = window(d, wid).translate_coords(screen.root, 0, 0)
    white = screen.root.create_window(150 - at.x, 100 - at.y, 300, 200, 0, screen.root_depth,
                                      background_pixel=screen.white_pixel, override_redirect=True)
    white.map()
    d.sync()
    time.sleep(0.5)
    seen = screen.root.get_image(300 - at.x, 200 - at.y, 1, 1, X.ZPixmap, 0xFFFFFFFF).data[:3]
    white.destroy()
    d.sync()
    return seen != b"\xff\xff\xff"


def launch(seconds, *command):
    """Starts COMMAND and waits up to SECONDS for its first frame (the background colour at the
    screen's 5,475); prints "first frame PID MS" (MS from start), then exits with its status.
    Stopped with SIGTERM, it ends the program."""
    root = display.Display().screen().root
    start = time.monotonic()
    program = subprocess.Popen(command)
    signal.signal(signal.SIGTERM, lambda *_: (program.kill(), sys.exit("stopped")))
    while root.get_image(5, 475, 1, 1, X.ZPixmap, 0xFFFFFFFF).data[:3] != b"\x20\x20\x20":
        if program.poll() is not None:
            sys.exit(f"ended with status {program.returncode} before its first frame")
        if time.monotonic() - start > int(seconds):
            program.kill()
            sys.exit(f"no frame within {seconds} s")
    print("first frame", program.pid, round((time.monotonic() - start) * 1000), flush=True)
    return program.wait()


def listen(raw, lo, hi):
    """Prints the capture's loudest sample's distance from silence from byte LO to HI, and the
    byte where it first sounds (-1: never)."""
    print(*heard(raw, int(lo), int(hi)))


def heard(raw, lo, hi):
    lo -= lo % 4
    with open(raw, "rb") as f:
        f.seek(lo)
        d = [abs(v - 32768) for v in array.array("H", f.read(max(0, hi - lo)))]
    return max(d, default=0), next((lo + i // 2 * 4 for i, v in enumerate(d) if v > 64), -1)


def click_heard(raw):
    """A left click after 0.4 s in which nothing sounds; prints the ms until the capture sounds
    (-1: not within 0.35 s)."""
    x = display.Display()
    lo = os.path.getsize(raw)
    time.sleep(0.4)
    at = os.path.getsize(raw)
    for event in (X.ButtonPress, X.ButtonRelease):
        xtest.fake_input(x, event, 1)
    x.sync()
    time.sleep(0.35)
    first = heard(raw, lo, os.path.getsize(raw))[1]
    print(-1 if first < 0 else "a sound before it" if first < at else (first - at) * 1000 // SECOND)


if __name__ == "__main__":
    commands = {f.__name__.replace("_", "-"): f
                for f in (glimpse, close, class_and_icon, cover, launch, listen, click_heard)}
    if len(sys.argv) < 2 or sys.argv[1] not in commands:
        sys.exit(f"usage: xwin.py {'|'.join(commands)} ARGUMENTS")
    sys.exit(commands[sys.argv[1]](*sys.argv[2:]))
