#include <gtest/gtest.h>

#include <cmath>

#include "testWorld.h"
#include "zeriMath.h"

namespace {

fixed angleTo(int x1, int y1, int x2, int y2, fixed fallback = itofix(99)) {
    return calcAngle(itofix(x1), itofix(y1), itofix(x2), itofix(y2), fallback);
}

// Allegro's tables are exact to a few raw units.
constexpr fixed tableSlack = 16;

TEST(geometry, straightUpIsZeroAndStraightDownIsMinusHalfATurn) {
    EXPECT_EQ(angleTo(0, 0, 0, -10), 0);
    EXPECT_EQ(angleTo(0, 0, 0, 10), itofix(-128));
}

TEST(geometry, levelPointsGiveAQuarterTurnRightOrThreeQuartersLeft) {
    EXPECT_EQ(angleTo(0, 0, 10, 0), itofix(64));
    EXPECT_EQ(angleTo(0, 0, -10, 0), itofix(192));
    EXPECT_EQ(angleTo(50, 7, 49, 7), itofix(192)) << "one pixel to the left";
}

TEST(geometry, diagonalsLandInTheRightQuadrant) {
    EXPECT_NEAR(angleTo(0, 0, 10, -10), itofix(32), tableSlack) << "up and right";
    EXPECT_NEAR(angleTo(0, 0, -10, -10), itofix(-32), tableSlack) << "up and left";
    EXPECT_NEAR(angleTo(0, 0, 10, 10), itofix(-160), tableSlack) << "down and right";
    EXPECT_NEAR(angleTo(0, 0, -10, 10), itofix(-96), tableSlack) << "down and left";
}

TEST(geometry, travellingAtTheAngleHeadsForTheTarget) {
    // From several starting points the unit step (sin a, -cos a) must point at the target.
    const int targets[][2] = {{37, -80}, {-120, 5}, {3, 200}, {-60, -61}, {250, 1}};
    for (const auto& t : targets) {
        fixed a = angleTo(0, 0, t[0], t[1]);
        double len = std::hypot(t[0], t[1]);
        EXPECT_NEAR(fixtof(fixsin(a)), t[0] / len, 0.01) << t[0] << "," << t[1];
        EXPECT_NEAR(-fixtof(fixcos(a)), t[1] / len, 0.01) << t[0] << "," << t[1];
    }
}

TEST(geometry, coincidingPointsGiveTheFallbackUnchanged) {
    EXPECT_EQ(angleTo(12, 34, 12, 34, itofix(77)), itofix(77));
    EXPECT_EQ(angleTo(0, 0, 0, 0, -5), -5);
}

TEST(geometry, hugeSidewaysOffsetSaturatesToAQuarterTurn) {
    // dy of one raw unit against a large x difference: fixdiv saturates.
    fixed a = calcAngle(0, 0, itofix(20000), 1, 0);
    EXPECT_NEAR(a, itofix(-192), tableSlack) << "right, seen as a point below";
}

TEST(geometry, distanceIsThePythagoreanLengthAndNeverNegative) {
    EXPECT_EQ(calcDist(0, 0, itofix(30), itofix(40)), itofix(50));
    EXPECT_EQ(calcDist(itofix(30), itofix(40), 0, 0), itofix(50));
    EXPECT_EQ(calcDist(itofix(5), itofix(5), itofix(5), itofix(5)), 0);
    EXPECT_NEAR(calcDist(0, 0, itofix(-3), itofix(-4)), itofix(5), tableSlack);
}

} // namespace
