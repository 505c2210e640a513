// The battle heard: which changes of a tick sound, where and how loud; the mix's headroom; the
// pause.

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "battleSounds.h"
#include "effectSynth.h"
#include "frameTimer.h"
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

// A sound card that is Allegro's own mixer and nothing more: the test mixes a fragment of 512
// frames when it chooses, as the game's ALSA driver does, and reads what a device would play.
constexpr int mixRate = 44100, fragment = 512;
short frames[2 * fragment]; // left, right, left, ...
// clang-format off
DIGI_DRIVER mixerOnly = {AL_ID('M', 'I', 'X', 'O'), "", "", "mixer only", 0, 0, MIXER_MAX_SFX, 8,
    [](int input) { return input == 0 ? TRUE : FALSE; }, [](int, int voices) {
        return _mixer_init(2 * fragment, mixRate, TRUE, TRUE, &(mixerOnly.voices = voices)); },
    [](int) { _mixer_exit(); }, nullptr, nullptr, nullptr, nullptr, nullptr, _mixer_init_voice,
    _mixer_release_voice, _mixer_start_voice, _mixer_stop_voice, _mixer_loop_voice, _mixer_get_position,
    _mixer_set_position, _mixer_get_volume, _mixer_set_volume, _mixer_ramp_volume, _mixer_stop_volume_ramp,
    _mixer_get_frequency, _mixer_set_frequency, _mixer_sweep_frequency, _mixer_stop_frequency_sweep,
    _mixer_get_pan, _mixer_set_pan, _mixer_sweep_pan, _mixer_stop_pan_sweep, _mixer_set_echo,
    _mixer_set_tremolo, _mixer_set_vibrato, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
_DRIVER_INFO mixerOnlyList[] = {{mixerOnly.id, &mixerOnly, TRUE}, {0, nullptr, 0}};
// clang-format on

// The game's sound played for 20 seconds of random events of every kind, at every place, as
// many at once as each tick may bring, with a pause now and then and a last few lone shots.
TEST(sound, everySoundStartedIsHeardWithinTheMixAndAPauseSilencesIt) {
    // SYSTEM_NONE offers no sound card and no mutex; a single thread needs none.
    system_none.digi_drivers = [] { return mixerOnlyList; };
    system_none.create_mutex = [] { return static_cast<void*>(frames); };
    system_none.destroy_mutex = system_none.lock_mutex = system_none.unlock_mutex = [](void*) {};
    testBattle w;
    battleSounds sounds(500);
    sounds.install();                 // opens the device at the third hear, before the first tick
    std::map<SAMPLE*, int> loudestAt; // each effect's loudest sample, once played
    const int peak = effectSynth::peak;
    int loudest = 0, owed = 0; // the loudest mix found, and frames not yet mixed
    auto mix = [] { _mix_some_samples(reinterpret_cast<uintptr_t>(frames), 0, TRUE); };
    srand(29);
    for (int tick = 0; tick <= 612; tick++) {
        auto place = [&] { return tick / 30 % 3 * 200 + rand() % 101; }; // a second on each side
        w.empty();
        for (int n = tick <= 600 ? rand() % 7 : 0; n > 0; n--) {
            w.add(place(), 0, n % 3 == 0 ? P : H)->hp = 2;
        }
        EXPECT_TRUE(sounds.hear(w.list(), tick - 1).empty()) << "a sound without a tick";
        for (unit* u : *w.list().getUnits()) {
            static_cast<exposed<unit>*>(u)->hp = rand() % 2; // hit or killed
        }
        for (int n = tick <= 600 ? rand() % 4 - 1 : 1; n != 0; n -= n / abs(n)) {
            w.add(place(), 0, n < 0 ? P : S);
        }
        std::multiset<std::pair<int, int>> started, fresh; // volume and pan
        for (const voiceStart& v : sounds.hear(w.list(), tick)) {
            started.insert({v.volume, v.pan});
        }
        std::vector<int> voices, positions; // Allegro's playing
        for (int v = 0; v < VIRTUAL_VOICES; v++) {
            if (voice_get_position(v) >= 0) {
                voices.push_back(v);
                if (positions.emplace_back(voice_get_position(v)) == 0) {
                    fresh.insert({voice_get_volume(v), voice_get_pan(v)});
                }
            }
        }
        EXPECT_EQ(fresh, started) << "at tick " << tick;
        EXPECT_TRUE(tick <= 600 || started.size() == 1) << "a lone shot at tick " << tick;
        // Every voice at once at its peak: each one's part on its loudest sample, alone (the
        // others on their first, silent one), as if that sample reached the effects' peak.
        int worst[2] = {};
        for (int v : voices) {
            const uint16_t* d = static_cast<uint16_t*>(voice_check(v)->data);
            int& at = loudestAt[voice_check(v)]; // 0 until its effect is first heard
            if (at == 0) {
                // Each effect starts from silence and spans most of its range, evenly about it.
                const auto [low, high] = std::minmax_element(d, d + voice_check(v)->len);
                const int lowest = *low - 0x8000, highest = *high - 0x8000;
                EXPECT_TRUE(d[0] == 0x8000 && -peak <= lowest && highest <= peak &&
                            highest > peak * 3 / 4 && abs(highest + lowest) < peak / 20)
                    << d[0] << ", " << lowest << " to " << highest;
                at = (-lowest > highest ? low : high) - d;
            }
            for (int other : voices) {
                voice_set_position(other, other == v ? at : 0);
            }
            mix();
            for (int side : {0, 1}) {
                worst[side] += abs(frames[side]) * peak / abs(d[at] - 0x8000);
            }
        }
        loudest = std::max({loudest, worst[0], worst[1]});
        for (size_t i = 0; i < voices.size(); i++) {
            voice_set_position(voices[i], positions[i]);
        }
        if (tick % 25 == 0) {
            sounds.pause();
            mix();
            EXPECT_EQ(std::count(frames, frames + 2 * fragment, 0), 2 * fragment)
                << "paused at tick " << tick;
        }
        for (owed += mixRate / ticksPerSecond; owed >= fragment; owed -= fragment) {
            mix(); // a voice starts at the next fragment, up to one late
        }
    }
    EXPECT_TRUE(loudest <= std::min(voiceBudget::ceiling, 32766) &&
                loudest > voiceBudget::ceiling * 9 / 10)
        << "at most " << loudest;
    EXPECT_EQ(loudestAt.size(), size_t(soundKinds)) << "effects heard";
}

} // namespace
