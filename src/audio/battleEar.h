#pragma once

#include <vector>

class unitList;

// The sounds of the battle, most telling first: a tick's sounds start in this order, so the
// later ones give way when the mix is full.
enum soundKind {
    soundPlayerDeath,
    soundPlayerHurt,
    soundHomerDeath,
    soundHomerHit,
    soundShot,
    soundBattleStart,
    soundKinds
};

// A sound to start: its kind, where (Allegro pan, 0 left to 255 right) and how loud (Allegro
// volume, 0 to 255).
struct soundCue {
    int kind;
    int pan;
    int volume;
    bool operator==(const soundCue& o) const {
        return kind == o.kind && pan == o.pan && volume == o.volume;
    }
};

// What the ear keeps of a unit between two looks: unit ID, general type, hit points and x in
// whole arena pixels.
struct unitTrace {
    int id;
    int type;
    int hp;
    int x;
};

// Hears the battle by comparing what it holds before and after a tick; it changes nothing in it.
// A shot appearing is a shot fired, a player appearing a battle started, lost hit points a hit
// or a death.
class battleEar {
  public:
    // Pans across an arena this wide (pixels).
    explicit battleEar(int arenaWidth) : arenaWidth(arenaWidth) {}

    // What the list holds now, in list order (which is ascending ID order), into `traces`.
    static void trace(unitList& list, std::vector<unitTrace>& traces);
    // The sounds of a tick that turned `before` into `after` (both as trace gives them): at most
    // one of each kind, in kind order, panned to the mean x of its events and louder for more.
    std::vector<soundCue> compare(const std::vector<unitTrace>& before,
                                  const std::vector<unitTrace>& after) const;

  private:
    int arenaWidth;
};
