#include <gtest/gtest.h>

#include <set>

#include "arena.h"
#include "battleWorld.h"
#include "frameTimer.h"
#include "testWorld.h"
#include "unit.h"
#include "unitList.h"
#include "videoSettings.h"

namespace {

class battleSetup : public ::testing::Test {
  protected:
    void TearDown() override { battleWorld::releaseInput(); }
    std::vector<std::pair<fixed, fixed>> homerStarts(battleWorld& w) {
        std::vector<std::pair<fixed, fixed>> starts;
        for (const unitCreate* request : w.battle.getUnitList()->getCreates()) {
            if (request->type == generalTypeHomer) {
                starts.emplace_back(request->posX, request->posY);
            }
        }
        return starts;
    }
};

TEST_F(battleSetup, theArenaIsCentredOnTheScreen) {
    battleWorld w;
    EXPECT_EQ(w.data.getVideoSettings()->getGameOffsetX(), 70);
    EXPECT_EQ(w.data.getVideoSettings()->getGameOffsetY(), 40);
    EXPECT_NE(w.data.getArena()->getArenaPic(), nullptr);
}

TEST_F(battleSetup, restartQueuesThePlayerAndThirtyHomersWithRisingDelays) {
    battleWorld w;
    EXPECT_TRUE(w.battle.getUnitList()->getUnits()->empty());
    const std::vector<unitCreate*>& queue = w.battle.getUnitList()->getCreates();
    ASSERT_EQ(queue.size(), 31u);
    EXPECT_EQ(queue[0]->type, generalTypePlayer);
    EXPECT_EQ(queue[0]->posX, itofix(250));
    EXPECT_EQ(queue[0]->posY, itofix(200));
    EXPECT_EQ(queue[0]->delay, 0);
    for (int i = 1; i <= 30; i++) {
        EXPECT_EQ(queue[i]->type, generalTypeHomer);
        EXPECT_EQ(queue[i]->delay, 10 * i);
        EXPECT_EQ(queue[i]->moveAngle, 0);
    }
}

TEST_F(battleSetup, thePlayerComesFirstThenAHomerEveryTenTicks) {
    battleWorld w;
    w.go();
    std::vector<unit*> players = w.ofType(generalTypePlayer);
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0]->getPosX(), itofix(250));
    EXPECT_EQ(players[0]->getPosY(), itofix(200));
    EXPECT_EQ(players[0]->getUnitID(), 0);
    for (int tick = 2; tick <= 301; tick++) {
        w.go();
        int expected = tick >= 11 ? (tick - 1) / 10 : 0;
        ASSERT_EQ(static_cast<int>(w.ofType(generalTypeHomer).size()), expected) << tick;
    }
    EXPECT_EQ(w.ofType(generalTypeHomer).size(), 30u);
}

TEST_F(battleSetup, everyHomerStartsOnTheBorderAndEveryEdgeIsUsed) {
    std::set<int> edges;
    for (unsigned seed = 1; seed <= 5; seed++) {
        battleWorld w(seed);
        for (auto [x, y] : homerStarts(w)) {
            bool left = x == 0, right = x == itofix(500), top = y == 0, bottom = y == itofix(400);
            EXPECT_TRUE(left || right || top || bottom) << fixtoi(x) << "," << fixtoi(y);
            EXPECT_TRUE(x >= 0 && x <= itofix(500) && y >= 0 && y <= itofix(400));
            EXPECT_EQ(x & 0xFFFF, 0) << "whole pixels";
            edges.insert(top ? 0 : right ? 1 : bottom ? 2 : 3);
        }
    }
    EXPECT_EQ(edges.size(), 4u);
}

TEST_F(battleSetup, theSameSeedGivesTheSamePositions) {
    battleWorld a(77);
    battleWorld b(77);
    battleWorld c(78);
    EXPECT_EQ(homerStarts(a), homerStarts(b));
    EXPECT_NE(homerStarts(a), homerStarts(c));
}

TEST_F(battleSetup, restartBeforeAllHomersAppearedLeavesNoneOfTheOldBattle) {
    battleWorld w(3);
    w.goTimes(55);
    ASSERT_EQ(w.ofType(generalTypeHomer).size(), 5u);
    w.tapKey(KEY_F10);
    EXPECT_TRUE(w.battle.getUnitList()->getUnits()->empty()) << "restarted after the tick";
    EXPECT_EQ(w.battle.getUnitList()->getCreates().size(), 31u);
    w.goTimes(301);
    std::vector<unit*> homers = w.ofType(generalTypeHomer);
    ASSERT_EQ(homers.size(), 30u);
    EXPECT_EQ(homers.back()->getUnitID(), 30) << "numbered as in a fresh battle";
}

TEST_F(battleSetup, f10LatchedWithoutTicksRestartsUntilATickHasSeenIt) {
    battleWorld w(3);
    w.go();
    key[KEY_F10] = 1;
    w.go(0);
    key[KEY_F10] = 0;
    w.go(0);
    EXPECT_TRUE(w.battle.getUnitList()->getUnits()->empty()) << "restarted on the release";
    w.go(0);
    w.go(1);
    EXPECT_TRUE(w.ofType(generalTypePlayer).empty()) << "the tick's results are discarded";
    EXPECT_EQ(w.battle.getUnitList()->getCreates().size(), 31u);
    w.go(1);
    ASSERT_EQ(w.ofType(generalTypePlayer).size(), 1u) << "no further restart";
    EXPECT_EQ(w.ofType(generalTypePlayer)[0]->getUnitID(), 0);
    w.go(1);
    EXPECT_EQ(w.ofType(generalTypePlayer).size(), 1u);
}

TEST_F(battleSetup, aClickReleasedBetweenTicksFiresOnTheNextTick) {
    battleWorld w;
    w.goTimes(2);
    mouse_b = 1;
    w.go(0);
    mouse_b = 0;
    w.go(0);
    EXPECT_TRUE(w.ofType(generalTypeShot).empty()) << "no tick, no shot yet";
    w.go(1);
    EXPECT_EQ(w.ofType(generalTypeShot).size(), 1u);
    w.go(0);
    w.go(1);
    EXPECT_EQ(w.ofType(generalTypeShot).size(), 1u) << "one click, one shot";
}

TEST_F(battleSetup, threePendingTicksRunOneAndAreThenDropped) {
    battleWorld w;
    w.go(3);
    EXPECT_EQ(frameTick, 0);
    EXPECT_EQ(w.battle.getUnitList()->getCreates().size(), 30u);
    ASSERT_EQ(w.battle.getUnitList()->getCreates().front()->delay, 9) << "one pass, not three";
    w.go(0);
    EXPECT_EQ(w.battle.getUnitList()->getCreates().front()->delay, 9) << "no tick, no pass";
}

TEST_F(battleSetup, aClickFiresAShotThatFliesTowardsTheCursor) {
    battleWorld w;
    w.goTimes(2);
    battleWorld::releaseInput(70 + 250, 40 + 20); // straight above the player on screen
    w.go();
    mouse_b = 1;
    w.go();
    mouse_b = 0;
    w.go();
    std::vector<unit*> shots = w.ofType(generalTypeShot);
    ASSERT_EQ(shots.size(), 1u);
    fixed y0 = shots[0]->getPosY();
    w.go();
    EXPECT_EQ(shots[0]->getPosY(), y0 - itofix(20));
    EXPECT_EQ(shots[0]->getPosX(), itofix(250));
}

TEST_F(battleSetup, gameEndNeverEndsTheBattle) {
    battleWorld w;
    EXPECT_EQ(w.battle.gameEnd(), 0);
}

} // namespace
