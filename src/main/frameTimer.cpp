#include "frameTimer.h"

std::atomic<int> frameTick(0);
std::atomic<int> frameCount(0);
std::atomic<int> frameCountTotal(0);

void incFrameTick() {
    frameTick++;
    frameCount++;
}

void fpsCalc() {
    frameCountTotal = frameCount.load();
    frameCount = 0;
}
