#include "homingUnit.h"

#include <vector>

#include "unitList.h"
#include "zeriMath.h"

namespace {
constexpr int startHeading = 20; // angle units, a little clockwise from up
constexpr int homerSpeed = 2;    // pixels per tick
constexpr int homerHP = 5;
} // namespace

homingUnit::homingUnit() : homingAngle(itofix(startHeading)) {
    moveSpeed = itofix(homerSpeed);
    generalType = generalTypeHomer;
    hp = homerHP;
    hurtsPlayerWhenDead = false;
}

void homingUnit::processInput(dataObj*, unitList* list) {
    std::vector<unit*> targets = list->search(0, generalTypePlayer);
    if (currentStatus == statusDead || currentStatus == statusStunned) {
        return;
    }
    if (!targets.empty()) {
        homingAngle = calcAngle(posX, posY, targets.front()->getPosX(), targets.front()->getPosY(),
                                moveAngle);
    }
    moveAngle = homingAngle;
    drawAngle = homingAngle;
    moveAmount = fullMoveAmount;
}
