#include "frameChanges.h"

#include <algorithm>
#include <utility>

namespace {
// One more copy to the screen costs about as much as converting this many pixels (some 10,000
// instructions against 12 a pixel), so two rectangles go as one when the one that holds both is
// no larger than the two and this together.
constexpr int pixelsPerCopy = 800;
// A frame changed over more than this share of the screen (percent) is drawn and sent whole.
constexpr int wholeFramePercent = 50;

bool isEmpty(const pixelRect& r) {
    return r.w <= 0 || r.h <= 0;
}

int area(const pixelRect& r) {
    return isEmpty(r) ? 0 : r.w * r.h;
}

// The smallest rectangle that holds both.
pixelRect unite(const pixelRect& a, const pixelRect& b) {
    if (isEmpty(a) || isEmpty(b)) {
        return isEmpty(a) ? b : a;
    }
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    return {left, top, std::max(a.x + a.w, b.x + b.w) - left, std::max(a.y + a.h, b.y + b.h) - top};
}

bool inside(const pixelRect& r, const pixelRect& outer) {
    return r.x >= outer.x && r.y >= outer.y && r.x + r.w <= outer.x + outer.w &&
           r.y + r.h <= outer.y + outer.h;
}

// Adds the part of r on the screen, if any.
void add(std::vector<pixelRect>& rects, const pixelRect& r, const pixelRect& screen) {
    const pixelRect onScreen = frameChanges::intersect(r, screen);
    if (!isEmpty(onScreen)) {
        rects.push_back(onScreen);
    }
}

// Whether two rectangles, neither empty, go as one.
bool joinable(const pixelRect& a, const pixelRect& b) {
    const int w = std::max(a.x + a.w, b.x + b.w) - std::min(a.x, b.x);
    const int h = std::max(a.y + a.h, b.y + b.h) - std::min(a.y, b.y);
    return w * h <= a.w * a.h + b.w * b.h + pixelsPerCopy;
}

// Adds the old and the new place of a thing that changed, as one rectangle where that pays.
void addBoth(std::vector<pixelRect>& rects, const pixelRect& was, const pixelRect& is,
             const pixelRect& screen) {
    if (!isEmpty(was) && !isEmpty(is) && joinable(was, is)) {
        add(rects, unite(was, is), screen);
    } else {
        add(rects, was, screen);
        add(rects, is, screen);
    }
}

// Joins rectangles while one that holds two costs no more than the two apart.
void merge(std::vector<pixelRect>& rects) {
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t i = 0; i < rects.size(); i++) {
            for (size_t j = i + 1; j < rects.size();) {
                if (joinable(rects[i], rects[j])) {
                    rects[i] = unite(rects[i], rects[j]);
                    rects[j] = rects.back();
                    rects.pop_back();
                    joined = true;
                } else {
                    j++;
                }
            }
        }
    }
}

bool samePicture(const frameContents::picture& a, const frameContents::picture& b) {
    return a.pic == b.pic && a.x == b.x && a.y == b.y && a.half == b.half && a.angle == b.angle;
}

bool samePart(const frameContents::part& a, const frameContents::part& b) {
    return a.pic == b.pic && a.x == b.x && a.y == b.y;
}

bool idsIncrease(const std::vector<frameContents::picture>& units) {
    for (size_t k = 1; k < units.size(); k++) {
        if (units[k - 1].id >= units[k].id) {
            return false;
        }
    }
    return true;
}
} // namespace

pixelRect frameChanges::intersect(const pixelRect& a, const pixelRect& b) {
    const int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    return {left, top, std::min(a.x + a.w, b.x + b.w) - left, std::min(a.y + a.h, b.y + b.h) - top};
}

bool frameChanges::touches(const std::vector<pixelRect>& rects, const pixelRect& r) {
    return std::any_of(rects.begin(), rects.end(),
                       [&r](const pixelRect& each) { return !isEmpty(intersect(each, r)); });
}

bool frameChanges::compare(frameContents next, std::vector<pixelRect>& changed,
                           std::vector<pixelRect>& repaint, std::vector<bool>& redraw) {
    changed.clear();
    repaint.clear();
    redraw.assign(next.units.size(), false);
    const pixelRect& screen = next.screen;
    const bool inOrder = idsIncrease(next.units);
    bool comparable =
        known && inOrder && next.floor == current.floor && next.background == current.background &&
        next.parts.size() == current.parts.size() &&
        std::make_pair(screen.w, screen.h) == std::make_pair(current.screen.w, current.screen.h);
    if (comparable) {
        // Both lists are in increasing ID order: a unit only in one of them has changed, and so
        // has a unit in both whose picture differs.
        const std::vector<frameContents::picture>&was = current.units, &is = next.units;
        size_t i = 0, k = 0;
        while (i < was.size() || k < is.size()) {
            if (k == is.size() || (i < was.size() && was[i].id < is[k].id)) {
                add(changed, was[i++].bounds, screen);
            } else if (i == was.size() || is[k].id < was[i].id) {
                add(changed, is[k++].bounds, screen);
            } else {
                if (!samePicture(was[i], is[k])) {
                    addBoth(changed, was[i].bounds, is[k].bounds, screen);
                }
                i++;
                k++;
            }
        }
        for (size_t p = 0; p < next.parts.size(); p++) {
            if (!samePart(current.parts[p], next.parts[p])) {
                addBoth(changed, current.parts[p].bounds, next.parts[p].bounds, screen);
            }
        }
        merge(changed);
        int changedArea = 0;
        for (const pixelRect& r : changed) {
            changedArea += area(r);
        }
        comparable = changedArea * 100 <= area(screen) * wholeFramePercent;
    }
    known = inOrder;
    current = std::move(next);
    if (!comparable) {
        return false;
    }
    // A unit picture is drawn whole or not at all: one that reaches into the area to repaint
    // makes the area its own, until no other reaches in.
    repaint = changed;
    for (bool grew = true; grew;) {
        grew = false;
        for (size_t k = 0; k < current.units.size(); k++) {
            const pixelRect& bounds = current.units[k].bounds;
            if (!redraw[k] && touches(repaint, bounds)) {
                redraw[k] = true;
                if (std::none_of(repaint.begin(), repaint.end(),
                                 [&bounds](const pixelRect& r) { return inside(bounds, r); })) {
                    repaint.push_back(bounds);
                    grew = true;
                }
            }
        }
    }
    return true;
}
