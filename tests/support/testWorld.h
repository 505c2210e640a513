#pragma once

#include <allegro.h>

#include <vector>

#include "dataObj.h"
#include "hitbox.h"
#include "unit.h"
#include "unitGraphics.h"
#include "unitList.h"

// Allegro without a display: memory bitmaps, drawing, makecol and fixed-point maths, no timer.
void startHeadlessAllegro();

// A unit kind with every field open to the test, to set up and inspect states directly.
template <class Kind> class exposed : public Kind {
  public:
    using Kind::animFrame;
    using Kind::attacking;
    using Kind::currentStatus;
    using Kind::deathTimeRemoval;
    using Kind::diesAtBoundary;
    using Kind::drawAngle;
    using Kind::generalType;
    using Kind::hp;
    using Kind::hurtsPlayerWhenDead;
    using Kind::invicTime;
    using Kind::knockbackTime;
    using Kind::knockbackX;
    using Kind::knockbackY;
    using Kind::moveAmount;
    using Kind::moveAngle;
    using Kind::moveSpeed;
    using Kind::pendingAttack;
    using Kind::pendingDamage;
    using Kind::pendingStatus;
    using Kind::posX;
    using Kind::posY;
    using Kind::stunTime;
    using Kind::touchedBoundary;
};

// Queues a request for a unit of the type at (x, y) arena pixels; the list owns it.
void queueUnit(unitList& list, int type, int x, int y, fixed moveAngle = 0, int delay = 0);

// A square picture of one flat colour, the way units are sized by their status-0 picture.
BITMAP* makeSquare(int size, int red, int green, int blue);

// A small battle built by hand: a 500 x 400 arena, a unit list with picture sets of 32 (player),
// 32 (homing enemy) and 8 (shot) pixels and the battle's hitboxes, and an arena bitmap.
// step() runs one loop iteration as the game does: draw, one tick, cull.
class testWorld {
  public:
    testWorld();
    ~testWorld();
    testWorld(const testWorld&) = delete;
    testWorld& operator=(const testWorld&) = delete;

    // A unit of the given kind at (x, y) arena pixels, added to the list at once, with its
    // type's pictures and hitbox. The list owns it.
    template <class Kind> exposed<Kind>* add(fixed x, fixed y) {
        exposed<Kind>* u = new exposed<Kind>();
        int type = u->getGeneralType();
        u->setUnitGraphics(pictures.at(type));
        u->setHitbox(hitboxes.at(type));
        u->setPos(x, y);
        list.addUnit(u);
        return u;
    }

    // A base unit (general type 0) at (x, y) arena pixels with the homing enemy's 32-pixel
    // pictures and hitbox: a unit that moves only as its fields say.
    exposed<unit>* addPlain(int x, int y) {
        exposed<unit>* u = add<unit>(itofix(x), itofix(y));
        u->setUnitGraphics(pictures.at(generalTypeHomer));
        u->setHitbox(hitboxes.at(generalTypeHomer));
        return u;
    }

    // Draws every unit (which adopts the statuses worked out by the last tick).
    void drawAll();
    // The three passes over the units, then the creation requests.
    void tickOnly();
    // One loop iteration with a tick: draw, tick, cull.
    void step();
    // n such iterations.
    void steps(int n);

    dataObj data;
    unitList list;
    BITMAP* arenaBitmap;
    std::vector<unitGraphics*> pictures; // by general type 1 to 3 (index 0 unused)
    std::vector<hitbox*> hitboxes;       // by general type 1 to 3 (index 0 unused)

  private:
    std::vector<BITMAP*> bitmaps;
};
