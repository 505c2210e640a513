#include <allegro.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "battleMain.h"
#include "dataObj.h"

namespace {
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int colourDepth = 24;

battleMain* bM = nullptr;
dataObj* dO = nullptr;

std::string workingDirectory() {
    char path[4096];
    return getcwd(path, sizeof path) != nullptr ? path : "(unknown)";
}
} // namespace

// Creates the battle and its context and sets the battle up: 0 when ready, -1 when the
// picture datafile cannot be used.
int mainInitialize() {
    bM = new battleMain();
    dO = new dataObj();
    bM->setDataObj(dO);
    return bM->init();
}

int main() {
    if (allegro_init() != 0) {
        // Allegro often leaves its error text empty here; the usual cause is a missing display.
        fprintf(stderr, "arenaBattle: cannot initialise Allegro: %s\n",
                allegro_error[0] != '\0' ? allegro_error : "no display or system driver found");
        return 1;
    }
    install_keyboard();
    install_timer();
    install_mouse();

    set_color_depth(colourDepth);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, screenWidth, screenHeight, 0, 0) != 0 &&
        set_gfx_mode(GFX_SAFE, screenWidth, screenHeight, 0, 0) != 0) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("Unable to set any graphic mode\n%s\n", allegro_error);
        return 1;
    }

    if (mainInitialize() != 0) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("Cannot start: \"picData.dat\" in %s is unusable: %s.\n",
                        workingDirectory().c_str(), bM->getLoadProblem().c_str());
        return 1;
    }

    while (!key[KEY_ESC]) {
        bM->go();
        vsync();
        blit(bM->getBuffer(), screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
    }
    return 0;
}
END_OF_MAIN()
