#include <gtest/gtest.h>

#include <cmath>

#include "dumbUnit.h"
#include "homingUnit.h"
#include "playerUnit.h"
#include "testWorld.h"

namespace {

// Units placed by hand and judged by one collision scan each, or by whole ticks.
class collision : public ::testing::Test {
  protected:
    testWorld world;

    void scan(unit* u) { u->collideCheck(&world.data, &world.list); }
};

TEST_F(collision, contactNeedsTheCentresStrictlyCloserThanHalfTheSizes) {
    auto* a = world.add<homingUnit>(itofix(100), itofix(100));
    auto* b = world.add<homingUnit>(itofix(132), itofix(100));
    scan(a);
    EXPECT_EQ(a->knockbackTime, 0) << "exactly 32.0 apart: no contact";
    b->posX = itofix(132) - 1;
    scan(a);
    EXPECT_EQ(a->knockbackTime, 2) << "just under 32.0: contact";
}

TEST_F(collision, mixedSizesTouchBelowTheirHalvedSum) {
    // A 31-pixel unit against a 32-pixel one: (31 + 32) / 2 = 31 in integers.
    BITMAP* pic31 = makeSquare(31, 1, 2, 3);
    unitGraphics set31;
    set31.insertPic(pic31, statusIdle);
    auto* a = world.add<homingUnit>(itofix(100), itofix(100));
    auto* b = world.add<homingUnit>(itofix(131), itofix(100));
    b->setUnitGraphics(&set31);
    scan(a);
    EXPECT_EQ(a->knockbackTime, 0);
    b->posX = itofix(131) - 1;
    scan(a);
    EXPECT_EQ(a->knockbackTime, 2);
    destroy_bitmap(pic31);
}

TEST_F(collision, knockbackPushesEachSideAwayFromTheOtherVertically) {
    auto* self = world.add<homingUnit>(itofix(100), itofix(100));
    auto* other = world.add<homingUnit>(itofix(100), itofix(80));
    scan(self);
    scan(other);
    EXPECT_EQ(self->knockbackX, 0);
    EXPECT_EQ(self->knockbackY, itofix(20)) << "pushed down, away from the unit above";
    EXPECT_EQ(other->knockbackX, 0);
    EXPECT_EQ(other->knockbackY, itofix(-20));
}

TEST_F(collision, knockbackPushesEachSideAwayFromTheOtherHorizontally) {
    auto* self = world.add<homingUnit>(itofix(100), itofix(100));
    auto* other = world.add<homingUnit>(itofix(120), itofix(100));
    scan(self);
    scan(other);
    EXPECT_EQ(self->knockbackX, itofix(-20)) << "pushed left, away from the unit on its right";
    EXPECT_EQ(self->knockbackY, 0);
    EXPECT_EQ(other->knockbackX, itofix(20));
    EXPECT_EQ(other->knockbackY, 0);
}

TEST_F(collision, knockbackOnADiagonalPointsAwayAlongTheLineOfCentres) {
    auto* self = world.add<homingUnit>(itofix(100), itofix(100));
    world.add<homingUnit>(itofix(110), itofix(110));
    scan(self);
    EXPECT_LT(self->knockbackX, 0);
    EXPECT_LT(self->knockbackY, 0);
    EXPECT_NEAR(fixtof(self->knockbackX), fixtof(self->knockbackY), 0.01);
    EXPECT_NEAR(std::hypot(fixtof(self->knockbackX), fixtof(self->knockbackY)),
                std::hypot(10.0, 10.0), 0.05)
        << "as long as the centres are apart";
}

TEST_F(collision, coincidingCentresPushAlongTheOppositeOfTheMoveAngle) {
    auto* self = world.add<homingUnit>(itofix(100), itofix(100));
    world.add<homingUnit>(itofix(100), itofix(100));
    self->moveAngle = itofix(64);
    scan(self);
    EXPECT_EQ(self->knockbackTime, 2) << "the contact counts";
    EXPECT_EQ(self->knockbackX, 0) << "a distance of 0 gives no impulse";
    EXPECT_EQ(self->knockbackY, 0);
}

TEST_F(collision, contactsAddUpAndTheSumIsCapped) {
    auto* self = world.add<homingUnit>(itofix(200), itofix(200));
    world.add<homingUnit>(itofix(225), itofix(200));
    world.add<homingUnit>(itofix(200), itofix(225));
    scan(self);
    EXPECT_EQ(self->knockbackX, itofix(-25));
    EXPECT_EQ(self->knockbackY, itofix(-25));
    EXPECT_EQ(self->knockbackTime, 4);
    self->processPendingActions(&world.data, &world.list);
    double pushed = std::hypot(fixtof(self->knockbackX), fixtof(self->knockbackY));
    EXPECT_NEAR(pushed, 20.0, 0.001) << "scaled down to the cap";
}

TEST_F(collision, shotAndHomerHurtAndStunAndKnockEachOther) {
    auto* homer = world.add<homingUnit>(itofix(100), itofix(100));
    auto* shot = world.add<dumbUnit>(itofix(110), itofix(100));
    scan(homer);
    scan(shot);
    EXPECT_EQ(homer->pendingDamage, 1);
    EXPECT_EQ(homer->stunTime, 20);
    EXPECT_EQ(homer->knockbackTime, 5);
    EXPECT_EQ(homer->knockbackX, itofix(-10));
    EXPECT_EQ(shot->pendingDamage, 1);
    EXPECT_EQ(shot->stunTime, 0);
    EXPECT_EQ(shot->knockbackTime, 2);
    EXPECT_EQ(shot->knockbackX, itofix(10));
}

TEST_F(collision, playerAndShotPassThroughAndShotsPassThroughShots) {
    auto* player = world.add<playerUnit>(itofix(100), itofix(100));
    auto* shot = world.add<dumbUnit>(itofix(100), itofix(105));
    auto* shot2 = world.add<dumbUnit>(itofix(102), itofix(105));
    scan(player);
    scan(shot);
    scan(shot2);
    EXPECT_EQ(player->pendingDamage + shot->pendingDamage + shot2->pendingDamage, 0);
    EXPECT_EQ(player->knockbackTime + shot->knockbackTime + shot2->knockbackTime, 0);
}

TEST_F(collision, homersPushEachOtherWithoutHarm) {
    auto* a = world.add<homingUnit>(itofix(100), itofix(100));
    auto* b = world.add<homingUnit>(itofix(110), itofix(100));
    scan(a);
    scan(b);
    EXPECT_EQ(a->pendingDamage, 0);
    EXPECT_EQ(b->pendingDamage, 0);
    EXPECT_EQ(a->knockbackTime, 2);
    EXPECT_EQ(b->knockbackTime, 2);
}

TEST_F(collision, playerAndHomerTouchAndOnlyThePlayerIsHurt) {
    auto* player = world.add<playerUnit>(itofix(100), itofix(100));
    auto* homer = world.add<homingUnit>(itofix(100), itofix(120));
    scan(player);
    scan(homer);
    EXPECT_EQ(player->pendingDamage, 1);
    EXPECT_EQ(player->knockbackY, itofix(-20));
    EXPECT_EQ(homer->pendingDamage, 0);
    EXPECT_EQ(homer->knockbackY, itofix(20));
}

TEST_F(collision, stunnedHomerAndPlayerDoNotTouchFromEitherSide) {
    auto* player = world.add<playerUnit>(itofix(100), itofix(100));
    auto* homer = world.add<homingUnit>(itofix(100), itofix(120));
    homer->currentStatus = statusStunned;
    scan(player);
    scan(homer);
    EXPECT_EQ(player->pendingDamage, 0);
    EXPECT_EQ(player->knockbackTime, 0);
    EXPECT_EQ(homer->knockbackTime, 0);
}

TEST_F(collision, stunnedHomerAndNormalHomerHurtEachOther) {
    auto* stunned = world.add<homingUnit>(itofix(100), itofix(100));
    auto* normal = world.add<homingUnit>(itofix(100), itofix(120));
    stunned->currentStatus = statusStunned;
    scan(stunned);
    scan(normal);
    EXPECT_EQ(stunned->pendingDamage, 1);
    EXPECT_EQ(normal->pendingDamage, 1);
    EXPECT_EQ(stunned->knockbackTime, 2);
    EXPECT_EQ(normal->knockbackTime, 2);
}

TEST_F(collision, playerIgnoresADeadHomerButTheDeadHomerIsStillPushed) {
    auto* player = world.add<playerUnit>(itofix(100), itofix(100));
    auto* homer = world.add<homingUnit>(itofix(100), itofix(120));
    homer->currentStatus = statusDead;
    scan(player);
    scan(homer);
    EXPECT_EQ(player->pendingDamage, 0);
    EXPECT_EQ(player->knockbackTime, 0);
    EXPECT_EQ(homer->knockbackY, itofix(20));
}

TEST_F(collision, anInvinciblePlayerTouchesNothingWhileOtherPairsStillDo) {
    auto* player = world.add<playerUnit>(itofix(100), itofix(100));
    auto* homer = world.add<homingUnit>(itofix(100), itofix(120));
    auto* homer2 = world.add<homingUnit>(itofix(110), itofix(120));
    player->invicTime = 3;
    scan(player);
    scan(homer);
    EXPECT_EQ(player->pendingDamage, 0);
    EXPECT_EQ(player->knockbackTime, 0);
    EXPECT_EQ(homer->knockbackX, itofix(-10)) << "pushed by the other homer only";
    EXPECT_EQ(homer->knockbackY, 0);
    (void)homer2;
}

TEST_F(collision, aDeadPlayerTouchesNothing) {
    auto* player = world.add<playerUnit>(itofix(100), itofix(100));
    world.add<homingUnit>(itofix(100), itofix(120));
    player->currentStatus = statusDead;
    scan(player);
    EXPECT_EQ(player->pendingDamage, 0);
    EXPECT_EQ(player->knockbackTime, 0);
}

TEST_F(collision, aUnitWithoutHitboxIsOutOfReach) {
    auto* self = world.add<homingUnit>(itofix(100), itofix(100));
    auto* ghost = world.add<homingUnit>(itofix(105), itofix(100));
    ghost->setHitbox(nullptr);
    scan(self);
    EXPECT_EQ(self->knockbackTime, 0);
}

TEST_F(collision, statusesReadAreTheDrawnOnesSoListOrderDoesNotMatter) {
    // Shot first or homer first: the same outcome after one tick.
    for (bool shotFirst : {true, false}) {
        testWorld w;
        exposed<dumbUnit>* shot = nullptr;
        exposed<homingUnit>* homer = nullptr;
        if (shotFirst) {
            shot = w.add<dumbUnit>(itofix(100), itofix(100));
            homer = w.add<homingUnit>(itofix(110), itofix(100));
        } else {
            homer = w.add<homingUnit>(itofix(110), itofix(100));
            shot = w.add<dumbUnit>(itofix(100), itofix(100));
        }
        shot->moveAngle = itofix(64);
        w.step();
        EXPECT_EQ(homer->getHP(), 4) << shotFirst;
        EXPECT_EQ(homer->stunTime, 20) << shotFirst;
        EXPECT_EQ(shot->getHP(), 0) << shotFirst;
    }
}

} // namespace
