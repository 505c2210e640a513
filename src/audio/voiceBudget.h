#pragma once

#include <vector>

// A sound started on a voice slot, at an Allegro volume and pan (0 to 255 each).
struct voiceStart {
    int slot;
    int volume;
    int pan;
};

// Shares the mix out among the voices so that it never clips: each kind of sound owns a few
// voice slots, and a new sound takes a free slot of its kind or the one started longest ago. It
// is turned down, or left out, so that no channel can reach the ceiling even when every voice
// still playing peaks at once. Time counts in ticks; slots are numbered kind by kind.
class voiceBudget {
  public:
    // The highest sample, off silence, a channel of the mix may reach: under full scale (32767).
    static constexpr int ceiling = 30000;

    // slots[k] voice slots for kind k, whose sounds play at most ticks[k] ticks; every sound's
    // samples stay within samplePeak of silence.
    voiceBudget(const std::vector<int>& slots, const std::vector<int>& ticks, int samplePeak);

    // A voice for a sound of the kind: at `volume` or as loud as still fits, slot -1 when less
    // than a quarter of it fits.
    voiceStart start(int kind, int volume, int pan);
    // One tick has passed.
    void tick() { now++; }
    // Every voice has been stopped.
    void clear();
    // The most that the voices playing now may add up to on the left or right channel.
    int load(bool right) const;

  private:
    struct slot {
        int kind;
        int ends; // tick at which its sound is over
        int started;
        int share[2]; // the most it adds to the left and right channel
    };
    std::vector<slot> slots;
    std::vector<int> ticks;
    int samplePeak;
    int now = 0;

    // The most a voice at this volume and pan adds to one channel, rounded up, as Allegro's
    // mixer scales it: volume x (255 - pan) on the left, volume x pan on the right, 1/128 added.
    int share(int volume, int pan, bool right) const;
};
