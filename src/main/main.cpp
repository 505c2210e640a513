#include <allegro.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "arena.h"
#include "battleMain.h"
#include "battleSounds.h"
#include "dataObj.h"
#include "inputObj.h"

#include <xalleg.h>

// Allegro's X11 driver makes the window's icon from this XPM; its headers leave it undeclared.
extern "C" char** allegro_icon;
#include "icon.xpm"

namespace {
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int colourDepth = 24;
const char* const windowTitle = "Arena Battle";
// The window's instance and class names; the class is the desktop entry's StartupWMClass.
const char* const windowInstance = "arena-battle";
const char* const windowClass = ARENA_APP_ID;

battleMain* bM = nullptr;
dataObj* dO = nullptr;
battleSounds* sounds = nullptr;

// Set by Allegro's own thread when the window's close button is pressed; the loop ends on it.
std::atomic<bool> closeRequested(false);

void requestClose() {
    closeRequested = true;
}

// Set by Allegro's own thread when the window loses the keyboard focus and cleared when it gets
// it back: the battle waits meanwhile.
std::atomic<bool> away(false);
// While away the loop looks this often (ms) whether to go on or quit, and sleeps in between.
constexpr int awayRestMs = 20;

void goAway() {
    away = true;
}

void comeBack() {
    away = false;
}

// Standard error as the game started with it: the sound may point fd 2 elsewhere meanwhile.
int startStderr = STDERR_FILENO;

// Xlib calls this when the display's connection is lost. Its own handler calls exit(), whose
// teardown then runs Allegro's against the dead connection while Allegro's X thread still uses
// it: a crash or a hang. Whichever thread finds the loss first says so and ends the process at
// once; _exit ends every other thread with it.
int displayLost(Display*) {
    static std::atomic_flag said = ATOMIC_FLAG_INIT;
    if (!said.test_and_set()) {
        static const char line[] = "arenaBattle: the display went away; ending.\n";
        ssize_t written = write(startStderr, line, sizeof line - 1);
        static_cast<void>(written);
        _exit(1);
    }
    for (;;) {
        pause(); // until the first thread's _exit
    }
}

// The signal that asked the game to end (SIGINT, SIGTERM or SIGHUP), or 0. Allegro's own handlers
// shut Allegro down inside the signal handler, against its X thread: a crash. The loop ends on
// this instead, as on ESC, and the signal is raised again once Allegro is shut down.
std::atomic<int> endSignal(0);
// Whether the loop runs to see endSignal; before, a signal ends the game at once.
std::atomic<bool> looping(false);

void askEnd(int number) {
    endSignal = number;
    if (!looping) {
        signal(number, SIG_DFL);
        raise(number);
    }
}

void catchEndSignals() {
    struct sigaction action = {};
    action.sa_handler = askEnd;
    action.sa_flags = SA_RESTART; // Allegro's threads wait in calls the signal may land in
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(number, &action, nullptr);
    }
}

// Copies to the screen what the battle's last frame changed in its back buffer. Allegro keeps its
// own whole copy of the screen, from which it repaints the window when it is uncovered.
void showChanges() {
    for (const pixelRect& r : bM->getChangedRects()) {
        blit(bM->getBuffer(), screen, r.x, r.y, r.x, r.y, r.w, r.h);
    }
}

// Ends a start that cannot go on: the reason in a message box and on standard error, status 1.
int cannotStart(const std::string& problem) {
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Cannot start: %s.\n", problem.c_str());
    fprintf(stderr, "arenaBattle: cannot start: %s.\n", problem.c_str());
    return 1;
}
} // namespace

// Creates the battle and its context and sets the battle up: 0 when ready, -1 when it cannot be
// (the battle's getStartProblem says why).
int mainInitialize() {
    bM = new battleMain();
    dO = new dataObj();
    bM->setDataObj(dO);
    return bM->init();
}

int main() {
    startStderr = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (startStderr < 0) {
        startStderr = STDERR_FILENO;
    }
    // Allegro sets no handler of its own, so this holds from the display's opening on. A write to
    // a lost display then fails as an error, which Xlib hands to displayLost, rather than ending
    // the game by SIGPIPE.
    XSetIOErrorHandler(displayLost);
    signal(SIGPIPE, SIG_IGN);
    // Both are read when allegro_init makes the window.
    xwin_set_window_name(windowInstance, windowClass);
    allegro_icon = const_cast<char**>(gameIcon);
    if (allegro_init() != 0) {
        // Allegro often leaves its error text empty here; the usual cause is a missing display.
        fprintf(stderr, "arenaBattle: cannot initialise Allegro: %s\n",
                allegro_error[0] != '\0' ? allegro_error : "no display or system driver found");
        return 1;
    }
    catchEndSignals(); // after allegro_init, which installs its own
    set_window_title(windowTitle);
    set_close_button_callback(requestClose);
    if (install_keyboard() != 0) {
        return cannotStart("the keyboard cannot be installed");
    }
    if (install_timer() != 0) {
        return cannotStart("the timer cannot be installed");
    }
    if (install_mouse() < 0) {
        return cannotStart("the mouse cannot be installed");
    }

    set_color_depth(colourDepth);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, screenWidth, screenHeight, 0, 0) != 0 &&
        set_gfx_mode(GFX_SAFE, screenWidth, screenHeight, 0, 0) != 0) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("Unable to set any graphic mode\n%s\n", allegro_error);
        fprintf(stderr, "arenaBattle: unable to set any graphic mode: %s\n", allegro_error);
        return 1;
    }
    // Allegro keeps a windowed game running when its window loses the keyboard focus; these tell
    // the loop, which then lets the battle wait.
    set_display_switch_callback(SWITCH_OUT, goAway);
    set_display_switch_callback(SWITCH_IN, comeBack);

    if (mainInitialize() != 0) {
        return cannotStart(bM->getStartProblem());
    }
    // Sound is an extra: without a device the game plays on silently.
    sounds = new battleSounds(dO->getArena()->getArenaSizeX());
    sounds->install();

    const inputObj* input = dO->getInputObj();
    unsigned keyPressesWhenAway = 0;
    looping = true;
    while (!input->quitAsked() && !closeRequested && endSignal == 0) {
        sounds->watch();
        if (away) {
            // The last frame stays up, marked paused once; the loop draws nothing and sleeps.
            if (bM->pause()) {
                sounds->pause();
                keyPressesWhenAway = inputObj::keyPresses();
                showChanges();
            } else if (inputObj::keyPresses() != keyPressesWhenAway) {
                // Where the focus follows the pointer (PointerRoot), Allegro reports the focus
                // lost but never its return. A key press that reaches the window proves the return;
                // a mouse press does not, as it arrives without the focus too.
                away = false;
                continue;
            }
            rest(awayRestMs);
            continue;
        }
        bM->go();
        sounds->hear(*bM->getUnitList(), bM->getTicksRun());
        vsync();
        showChanges();
    }
    looping = false;
    delete sounds;
    if (endSignal != 0) {
        // Ended as ESC ends it; then the shell learns of the signal the usual way.
        allegro_exit();
        signal(endSignal, SIG_DFL);
        raise(endSignal);
    }
    return 0;
}
END_OF_MAIN()
