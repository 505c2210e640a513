#include <gtest/gtest.h>

#include <cmath>

#include "cursor.h"
#include "dumbUnit.h"
#include "homingUnit.h"
#include "inputObj.h"
#include "playerUnit.h"
#include "testWorld.h"
#include "videoSettings.h"

namespace {

class playerControl : public ::testing::Test {
  protected:
    void SetUp() override {
        world.data.getVideoSettings()->setGameOffset(70, 40);
        player = world.add<playerUnit>(itofix(250), itofix(200));
        player->setDrawPos(250, 200);
        input = world.data.getInputObj();
    }
    void hold(const std::vector<int>& keys) {
        std::vector<bool>& held = *input->getKeyWasHit();
        held.assign(held.size(), false);
        for (int k : keys) {
            held.at(k) = true;
        }
    }
    void aimAt(int screenX, int screenY) {
        input->getCursor()->setCursorShouldBe(screenX, screenY);
    }
    void think() { player->processInput(&world.data, &world.list); }

    testWorld world;
    exposed<playerUnit>* player = nullptr;
    inputObj* input = nullptr;
};

TEST_F(playerControl, constructorGivesSpeedFifteenThreeHitPointsAndTypeOne) {
    EXPECT_EQ(player->moveSpeed, 983040);
    EXPECT_EQ(player->getHP(), 3);
    EXPECT_EQ(player->getGeneralType(), generalTypePlayer);
}

TEST_F(playerControl, everyCombinationOfMovementKeysHasItsDirection) {
    using k = inputObj;
    struct combo {
        std::vector<int> keys;
        int angle;
    };
    const std::vector<combo> table = {
        {{k::keyUp}, 0},
        {{k::keyDown}, 128},
        {{k::keyLeft}, 192},
        {{k::keyRight}, 64},
        {{k::keyUp, k::keyLeft}, 224},
        {{k::keyUp, k::keyRight}, 32},
        {{k::keyDown, k::keyLeft}, 160},
        {{k::keyDown, k::keyRight}, 96},
        {{k::keyUp, k::keyDown}, 128},
        {{k::keyLeft, k::keyRight}, 64},
        {{k::keyUp, k::keyDown, k::keyLeft}, 224},
        {{k::keyUp, k::keyDown, k::keyRight}, 32},
        {{k::keyUp, k::keyLeft, k::keyRight}, 32},
        {{k::keyDown, k::keyLeft, k::keyRight}, 96},
        {{k::keyUp, k::keyDown, k::keyLeft, k::keyRight}, 32},
    };
    for (const combo& c : table) {
        player->moveAngle = itofix(1);
        hold(c.keys);
        think();
        EXPECT_EQ(player->moveAngle, itofix(c.angle)) << c.angle;
        EXPECT_EQ(player->moveAmount, 4);
    }
}

TEST_F(playerControl, noKeyStopsTheUnitButKeepsItsLastDirection) {
    hold({inputObj::keyLeft});
    think();
    hold({});
    think();
    EXPECT_EQ(player->moveAmount, 0);
    EXPECT_EQ(player->moveAngle, itofix(192));
}

TEST_F(playerControl, facesTheCursorThroughTheGameOffset) {
    aimAt(70 + 250, 40 + 100);
    think();
    EXPECT_EQ(player->getDrawAngle(), 0) << "cursor straight above on screen";
    aimAt(70 + 300, 40 + 200);
    think();
    EXPECT_EQ(player->getDrawAngle(), itofix(64));
    aimAt(70 + 250, 40 + 200);
    think();
    EXPECT_EQ(player->getDrawAngle(), itofix(64)) << "cursor on the unit keeps the facing";
}

TEST_F(playerControl, aimUsesTheDrawnPositionNotTheLogicalOne) {
    player->setDrawPos(100, 200);
    aimAt(70 + 200, 40 + 200);
    think();
    EXPECT_EQ(player->getDrawAngle(), itofix(64)) << "the cursor is right of where it was drawn";
}

TEST_F(playerControl, aLeftClickBecomesOneShotAtThePreMovePositionAlongTheFacing) {
    aimAt(70 + 250, 40 + 100);
    hold({inputObj::keyRight});
    input->getMouseWasClicked()->at(inputObj::mouseLeft) = true;
    world.drawAll();
    world.tickOnly();
    std::vector<unit*> shots = world.list.search(0, generalTypeShot);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0]->getPosX(), itofix(250)) << "where the player stood before moving";
    EXPECT_EQ(shots[0]->getPosY(), itofix(200));
    EXPECT_EQ(shots[0]->getMoveAngle(), 0) << "facing up, while running right";
    EXPECT_EQ(shots[0]->getDrawAngle(), 0);
    EXPECT_EQ(player->getPosX(), itofix(265));
    EXPECT_EQ(player->attacking, 1);
    EXPECT_EQ(player->pendingAttack, 0);
}

TEST_F(playerControl, stunnedOrDeadIgnoresInputAndKeepsTravelling) {
    hold({inputObj::keyDown});
    think();
    const fixed facing = player->getDrawAngle();
    for (int status : {statusStunned, statusDead}) {
        player->currentStatus = status;
        hold({inputObj::keyUp});
        input->getMouseWasClicked()->at(inputObj::mouseLeft) = true;
        aimAt(0, 0);
        think();
        EXPECT_EQ(player->moveAngle, itofix(128));
        EXPECT_EQ(player->moveAmount, 4);
        EXPECT_EQ(player->pendingAttack, 0);
        EXPECT_EQ(player->getDrawAngle(), facing);
    }
}

TEST_F(playerControl, twoClicksOnSuccessiveTicksGiveTwoShots) {
    for (int tick = 0; tick < 2; tick++) {
        input->getMouseWasClicked()->at(inputObj::mouseLeft) = true;
        world.step();
    }
    EXPECT_EQ(world.list.search(0, generalTypeShot).size(), 2u);
}

class selfSteering : public ::testing::Test {
  protected:
    testWorld world;
};

TEST_F(selfSteering, aShotFliesTwentyPixelsATickAndLeavesTheListInTheTickAfterTheBoundary) {
    auto* shot = world.add<dumbUnit>(itofix(400), itofix(200));
    shot->moveAngle = itofix(64);
    EXPECT_EQ(shot->moveSpeed, itofix(20));
    EXPECT_EQ(shot->getDeathTimeRemoval(), 1);
    world.step();
    EXPECT_EQ(shot->posX, itofix(420));
    world.step();
    EXPECT_EQ(shot->posX, itofix(440));
    world.step();
    EXPECT_EQ(shot->posX, itofix(460));
    world.step();
    EXPECT_EQ(shot->posX, itofix(480));
    world.step();
    EXPECT_EQ(shot->posX, itofix(496)) << "held 4 pixels (half its size) inside";
    EXPECT_EQ(world.list.getUnits()->size(), 1u);
    world.step();
    EXPECT_TRUE(world.list.getUnits()->empty()) << "found dead and culled in the same pass";
}

TEST_F(selfSteering, aShotIgnoresItsStatusAndNeverTurns) {
    auto* shot = world.add<dumbUnit>(itofix(100), itofix(300));
    shot->moveAngle = itofix(128);
    shot->currentStatus = statusStunned;
    shot->processInput(&world.data, &world.list);
    EXPECT_EQ(shot->moveAmount, 4);
    EXPECT_EQ(shot->moveAngle, itofix(128));
    EXPECT_EQ(shot->getDrawAngle(), 0);
}

TEST_F(selfSteering, aHomerBelowThePlayerHeadsUpAndOneOnItsLeftHeadsRight) {
    world.add<playerUnit>(itofix(250), itofix(200));
    auto* below = world.add<homingUnit>(itofix(250), itofix(300));
    auto* left = world.add<homingUnit>(itofix(100), itofix(200));
    world.step();
    EXPECT_EQ(below->getMoveAngle(), 0);
    EXPECT_EQ(below->getDrawAngle(), 0);
    EXPECT_EQ(below->posY, itofix(298));
    EXPECT_EQ(left->getMoveAngle(), itofix(64));
    EXPECT_EQ(left->posX, itofix(102));
}

TEST_F(selfSteering, aHomerOnThePlayerKeepsItsHeadingAndStillWalks) {
    world.add<playerUnit>(itofix(250), itofix(200));
    auto* homer = world.add<homingUnit>(itofix(250), itofix(200));
    homer->moveAngle = itofix(64);
    homer->processInput(&world.data, &world.list);
    EXPECT_EQ(homer->getMoveAngle(), itofix(64));
    EXPECT_EQ(homer->moveAmount, 4);
}

TEST_F(selfSteering, aStunnedHomerKeepsWalkingItsOldHeadingWithoutTurning) {
    auto* player = world.add<playerUnit>(itofix(250), itofix(100));
    auto* homer = world.add<homingUnit>(itofix(250), itofix(300));
    world.step();
    ASSERT_EQ(homer->getMoveAngle(), 0);
    homer->stunTime = 3;
    world.step(); // works out the stun, shown from the next drawn frame on
    player->posX = itofix(450);
    for (int tick = 0; tick < 3; tick++) {
        world.step();
        EXPECT_EQ(homer->getCurrentStatus(), statusStunned);
        EXPECT_EQ(homer->getMoveAngle(), 0);
    }
    world.step();
    EXPECT_NE(homer->getMoveAngle(), 0) << "turns again once the stun is over";
}

TEST_F(selfSteering, withoutAPlayerHomersWalkStraightOnAtTheirLastOrFirstHeading) {
    auto* fresh = world.add<homingUnit>(itofix(250), itofix(200));
    world.step();
    EXPECT_EQ(fresh->getMoveAngle(), itofix(20));
    EXPECT_NEAR(fixtof(fresh->posX), 250 + 2 * std::sin(20 * M_PI / 128), 0.01);
    EXPECT_NEAR(fixtof(fresh->posY), 200 - 2 * std::cos(20 * M_PI / 128), 0.01);
}

TEST_F(selfSteering, homersChaseTheEarlierOfTwoPlayers) {
    world.add<playerUnit>(itofix(400), itofix(200));
    world.add<playerUnit>(itofix(100), itofix(200));
    auto* homer = world.add<homingUnit>(itofix(250), itofix(200));
    world.step();
    EXPECT_EQ(homer->getMoveAngle(), itofix(64));
}

} // namespace
