#include <gtest/gtest.h>

#include <random>

#include "homingUnit.h"
#include "testWorld.h"

namespace {

// The arena keeps every centre at least half a picture (16 pixels for these 32-pixel units)
// inside each edge, and bounces only the knockback.
class arenaBoundary : public ::testing::Test {
  protected:
    exposed<unit>* lone() { return world.addPlain(250, 200); }
    void hold(unit* u, fixed& x, fixed& y) {
        u->arenaBoundaryCheck(x, y, world.pictures[generalTypeHomer], &world.data);
    }
    testWorld world;
};

TEST_F(arenaBoundary, aCentrePastTheLeftEdgeIsHeldHalfAPictureInside) {
    exposed<unit>* u = lone();
    u->knockbackX = itofix(-6);
    u->knockbackY = itofix(3);
    fixed x = itofix(10);
    fixed y = itofix(200);
    hold(u, x, y);
    EXPECT_EQ(x, itofix(16));
    EXPECT_EQ(y, itofix(200));
    EXPECT_EQ(u->knockbackX, itofix(6)) << "bounced";
    EXPECT_EQ(u->knockbackY, itofix(3)) << "the other axis is left alone";
    EXPECT_TRUE(u->touchedBoundary);
}

TEST_F(arenaBoundary, theRightAndBottomEdgesHoldToo) {
    exposed<unit>* u = lone();
    u->knockbackX = itofix(4);
    u->knockbackY = itofix(5);
    fixed x = itofix(499);
    fixed y = itofix(390);
    hold(u, x, y);
    EXPECT_EQ(x, itofix(484));
    EXPECT_EQ(y, itofix(384));
    EXPECT_EQ(u->knockbackX, itofix(-4));
    EXPECT_EQ(u->knockbackY, itofix(-5));
}

TEST_F(arenaBoundary, aCentreExactlyOnALimitIsInside) {
    exposed<unit>* u = lone();
    u->knockbackX = itofix(2);
    fixed x = itofix(16);
    fixed y = itofix(384);
    hold(u, x, y);
    EXPECT_EQ(x, itofix(16));
    EXPECT_EQ(y, itofix(384));
    EXPECT_EQ(u->knockbackX, itofix(2));
    EXPECT_FALSE(u->touchedBoundary);
}

TEST_F(arenaBoundary, aUnitDrivingIntoTheWallStaysPressedAgainstIt) {
    exposed<unit>* u = lone();
    u->posX = itofix(20);
    u->moveAngle = itofix(192);
    u->moveAmount = 4;
    world.steps(3);
    EXPECT_EQ(u->posX, itofix(16));
    EXPECT_EQ(u->moveAngle, itofix(192)) << "its own heading is not bounced";
    EXPECT_EQ(u->moveAmount, 4);
}

TEST_F(arenaBoundary, homersPushedAboutAtRandomNeverLeaveTheShrunkenArena) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> x(0, 500), y(0, 400), kick(-40, 40);
    std::vector<exposed<homingUnit>*> homers;
    for (int i = 0; i < 12; i++) {
        homers.push_back(world.add<homingUnit>(itofix(x(random)), itofix(y(random))));
    }
    for (int tick = 0; tick < 300; tick++) {
        for (auto* h : homers) {
            if (tick % 7 == 0) {
                h->knockbackX = itofix(kick(random));
                h->knockbackY = itofix(kick(random));
                h->knockbackTime = 3;
            }
        }
        world.step();
        for (auto* h : homers) {
            ASSERT_GE(h->posX, itofix(16));
            ASSERT_LE(h->posX, itofix(484));
            ASSERT_GE(h->posY, itofix(16));
            ASSERT_LE(h->posY, itofix(384));
        }
    }
}

} // namespace
