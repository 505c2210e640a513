#include "dumbUnit.h"

namespace {
constexpr int shotSpeed = 20; // pixels per tick
} // namespace

dumbUnit::dumbUnit() {
    moveSpeed = itofix(shotSpeed);
    generalType = generalTypeShot;
    deathTimeRemoval = 1;
    diesAtBoundary = true;
}

void dumbUnit::processInput(dataObj*, unitList*) {
    moveAmount = fullMoveAmount;
}
