#include "battleSounds.h"

#include <allegro.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <numeric>
#include <string>
#include <utility>

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
    const std::pair<const char*, const char*> settings[] = {{"alsa_fragsize", alsaFragmentFrames},
                                                            {"alsa_numfrags", alsaFragments},
                                                            {"digi_voices", voiceCount.c_str()}};
    for (const auto& [name, value] : settings) {
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
    // every write, dozens of lines a second. From here on standard error is a pipe, and a thread
    // of its own passes each line on at once, but for those complaints: the first one tells
    // watch that the device failed.
    int pipeEnds[2];
    if (installed && digi_card != DIGI_NONE && stderrKept >= 0 && pipe2(pipeEnds, O_CLOEXEC) == 0) {
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[1]);
        relay = std::thread(&battleSounds::passOn, this, pipeEnds[0]);
        keepLastWords(stderrKept, pipeEnds[0]);
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
// What Allegro's ALSA driver and libasound write when the device fails under them; other lines
// from libasound are passed on, since one of them alone need not end the sound.
bool isDriverComplaint(const std::string& line) {
    for (const char* start :
         {"Write error", "Can't recovery from underrun", "Wait for poll failed"}) {
        if (line.compare(0, strlen(start), start) == 0) {
            return true;
        }
    }
    return line.compare(0, 9, "ALSA lib ") == 0 && line.find("write failed") != std::string::npos;
}

// While standard error is the relay's pipe: the real one and the pipe's end, for a fatal signal.
std::atomic<int> realStderr(-1), relayed(-1);
const int fatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
struct sigaction beforeFatal[std::size(fatalSignals)];

void handBackFatalSignals() {
    for (size_t i = 0; i < std::size(fatalSignals); i++) {
        sigaction(fatalSignals[i], &beforeFatal[i], nullptr);
    }
}

// A fatal signal ends the process before the relay can pass on the last words written just
// before it (the C++ runtime's, a sanitizer's, Allegro's own on the signal): standard error goes
// back at once, what waits in the pipe follows, and the handler found before takes the signal.
void onFatalSignal(int number) {
    const int real = realStderr.exchange(-1), pipeEnd = relayed.exchange(-1);
    if (real >= 0) {
        dup2(real, STDERR_FILENO);
        fcntl(pipeEnd, F_SETFL, O_NONBLOCK);
        char chunk[4096];
        for (ssize_t got; (got = read(pipeEnd, chunk, sizeof chunk)) > 0;) {
            if (write(STDERR_FILENO, chunk, static_cast<size_t>(got)) < 0) {
                break;
            }
        }
    }
    handBackFatalSignals();
    raise(number);
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

void battleSounds::passOn(int pipeEnd) {
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = read(pipeEnd, chunk, sizeof chunk)) != 0;) {
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        text.append(chunk, static_cast<size_t>(got));
        for (size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1)) {
            const std::string line = text.substr(0, end + 1);
            if (isDriverComplaint(line)) {
                deviceFailed = true;
            } else {
                writeAll(stderrKept, line);
            }
        }
    }
    writeAll(stderrKept, text); // a last line without its end
    close(pipeEnd);
}

void battleSounds::keepLastWords(int realStderrCopy, int pipeEnd) {
    realStderr = realStderrCopy;
    relayed = pipeEnd;
    struct sigaction action = {};
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(fatalSignals); i++) {
        sigaction(fatalSignals[i], &action, &beforeFatal[i]);
    }
}

void battleSounds::giveBackStderr() {
    if (stderrKept < 0) {
        return;
    }
    // The pipe loses its only writer: the relay reads what is left and ends.
    if (realStderr.exchange(-1) >= 0) {
        relayed = -1;
        handBackFatalSignals();
    }
    dup2(stderrKept, STDERR_FILENO);
    if (relay.joinable()) {
        relay.join();
    }
    close(stderrKept);
    stderrKept = -1;
}

void battleSounds::watch() {
    if (!deviceFailed || stderrKept < 0) {
        return;
    }
    remove_sound(); // its last writes complain too, and the relay leaves them out
    listening = false;
    voices.assign(voices.size(), -1);
    giveBackStderr();
    writeAll(STDERR_FILENO, "arenaBattle: the sound device failed; playing on without sound.\n");
}

void battleSounds::pause() {
    budget.clear();
    for (int voice : voices) {
        if (voice >= 0) {
            voice_stop(voice);
        }
    }
}
