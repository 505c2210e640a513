#include "zeriMath.h"

namespace {
const fixed angleRight = itofix(64);
const fixed angleLeft = itofix(192);
const fixed halfTurn = itofix(128);
} // namespace

fixed calcAngle(const fixed& x1, const fixed& y1, const fixed& x2, const fixed& y2,
                const fixed& fallback) {
    fixed dy = wrapSub(y2, y1);
    fixed ex = wrapSub(x1, x2);
    if (dy == 0 && ex == 0) {
        return fallback;
    }
    if (dy == 0) {
        return x2 > x1 ? angleRight : angleLeft;
    }
    // fixatan covers only the upper half-plane; a target below is half a turn further round.
    fixed a = fixatan(fixdiv(ex, dy));
    if (dy > 0) {
        a -= halfTurn;
    }
    return a;
}

fixed calcDist(const fixed& x1, const fixed& y1, const fixed& x2, const fixed& y2) {
    return fixhypot(wrapSub(x2, x1), wrapSub(y2, y1));
}
