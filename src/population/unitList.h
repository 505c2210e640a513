#pragma once

#include <allegro.h>

#include <vector>

class unit;
class unitGraphics;
class hitbox;

// A request for a unit to come into being at the end of a tick; the unit list serves it.
class unitCreate {
  public:
    // All fields 0.
    unitCreate();
    ~unitCreate();

    int type;   // 1 player, 2 homing enemy, 3 shot; also the key of its pictures and hitbox
    fixed posX; // starting position, 16.16 arena pixels
    fixed posY;
    fixed moveAngle; // starting direction, 16.16 angle units
    int delay;       // createUnits passes to wait; 0 or less: served at the next pass
};

// The battle's one container: the live units in order of addition, the queue of creation
// requests, and the per-type picture sets and hitboxes. Owns all of them.
// Units enter only in createUnits and leave only in cullUnits or clearAll, never while the
// live sequence is being walked.
class unitList {
  public:
    // Everything empty, the next unit ID 0.
    unitList();
    // Releases the units, requests, picture sets and hitboxes it holds.
    ~unitList();
    unitList(const unitList&) = delete;
    unitList& operator=(const unitList&) = delete;

    // Appends u (taking ownership) and gives it the next unit ID; u must already have its picture
    // set and hitbox, which the collision scan relies on.
    void addUnit(unit* u);
    // Registers a picture set / hitbox (taking ownership) for the whole run.
    void addGraphics(unitGraphics* g);
    void addHitbox(hitbox* h);
    // Queues a creation request, taking ownership.
    void addCreate(unitCreate* c);

    // The live sequence itself, in order of addition.
    std::vector<unit*>* getUnits() { return &units; }
    // The unit at a position; throws std::out_of_range outside 0 to size - 1.
    unit* getUnit(int index) const;
    unit* at(int index) const { return getUnit(index); }
    // With mode 0, every unit of the general type in sequence order; any other mode: none.
    // The units stay owned by the list.
    std::vector<unit*> search(int mode, int generalType) const;
    // Position of the last registered picture set / hitbox of the type, 0 when none matches.
    int searchGraphics(int type) const;
    int searchHitBox(int type) const;
    // Drops every unit and every waiting request and restarts the numbering at 0; picture sets
    // and hitboxes stay.
    void clearAll();

    // Serves the queue once: a due request becomes a unit at the end of the sequence, with its
    // type's picture set and hitbox, and the others count down. A request of an unknown type stops
    // the pass where it stands.
    void createUnits();
    // Removes every unit whose death countdown has run out, keeping the others' order.
    void cullUnits();

    // The waiting creation requests, in queue order.
    const std::vector<unitCreate*>& getCreates() const { return creates; }

  private:
    std::vector<unit*> units;
    int nextUnitID;
    std::vector<unitCreate*> creates;
    std::vector<unitGraphics*> graphics;
    std::vector<hitbox*> hitboxes;
};
