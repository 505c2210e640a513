// The rules of the battle unit by unit: units placed by hand in the real battle, with its own
// pictures (player 32, homing enemy 30, shot 8 pixels) and hitboxes, stepped tick by tick.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "cursor.h"
#include "dumbUnit.h"
#include "homingUnit.h"
#include "inputObj.h"
#include "playerUnit.h"
#include "testBattle.h"
#include "zeriMath.h"

namespace {

constexpr int idle = statusIdle, stunned = statusStunned, dead = statusDead;
constexpr int invincible = -1; // idle, and invincible for 3 more ticks

class rules : public ::testing::Test {
  protected:
    void SetUp() override { w.empty(); }
    void scan(unit* u) { u->collideCheck(&w.data, &w.list()); }
    testBattle w;
};

// What A and B, B 5 pixels right of A, gather from each other: damage / stun ticks / knockback
// ticks / pushed left (<), right (>) or not at all (0).
struct contact {
    const char* rule;
    int typeA, statusA, typeB, statusB;
    const char *onA, *onB;
};
const contact contacts[] = {
    {"homers push each other without harm", H, idle, H, idle, "0/0/2/<", "0/0/2/>"},
    {"a shot hurts, stuns and knocks a homer", S, idle, H, idle, "1/0/2/<", "1/20/5/>"},
    {"a homer hurts the player, who only pushes", P, idle, H, idle, "1/0/2/<", "0/0/0/>"},
    {"the player and his shots pass through", P, idle, S, idle, "0/0/0/0", "0/0/0/0"},
    {"shots pass through shots", S, idle, S, idle, "0/0/0/0", "0/0/0/0"},
    {"a stunned homer and the player do not touch", P, idle, H, stunned, "0/0/0/0", "0/0/0/0"},
    {"a stunned homer and a homer hurt each other", H, stunned, H, idle, "1/0/2/<", "1/0/2/>"},
    {"the player passes a dead homer, which is pushed", P, idle, H, dead, "0/0/0/0", "0/0/0/>"},
    {"a dead player touches nothing but is in the way", P, dead, H, idle, "0/0/0/0", "0/0/0/>"},
    {"nothing touches an invincible player", P, invincible, H, idle, "0/0/0/0", "0/0/0/0"},
};

class hitboxes : public ::testing::TestWithParam<contact> {};

// A unit of its real kind, as the battle makes it: some rules live in a kind's constructor.
unit* addKind(testBattle& w, int type, int x) {
    if (type == P) {
        return w.add<playerUnit>(x, 100);
    }
    return type == S ? static_cast<unit*>(w.add<dumbUnit>(x, 100)) : w.add<homingUnit>(x, 100);
}
using open = exposed<unit>; // its fields, taken as members of unit, open those of every kind

TEST_P(hitboxes, eachSideOfAContactGathersWhatTheOthersHitboxInflicts) {
    const contact& c = GetParam();
    testBattle w;
    w.empty();
    unit* a = addKind(w, c.typeA, 100);
    unit* b = addKind(w, c.typeB, 105);
    a->*& open::currentStatus = c.statusA == invincible ? idle : c.statusA;
    a->*& open::invicTime = c.statusA == invincible ? 3 : 0;
    b->*& open::currentStatus = c.statusB;
    a->collideCheck(&w.data, &w.list());
    b->collideCheck(&w.data, &w.list());
    for (auto [u, expected] : {std::make_pair(a, c.onA), std::make_pair(b, c.onB)}) {
        const fixed push = u->*&open::knockbackX;
        const char pushed = push < 0 ? '<' : push > 0 ? '>' : '0';
        const std::string got = std::to_string(u->*&open::pendingDamage) + "/" +
                                std::to_string(u->*&open::stunTime) + "/" +
                                std::to_string(u->*&open::knockbackTime) + "/" + pushed;
        EXPECT_EQ(got, expected) << c.rule;
    }
}

void PrintTo(const contact& c, std::ostream* os) {
    *os << c.rule;
}

// CTest names each row after its rule, which PrintTo gives.
INSTANTIATE_TEST_SUITE_P(battle, hitboxes, ::testing::ValuesIn(contacts));

TEST_F(rules, unitsTouchOnlyWhenTheirCentresAreCloserThanHalfTheirSizesAdded) {
    auto* a = w.add<homingUnit>(100, 100);
    auto* b = w.add<homingUnit>(0, 0);
    // Homers are 30 pixels: exactly 30 apart along a line or an axis, then 1/65536 pixel closer.
    const int rows[][4] = {{118, 124, 0, -1}, {130, 100, -1, 0}};
    for (auto [x, y, closerX, closerY] : rows) {
        b->setPos(itofix(x), itofix(y));
        scan(a);
        EXPECT_EQ(a->knockbackTime, 0) << x << "," << y;
        b->setPos(itofix(x) + closerX, itofix(y) + closerY);
        scan(a);
        EXPECT_EQ(a->knockbackTime, 2) << x << "," << y;
        a->knockbackTime = 0;
    }
}

TEST_F(rules, theWallKillsAShotOutrightButNeverRaisesItsHitPoints) {
    for (int hp : {1, -2}) {
        auto* shot = w.add<dumbUnit>(250, 200);
        shot->hp = hp;
        shot->touchedBoundary = true;
        shot->statusCheck(&w.data, &w.list());
        EXPECT_EQ(std::make_pair(shot->pendingStatus, shot->hp),
                  std::make_pair(+dead, std::min(hp, 0)));
    }
}

TEST_F(rules, blowsLandingInTheSameTickAddUpBelowZero) {
    w.add<playerUnit>(250, 200)->hp = 1;
    w.add<homingUnit>(250, 225);
    w.add<homingUnit>(225, 200);
    w.step();
    EXPECT_EQ(w.ofType(P)[0]->getHP(), -1);
}

TEST_F(rules, theArenaHoldsEveryCentreHalfAPictureInsideAndBouncesOnlyTheKnockback) {
    // A homer's centre stays within 15 to 485 across and 15 to 385 down; x, y -> held x, y.
    const int rows[][4] = {
        {10, 200, 15, 200}, {15, 385, 15, 385}, {499, 390, 485, 385}, {250, 14, 250, 15}};
    for (auto r : rows) {
        auto* u = w.add(0, 0);
        u->knockbackX = itofix(3);
        u->knockbackY = itofix(-4);
        fixed x = itofix(r[0]), y = itofix(r[1]);
        u->arenaBoundaryCheck(x, y, u->getUnitGraphics(), &w.data);
        EXPECT_EQ(std::make_tuple(x, y, u->knockbackX, u->knockbackY, u->touchedBoundary),
                  std::make_tuple(itofix(r[2]), itofix(r[3]), itofix(r[0] == r[2] ? 3 : -3),
                                  itofix(r[1] == r[3] ? -4 : 4), r[0] != r[2] || r[1] != r[3]));
    }
}

TEST_F(rules, anAttackAnimationPlaysItsTwoFramesOnceThenTheUnitShowsIdle) {
    auto* player = w.add<playerUnit>(250, 200);
    player->pendingStatus = statusAttacking;
    player->attacking = 1;
    std::vector<int> shown;
    for (int frame = 0; frame < 3; frame++) {
        player->draw(w.battle.getArenaBuffer());
        shown.push_back(player->getCurrentStatus());
    }
    // Without a tick the pending status is still attacking, so it is taken up again.
    EXPECT_EQ(shown, (std::vector<int>{statusAttacking, statusIdle, statusAttacking}));
}

} // namespace
