#include <gtest/gtest.h>

#include <cstdint>

#include "battleWorld.h"
#include "unit.h"
#include "unitList.h"

namespace {

// FNV-1a over the state of every listed unit.
class stateHash {
  public:
    void add(int32_t value) {
        for (int i = 0; i < 4; i++) {
            hash = (hash ^ ((static_cast<uint32_t>(value) >> (8 * i)) & 0xFFu)) * 1099511628211ull;
        }
    }
    void addUnits(unitList* list) {
        add(static_cast<int32_t>(list->getUnits()->size()));
        for (unit* u : *list->getUnits()) {
            add(u->getUnitID());
            add(u->getGeneralType());
            add(u->getPosX());
            add(u->getPosY());
            add(u->getDrawAngle());
            add(u->getMoveAngle());
            add(u->getHP());
            add(u->getCurrentStatus());
            add(u->getInvicTime());
            add(u->getDeathTimeRemoval());
        }
    }
    uint64_t value() const { return hash; }

  private:
    uint64_t hash = 14695981039346656037ull;
};

// A fixed seed and a fixed script of inputs: circle the arena, aim around, click every few ticks,
// restart once. Any change of the battle's behaviour changes the hash.
TEST(goldenReplay, aScriptedBattleAlwaysEndsInTheSameState) {
    battleWorld w(2024);
    stateHash hash;
    int shotsSeen = 0;
    int homersKilled = 0;
    int lowestPlayerHP = 3;
    const int moves[4] = {KEY_D, KEY_S, KEY_A, KEY_W};
    for (int tick = 0; tick < 600; tick++) {
        battleWorld::releaseInput(70 + (tick * 37) % 500, 40 + (tick * 53) % 400);
        key[moves[(tick / 25) % 4]] = 1;
        if (tick % 40 < 20) {
            key[moves[(tick / 25 + 1) % 4]] = 1;
        }
        mouse_b = tick % 6 < 3 ? 1 : 0;
        key[KEY_F10] = tick == 450 ? 1 : 0;
        w.go(tick % 7 == 3 ? 0 : 1); // now and then a frame without a tick
        hash.addUnits(w.battle.getUnitList());

        shotsSeen += static_cast<int>(w.ofType(generalTypeShot).size());
        for (unit* homer : w.ofType(generalTypeHomer)) {
            homersKilled += homer->getHP() <= 0 && homer->getDeathTimeRemoval() == 1;
        }
        for (unit* player : w.ofType(generalTypePlayer)) {
            lowestPlayerHP = std::min(lowestPlayerHP, player->getHP());
        }
    }
    battleWorld::releaseInput();

    // The script exercises the rules the hash guards.
    EXPECT_GT(shotsSeen, 100);
    EXPECT_GT(homersKilled, 0);
    EXPECT_LT(lowestPlayerHP, 3);
    EXPECT_EQ(hash.value(), 17728130975741964784ull) << "the battle's behaviour changed";
}

} // namespace
