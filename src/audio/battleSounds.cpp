#include "battleSounds.h"

#include <allegro.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
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
    passOnLines();
    giveBackStderr();
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
    stderrKept = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (stderrKept >= 0 && quiet >= 0) {
        dup2(quiet, STDERR_FILENO);
    }
    if (quiet >= 0) {
        close(quiet);
    }
    const bool installed = install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) == 0;
    // A device that fails later, in play, makes both libasound and Allegro's driver complain on
    // every write, dozens of lines a second. From here on standard error is a pipe that watch
    // reads: it passes the rest on and turns the first complaint into the end of the sound.
    int pipeEnds[2];
    if (installed && digi_card != DIGI_NONE && stderrKept >= 0 &&
        pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) == 0) {
        complaints = pipeEnds[0];
        dup2(pipeEnds[1], STDERR_FILENO); // non-blocking: a full pipe loses lines, never waits
        close(pipeEnds[1]);
    } else {
        giveBackStderr();
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

namespace {
// What Allegro's ALSA driver and libasound write when the device fails under them.
bool isDriverComplaint(const std::string& line) {
    for (const char* start :
         {"ALSA lib ", "Write error", "Can't recovery from underrun", "Wait for poll failed"}) {
        if (line.compare(0, strlen(start), start) == 0) {
            return true;
        }
    }
    return false;
}

void writeAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written <= 0) {
            return;
        }
        done += static_cast<size_t>(written);
    }
}
} // namespace

bool battleSounds::passOnLines() {
    char chunk[4096];
    ssize_t got;
    while (complaints >= 0 && (got = read(complaints, chunk, sizeof chunk)) > 0) {
        complaintText.append(chunk, static_cast<size_t>(got));
    }
    bool complained = false;
    for (size_t end; (end = complaintText.find('\n')) != std::string::npos;) {
        const std::string line = complaintText.substr(0, end + 1);
        complaintText.erase(0, end + 1);
        if (isDriverComplaint(line)) {
            complained = true;
        } else {
            writeAll(stderrKept, line);
        }
    }
    return complained;
}

void battleSounds::giveBackStderr() {
    if (stderrKept < 0) {
        return;
    }
    if (complaints >= 0) {
        writeAll(stderrKept, complaintText); // a last line without its end
        complaintText.clear();
        close(complaints);
        complaints = -1;
    }
    dup2(stderrKept, STDERR_FILENO);
    close(stderrKept);
    stderrKept = -1;
}

void battleSounds::watch() {
    if (complaints < 0 || !passOnLines()) {
        return;
    }
    remove_sound(); // its last writes complain too: read, and left out, below
    listening = false;
    voices.assign(voices.size(), -1);
    passOnLines();
    writeAll(stderrKept, "arenaBattle: the sound device failed; playing on without sound.\n");
    giveBackStderr();
}

void battleSounds::pause() {
    budget.clear();
    for (int voice : voices) {
        if (voice >= 0) {
            voice_stop(voice);
        }
    }
}
