#include <gtest/gtest.h>

#include <stdexcept>

#include "dumbUnit.h"
#include "homingUnit.h"
#include "playerUnit.h"
#include "testWorld.h"

namespace {

class population : public ::testing::Test {
  protected:
    void queue(int type, int x, int y, fixed angle, int delay) {
        queueUnit(world.list, type, x, y, angle, delay);
    }
    std::vector<int> ids() {
        std::vector<int> found;
        for (unit* u : *world.list.getUnits()) {
            found.push_back(u->getUnitID());
        }
        return found;
    }
    testWorld world;
};

TEST_F(population, idsCountFromZeroAndStartAgainAfterClearAll) {
    world.add<unit>(0, 0);
    world.add<unit>(0, 0);
    world.add<unit>(0, 0);
    EXPECT_EQ(ids(), (std::vector<int>{0, 1, 2}));
    queue(generalTypeHomer, 1, 1, 0, 4);
    world.list.clearAll();
    EXPECT_TRUE(world.list.getUnits()->empty());
    EXPECT_TRUE(world.list.getCreates().empty());
    world.add<unit>(0, 0);
    EXPECT_EQ(ids(), (std::vector<int>{0}));
    EXPECT_EQ(world.list.searchGraphics(3), 2) << "picture sets survive clearAll";
    EXPECT_EQ(world.list.searchHitBox(3), 2);
}

TEST_F(population, searchReturnsTheTypeInListOrderOnlyForModeZero) {
    world.add<playerUnit>(0, 0);
    unit* first = world.add<homingUnit>(0, 0);
    world.add<dumbUnit>(0, 0);
    unit* second = world.add<homingUnit>(0, 0);
    EXPECT_EQ(world.list.search(0, generalTypeHomer), (std::vector<unit*>{first, second}));
    EXPECT_TRUE(world.list.search(1, generalTypeHomer).empty());
    EXPECT_TRUE(world.list.search(0, 5).empty());
    EXPECT_EQ(world.list.getUnits()->size(), 4u);
}

TEST_F(population, picturesAndHitboxesAreFoundByTypeWithTheLastMatchWinning) {
    unitList list;
    EXPECT_EQ(list.searchGraphics(2), 0) << "empty table";
    for (int type : {1, 2, 3, 2}) {
        unitGraphics* set = new unitGraphics();
        set->type = type;
        list.addGraphics(set);
        hitbox* box = new hitbox();
        box->generalType = type;
        list.addHitbox(box);
    }
    EXPECT_EQ(list.searchGraphics(2), 3);
    EXPECT_EQ(list.searchGraphics(1), 0);
    EXPECT_EQ(list.searchGraphics(3), 2);
    EXPECT_EQ(list.searchGraphics(9), 0);
    EXPECT_EQ(list.searchHitBox(2), 3);
    EXPECT_EQ(list.searchHitBox(9), 0);
}

TEST_F(population, positionsOutsideTheListThrow) {
    unit* only = world.add<unit>(0, 0);
    EXPECT_EQ(world.list.getUnit(0), only);
    EXPECT_EQ(world.list.at(0), only);
    EXPECT_THROW(world.list.getUnit(-1), std::out_of_range);
    EXPECT_THROW(world.list.getUnit(1), std::out_of_range);
    EXPECT_THROW(world.list.at(1), std::out_of_range);
}

TEST_F(population, aDelayedRequestIsServedInThePassAfterItsDelay) {
    queue(generalTypePlayer, 250, 200, 0, 0);
    queue(generalTypeHomer, 0, 10, 0, 10);
    world.list.createUnits();
    ASSERT_EQ(world.list.getUnits()->size(), 1u);
    EXPECT_EQ(world.list.getUnit(0)->getGeneralType(), generalTypePlayer);
    EXPECT_EQ(world.list.getUnit(0)->getUnitID(), 0);
    ASSERT_EQ(world.list.getCreates().size(), 1u);
    EXPECT_EQ(world.list.getCreates()[0]->delay, 9);
    for (int pass = 2; pass <= 10; pass++) {
        world.list.createUnits();
    }
    EXPECT_EQ(world.list.getUnits()->size(), 1u);
    world.list.createUnits();
    ASSERT_EQ(world.list.getUnits()->size(), 2u) << "made in the 11th pass";
    EXPECT_EQ(world.list.getUnit(1)->getUnitID(), 1);
    EXPECT_TRUE(world.list.getCreates().empty());
}

TEST_F(population, dueRequestsAreServedTogetherInQueueOrder) {
    queue(generalTypeShot, 1, 1, 0, 0);
    queue(generalTypeHomer, 2, 2, 0, -3);
    queue(generalTypePlayer, 3, 3, 0, 5);
    world.list.createUnits();
    ASSERT_EQ(world.list.getUnits()->size(), 2u);
    EXPECT_EQ(world.list.getUnit(0)->getGeneralType(), generalTypeShot);
    EXPECT_EQ(world.list.getUnit(1)->getGeneralType(), generalTypeHomer);
    EXPECT_EQ(ids(), (std::vector<int>{0, 1}));
}

TEST_F(population, aNewUnitGetsItsKindPicturesHitboxPositionAndAngleButNotItsFacing) {
    queue(generalTypeShot, 120, 80, itofix(77), 0);
    world.list.createUnits();
    unit* shot = world.list.getUnit(0);
    EXPECT_NE(dynamic_cast<dumbUnit*>(shot), nullptr);
    EXPECT_EQ(shot->getUnitGraphics(), world.pictures[generalTypeShot]);
    EXPECT_EQ(shot->getHitbox(), world.hitboxes[generalTypeShot]);
    EXPECT_EQ(shot->getPosX(), itofix(120));
    EXPECT_EQ(shot->getPosY(), itofix(80));
    EXPECT_EQ(shot->getMoveAngle(), itofix(77));
    EXPECT_EQ(shot->getDrawAngle(), 0);
}

TEST_F(population, anUnknownTypeHoldsUpTheQueueUntilClearAll) {
    queue(4, 0, 0, 0, 0);
    queue(generalTypePlayer, 0, 0, 0, 0);
    queue(generalTypeHomer, 0, 0, 0, 2);
    for (int pass = 0; pass < 5; pass++) {
        world.list.createUnits();
    }
    EXPECT_TRUE(world.list.getUnits()->empty());
    ASSERT_EQ(world.list.getCreates().size(), 3u);
    EXPECT_EQ(world.list.getCreates()[2]->delay, 2) << "requests behind it are not counted down";
    world.list.clearAll();
    EXPECT_TRUE(world.list.getCreates().empty());
}

TEST_F(population, requestsAheadOfAnUnknownTypeAreStillServed) {
    queue(generalTypePlayer, 0, 0, 0, 0);
    queue(7, 0, 0, 0, 0);
    world.list.createUnits();
    EXPECT_EQ(world.list.getUnits()->size(), 1u);
    EXPECT_EQ(world.list.getCreates().size(), 1u);
}

TEST_F(population, aTypeWithoutPicturesFallsBackToTheFirstRegisteredSet) {
    unitList list;
    unitGraphics* only = new unitGraphics();
    only->type = 1;
    list.addGraphics(only);
    list.addHitbox(new hitbox());
    unitCreate* request = new unitCreate();
    request->type = generalTypeShot;
    list.addCreate(request);
    list.createUnits();
    EXPECT_EQ(list.getUnit(0)->getUnitGraphics(), only);
}

TEST_F(population, servingWithEmptyTablesThrows) {
    unitList list;
    unitCreate* request = new unitCreate();
    request->type = generalTypeHomer;
    list.addCreate(request);
    EXPECT_THROW(list.createUnits(), std::out_of_range);
}

} // namespace
