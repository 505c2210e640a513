#include "battleEar.h"

#include <algorithm>

#include "unit.h"
#include "unitList.h"

namespace {
// Each kind's loudness (Allegro volume): one event's, what each further event of the same tick
// adds, and the most.
struct loudness {
    int one;
    int more;
    int most;
};
constexpr loudness loudnessOf[soundKinds] = {
    {190, 0, 190},  // player death
    {150, 0, 150},  // player hurt
    {110, 25, 200}, // homer death
    {100, 15, 150}, // homer hit
    {90, 0, 90},    // shot
    {120, 0, 120},  // battle start
};
// The pan of the arena's left and right walls: never wholly in one ear.
constexpr int panLeft = 32;
constexpr int panRight = 223;
} // namespace

void battleEar::trace(unitList& list, std::vector<unitTrace>& traces) {
    traces.clear();
    for (const unit* u : *list.getUnits()) {
        traces.push_back({u->getUnitID(), u->getGeneralType(), u->getHP(), fixtoi(u->getPosX())});
    }
}

std::vector<soundCue> battleEar::compare(const std::vector<unitTrace>& before,
                                         const std::vector<unitTrace>& after) const {
    int count[soundKinds] = {};
    long xSum[soundKinds] = {};
    auto hear = [&](int kind, int x) {
        count[kind]++;
        xSum[kind] += x;
    };
    auto was = before.begin();
    for (const unitTrace& now : after) {
        was = std::find_if(was, before.end(), [&](const unitTrace& t) { return t.id >= now.id; });
        const bool isNew = was == before.end() || was->id != now.id;
        const bool dies = now.hp <= 0;
        if (isNew && now.type == generalTypeShot) {
            hear(soundShot, now.x);
        } else if (isNew && now.type == generalTypePlayer) {
            hear(soundBattleStart, now.x);
        } else if (isNew || now.hp >= was->hp || was->hp <= 0) {
            continue;
        } else if (now.type == generalTypeHomer) {
            hear(dies ? soundHomerDeath : soundHomerHit, now.x);
        } else if (now.type == generalTypePlayer) {
            hear(dies ? soundPlayerDeath : soundPlayerHurt, now.x);
        }
    }
    std::vector<soundCue> cues;
    for (int kind = 0; kind < soundKinds; kind++) {
        if (count[kind] > 0) {
            const int x = std::clamp(static_cast<int>(xSum[kind] / count[kind]), 0, arenaWidth);
            const loudness& l = loudnessOf[kind];
            cues.push_back({kind, panLeft + (panRight - panLeft) * x / arenaWidth,
                            std::min(l.most, l.one + l.more * (count[kind] - 1))});
        }
    }
    return cues;
}
