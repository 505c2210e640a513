#include "battleSounds.h"

#include <allegro.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <numeric>
#include <string>

#include "effectSynth.h"
#include "frameTimer.h"

namespace {
// Each kind's effect and the voices it may have playing at once.
struct effect {
    effectShape shape;
    int slots;
};
const effect effects[soundKinds] = {
    {{effectWave::square, 440, 55, 480, 5}, 1},    // player death
    {{effectWave::saw, 400, 90, 180, 3}, 1},       // player hurt
    {{effectWave::noise, 800, 40, 450, 3}, 2},     // homer death
    {{effectWave::noise, 3000, 1500, 60, 1}, 2},   // homer hit
    {{effectWave::square, 1200, 300, 80, 2}, 2},   // shot
    {{effectWave::square, 260, 1040, 500, 15}, 1}, // battle start
};

// The game's sound settings, each used only where the player's configuration names none.
// Allegro's ALSA driver hands the device one fragment each time its mixing thread wakes, every
// 10 ms or a little more, so a fragment must outlast that: 512 frames are 11.6 ms at 44.1 kHz.
// Three of them, 35 ms, lie between the mix and the device. A fragment is written whenever there
// is room for one, so at a wake the device still holds at least 13 ms: a wake may come that much
// late before the device runs dry.
const char* const alsaFragmentFrames = "512";
const char* const alsaFragments = "3";

std::vector<int> slotsOfEachKind() {
    std::vector<int> slots;
    for (const effect& e : effects) {
        slots.push_back(e.slots);
    }
    return slots;
}

// Each kind's length in ticks, and one more: its voice may start a mixing period after its tick.
std::vector<int> ticksOfEachKind() {
    std::vector<int> ticks;
    for (const effect& e : effects) {
        ticks.push_back((e.shape.lengthMs * ticksPerSecond + 999) / 1000 + 1);
    }
    return ticks;
}
} // namespace

battleSounds::battleSounds(int arenaWidth)
    : ear(arenaWidth), budget(slotsOfEachKind(), ticksOfEachKind(), effectSynth::peak) {}

battleSounds::~battleSounds() {
    for (SAMPLE* sample : samples) {
        destroy_sample(sample); // stops and frees the voices playing it
    }
}

const effectShape& battleSounds::shapeOf(int kind) {
    return effects[kind].shape;
}

bool battleSounds::openDevice() {
    std::string defaults = "[sound]\n";
    const std::vector<int> slots = slotsOfEachKind();
    const std::string voiceCount = std::to_string(std::accumulate(slots.begin(), slots.end(), 0));
    for (const auto& [name, value] : {std::make_pair("alsa_fragsize", alsaFragmentFrames),
                                      std::make_pair("alsa_numfrags", alsaFragments),
                                      std::make_pair("digi_voices", voiceCount.c_str())}) {
        if (get_config_string("sound", name, nullptr) == nullptr) {
            defaults += std::string(name) + " = " + value + "\n";
        }
    }
    // Overrides are never saved, and these hold only what the configuration leaves unnamed.
    override_config_data(defaults.c_str(), static_cast<int>(defaults.size()));

    // libasound, and the PulseAudio or PipeWire plugins behind it, tell of a missing device on
    // standard error, each its own way. Pointing standard error at /dev/null while the driver is
    // probed quiets them all with no new dependency; nothing else writes in those few ms.
    fflush(stderr);
    const int kept = dup(STDERR_FILENO);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (kept >= 0 && quiet >= 0) {
        dup2(quiet, STDERR_FILENO);
    }
    const bool installed = install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) == 0;
    if (kept >= 0) {
        dup2(kept, STDERR_FILENO);
        close(kept);
    }
    if (quiet >= 0) {
        close(quiet);
    }
    if (!installed || digi_card == DIGI_NONE) {
        return false;
    }

    for (int kind = 0; kind < soundKinds; kind++) {
        const std::vector<int16_t> made = effectSynth::make(shapeOf(kind));
        SAMPLE* sample =
            create_sample(16, FALSE, effectSynth::sampleRate, static_cast<int>(made.size()));
        if (sample == nullptr) {
            return false;
        }
        samples.push_back(sample);
        voices.insert(voices.end(), effects[kind].slots, -1);
        uint16_t* data = static_cast<uint16_t*>(sample->data);
        for (size_t i = 0; i < made.size(); i++) {
            data[i] = static_cast<uint16_t>(made[i] + 0x8000); // Allegro's samples are unsigned
        }
        slotSamples.insert(slotSamples.end(), effects[kind].slots, sample);
    }
    return true;
}

const std::vector<voiceStart>& battleSounds::hear(unitList& list, int ticksRun) {
    started.clear();
    if (++calls == openAtCall) {
        listening = openDevice();
    }
    if (!listening || calls < openAtCall) {
        return started;
    }
    battleEar::trace(list, after);
    if (ticksRun != ticksHeard) {
        ticksHeard = ticksRun;
        budget.tick();
        for (const soundCue& cue : ear.compare(before, after)) {
            const voiceStart voice = budget.start(cue.kind, cue.volume, cue.pan);
            if (voice.slot >= 0 && !slotSamples.empty()) {
                play(voice);
            }
            if (voice.slot >= 0) {
                started.push_back(voice);
            }
        }
    }
    before.swap(after);
    return started;
}

void battleSounds::play(const voiceStart& v) {
    // A voice afresh each time: should the configuration give the mixer fewer voices than there
    // are slots, Allegro then hands over the one started longest ago.
    if (voices[v.slot] >= 0) {
        deallocate_voice(voices[v.slot]);
    }
    voices[v.slot] = allocate_voice(slotSamples[v.slot]);
    if (voices[v.slot] >= 0) {
        voice_set_volume(voices[v.slot], v.volume);
        voice_set_pan(voices[v.slot], v.pan);
        voice_start(voices[v.slot]);
    }
}

void battleSounds::pause() {
    budget.clear();
    for (int voice : voices) {
        if (voice >= 0) {
            voice_stop(voice);
        }
    }
}
