#include "arena.h"

namespace {
constexpr int defaultWidth = 500;
constexpr int defaultHeight = 400;
constexpr int defaultKnockbackCap = 20; // pixels per tick
} // namespace

arena::arena()
    : arenaSizeX(defaultWidth), arenaSizeY(defaultHeight), arenaPic(nullptr),
      knockbackCap(itofix(defaultKnockbackCap)) {}

void arena::setArenaSize(int x, int y) {
    arenaSizeX = x;
    arenaSizeY = y;
}
