#pragma once

#include <atomic>

// Counters shared between the main loop and Allegro's timer thread; atomic so neither side
// ever reads a torn or stale value.
extern std::atomic<int> frameTick;       // logic ticks pending since the loop last looked
extern std::atomic<int> frameCount;      // ticks counted so far in the current second
extern std::atomic<int> frameCountTotal; // ticks counted in the last whole second (HUD's fps)

// Logic ticks per second, and the timer callbacks that count them.
constexpr int ticksPerSecond = 30;

// Timer callback, 30 times a second: one more tick pending, one more counted.
void incFrameTick();
// Timer callback, once a second: publishes the count of the last second and starts anew.
void fpsCalc();
