// What the battle costs, measured headless on the game's own pictures and 640 x 480 memory
// bitmaps. At 30 ticks a second and a 60 Hz display a loop iteration has about 16 ms.
//
//   frame            one loop iteration of a battle in progress, as main runs it but for the
//                    copy to the screen
//   frameFloor       the same pictures drawn with the least work that puts their pixels on the
//                    back buffer: the background around the arena, the opaque floor copied, the
//                    sprites, the cursor and the HUD; the cost no frame can beat
//   frameOverFloor   the two in turn; its ratio counter, frame / frameFloor, is the figure to
//                    steer by
//   tick/N           one logic tick with N units spread over the arena
//   soundHeard       what the sound adds to a loop iteration of the battle in progress
//   effectsMade      the sound effects made at start-up
//   memoryAfterPlay  heap growth over long play with shots and restarts
//
// A summary of the goals follows the table.

#include <allegro.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "arena.h"
#include "battleSounds.h"
#include "effectSynth.h"
#include "cursor.h"
#include "frameTimer.h"
#include "inputObj.h"
#include "testBattle.h"
#include "unit.h"
#include "unitGraphics.h"
#include "unitList.h"
#include "videoSettings.h"

namespace {

constexpr unsigned benchSeed = 99;
// Where the player aims, in screen pixels: above him, inside the arena.
constexpr int aimX = 320, aimY = 120;
constexpr int homerCount = 30;
constexpr int shotsInFlight = 4;
// Iterations of a battle in progress before it is set up afresh. Enemies start at least 140
// pixels from the player and walk 2 pixels a tick, so within a batch none reaches him.
constexpr int batchIterations = 50;
constexpr int nearestStart = 140;

// A random point of a width x height arena at least `clear` pixels from its centre, one
// picture's half from its edges.
void spreadPoint(std::mt19937& random, int width, int height, int clear, int& x, int& y) {
    std::uniform_int_distribution<int> across(16, width - 16), down(16, height - 16);
    do {
        x = across(random);
        y = down(random);
    } while ((x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2) <
             clear * clear);
}

// Empties the battle and creates a player in the centre, then `homers` homing enemies and
// `shots` shots at random points (shots flying in random directions), all in one tick's
// creation. Nothing is created with a delay, so the list is complete on return.
void populate(testBattle& w, int homers, int shots, int clear, unsigned seed) {
    unitList& list = w.list();
    list.clearAll();
    const int width = w.data.getArena()->getArenaSizeX();
    const int height = w.data.getArena()->getArenaSizeY();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> heading(0, 255);
    queueUnit(list, generalTypePlayer, width / 2, height / 2);
    // Shots are mixed in evenly rather than all at the end of the list.
    const int others = homers + shots;
    const int shotEvery = shots > 0 ? others / shots : others + 1;
    for (int i = 0; i < others; i++) {
        int x = 0, y = 0;
        spreadPoint(random, width, height, clear, x, y);
        bool shot = i % shotEvery == 0 && i / shotEvery < shots;
        queueUnit(list, shot ? generalTypeShot : generalTypeHomer, x, y, itofix(heading(random)));
    }
    list.createUnits();
}

// The battle most often on screen: the player alive, all 30 enemies in the arena, a few shots.
void populateInProgress(testBattle& w) {
    populate(w, homerCount, shotsInFlight, nearestStart, benchSeed);
}

// The player strafes and fires every fourth tick at a point above him.
void playInput(int iteration) {
    testBattle::releaseInput(aimX, aimY);
    testBattle::setKey(iteration % batchIterations < batchIterations / 2 ? KEY_D : KEY_A, true);
    testBattle::setButtons(iteration % 4 < 2 ? 1 : 0);
}

testBattle& world() {
    static testBattle w(benchSeed);
    return w;
}

// One loop iteration of the battle in progress, set up afresh every batch. setUp runs around
// the set-up, so that a caller can leave it out of the timing.
template <typename Around> void playOn(testBattle& w, int& iteration, Around setUp) {
    if (iteration == batchIterations) {
        setUp([&] { populateInProgress(w); });
        iteration = 0;
    }
    playInput(iteration++);
    w.go();
}

void frame(benchmark::State& state) {
    testBattle& w = world();
    populateInProgress(w);
    int iteration = 0;
    for (auto _ : state) {
        playOn(w, iteration, [&](auto populate) {
            state.PauseTiming();
            populate();
            state.ResumeTiming();
        });
    }
    testBattle::releaseInput();
    state.counters["units"] = static_cast<double>(w.battle.getUnitList()->getUnits()->size());
}
BENCHMARK(frame)->Unit(benchmark::kMicrosecond);

// The pictures of a batch of the battle in progress, one per loop iteration, each drawn with
// nothing but the Allegro calls it takes: the battle's arena buffer is the back buffer's arena
// rectangle, so nothing is drawn twice.
class floorPictures {
  public:
    // Plays one batch as frame plays it and keeps what each of its frames shows; the battle is
    // then set up afresh, so that its next batch shows the same.
    explicit floorPictures(testBattle& w)
        : buffer(w.battle.getBuffer()), arenaBuffer(w.battle.getArenaBuffer()),
          floorPic(w.data.getArena()->getArenaPic()), width(w.data.getArena()->getArenaSizeX()),
          height(w.data.getArena()->getArenaSizeY()),
          cursorPic(w.data.getInputObj()->getCursor()->getCursorPic()),
          video(w.data.getVideoSettings()) {
        populateInProgress(w);
        for (int iteration = 0; iteration < batchIterations; iteration++) {
            std::vector<sprite>& sprites = frames.emplace_back();
            for (unit* u : *w.battle.getUnitList()->getUnits()) {
                unitGraphics* set = u->getUnitGraphics();
                sprites.push_back({set->getPic(u->getCurrentStatus(), 0), fixtoi(u->getPosX()),
                                   fixtoi(u->getPosY()), set->getPicSize() / 2, u->getDrawAngle()});
            }
            playInput(iteration);
            w.go();
        }
        populateInProgress(w);
    }

    // The picture of the batch's iteration, 0 to batchIterations - 1.
    void draw(int iteration) const {
        int red = 0, green = 0, blue = 0;
        video->getBackgroundColor(red, green, blue);
        const int background = makecol(red, green, blue);
        const int left = video->getGameOffsetX(), top = video->getGameOffsetY();
        const int right = left + width, bottom = top + height, w = buffer->w, h = buffer->h;
        // Cleared within a clipping rectangle: half the instructions of rectfill.
        const int strips[4][4] = {{0, 0, w - 1, top - 1},
                                  {0, top, left - 1, bottom - 1},
                                  {right, top, w - 1, bottom - 1},
                                  {0, bottom, w - 1, h - 1}};
        for (const auto& strip : strips) {
            set_clip_rect(buffer, strip[0], strip[1], strip[2], strip[3]);
            clear_to_color(buffer, background);
        }
        set_clip_rect(buffer, 0, 0, w - 1, h - 1);
        blit(floorPic, arenaBuffer, 0, 0, 0, 0, width, height);
        for (const sprite& s : frames.at(iteration)) {
            pivot_sprite(arenaBuffer, s.pic, s.x, s.y, s.half, s.half, s.angle);
        }
        draw_sprite(buffer, cursorPic, aimX - cursorPic->w / 2, aimY - cursorPic->h / 2);
        int grey = makecol(128, 128, 128);
        textprintf_ex(buffer, font, 0, 0, grey, -1, "hp: %d", 3);
        rectfill(buffer, 60, 0, 450, 20, makecol(172, 172, 0));
        rect(buffer, 60, 0, 450, 20, grey);
        textprintf_ex(buffer, font, 250, 22, grey, -1, "fps: %d", frameCountTotal.load());
        textprintf_ex(buffer, font, 0, 22, makecol(220, 220, 220), -1, "Homers: %d", homerCount);
        textprintf_ex(buffer, font, 400, 22, grey, -1, "F10 = reset, ESC = exit");
    }

    // Units in the batch's first picture.
    size_t units() const { return frames.front().size(); }

  private:
    // What one unit puts on the arena: a picture turned about its centre.
    struct sprite {
        BITMAP* pic;
        int x, y, half;
        fixed angle;
    };
    BITMAP *buffer, *arenaBuffer, *floorPic;
    int width, height; // the arena's
    BITMAP* cursorPic;
    videoSettings* video;
    std::vector<std::vector<sprite>> frames; // by iteration of the batch
};

void frameFloor(benchmark::State& state) {
    const floorPictures pictures(world());
    int iteration = 0;
    for (auto _ : state) {
        pictures.draw(iteration);
        iteration = (iteration + 1) % batchIterations;
    }
    state.counters["units"] = static_cast<double>(pictures.units());
}
BENCHMARK(frameFloor)->Unit(benchmark::kMicrosecond);

// A frame and its floor in turn, one of each per iteration, so that a machine that speeds up
// or slows down during the run moves both alike: the ratio counter is the figure to steer by.
void frameOverFloor(benchmark::State& state) {
    testBattle& w = world();
    const floorPictures pictures(w);
    using clock = std::chrono::steady_clock;
    clock::duration frames{}, floors{};
    int iteration = 0;
    for (auto _ : state) {
        auto start = clock::now();
        playOn(w, iteration, [&](auto populate) {
            populate();
            start = clock::now();
        });
        auto framed = clock::now();
        // Half a batch away from the frame just played: a picture drawn again at once takes about
        // a tenth less time (the processor, likely its branch predictor, has learnt it), which no
        // frame of the game enjoys. Over a batch the floor still draws every picture of the frames.
        pictures.draw((iteration - 1 + batchIterations / 2) % batchIterations);
        auto floored = clock::now();
        frames += framed - start;
        floors += floored - framed;
        state.SetIterationTime(std::chrono::duration<double>(floored - start).count());
    }
    testBattle::releaseInput();
    state.counters["ratio"] = std::chrono::duration<double>(frames) / floors;
}
BENCHMARK(frameOverFloor)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A fifth of the units besides the player are shots, the rest homing enemies, all anywhere in
// the arena. Each tick starts from a freshly made list, so every one sees the same crowd; only
// the tick itself is timed.
void tick(benchmark::State& state) {
    testBattle& w = world();
    const int others = static_cast<int>(state.range(0)) - 1;
    const int shots = others / 5;
    for (auto _ : state) {
        populate(w, others - shots, shots, 0, benchSeed);
        auto start = std::chrono::steady_clock::now();
        w.battle.applyInput();
        std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(spent.count());
    }
    state.counters["units"] = static_cast<double>(state.range(0));
}
BENCHMARK(tick)->Arg(31)->Arg(100)->Arg(300)->Arg(1000)->UseManualTime()->Unit(
    benchmark::kMicrosecond);

// Heap in use after long play with restarts, against before: must not grow with play.
void memoryAfterPlay(benchmark::State& state) {
    testBattle& w = world();
    populateInProgress(w);
    size_t before = mallinfo2().uordblks;
    for (auto _ : state) {
        for (int i = 0; i < 2000; i++) {
            playInput(i);
            testBattle::setKey(KEY_F10, i % 500 == 0);
            w.go();
        }
    }
    testBattle::releaseInput();
    // A label, not a counter: the CSV output wants the same counters in every benchmark.
    long grown = static_cast<long>(mallinfo2().uordblks) - static_cast<long>(before);
    state.SetLabel("heap grew by " + std::to_string(grown) + " bytes");
}
// The sound's share of a loop iteration of the battle in progress: the units traced and, after
// a tick, compared and the sounds budgeted. Only that is timed; without a device nothing plays.
void soundHeard(benchmark::State& state) {
    testBattle& w = world();
    populateInProgress(w);
    battleSounds sounds(w.data.getArena()->getArenaSizeX());
    int iteration = 0;
    double started = 0;
    for (auto _ : state) {
        playOn(w, iteration, [](auto populate) { populate(); });
        auto start = std::chrono::steady_clock::now();
        started += static_cast<double>(sounds.hear(w.list(), w.battle.getTicksRun()).size());
        std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(spent.count());
    }
    testBattle::releaseInput();
    state.counters["sounds"] = benchmark::Counter(started, benchmark::Counter::kAvgIterations);
}
// A fixed count: the untimed frames around it take a thousand times longer than the part timed.
BENCHMARK(soundHeard)->UseManualTime()->Iterations(5000)->Unit(benchmark::kMicrosecond);

// Every effect made from its shape, as the game does once its first frame is shown.
void effectsMade(benchmark::State& state) {
    for (auto _ : state) {
        for (int kind = 0; kind < soundKinds; kind++) {
            benchmark::DoNotOptimize(effectSynth::make(battleSounds::shapeOf(kind)).data());
        }
    }
}
BENCHMARK(effectsMade)->Unit(benchmark::kMicrosecond);

// Not a timing: one run is the figure, whatever the repetitions asked for.
BENCHMARK(memoryAfterPlay)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(1);

// The console table as usual, then the goals: frame / frameFloor at most 1.10, a tick of 300
// units under 2 ms, and how a tick grows with the number of units. With repetitions the
// medians are used.
class goalReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median) {
                std::string name = run.run_name.function_name;
                if (!run.run_name.args.empty()) {
                    name += "/" + run.run_name.args;
                }
                if (median || medians.count(name) == 0) {
                    micros[name] = run.GetAdjustedRealTime() * toMicros(run.time_unit);
                    auto ratio = run.counters.find("ratio");
                    if (ratio != run.counters.end()) {
                        ratios[name] = ratio->second.value;
                    }
                }
                if (median) {
                    medians.insert(name);
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nGoals%s\n", medians.empty() ? "" : " (medians)");
        if (ratios.count("frameOverFloor") != 0) {
            double ratio = ratios["frameOverFloor"];
            std::printf("  frame / frameFloor, measured in turn: %.3f, goal at most 1.10: %s\n",
                        ratio, ratio <= 1.10 ? "met" : "MISSED");
        }
        if (micros.count("frame") != 0 && micros.count("frameFloor") != 0) {
            std::printf("  frame %.0f us, frameFloor %.0f us, measured one after the other\n",
                        micros["frame"], micros["frameFloor"]);
        }
        if (micros.count("tick/300") != 0) {
            double ms = micros["tick/300"] / 1000;
            std::printf("  tick/300: %.3f ms, goal under 2 ms: %s\n", ms,
                        ms < 2 ? "met" : "MISSED");
        }
        const char* heading = "  tick cost per unit pair (all-pairs collision is N x N):\n";
        for (int n : {31, 100, 300, 1000}) {
            std::string name = "tick/" + std::to_string(n);
            if (micros.count(name) != 0) {
                std::printf("%s", heading);
                heading = "";
                std::printf("    N = %4d: %9.1f us, %6.1f ns per pair\n", n, micros[name],
                            micros[name] * 1000 / (static_cast<double>(n) * n));
            }
        }
    }

  private:
    static double toMicros(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-3;
        case benchmark::kMillisecond:
            return 1e3;
        case benchmark::kSecond:
            return 1e6;
        default:
            return 1;
        }
    }

    std::map<std::string, double> micros, ratios;
    std::set<std::string> medians;
};

} // namespace

int main(int argc, char** argv) {
    // The goals follow the console table; JSON and CSV are left as Google Benchmark writes them.
    const bool console = std::none_of(argv + 1, argv + argc, [](const std::string& option) {
        return option.rfind("--benchmark_format=", 0) == 0 &&
               option != "--benchmark_format=console";
    });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    goalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(console ? &reporter : nullptr);
    benchmark::Shutdown();
    return 0;
}
