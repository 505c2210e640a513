#include "testBattle.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "frameTimer.h"

namespace {
// Tests and benchmarks run Allegro without a display, from the start: even fixed-point maths
// reports overflow through Allegro's errno, which exists only once the library is installed.
[[maybe_unused]] const bool headless = [] {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(24);
    return true;
}();
} // namespace

void queueUnit(unitList& list, int type, int x, int y, fixed moveAngle, int delay) {
    unitCreate* request = new unitCreate();
    request->type = type;
    request->posX = itofix(x);
    request->posY = itofix(y);
    request->moveAngle = moveAngle;
    request->delay = delay;
    list.addCreate(request);
}

testBattle::testBattle(unsigned seed) : pictures(4), hitboxes(4) {
    releaseInput();
    battle.setDataObj(&data);
    if (battle.loadPictures(PIC_DATA_PATH) != 0) {
        throw std::runtime_error(battle.getStartProblem());
    }
    battle.createBuffer(640, 480);
    battle.buildBattle();
    // Each type's picture set and hitbox, as the list hands them to the units it makes.
    list().clearAll();
    for (int type = generalTypePlayer; type <= generalTypeShot; type++) {
        queueUnit(list(), type, 0, 0);
    }
    list().createUnits();
    for (unit* u : *list().getUnits()) {
        pictures.at(u->getGeneralType()) = u->getUnitGraphics();
        hitboxes.at(u->getGeneralType()) = u->getHitbox();
    }
    srand(seed);
    battle.restart();
}

void testBattle::go(int ticksPending) {
    frameTick = ticksPending;
    battle.go();
}

void testBattle::step() {
    battle.drawUnits(battle.getArenaBuffer());
    battle.applyInput();
    list().cullUnits();
}

void testBattle::releaseInput(int mouseX, int mouseY) {
    for (int code = 0; code < KEY_MAX; code++) {
        setKey(code, false);
    }
    setButtons(0);
    mouse_x = mouseX;
    mouse_y = mouseY;
}

void testBattle::setKey(int code, bool down) {
    if ((key[code] != 0) != down) {
        key[code] = down;
        keyboard_lowlevel_callback(code | (down ? 0 : 0x80));
    }
}

void testBattle::setButtons(int buttons) {
    int changes = 0;
    for (int b = 0; b < 3; b++) {
        if (((mouse_b ^ buttons) >> b & 1) != 0) {
            // Button b's flags: down MOUSE_FLAG_LEFT_DOWN << 2b, up MOUSE_FLAG_LEFT_UP << 2b.
            changes |= (buttons >> b & 1 ? MOUSE_FLAG_LEFT_DOWN : MOUSE_FLAG_LEFT_UP) << 2 * b;
        }
    }
    mouse_b = buttons;
    if (changes != 0) {
        mouse_callback(changes);
    }
}
