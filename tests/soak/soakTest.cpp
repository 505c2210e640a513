// A long headless battle driven by seeded random input, checking the battle's invariants after
// every tick. ARENA_SOAK_TICKS sets the length (default 10,000; scripts/soak.sh runs 100,000).

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <map>
#include <random>

#include "battleWorld.h"
#include "unit.h"
#include "unitGraphics.h"
#include "unitList.h"

#if defined(__SANITIZE_ADDRESS__)
// From the AddressSanitizer runtime, which replaces malloc and so mallinfo's figures.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes the program has allocated and not freed.
size_t bytesInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

int soakTicks() {
    const char* text = std::getenv("ARENA_SOAK_TICKS");
    return text != nullptr ? std::atoi(text) : 10000;
}

// Random but repeatable input: runs of movement keys, a cursor that wanders the screen and
// beyond it, a click every few ticks and F10 now and then.
class randomPlayer {
  public:
    explicit randomPlayer(unsigned seed) : random(seed) {}

    // Sets Allegro's input state for the next iteration; true when F10 is let go in it.
    bool next() {
        const int moveKeys[4] = {KEY_W, KEY_A, KEY_S, KEY_D};
        if (pick(10) == 0) {
            for (int k : moveKeys) {
                key[k] = pick(3) == 0;
            }
        }
        mouse_x = pick(800) - 80;
        mouse_y = pick(640) - 80;
        mouse_b = pick(4) == 0 ? 1 : 0;
        bool f10WasDown = key[KEY_F10] != 0;
        key[KEY_F10] = pick(2000) == 0;
        return f10WasDown && !key[KEY_F10];
    }

  private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    std::mt19937 random;
};

TEST(soak, aLongBattleKeepsItsInvariants) {
    const int ticks = soakTicks();
    const int maxUnits = 100; // 31 of the battle plus the shots a click every few ticks keeps alive
    battleWorld w(12345);
    randomPlayer player(678);
    std::map<int, int> lastHP; // by unit ID, within one battle
    size_t memoryAfterWarmUp = 0;
    int restarts = 0;

    for (int tick = 1; tick <= ticks; tick++) {
        bool restarting = player.next();
        w.go();
        if (restarting) {
            lastHP.clear();
            restarts++;
        }
        const std::vector<unit*>& units = *w.battle.getUnitList()->getUnits();
        ASSERT_LE(static_cast<int>(units.size()), maxUnits) << "tick " << tick;

        int previousID = -1;
        std::map<int, int> hpNow;
        for (const unit* u : units) {
            ASSERT_GT(u->getUnitID(), previousID) << "IDs unique and rising, tick " << tick;
            previousID = u->getUnitID();
            hpNow[u->getUnitID()] = u->getHP();

            auto seen = lastHP.find(u->getUnitID());
            if (seen == lastHP.end()) {
                continue; // made at the end of this tick, not yet moved by the rules
            }
            ASSERT_LE(u->getHP(), seen->second) << "hit points rose, tick " << tick;
            if (u->getHP() > 0) {
                fixed r = itofix(u->getUnitGraphics()->getPicSize() / 2);
                ASSERT_GE(u->getPosX(), r) << "tick " << tick;
                ASSERT_GE(u->getPosY(), r) << "tick " << tick;
                ASSERT_LE(u->getPosX(), itofix(500) - r) << "tick " << tick;
                ASSERT_LE(u->getPosY(), itofix(400) - r) << "tick " << tick;
            }
        }
        lastHP = hpNow;
        if (tick == std::min(10000, ticks / 2)) {
            memoryAfterWarmUp = bytesInUse();
        }
    }
    battleWorld::releaseInput();

    EXPECT_GT(restarts, 0) << "the script should restart now and then";
    // Shots and restarts come and go; what they use must come back.
    size_t memoryAtEnd = bytesInUse();
    EXPECT_LE(memoryAtEnd, memoryAfterWarmUp + 64 * 1024)
        << "after warm-up " << memoryAfterWarmUp << ", at the end " << memoryAtEnd;
}

} // namespace
