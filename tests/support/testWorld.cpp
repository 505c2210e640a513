#include "testWorld.h"

#include <cerrno>
#include <cstdlib>

#include "arena.h"

void startHeadlessAllegro() {
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(24);
        started = true;
    }
}

void queueUnit(unitList& list, int type, int x, int y, fixed moveAngle, int delay) {
    unitCreate* request = new unitCreate();
    request->type = type;
    request->posX = itofix(x);
    request->posY = itofix(y);
    request->moveAngle = moveAngle;
    request->delay = delay;
    list.addCreate(request);
}

BITMAP* makeSquare(int size, int red, int green, int blue) {
    BITMAP* pic = create_bitmap(size, size);
    clear_to_color(pic, makecol(red, green, blue));
    return pic;
}

namespace {
constexpr int playerSize = 32;
constexpr int homerSize = 32;
constexpr int shotSize = 8;
} // namespace

testWorld::testWorld() : arenaBitmap(nullptr), pictures(4, nullptr), hitboxes(4, nullptr) {
    startHeadlessAllegro();
    arena* field = data.getArena();
    arenaBitmap = create_bitmap(field->getArenaSizeX(), field->getArenaSizeY());

    const int sizes[4] = {0, playerSize, homerSize, shotSize};
    for (int type = generalTypePlayer; type <= generalTypeShot; type++) {
        BITMAP* pic = makeSquare(sizes[type], 40 * type, 200, 100);
        bitmaps.push_back(pic);
        unitGraphics* set = new unitGraphics();
        for (int status : {statusIdle, statusMoving, statusAttacking, statusDead, statusStunned}) {
            set->insertPic(pic, status);
        }
        set->type = type;
        pictures[type] = set;
        list.addGraphics(set);

        hitbox* box = new hitbox();
        box->generalType = type;
        hitboxes[type] = box;
        list.addHitbox(box);
    }
    // What each type inflicts, and how it meets the others, as in the battle.
    hitboxes[generalTypePlayer]->addCollide(generalTypePlayer, collideNone, false);
    hitboxes[generalTypePlayer]->addCollide(generalTypeShot, collideNone, false);
    hitbox* homer = hitboxes[generalTypeHomer];
    homer->damage = 1;
    homer->knockbackTime = 2;
    homer->addCollide(generalTypeHomer, collideKnockbackOnly, false);
    homer->addCollide(generalTypePlayer, collideNone, true);
    hitbox* shot = hitboxes[generalTypeShot];
    shot->damage = 1;
    shot->knockbackTime = 5;
    shot->stunTime = 20;
    shot->addCollide(generalTypePlayer, collideNone, false);
    shot->addCollide(generalTypeShot, collideNone, false);
}

testWorld::~testWorld() {
    for (BITMAP* pic : bitmaps) {
        destroy_bitmap(pic);
    }
    destroy_bitmap(arenaBitmap);
}

void testWorld::drawAll() {
    for (unit* u : *list.getUnits()) {
        u->draw(arenaBitmap);
    }
}

void testWorld::tickOnly() {
    std::vector<unit*>& live = *list.getUnits();
    for (unit* u : live) {
        u->processInput(&data, &list);
    }
    for (unit* u : live) {
        u->makePendingActions(&data, &list);
    }
    for (unit* u : live) {
        u->processPendingActions(&data, &list);
    }
    list.createUnits();
}

void testWorld::step() {
    drawAll();
    tickOnly();
    list.cullUnits();
}

void testWorld::steps(int n) {
    for (int i = 0; i < n; i++) {
        step();
    }
}
