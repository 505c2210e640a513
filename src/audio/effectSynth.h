#pragma once

#include <cstdint>
#include <vector>

// The waves an effect can be made of.
enum class effectWave { square, saw, noise };

// A short effect as a few numbers: a wave whose pitch slides exponentially from fromHz to toHz
// (for noise, the rate at which it changes), under a linear attack of attackMs and a linear
// decay to silence at lengthMs.
struct effectShape {
    effectWave wave;
    int fromHz;
    int toHz;
    int lengthMs;
    int attackMs;
};

// Makes the game's sound effects from their shapes at start-up, so that it ships no sample files.
class effectSynth {
  public:
    // Samples a second of every effect made.
    static constexpr int sampleRate = 22050;
    // No sample of an effect is further than this from silence (full scale is 32767).
    static constexpr int peak = 29000;

    // The effect as signed 16-bit mono samples at sampleRate, lengthMs long.
    static std::vector<int16_t> make(const effectShape& shape);
};
