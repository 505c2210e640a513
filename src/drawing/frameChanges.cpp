#include "frameChanges.h"

#include <algorithm>
#include <utility>

namespace {
// One more copy to the display costs about as much as converting this many pixels (some 10,000
// instructions against 12 a pixel), so two rectangles go as one when the one that holds both is
// no larger than the two and this together.
constexpr int pixelsPerCopy = 800;
// How many calls on the comparison looks for a call that differs, in case things came or went.
constexpr size_t lookAhead = 3;
// A frame changed over more than this share of the screen (percent) is drawn and sent whole.
constexpr int wholeFramePercent = 50;

int area(const pixelRect& r) {
    return canvas::isEmpty(r) ? 0 : r.w * r.h;
}

pixelRect unite(const pixelRect& a, const pixelRect& b) {
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    return {left, top, std::max(a.x + a.w, b.x + b.w) - left, std::max(a.y + a.h, b.y + b.h) - top};
}

bool inside(const pixelRect& r, const pixelRect& outer) {
    return r.x >= outer.x && r.y >= outer.y && r.x + r.w <= outer.x + outer.w &&
           r.y + r.h <= outer.y + outer.h;
}

bool touches(const std::vector<pixelRect>& rects, const pixelRect& r) {
    return std::any_of(rects.begin(), rects.end(), [&r](const pixelRect& each) {
        return !canvas::isEmpty(canvas::intersect(each, r));
    });
}

// Whether two rectangles, neither empty, go as one.
bool joinable(const pixelRect& a, const pixelRect& b) {
    const int w = std::max(a.x + a.w, b.x + b.w) - std::min(a.x, b.x);
    const int h = std::max(a.y + a.h, b.y + b.h) - std::min(a.y, b.y);
    return w * h <= a.w * a.h + b.w * b.h + pixelsPerCopy;
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

// Adds r, joined with the rectangle added last where that pays: a thing's old and new places
// come one after the other.
void add(std::vector<pixelRect>& rects, const pixelRect& r) {
    if (canvas::isEmpty(r)) {
        return;
    }
    if (!rects.empty() && joinable(rects.back(), r)) {
        rects.back() = unite(rects.back(), r);
    } else {
        rects.push_back(r);
    }
}
} // namespace

void frameChanges::record(BITMAP* screenBitmap, const std::vector<BITMAP*>& parts) {
    screen = screenBitmap;
    next.clear();
    canvas::record(screen, &next);
    for (BITMAP* part : parts) {
        canvas::record(part, &next, part->x_ofs - screen->x_ofs, part->y_ofs - screen->y_ofs);
    }
}

const std::vector<pixelRect>& frameChanges::finish() {
    canvas::endRecord(&next);
    const pixelRect whole = {0, 0, screen->w, screen->h};
    changedRects.clear();
    if (known) {
        compare();
        merge(changedRects);
    }
    int changedArea = 0;
    for (const pixelRect& r : changedRects) {
        changedArea += area(r);
    }
    if (!known || changedArea * 100 > area(whole) * wholeFramePercent) {
        for (const drawCall& call : next) {
            canvas::draw(call, whole);
        }
        changedRects.assign(1, whole);
    } else {
        growRepaint();
        for (const drawCall& call : next) {
            if (canvas::drawnWhole(call)) {
                if (touches(repaint, call.bounds)) {
                    canvas::draw(call, whole);
                }
                continue;
            }
            for (const pixelRect& r : repaint) {
                if (!canvas::isEmpty(canvas::intersect(r, call.bounds))) {
                    canvas::draw(call, r);
                }
            }
        }
    }
    shown.swap(next);
    known = true;
    return changedRects;
}

void frameChanges::compare() {
    // Both frames make their calls in much the same order: a call found in both is passed over. A
    // call that differs is a thing changed, unless the other frame's call is found a few calls on
    // (things that came or went). Taking two calls for changed is never wrong, only more work.
    const size_t was = shown.size(), is = next.size();
    auto found = [](const std::vector<drawCall>& calls, size_t at, const drawCall& c) {
        return at < calls.size() && calls[at] == c;
    };
    size_t i = 0, k = 0;
    while (i < was && k < is) {
        if (shown[i] == next[k]) {
            i++, k++;
            continue;
        }
        size_t gone = 0, come = 0;
        for (size_t d = 1; d <= lookAhead && gone + come == 0; d++) {
            gone = found(shown, i + d, next[k]) ? d : 0;
            come = found(next, k + d, shown[i]) ? d : 0;
        }
        if (gone + come == 0) {
            gone = come = 1;
        }
        for (; gone > 0; gone--) {
            add(changedRects, shown[i++].bounds);
        }
        for (; come > 0; come--) {
            add(changedRects, next[k++].bounds);
        }
    }
    for (; i < was; i++) {
        add(changedRects, shown[i].bounds);
    }
    for (; k < is; k++) {
        add(changedRects, next[k].bounds);
    }
}

void frameChanges::growRepaint() {
    repaint = changedRects;
    std::vector<bool> inRepaint(next.size(), false);
    for (bool grew = true; grew;) {
        grew = false;
        for (size_t k = 0; k < next.size(); k++) {
            const pixelRect& bounds = next[k].bounds;
            if (inRepaint[k] || !canvas::drawnWhole(next[k]) || !touches(repaint, bounds)) {
                continue;
            }
            inRepaint[k] = true;
            if (std::none_of(repaint.begin(), repaint.end(),
                             [&bounds](const pixelRect& r) { return inside(bounds, r); })) {
                repaint.push_back(bounds);
                grew = true;
            }
        }
    }
}
