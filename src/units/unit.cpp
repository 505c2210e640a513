#include "unit.h"

#include <algorithm>

#include "arena.h"
#include "canvas.h"
#include "dataObj.h"
#include "hitbox.h"
#include "unitGraphics.h"
#include "unitList.h"
#include "zeriMath.h"

namespace {
constexpr int defaultPosX = 400;
constexpr int defaultPosY = 300;
constexpr int defaultMoveSpeed = 5;
constexpr int defaultDeathTime = 10;
constexpr int invincibleTicks = 15; // one is spent in the tick of the hit

// Statuses 3 and 4 are never worked out, but an animation ending in them ends an attack too.
constexpr int lastAttackStatus = 4;
bool isAttackStatus(int status) {
    return status >= statusAttacking && status <= lastAttackStatus;
}
} // namespace

unit::unit()
    : drawPosX(defaultPosX), drawPosY(defaultPosY), posX(itofix(defaultPosX)),
      posY(itofix(defaultPosY)), drawAngle(0), moveAngle(0), unitID(-1), generalType(0),
      unitHitbox(nullptr), moveAmount(0), knockbackX(0), knockbackY(0), hurtsPlayerWhenDead(false),
      knockbackTime(0), stunTime(0), invicTime(0), moveSpeed(itofix(defaultMoveSpeed)),
      animFrame(0), currentStatus(statusIdle), pendingStatus(statusIdle), pendingAttack(0),
      attacking(0), graphicsSet(nullptr), hp(1), pendingDamage(0),
      deathTimeRemoval(defaultDeathTime), diesAtBoundary(false), touchedBoundary(false) {}

unit::~unit() {}

void unit::draw(BITMAP* target) {
    drawPosX = fixtoi(posX);
    drawPosY = fixtoi(posY);
    if (pendingStatus != currentStatus) {
        currentStatus = pendingStatus;
        animFrame = 0;
    }
    BITMAP* pic = graphicsSet->getPic(currentStatus, animFrame);
    animFrame++;
    if (animFrame >= graphicsSet->getSizeOfVector(currentStatus)) {
        if (isAttackStatus(currentStatus) && attacking != 0) {
            currentStatus = statusIdle;
            attacking = 0;
        }
        animFrame = 0;
    }
    if (pic != nullptr) {
        const int half = graphicsSet->getPicSize() / 2;
        canvas::turnedSprite(target, pic, drawPosX, drawPosY, half, half, drawAngle);
    }
}

void unit::processInput(dataObj*, unitList*) {}

void unit::makePendingActions(dataObj* data, unitList* list) {
    statusCheck(data, list);
    if (knockbackTime <= 0) {
        knockbackX = 0;
        knockbackY = 0;
    }
    collideCheck(data, list);
    if (knockbackTime > 0) {
        knockbackTime--;
    }
}

void unit::processPendingActions(dataObj* data, unitList*) {
    fixed x = posX;
    fixed y = posY;

    hp -= pendingDamage;
    if (pendingDamage > 0 && generalType == generalTypePlayer) {
        invicTime = invincibleTicks;
    }
    if (generalType == generalTypePlayer && invicTime > 0) {
        invicTime--;
    }
    pendingDamage = 0;

    // A 32-bit product, as the raw 16.16 speed times the quarters, then the quarter taken.
    fixed step = static_cast<fixed>(static_cast<uint32_t>(moveSpeed) * moveAmount) / fullMoveAmount;
    x = wrapAdd(x, fixmul(fixsin(moveAngle), step));
    y = wrapSub(y, fixmul(fixcos(moveAngle), step));

    fixed cap = data->getArena()->getKnockbackCap();
    fixed h = fixhypot(knockbackX, knockbackY);
    if (h > cap) {
        knockbackX = fixmul(knockbackX, fixdiv(cap, h));
        knockbackY = fixmul(knockbackY, fixdiv(cap, h));
    }
    x = wrapAdd(x, knockbackX);
    y = wrapAdd(y, knockbackY);

    arenaBoundaryCheck(x, y, graphicsSet, data);
    posX = x;
    posY = y;
}

void unit::addAttacks(dataObj*, unitList*, int) {}

void unit::statusCheck(dataObj* data, unitList* list) {
    bool killedByBoundary = diesAtBoundary && touchedBoundary;
    if (hp <= 0 || killedByBoundary) {
        // The boundary kills outright; a unit already below 0 stays there, so hp never rises.
        if (killedByBoundary && hp > 0) {
            hp = 0;
        }
        pendingStatus = statusDead;
        deathTimeRemoval--;
    } else if (stunTime > 0) {
        pendingStatus = statusStunned;
        stunTime--;
    } else if (pendingAttack != 0) {
        pendingStatus = statusAttacking;
        addAttacks(data, list, pendingAttack);
        pendingAttack = 0;
    } else if (attacking != 0) {
        pendingStatus = statusAttacking;
    } else if (moveAmount != 0) {
        pendingStatus = statusMoving;
    } else {
        pendingStatus = statusIdle;
    }
    touchedBoundary = false;
}

void unit::collideCheck(dataObj*, unitList* list) {
    bool selfStunned = currentStatus == statusStunned;
    bool selfOut =
        currentStatus == statusDead && !hurtsPlayerWhenDead && generalType == generalTypePlayer;
    if (selfOut || invicTime > 0) {
        return; // touches nothing and is touched by nothing
    }

    for (unit* other : *list->getUnits()) {
        fixed reach = itofix((graphicsSet->getPicSize() + other->graphicsSet->getPicSize()) / 2);
        // Most pairs are far apart on one axis and cannot touch, whatever their hitboxes say: that
        // cheap test goes first, and the distance (a square root) is only needed for the few left.
        if (other->unitID == unitID || apartOnAnAxis(posX, posY, other->posX, other->posY, reach)) {
            continue;
        }

        bool otherStunned = other->currentStatus == statusStunned;
        // A stunned unit's stunned table decides for both sides of the contact.
        int result = otherStunned ? other->unitHitbox->checkCollide(generalType, true)
                                  : unitHitbox->checkCollide(other->generalType, selfStunned);

        bool otherOutForPlayer = other->currentStatus == statusDead &&
                                 !other->hurtsPlayerWhenDead && generalType == generalTypePlayer;
        if (result == collideNone || otherOutForPlayer || other->invicTime > 0) {
            continue;
        }
        fixed d = calcDist(posX, posY, other->posX, other->posY);
        if (d >= reach) {
            continue;
        }

        if (result == collideFull || result == collideKnockbackOnly) {
            // Pushed straight away from the other unit, as hard as the centres are apart.
            fixed a = calcAngle(posX, posY, other->posX, other->posY, moveAngle);
            knockbackX -= fixmul(fixsin(a), d);
            knockbackY += fixmul(fixcos(a), d);
            knockbackTime += other->unitHitbox->knockbackTime;
        }
        if (result == collideFull || result == collideDamageOnly) {
            pendingDamage += other->unitHitbox->damage;
            stunTime += other->unitHitbox->stunTime;
        }
    }
}

void unit::arenaBoundaryCheck(fixed& x, fixed& y, unitGraphics* pictures, dataObj* data) {
    arena* field = data->getArena();
    int r = pictures->getPicSize() / 2;
    // Each axis on its own: clamp the centre, bounce that axis's knockback.
    auto hold = [&](fixed& v, int size, fixed& knockback) {
        if (v < itofix(r)) {
            v = itofix(r);
        } else if (v > itofix(size - r)) {
            v = itofix(size - r);
        } else {
            return;
        }
        knockback = -knockback;
        touchedBoundary = true;
    };
    hold(x, field->getArenaSizeX(), knockbackX);
    hold(y, field->getArenaSizeY(), knockbackY);
}
