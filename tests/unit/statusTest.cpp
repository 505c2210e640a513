#include <gtest/gtest.h>

#include "dumbUnit.h"
#include "homingUnit.h"
#include "playerUnit.h"
#include "testWorld.h"

namespace {

// A unit that records the attacks handed to it.
class attackRecorder : public unit {
  public:
    void addAttacks(dataObj*, unitList*, int attack) override { attacks.push_back(attack); }
    std::vector<int> attacks;
};

class statusAndDeath : public ::testing::Test {
  protected:
    testWorld world;
    void check(unit* u) { u->statusCheck(&world.data, &world.list); }
};

TEST_F(statusAndDeath, theFirstMatchingRowDecides) {
    exposed<attackRecorder> u;
    u.moveAmount = 4;
    u.attacking = 1;
    u.pendingAttack = 7;
    u.stunTime = 2;
    check(&u);
    EXPECT_EQ(u.pendingStatus, statusStunned);
    EXPECT_EQ(u.stunTime, 1);
    EXPECT_TRUE(u.attacks.empty()) << "an attack waits out the stun";
    check(&u);
    EXPECT_EQ(u.pendingStatus, statusStunned);
    check(&u);
    EXPECT_EQ(u.pendingStatus, statusAttacking);
    EXPECT_EQ(u.attacks, std::vector<int>{7});
    EXPECT_EQ(u.pendingAttack, 0);
    check(&u);
    EXPECT_EQ(u.pendingStatus, statusAttacking) << "the animation is still running";
    EXPECT_EQ(u.attacks.size(), 1u);
    u.attacking = 0;
    check(&u);
    EXPECT_EQ(u.pendingStatus, statusMoving);
    u.moveAmount = 0;
    check(&u);
    EXPECT_EQ(u.pendingStatus, statusIdle);
}

TEST_F(statusAndDeath, aDeadUnitCountsDownAndNeverFires) {
    exposed<attackRecorder> u;
    u.hp = 0;
    u.pendingAttack = 1;
    u.stunTime = 5;
    for (int i = 0; i < 3; i++) {
        check(&u);
    }
    EXPECT_EQ(u.pendingStatus, statusDead);
    EXPECT_EQ(u.deathTimeRemoval, 7);
    EXPECT_EQ(u.stunTime, 5);
    EXPECT_TRUE(u.attacks.empty());
}

TEST_F(statusAndDeath, theBoundaryKillsAUnitThatDiesThereAndTheFlagIsAlwaysCleared) {
    exposed<unit> u;
    u.touchedBoundary = true;
    check(&u);
    EXPECT_NE(u.pendingStatus, statusDead) << "an ordinary unit survives the boundary";
    EXPECT_FALSE(u.touchedBoundary);

    u.diesAtBoundary = true;
    u.hp = 3;
    u.touchedBoundary = true;
    check(&u);
    EXPECT_EQ(u.pendingStatus, statusDead);
    EXPECT_EQ(u.hp, 0);
    EXPECT_FALSE(u.touchedBoundary);
}

TEST_F(statusAndDeath, hitPointsNeverRiseAgain) {
    exposed<unit> u;
    u.diesAtBoundary = true;
    u.hp = -2;
    u.touchedBoundary = true;
    check(&u);
    EXPECT_EQ(u.hp, -2);
}

TEST_F(statusAndDeath, aHomerWithFiveHitPointsDiesAfterFiveTicksOfShotsAndIsCulled) {
    auto* homer = world.add<homingUnit>(itofix(250), itofix(200));
    for (int tick = 1; tick <= 5; tick++) {
        // A fresh shot sits on the homer in every tick and flies off backwards, so that only
        // one shot touches it per tick.
        auto* shot = world.add<dumbUnit>(homer->posX, homer->posY);
        shot->moveAngle = itofix(20 + 128);
        world.step();
        EXPECT_EQ(homer->getHP(), 5 - tick);
    }
    int deadTicks = 0;
    while (!world.list.search(0, generalTypeHomer).empty()) {
        world.step();
        if (!world.list.search(0, generalTypeHomer).empty()) {
            EXPECT_EQ(homer->pendingStatus, statusDead);
        }
        deadTicks++;
        ASSERT_LE(deadTicks, 20);
    }
    EXPECT_EQ(deadTicks, 10) << "shown dead for 10 ticks, culled in the tenth";
}

TEST_F(statusAndDeath, aPlayerHitByAHomerLosesOneAndIsInvincibleFor14Ticks) {
    auto* player = world.add<playerUnit>(itofix(250), itofix(200));
    auto* homer = world.add<homingUnit>(itofix(250), itofix(225));
    world.tickOnly();
    EXPECT_EQ(player->getHP(), 2);
    EXPECT_EQ(player->getInvicTime(), 14);
    EXPECT_LT(player->posY, itofix(200)) << "knocked up, away from the homer below";
    EXPECT_EQ(homer->getHP(), 5);

    // Keep the homer on the player: no more damage until invincibility has run out.
    for (int tick = 1; tick <= 14; tick++) {
        homer->posX = player->posX;
        homer->posY = player->posY + itofix(10);
        world.step();
        EXPECT_EQ(player->getHP(), 2) << "tick " << tick;
        EXPECT_EQ(player->getInvicTime(), 14 - tick);
    }
    homer->posX = player->posX;
    homer->posY = player->posY + itofix(10);
    world.step();
    EXPECT_EQ(player->getHP(), 1);
    EXPECT_EQ(player->getInvicTime(), 14);
}

TEST_F(statusAndDeath, blowsLandingInTheSameTickAddUpBelowZero) {
    auto* player = world.add<playerUnit>(itofix(250), itofix(200));
    world.add<homingUnit>(itofix(250), itofix(225));
    world.add<homingUnit>(itofix(225), itofix(200));
    player->hp = 1;
    world.step();
    EXPECT_EQ(player->getHP(), -1);
    world.step();
    EXPECT_EQ(player->pendingStatus, statusDead);
    world.steps(3);
    EXPECT_EQ(player->getHP(), -1) << "a dead player touches nothing more";
}

TEST_F(statusAndDeath, onlyThePlayerBecomesInvincible) {
    auto* homer = world.add<homingUnit>(itofix(250), itofix(200));
    auto* shot = world.add<dumbUnit>(itofix(250), itofix(200));
    shot->moveAngle = itofix(64);
    world.step();
    EXPECT_EQ(homer->getHP(), 4);
    EXPECT_EQ(homer->getInvicTime(), 0);
}

TEST_F(statusAndDeath, cullRemovesExactlyTheExpiredUnitsKeepingOrder) {
    auto* a = world.add<unit>(0, 0);
    auto* b = world.add<unit>(0, 0);
    auto* c = world.add<unit>(0, 0);
    auto* d = world.add<unit>(0, 0);
    a->deathTimeRemoval = 0;
    b->deathTimeRemoval = -4;
    c->deathTimeRemoval = 1;
    d->deathTimeRemoval = 0;
    world.list.cullUnits();
    ASSERT_EQ(world.list.getUnits()->size(), 1u);
    EXPECT_EQ(world.list.getUnit(0), c);
}

} // namespace
