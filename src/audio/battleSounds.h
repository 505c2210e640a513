#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "battleEar.h"
#include "voiceBudget.h"

struct SAMPLE;
struct effectShape;
class unitList;

// The battle's sound: hears each tick with a battleEar and plays what it heard on Allegro's
// mixer, within a voiceBudget. Without install it hears and budgets but plays nothing.
class battleSounds {
  public:
    // For an arena this wide (pixels).
    explicit battleSounds(int arenaWidth);
    // Stops its voices, frees its samples and gives standard error back.
    ~battleSounds();
    battleSounds(const battleSounds&) = delete;
    battleSounds& operator=(const battleSounds&) = delete;

    // Asks for Allegro's sound, which hear installs at its third call: opening a device may take
    // a while, and by then the loop has drawn its first frame and Allegro's background thread
    // (which sends the screen to the display every 10 ms) has had time to show it.
    void install() { openAtCall = calls + 3; }
    // After each loop iteration, with the battle's units and its count of ticks run: starts the
    // sounds of the tick just run, if any. Returns the voices it started.
    const std::vector<voiceStart>& hear(unitList& list, int ticksRun);
    // When the window goes away: stops every voice at once.
    void pause();
    // Once each loop iteration, in play or paused: once the sound driver has complained on
    // standard error (which passes on every other line at once) the device has failed, and the
    // game closes it, says so in one line and plays on without sound.
    void watch();
    // The effect each kind of sound is made of.
    static const effectShape& shapeOf(int kind);
    // What decides how loud each sound may start.
    const voiceBudget& getBudget() const { return budget; }

  private:
    battleEar ear;
    voiceBudget budget;
    bool listening = true;
    int calls = 0;
    int openAtCall = 0; // 0: nothing to open
    int ticksHeard = 0;
    std::vector<unitTrace> before;
    std::vector<unitTrace> after;
    std::vector<voiceStart> started;
    std::vector<SAMPLE*> samples;     // by kind
    std::vector<SAMPLE*> slotSamples; // by budget slot
    std::vector<int> voices;          // Allegro's voice last started in each slot, or -1
    int stderrKept = -1;              // the real standard error while fd 2 is the pipe, or -1
    std::thread relay;                // reads the pipe and passes its lines on
    std::atomic<bool> deviceFailed{false};

    // Installs Allegro's sound quietly, with the game's settings where the player's allegro.cfg
    // names none, and makes the effects. False when there is no device to play on.
    bool openDevice();
    // The relay: passes each whole line read from the pipe on to stderrKept, but for the sound
    // driver's complaints, which set deviceFailed; ends when the pipe has no writer left.
    void passOn(int pipeEnd);
    // While standard error is the pipe, a fatal signal first points it back at realStderrCopy
    // and passes on what waits in pipeEnd; giveBackStderr undoes it.
    static void keepLastWords(int realStderrCopy, int pipeEnd);
    // Points standard error back at stderrKept and waits for the relay to end.
    void giveBackStderr();
    // Starts the slot's sample afresh.
    void play(const voiceStart& v);
};
