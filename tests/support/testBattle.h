#pragma once

#include <allegro.h>

#include <vector>

#include "battleMain.h"
#include "dataObj.h"
#include "unit.h"
#include "unitList.h"

// A unit kind with its fields open to the test, to set up and inspect states directly.
template <class Kind> class exposed : public Kind {
  public:
    using Kind::attacking;
    using Kind::currentStatus;
    using Kind::hp;
    using Kind::invicTime;
    using Kind::knockbackTime;
    using Kind::knockbackX;
    using Kind::knockbackY;
    using Kind::pendingDamage;
    using Kind::pendingStatus;
    using Kind::stunTime;
    using Kind::touchedBoundary;
};

// The general types, short for tables.
constexpr int P = generalTypePlayer, H = generalTypeHomer, S = generalTypeShot;

// Queues a request for a unit of the type at (x, y) arena pixels; the list owns it.
void queueUnit(unitList& list, int type, int x, int y, fixed moveAngle = 0, int delay = 0);

// The real battle, built headless from the game's own picture datafile on 640 x 480 memory
// bitmaps, without the frame timer: loop iterations and ticks are run by hand, and units can be
// placed directly with the battle's own picture sets and hitboxes.
class testBattle {
  public:
    // Builds the battle, then reseeds rand and restarts, so that positions are repeatable.
    explicit testBattle(unsigned seed = 1);

    // One loop iteration of the game with that many ticks pending.
    void go(int ticksPending = 1);
    // Empties the battle: no units, no creation requests.
    void empty() { list().clearAll(); }
    // A unit of the kind at (x, y) arena pixels with the pictures and hitbox of its general type,
    // or of `type` when given (a base unit without one gets the homing enemy's), added to the list
    // at once. The list owns it.
    template <class Kind = unit> exposed<Kind>* add(int x, int y, int type = 0) {
        exposed<Kind>* u = new exposed<Kind>();
        if (type != 0 || u->getGeneralType() == 0) {
            u->setGeneralType(type != 0 ? type : generalTypeHomer);
        }
        u->setUnitGraphics(pictures.at(u->getGeneralType()));
        u->setHitbox(hitboxes.at(u->getGeneralType()));
        u->setPos(itofix(x), itofix(y));
        list().addUnit(u);
        return u;
    }
    // A tick as the game runs it in its loop iteration: draw the units, tick, cull.
    void step();
    // The live units of one general type, in list order.
    std::vector<unit*> ofType(int generalType) const { return list().search(0, generalType); }
    unitList& list() const { return *battle.getUnitList(); }
    // The picture set the battle gives units of a general type.
    unitGraphics* picturesOf(int type) const { return pictures.at(type); }
    // Lets go of every key and mouse button and puts the mouse at (x, y) screen pixels.
    static void releaseInput(int mouseX = 320, int mouseY = 100);
    // Presses or lets go of a key, or sets the mouse buttons (bit 0 left, 1 right, 2 middle), as
    // Allegro's drivers do: the new state, then the callback for each change.
    static void setKey(int code, bool down);
    static void setButtons(int buttons);

    dataObj data;
    battleMain battle;

  private:
    std::vector<unitGraphics*> pictures; // by general type
    std::vector<hitbox*> hitboxes;
};
