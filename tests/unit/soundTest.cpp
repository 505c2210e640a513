// The battle heard: which changes of a tick sound, where and how loud; the mix's headroom; the
// pause.

#include <gtest/gtest.h>

#include <algorithm>

#include "battleSounds.h"
#include "dumbUnit.h"
#include "testBattle.h"

// Found by gtest beside soundCue, for readable failures.
void PrintTo(const soundCue& c, std::ostream* os) {
    *os << "{kind " << c.kind << ", pan " << c.pan << ", volume " << c.volume << "}";
}

namespace {

// Pans of the arena's left wall, its middle and its right wall.
constexpr int left = 32, middle = 127, right = 223;

// Homers with IDs 0 to count - 1 spread from the left wall to the right.
std::vector<unitTrace> homers(int count, int hp) {
    std::vector<unitTrace> traces;
    for (int id = 0; id < count; id++) {
        traces.push_back({id, H, hp, 500 * id / (count - 1)});
    }
    return traces;
}

struct earRow {
    const char* name;
    std::vector<unitTrace> before, after; // {ID, type, hp, x}
    std::vector<soundCue> heard;
};
void PrintTo(const earRow& row, std::ostream* os) {
    *os << row.name; // CTest shows it beside the row's name
}
// clang-format off
const earRow earRows[] = {
    {"movingComingGoingAndStayingDeadAreQuiet", {{0, P, 0, 250}, {1, H, 0, 9}, {2, H, 5, 0}},
     {{0, P, -1, 250}, {2, H, 5, 9}, {3, H, 5, 0}}, {}},
    {"aShotLeavesThePlayer", {{0, P, 3, 500}}, {{0, P, 3, 500}, {1, S, 1, 500}}, {{soundShot, right, 90}}},
    {"aBattleStarts", {}, {{0, P, 3, 250}}, {{soundBattleStart, middle, 120}}},
    {"aHomerHitLives", {{4, H, 5, 0}}, {{4, H, 4, 0}}, {{soundHomerHit, left, 100}}},
    {"twoHomersDieAsOneLouderSound", homers(2, 1), homers(2, 0), {{soundHomerDeath, middle, 135}}},
    {"thirtyAsOneAtMostLoudness", homers(30, 1), homers(30, 0), {{soundHomerDeath, middle, 200}}},
    {"thePlayerHurtLives", {{0, P, 3, 250}}, {{0, P, 2, 250}}, {{soundPlayerHurt, middle, 150}}},
    {"thePlayerDiesAsAHomerIsHitAndAShotLeaves", {{0, P, 1, 0}, {1, H, 2, 500}},
     {{0, P, 0, 0}, {1, H, 1, 500}, {2, S, 1, 250}},
     {{soundPlayerDeath, left, 190}, {soundHomerHit, right, 100}, {soundShot, middle, 90}}},
};
// clang-format on
class ear : public ::testing::TestWithParam<earRow> {};
INSTANTIATE_TEST_SUITE_P(sound, ear, ::testing::ValuesIn(earRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_P(ear, hearsWhatATickChanged) {
    EXPECT_EQ(battleEar(500).compare(GetParam().before, GetParam().after), GetParam().heard);
}

TEST(sound, theMixNeverReachesTheCeilingAndTheOldestVoiceOfAKindGivesWay) {
    voiceBudget budget({2, 1}, {3, 20}, 29000);
    int played = 0, loudest = 0;
    for (int tick = 0; tick < 120; tick++, budget.tick()) {
        played += budget.start(tick % 2, 255 - tick, tick / 6 % 3 * 127).slot >= 0;
        loudest = std::max({loudest, budget.load(false), budget.load(true)});
    }
    EXPECT_TRUE(played > 30 && loudest <= voiceBudget::ceiling &&
                loudest > voiceBudget::ceiling * 9 / 10)
        << played << " sounds, at most " << loudest;
    budget.clear();
    std::vector<int> slots;
    for (int tick = 0; tick < 4; tick++, budget.tick()) {
        slots.push_back(budget.start(0, 50, middle).slot);
    }
    EXPECT_EQ(slots, std::vector<int>({0, 1, 0, 1}));
}

TEST(sound, onlyATickSoundsAndAPauseSilencesEveryVoice) {
    testBattle w;
    battleSounds sounds(500);
    auto heard = [&] { return sounds.hear(w.list(), w.battle.getTicksRun()).size(); };
    w.go();
    EXPECT_EQ(heard(), 1u) << "the battle starts";
    sounds.pause();
    EXPECT_EQ(sounds.getBudget().load(false) + sounds.getBudget().load(true), 0);
    w.add<dumbUnit>(100, 100); // a shot appears though no tick has run, as while paused
    EXPECT_EQ(heard(), 0u);
    w.go();
    EXPECT_EQ(heard(), 0u) << "nor at the next tick";
}

} // namespace
