#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>

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

TEST(geometry, axisTestRulesOutOnlyPairsThatTheDistanceRulesOutToo) {
    // The collision scan skips the distance for pairs this test calls apart: it must never
    // call apart a pair whose distance is below the reach, however close to the edge.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> near(-64, 64), raw(-70000, 70000);
    const fixed reach = itofix(31);
    int apart = 0;
    for (int i = 0; i < 200000; i++) {
        fixed x1 = itofix(near(random)) + raw(random), y1 = itofix(near(random)) + raw(random);
        fixed x2 = x1 + (i % 2 == 0 ? reach : -reach) + raw(random) / 16;
        fixed y2 = y1 + near(random) * (raw(random) / 16);
        if (apartOnAnAxis(x1, y1, x2, y2, reach)) {
            apart++;
            ASSERT_GE(calcDist(x1, y1, x2, y2), reach) << i;
        }
    }
    EXPECT_GT(apart, 50000) << "the sample reached both sides of the edge";
}

TEST(geometry, axisTestUsesTheWrappedDifferencesOfTheDistance) {
    const fixed reach = itofix(31);
    EXPECT_TRUE(apartOnAnAxis(0, 0, reach, 0, reach)) << "exactly the reach is apart";
    EXPECT_FALSE(apartOnAnAxis(0, 0, reach - 1, reach - 1, reach)) << "diagonal: not decided";
    // Differences wrap as in calcDist: from INT_MAX to INT_MIN is one raw unit; from 0 to
    // INT_MIN it is -2^31, the largest of all.
    EXPECT_FALSE(apartOnAnAxis(INT_MAX, 0, INT_MIN, 0, reach));
    EXPECT_LT(calcDist(INT_MAX, 0, INT_MIN, 0), reach);
    EXPECT_TRUE(apartOnAnAxis(0, 0, INT_MIN, 0, INT_MAX));
    EXPECT_GE(calcDist(0, 0, INT_MIN, 0), INT_MAX);
}

} // namespace
