#pragma once

#include <allegro.h>

#include <cstdint>

// Angle from point 1 towards point 2, in Allegro angle units (256.0 a turn, 0 up, 64 right),
// between -192.0 and 192.0 and not normalised. Returns fallback when the points coincide.
fixed calcAngle(const fixed& x1, const fixed& y1, const fixed& x2, const fixed& y2,
                const fixed& fallback);

// Distance between two points, 16.16 pixels; never negative.
fixed calcDist(const fixed& x1, const fixed& y1, const fixed& x2, const fixed& y2);

// 32-bit sums and differences that wrap instead of overflowing, as the game's 16.16 values did
// on the machines it was written for.
inline fixed wrapAdd(fixed a, fixed b) {
    return static_cast<fixed>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline fixed wrapSub(fixed a, fixed b) {
    return static_cast<fixed>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// True when the points are at least `reach` (16.16 pixels) apart along x or along y, so that
// calcDist between them is at least reach as well. Far less work than the distance itself, and
// inline because the collision scan asks it for nearly every pair of units every tick.
inline bool apartOnAnAxis(const fixed& x1, const fixed& y1, const fixed& x2, const fixed& y2,
                          fixed reach) {
    // The same wrapped differences as calcDist, widened so that the lowest one has a size.
    auto size = [](fixed d) { return d < 0 ? -static_cast<int64_t>(d) : d; };
    return size(wrapSub(x2, x1)) >= reach || size(wrapSub(y2, y1)) >= reach;
}
