#pragma once

#include <vector>

#include "battleEar.h"
#include "voiceBudget.h"

struct SAMPLE;
class unitList;

// The battle's sound: hears each tick with a battleEar and plays what it heard on Allegro's
// mixer, within a voiceBudget. Without install it hears and budgets but plays nothing.
class battleSounds {
  public:
    // For an arena this wide (pixels).
    explicit battleSounds(int arenaWidth);
    // Stops its voices and frees its samples.
    ~battleSounds();
    battleSounds(const battleSounds&) = delete;
    battleSounds& operator=(const battleSounds&) = delete;

    // Installs Allegro's sound quietly, with the game's settings where the player's allegro.cfg
    // names none, and makes the effects. Returns false, and stays silent from then on, when
    // there is no device to play on. Needs Allegro and its timer installed.
    bool install();
    // After each loop iteration, with the battle's units and its count of ticks run: starts the
    // sounds of the tick just run, if any. Returns the voices it started.
    const std::vector<voiceStart>& hear(unitList& list, int ticksRun);
    // While the window is away: stops every voice at once.
    void pause();
    // What decides how loud each sound may start.
    const voiceBudget& getBudget() const { return budget; }

  private:
    battleEar ear;
    voiceBudget budget;
    bool listening = true;
    int ticksHeard = 0;
    std::vector<unitTrace> before;
    std::vector<unitTrace> after;
    std::vector<voiceStart> started;
    std::vector<SAMPLE*> samples;     // by kind
    std::vector<SAMPLE*> slotSamples; // by budget slot
    std::vector<int> voices;          // Allegro's voice last started in each slot, or -1

    // Starts the slot's sample afresh.
    void play(const voiceStart& v);
};
