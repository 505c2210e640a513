#include <allegro.h>

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
    // Both are read when allegro_init makes the window.
    xwin_set_window_name(windowInstance, windowClass);
    allegro_icon = const_cast<char**>(gameIcon);
    if (allegro_init() != 0) {
        // Allegro often leaves its error text empty here; the usual cause is a missing display.
        fprintf(stderr, "arenaBattle: cannot initialise Allegro: %s\n",
                allegro_error[0] != '\0' ? allegro_error : "no display or system driver found");
        return 1;
    }
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
    while (!input->quitAsked() && !closeRequested) {
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
    return 0;
}
END_OF_MAIN()
