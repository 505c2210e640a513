#include "voiceBudget.h"

voiceBudget::voiceBudget(const std::vector<int>& slotsPerKind, const std::vector<int>& ticks,
                         int samplePeak)
    : ticks(ticks), samplePeak(samplePeak) {
    for (int kind = 0; kind < static_cast<int>(slotsPerKind.size()); kind++) {
        slots.insert(slots.end(), slotsPerKind[kind], slot{kind, 0, 0, {0, 0}});
    }
}

voiceStart voiceBudget::start(int kind, int volume, int pan) {
    int chosen = -1;
    for (int i = 0; i < static_cast<int>(slots.size()); i++) {
        if (slots[i].kind != kind) {
            continue;
        }
        if (slots[i].ends <= now) {
            chosen = i;
            break;
        }
        if (chosen < 0 || slots[i].started < slots[chosen].started) {
            chosen = i;
        }
    }
    if (chosen < 0) {
        return {-1, 0, pan};
    }
    // The chosen slot's own sound, if it still plays, makes way for the new one.
    slot& s = slots[chosen];
    int room[2];
    for (int side = 0; side < 2; side++) {
        room[side] = ceiling - load(side) + (s.ends > now ? s.share[side] : 0);
    }
    int fits = volume;
    while (fits > 0 && (share(fits, pan, false) > room[0] || share(fits, pan, true) > room[1])) {
        fits--;
    }
    if (fits == 0 || fits * 4 < volume) {
        return {-1, 0, pan};
    }
    s = slot{kind, now + ticks[kind], now, {share(fits, pan, false), share(fits, pan, true)}};
    return {chosen, fits, pan};
}

void voiceBudget::clear() {
    for (slot& s : slots) {
        s.ends = now;
    }
}

int voiceBudget::load(bool right) const {
    int sum = 0;
    for (const slot& s : slots) {
        sum += s.ends > now ? s.share[right] : 0;
    }
    return sum;
}

int voiceBudget::share(int volume, int pan, bool right) const {
    const long long scale = static_cast<long long>(volume) * (right ? pan : 255 - pan);
    return static_cast<int>((samplePeak * (scale + (scale >> 7)) + 65535) / 65536);
}
