// The unit list: creation requests served after their delay, numbering and searches.

#include <gtest/gtest.h>

#include "dumbUnit.h"
#include "hitbox.h"
#include "testBattle.h"

namespace {

class population : public ::testing::Test {
  protected:
    void SetUp() override { w.empty(); }
    // Each listed unit as "ID:type".
    std::string listed() const {
        std::string all;
        for (unit* u : *w.list().getUnits()) {
            all += std::to_string(u->getUnitID()) + ":" + std::to_string(u->getGeneralType()) + " ";
        }
        return all;
    }
    testBattle w;
};

TEST_F(population, requestsBecomeUnitsOfTheirKindAfterTheirDelayInQueueOrder) {
    queueUnit(w.list(), S, 120, 80, itofix(77), 0);
    queueUnit(w.list(), H, 2, 2, 0, 10);
    queueUnit(w.list(), P, 3, 3, 0, -3);
    w.list().createUnits();
    EXPECT_EQ(listed(), "0:3 1:1 ");
    unit* shot = w.list().getUnit(0);
    EXPECT_NE(dynamic_cast<dumbUnit*>(shot), nullptr);
    EXPECT_EQ(shot->getUnitGraphics(), w.picturesOf(S));
    EXPECT_EQ(shot->getHitbox()->generalType, S);
    EXPECT_EQ(std::make_tuple(shot->getPosX(), shot->getPosY(), shot->getMoveAngle()),
              std::make_tuple(itofix(120), itofix(80), itofix(77)));
    EXPECT_EQ(shot->getDrawAngle(), 0) << "a new unit faces up whatever its direction";
    for (int pass = 2; pass <= 10; pass++) {
        w.list().createUnits();
    }
    EXPECT_EQ(listed(), "0:3 1:1 ");
    w.list().createUnits();
    EXPECT_EQ(listed(), "0:3 1:1 2:2 ") << "made in the eleventh pass";
    EXPECT_EQ(w.list().search(0, H), std::vector<unit*>{w.list().getUnit(2)});
}

} // namespace
