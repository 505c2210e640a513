#include "effectSynth.h"

#include <algorithm>
#include <cmath>

namespace {
// The effects' own noise stream (xorshift), so that making them leaves the battle's rand alone.
constexpr uint32_t noiseSeed = 2463534242u;

uint32_t nextNoise(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}
} // namespace

std::vector<int16_t> effectSynth::make(const effectShape& shape) {
    const int count = sampleRate * shape.lengthMs / 1000;
    const int attack = std::clamp(sampleRate * shape.attackMs / 1000, 1, count - 1);
    std::vector<int16_t> samples(count);
    uint32_t noise = noiseSeed;
    double held = 0;  // the noise's value, new each half period
    double phase = 0; // in periods, 0 to 1
    for (int i = 0; i < count; i++) {
        const double hz =
            shape.fromHz * std::pow(double(shape.toHz) / shape.fromHz, double(i) / count);
        const double next = phase + hz / sampleRate;
        if (shape.wave == effectWave::noise && std::floor(2 * next) != std::floor(2 * phase)) {
            held = 2.0 * nextNoise(noise) / UINT32_MAX - 1;
        }
        phase = next - std::floor(next);
        double wave = held;
        if (shape.wave == effectWave::square) {
            wave = phase < 0.5 ? 1 : -1;
        } else if (shape.wave == effectWave::saw) {
            wave = 2 * phase - 1;
        }
        const double envelope =
            i < attack ? double(i) / attack : double(count - i) / (count - attack);
        samples[i] = static_cast<int16_t>(std::lround(wave * envelope * peak));
    }
    return samples;
}
