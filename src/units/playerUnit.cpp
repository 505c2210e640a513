#include "playerUnit.h"

#include <vector>

#include "cursor.h"
#include "dataObj.h"
#include "inputObj.h"
#include "unitList.h"
#include "videoSettings.h"
#include "zeriMath.h"

namespace {
constexpr int playerSpeed = 15; // pixels per tick
constexpr int playerHP = 3;

const fixed angleUp = itofix(0);
const fixed angleUpRight = itofix(32);
const fixed angleRight = itofix(64);
const fixed angleDownRight = itofix(96);
const fixed angleDown = itofix(128);
const fixed angleDownLeft = itofix(160);
const fixed angleLeft = itofix(192);
const fixed angleUpLeft = itofix(224);
} // namespace

playerUnit::playerUnit() {
    moveSpeed = itofix(playerSpeed);
    hp = playerHP;
    generalType = generalTypePlayer;
}

void playerUnit::processInput(dataObj* data, unitList*) {
    if (currentStatus == statusDead || currentStatus == statusStunned) {
        return;
    }

    // The cursor lives in screen pixels, the unit in arena pixels: compare them on screen.
    inputObj* input = data->getInputObj();
    videoSettings* video = data->getVideoSettings();
    int cursorX = 0;
    int cursorY = 0;
    input->getCursor()->getCursorShouldBe(cursorX, cursorY);
    fixed unitX = itofix(drawPosX + video->getGameOffsetX());
    fixed unitY = itofix(drawPosY + video->getGameOffsetY());
    drawAngle = calcAngle(unitX, unitY, itofix(cursorX), itofix(cursorY), drawAngle);

    // Later keys overwrite earlier ones, which settles every combination of the four.
    const std::vector<bool>& held = *input->getKeyWasHit();
    bool up = held.at(inputObj::keyUp);
    bool down = held.at(inputObj::keyDown);
    moveAmount = 0;
    if (up) {
        moveAngle = angleUp;
        moveAmount = fullMoveAmount;
    }
    if (down) {
        moveAngle = angleDown;
        moveAmount = fullMoveAmount;
    }
    if (held.at(inputObj::keyLeft)) {
        moveAngle = up ? angleUpLeft : down ? angleDownLeft : angleLeft;
        moveAmount = fullMoveAmount;
    }
    if (held.at(inputObj::keyRight)) {
        moveAngle = up ? angleUpRight : down ? angleDownRight : angleRight;
        moveAmount = fullMoveAmount;
    }

    if (input->getMouseWasClicked()->at(inputObj::mouseLeft)) {
        pendingAttack = 1;
    }
}

void playerUnit::addAttacks(dataObj*, unitList* list, int) {
    unitCreate* shot = new unitCreate();
    shot->type = generalTypeShot;
    shot->posX = posX;
    shot->posY = posY;
    shot->moveAngle = drawAngle;
    shot->delay = 0;
    attacking = 1;
    list->addCreate(shot);
}
