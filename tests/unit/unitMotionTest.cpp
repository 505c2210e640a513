#include <gtest/gtest.h>

#include "dumbUnit.h"
#include "homingUnit.h"
#include "playerUnit.h"
#include "testWorld.h"

namespace {

// One unit alone in the battle, stepped tick by tick.
class unitMotion : public ::testing::Test {
  protected:
    testWorld world;
    exposed<unit>* lone(int x, int y) { return world.addPlain(x, y); }
};

TEST_F(unitMotion, baseDefaults) {
    unit u;
    EXPECT_EQ(u.getPosX(), itofix(400));
    EXPECT_EQ(u.getPosY(), itofix(300));
    EXPECT_EQ(u.getDrawPosX(), 400);
    EXPECT_EQ(u.getDrawPosY(), 300);
    EXPECT_EQ(u.getUnitID(), -1);
    EXPECT_EQ(u.getHP(), 1);
    EXPECT_EQ(u.getDeathTimeRemoval(), 10);
    EXPECT_EQ(u.getCurrentStatus(), statusIdle);
    EXPECT_EQ(u.getHitbox(), nullptr);
    EXPECT_EQ(u.getUnitGraphics(), nullptr);
}

TEST_F(unitMotion, movesByItsSpeedAlongItsAngle) {
    exposed<unit>* u = lone(100, 100);
    u->moveAngle = itofix(64);
    u->moveAmount = 4;
    world.step();
    EXPECT_EQ(u->posX, itofix(105));
    EXPECT_EQ(u->posY, itofix(100));

    u->moveAngle = 0;
    world.step();
    EXPECT_EQ(u->posX, itofix(105));
    EXPECT_EQ(u->posY, itofix(95)) << "angle 0 is up the arena";
}

TEST_F(unitMotion, moveAmountCountsQuartersOfTheSpeed) {
    exposed<unit>* u = lone(100, 200);
    u->moveSpeed = itofix(20);
    u->moveAngle = itofix(64);
    u->moveAmount = 4;
    world.step();
    EXPECT_EQ(u->posX, itofix(120));
    u->moveAmount = 2;
    world.step();
    EXPECT_EQ(u->posX, itofix(130));
    u->moveAmount = 0;
    world.step();
    EXPECT_EQ(u->posX, itofix(130));
}

TEST_F(unitMotion, knockbackMovesAUnitStandingStill) {
    exposed<unit>* u = lone(200, 200);
    u->knockbackX = itofix(3);
    u->knockbackY = itofix(-2);
    u->knockbackTime = 1;
    world.step();
    EXPECT_EQ(u->posX, itofix(203));
    EXPECT_EQ(u->posY, itofix(198));
}

TEST_F(unitMotion, knockbackAboveTheCapIsScaledDownWithTruncation) {
    exposed<unit>* u = lone(200, 200);
    u->knockbackX = itofix(30);
    u->knockbackY = itofix(40);
    u->knockbackTime = 1;
    world.step();
    EXPECT_LT(u->knockbackX, itofix(12));
    EXPECT_LT(u->knockbackY, itofix(16));
    EXPECT_GT(u->knockbackX, itofix(12) - 65) << "within a thousandth of a pixel";
    EXPECT_GT(u->knockbackY, itofix(16) - 65);
    EXPECT_EQ(u->posX, itofix(200) + u->knockbackX) << "the stored, scaled value moved it";
}

TEST_F(unitMotion, knockbackExactlyAtTheCapIsLeftAlone) {
    exposed<unit>* u = lone(200, 200);
    u->knockbackX = itofix(12);
    u->knockbackY = itofix(16);
    u->knockbackTime = 1;
    world.step();
    EXPECT_EQ(u->knockbackX, itofix(12));
    EXPECT_EQ(u->knockbackY, itofix(16));
}

TEST_F(unitMotion, knockbackTimeOfFiveMovesInFiveTicksThenStops) {
    exposed<unit>* u = lone(100, 200);
    u->knockbackX = itofix(2);
    u->knockbackTime = 5;
    for (int tick = 1; tick <= 5; tick++) {
        world.step();
        EXPECT_EQ(u->posX, itofix(100 + 2 * tick)) << "tick " << tick;
    }
    world.step();
    EXPECT_EQ(u->posX, itofix(110)) << "cleared at the start of the sixth tick";
    EXPECT_EQ(u->knockbackX, 0);
}

TEST_F(unitMotion, drawRoundsThePositionHalvesUp) {
    exposed<unit>* u = lone(100, 100);
    u->posX = itofix(100) + itofix(1) / 2;
    u->posY = itofix(100) + itofix(1) / 4;
    u->draw(world.arenaBitmap);
    EXPECT_EQ(u->getDrawPosX(), 101);
    EXPECT_EQ(u->getDrawPosY(), 100);
}

TEST_F(unitMotion, drawPutsThePictureCentreOnThePosition) {
    exposed<unit>* u = lone(100, 100);
    clear_to_color(world.arenaBitmap, makecol(0, 0, 0));
    u->draw(world.arenaBitmap);
    int inside = getpixel(world.arenaBitmap, 100 - 16, 100 - 16);
    int outside = getpixel(world.arenaBitmap, 100 - 17, 100);
    int right = getpixel(world.arenaBitmap, 100 + 15, 100 + 15);
    EXPECT_NE(getg(inside), 0);
    EXPECT_NE(getg(right), 0);
    EXPECT_EQ(getg(outside), 0);
}

// A set whose statuses have 3 distinguishable frames.
class animation : public unitMotion {
  protected:
    void SetUp() override {
        for (int i = 0; i < 3; i++) {
            frames[i] = makeSquare(16, 10 + i, 0, 0);
            set.insertPic(frames[i], statusIdle);
            set.insertPic(frames[i], statusAttacking);
        }
        set.insertPic(frames[0], statusMoving);
    }
    void TearDown() override {
        for (BITMAP* f : frames) {
            destroy_bitmap(f);
        }
    }
    BITMAP* frames[3] = {};
    unitGraphics set;
};

TEST_F(animation, framesCycleOncePerDrawAndRestartOnAStatusChange) {
    exposed<unit> u;
    u.setUnitGraphics(&set);
    u.setPos(itofix(50), itofix(50));
    std::vector<int> shown;
    for (int i = 0; i < 4; i++) {
        u.draw(world.arenaBitmap);
        shown.push_back(getr(getpixel(world.arenaBitmap, 50, 50)));
    }
    EXPECT_EQ(shown, (std::vector<int>{10, 11, 12, 10}));

    u.pendingStatus = statusAttacking;
    u.draw(world.arenaBitmap);
    EXPECT_EQ(u.currentStatus, statusAttacking);
    EXPECT_EQ(getr(getpixel(world.arenaBitmap, 50, 50)), 10) << "a new status starts at frame 0";
}

TEST_F(animation, attackAnimationEndsBackInIdleAndClearsTheFlag) {
    exposed<unit> u;
    u.setUnitGraphics(&set);
    u.pendingStatus = statusAttacking;
    u.attacking = 1;
    u.draw(world.arenaBitmap);
    u.draw(world.arenaBitmap);
    EXPECT_EQ(u.currentStatus, statusAttacking);
    EXPECT_EQ(u.attacking, 1);
    u.draw(world.arenaBitmap);
    EXPECT_EQ(u.currentStatus, statusIdle);
    EXPECT_EQ(u.attacking, 0);
    EXPECT_EQ(u.animFrame, 0);
    u.draw(world.arenaBitmap);
    EXPECT_EQ(u.currentStatus, statusAttacking) << "pending status is still 2 without a tick";
}

TEST_F(animation, aStatusWithoutPicturesDrawsNothing) {
    exposed<unit> u;
    u.setUnitGraphics(&set);
    u.setPos(itofix(80), itofix(80));
    u.pendingStatus = statusStunned;
    clear_to_color(world.arenaBitmap, makecol(0, 0, 0));
    u.draw(world.arenaBitmap);
    u.draw(world.arenaBitmap);
    EXPECT_EQ(getr(getpixel(world.arenaBitmap, 80, 80)), 0);
    EXPECT_EQ(u.animFrame, 0);
}

} // namespace
