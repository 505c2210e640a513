#include "battleWorld.h"

#include <allegro.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "frameTimer.h"
#include "testWorld.h"
#include "unitList.h"

battleWorld::battleWorld(unsigned seed) {
    startHeadlessAllegro();
    releaseInput();
    battle.setDataObj(&data);
    if (battle.loadPictures(PIC_DATA_PATH) != 0) {
        throw std::runtime_error(std::string("cannot use ") + PIC_DATA_PATH + ": " +
                                 battle.getLoadProblem());
    }
    battle.createBuffer(640, 480);
    battle.buildBattle();
    srand(seed);
    battle.restart();
}

void battleWorld::go(int ticksPending) {
    frameTick = ticksPending;
    battle.go();
}

void battleWorld::goTimes(int iterations) {
    for (int i = 0; i < iterations; i++) {
        go();
    }
}

std::vector<unit*> battleWorld::ofType(int generalType) const {
    return battle.getUnitList()->search(0, generalType);
}

void battleWorld::tapKey(int allegroKey) {
    key[allegroKey] = 1;
    go();
    key[allegroKey] = 0;
    go();
}

void battleWorld::releaseInput(int mouseX, int mouseY) {
    for (int k = 0; k < KEY_MAX; k++) {
        key[k] = 0;
    }
    mouse_b = 0;
    mouse_x = mouseX;
    mouse_y = mouseY;
}
