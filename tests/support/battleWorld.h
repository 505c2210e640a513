#pragma once

#include <vector>

#include "battleMain.h"
#include "dataObj.h"

class unit;

// The real battle, built headless from the game's own picture datafile on 640 x 480 memory
// bitmaps, without the frame timer. Loop iterations are run by hand.
class battleWorld {
  public:
    // Builds the battle, then reseeds rand and restarts so that positions are repeatable.
    explicit battleWorld(unsigned seed = 1);

    // One loop iteration with a tick pending (or several pending, or none).
    void go(int ticksPending = 1);
    void goTimes(int iterations);
    // The live units of one general type, in list order.
    std::vector<unit*> ofType(int generalType) const;
    // Presses then releases a key across two iterations with ticks, as a player would.
    void tapKey(int allegroKey);
    // Lets go of every key and mouse button and puts the mouse at (x, y) screen pixels.
    static void releaseInput(int mouseX = 320, int mouseY = 100);

    dataObj data;
    battleMain battle;
};
