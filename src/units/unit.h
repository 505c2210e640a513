#pragma once

#include <allegro.h>

class dataObj;
class unitList;
class hitbox;
class unitGraphics;

// What a unit is showing and acting on; also the index of its animation in the picture set.
enum unitStatus {
    statusIdle = 0,
    statusMoving = 1,
    statusAttacking = 2,
    statusDead = 6,
    statusStunned = 7,
};

// The kinds of unit; also the keys of the picture sets, hitboxes and creation requests.
constexpr int generalTypePlayer = 1;
constexpr int generalTypeHomer = 2;
constexpr int generalTypeShot = 3;

// moveAmount counts quarters of moveSpeed; this is full speed.
constexpr int fullMoveAmount = 4;

// Everything that moves and fights. Positions are 16.16 arena pixels (origin top-left, y down),
// angles 16.16 Allegro angle units (256 a turn, 0 up, 64 right), times in ticks.
// A tick runs processInput, makePendingActions and processPendingActions over all units in turn,
// so every collision is judged on the positions the previous tick left.
class unit {
  public:
    unit();
    // Releases nothing: the hitbox and the picture set belong to the unit list.
    virtual ~unit();

    // Adopts the status worked out by the last tick, advances the animation and draws the
    // current frame turned by drawAngle, centred on the position (arena pixels).
    virtual void draw(BITMAP* target);
    // Decides this tick's movement and actions. The base unit does nothing.
    virtual void processInput(dataObj* data, unitList* list);
    // First phase: status, knockback run-down and the collision scan; touches only this unit.
    virtual void makePendingActions(dataObj* data, unitList* list);
    // Second phase: damage, movement, capped knockback and the arena boundary.
    virtual void processPendingActions(dataObj* data, unitList* list);
    // Puts what an attack creates into the battle; `attack` is the pending attack. Base: nothing.
    virtual void addAttacks(dataObj* data, unitList* list, int attack);

    // Picks the pending status (dead, stunned, attacking, moving, idle), counts a dead unit
    // towards removal and fires a pending attack.
    void statusCheck(dataObj* data, unitList* list);
    // Gathers on this unit the damage, knockback and stun of every contact in the list. Every
    // listed unit has a hitbox and a picture set (unitList::createUnits gives them).
    void collideCheck(dataObj* data, unitList* list);
    // Keeps the centre (x, y) at least half the picture size inside the arena, bouncing the
    // knockback and marking the contact.
    void arenaBoundaryCheck(fixed& x, fixed& y, unitGraphics* pictures, dataObj* data);

    int getDrawPosX() const { return drawPosX; }
    int getDrawPosY() const { return drawPosY; }
    void setDrawPos(int x, int y) {
        drawPosX = x;
        drawPosY = y;
    }
    fixed getPosX() const { return posX; }
    fixed getPosY() const { return posY; }
    void setPos(fixed x, fixed y) {
        posX = x;
        posY = y;
    }
    fixed getDrawAngle() const { return drawAngle; }
    void setDrawAngle(fixed a) { drawAngle = a; }
    fixed getMoveAngle() const { return moveAngle; }
    void setMoveAngle(fixed a) { moveAngle = a; }
    void setMoveSpeed(fixed s) { moveSpeed = s; }
    int getUnitID() const { return unitID; }
    void setUnitID(int id) { unitID = id; }
    int getGeneralType() const { return generalType; }
    void setGeneralType(int t) { generalType = t; }
    hitbox* getHitbox() const { return unitHitbox; }
    void setHitbox(hitbox* h) { unitHitbox = h; }
    unitGraphics* getUnitGraphics() const { return graphicsSet; }
    void setUnitGraphics(unitGraphics* g) { graphicsSet = g; }
    int getHP() const { return hp; }
    void setHP(int h) { hp = h; }
    bool getHurtsPlayerWhenDead() const { return hurtsPlayerWhenDead; }
    int getCurrentStatus() const { return currentStatus; }
    int getInvicTime() const { return invicTime; }
    int getDeathTimeRemoval() const { return deathTimeRemoval; }

  protected:
    int drawPosX;
    int drawPosY;
    fixed posX;
    fixed posY;
    fixed drawAngle;
    fixed moveAngle;
    int unitID;
    int generalType;
    hitbox* unitHitbox;
    int moveAmount; // quarters of moveSpeed to travel this tick: 0 still, 4 full speed
    fixed knockbackX;
    fixed knockbackY;
    bool hurtsPlayerWhenDead;
    int knockbackTime;
    int stunTime;
    int invicTime;
    fixed moveSpeed; // pixels per tick at full speed
    int animFrame;
    int currentStatus;
    int pendingStatus;
    int pendingAttack;
    int attacking;
    unitGraphics* graphicsSet;
    int hp;
    int pendingDamage;
    int deathTimeRemoval; // ticks a dead unit stays listed
    bool diesAtBoundary;
    bool touchedBoundary;
};
