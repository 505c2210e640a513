// The battle's costs per tick and per frame against its budget: at 30 ticks a second and a
// 60 Hz display a loop iteration has about 16 ms, so a tick plus a frame must stay far below.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include "battleWorld.h"
#include "frameTimer.h"
#include "unit.h"
#include "unitList.h"

namespace {

// The busiest battle the game makes: the player, all 30 homing enemies and a stream of shots.
battleWorld* fullBattle() {
    static battleWorld* w = nullptr;
    if (w == nullptr) {
        w = new battleWorld(99);
        battleWorld::releaseInput(320, 60);
        w->goTimes(310);
    }
    return w;
}

void keepShooting(int tick) {
    mouse_b = tick % 4 < 2 ? 1 : 0;
}

// One logic tick (the three passes and creation) of a full battle; goal well under 1 ms.
void BM_logicTick(benchmark::State& state) {
    battleWorld* w = fullBattle();
    for (auto _ : state) {
        w->battle.applyInput();
        w->battle.getUnitList()->cullUnits();
    }
    state.counters["units"] = static_cast<double>(w->battle.getUnitList()->getUnits()->size());
}
BENCHMARK(BM_logicTick)->Unit(benchmark::kMicrosecond);

// One whole frame drawn into the memory buffers (background, arena, units, cursor, HUD).
void BM_drawFrame(benchmark::State& state) {
    battleWorld* w = fullBattle();
    for (auto _ : state) {
        w->battle.draw(w->battle.getBuffer(), w->battle.getArenaBuffer());
    }
}
BENCHMARK(BM_drawFrame)->Unit(benchmark::kMicrosecond);

// One loop iteration as the game runs it: draw, poll, tick, cull.
void BM_loopIteration(benchmark::State& state) {
    battleWorld* w = fullBattle();
    int tick = 0;
    for (auto _ : state) {
        keepShooting(tick++);
        w->go();
    }
}
BENCHMARK(BM_loopIteration)->Unit(benchmark::kMicrosecond);

// Memory held by the battle after many restarts and shots: must not grow with play.
void BM_memoryAfterPlay(benchmark::State& state) {
    battleWorld* w = fullBattle();
    size_t before = mallinfo2().uordblks;
    for (auto _ : state) {
        for (int i = 0; i < 2000; i++) {
            keepShooting(i);
            key[KEY_F10] = i % 500 == 0;
            w->go();
        }
    }
    key[KEY_F10] = 0;
    state.counters["bytesGrown"] =
        static_cast<double>(mallinfo2().uordblks) - static_cast<double>(before);
}
BENCHMARK(BM_memoryAfterPlay)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
