#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace {
// Where the calls on a recorded bitmap go, and its corner on the record's screen.
struct recorded {
    BITMAP* target;
    std::vector<drawCall>* record;
    int offsetX, offsetY;
};
// A frame records two bitmaps, the back buffer and its arena: a short list beats a map.
std::vector<recorded> recordedBitmaps;

// The pixels the call may touch on its target, in the target's own coordinates, unclipped.
pixelRect reach(const drawCall& c) {
    switch (c.what) {
    case drawCall::clear:
        return {0, 0, c.target->w, c.target->h};
    case drawCall::fill:
    case drawCall::outline:
        return {std::min(c.x, c.a), std::min(c.y, c.b), std::abs(c.a - c.x) + 1,
                std::abs(c.b - c.y) + 1};
    case drawCall::text:
        return {c.x, c.y, text_length(font, c.words.c_str()), text_height(font)};
    case drawCall::sprite:
    case drawCall::copy:
        return {c.x, c.y, c.pic->w, c.pic->h};
    case drawCall::stretchedSprite:
        return {c.x, c.y, c.a, c.b};
    case drawCall::turnedSprite:
        return canvas::turnedBounds(c.pic, c.x, c.y, c.a, c.b, c.angle);
    }
    return {0, 0, 0, 0};
}

void drawAtOnce(const drawCall& c) {
    switch (c.what) {
    case drawCall::clear:
        clear_to_color(c.target, c.colour);
        break;
    case drawCall::fill: {
        int left = 0, top = 0, right = 0, bottom = 0;
        get_clip_rect(c.target, &left, &top, &right, &bottom);
        // Allegro keeps a clipping rectangle on the bitmap, so one wholly outside it must not
        // reach set_clip_rect.
        const pixelRect inClip =
            canvas::intersect(reach(c), {left, top, right - left + 1, bottom - top + 1});
        if (!canvas::isEmpty(inClip)) {
            set_clip_rect(c.target, inClip.x, inClip.y, inClip.x + inClip.w - 1,
                          inClip.y + inClip.h - 1);
            clear_to_color(c.target, c.colour);
            set_clip_rect(c.target, left, top, right, bottom);
        }
        break;
    }
    case drawCall::outline:
        rect(c.target, c.x, c.y, c.a, c.b, c.colour);
        break;
    case drawCall::text:
        textout_ex(c.target, font, c.words.c_str(), c.x, c.y, c.colour, -1);
        break;
    case drawCall::sprite:
        draw_sprite(c.target, c.pic, c.x, c.y);
        break;
    case drawCall::copy:
        blit(c.pic, c.target, 0, 0, c.x, c.y, c.pic->w, c.pic->h);
        break;
    case drawCall::stretchedSprite:
        stretch_sprite(c.target, c.pic, c.x, c.y, c.a, c.b);
        break;
    case drawCall::turnedSprite:
        pivot_sprite(c.target, c.pic, c.x, c.y, c.a, c.b, c.angle);
        break;
    }
}

// Draws the call at once, or records it when its target is recorded.
void take(drawCall c) {
    for (const recorded& r : recordedBitmaps) {
        if (r.target == c.target) {
            c.offsetX = r.offsetX;
            c.offsetY = r.offsetY;
            const pixelRect onTarget =
                canvas::intersect(reach(c), {0, 0, c.target->w, c.target->h});
            c.bounds = {onTarget.x + r.offsetX, onTarget.y + r.offsetY, onTarget.w, onTarget.h};
            r.record->push_back(std::move(c));
            return;
        }
    }
    drawAtOnce(c);
}
} // namespace

bool drawCall::operator==(const drawCall& o) const {
    return what == o.what && x == o.x && y == o.y && pic == o.pic && angle == o.angle && a == o.a &&
           b == o.b && colour == o.colour && target == o.target && words == o.words;
}

void canvas::clear(BITMAP* target, int colour) {
    take({drawCall::clear, target, nullptr, 0, 0, 0, 0, 0, colour});
}

void canvas::fill(BITMAP* target, int left, int top, int right, int bottom, int colour) {
    take({drawCall::fill, target, nullptr, left, top, right, bottom, 0, colour});
}

void canvas::outline(BITMAP* target, int left, int top, int right, int bottom, int colour) {
    take({drawCall::outline, target, nullptr, left, top, right, bottom, 0, colour});
}

void canvas::text(BITMAP* target, const std::string& words, int x, int y, int colour) {
    take({drawCall::text, target, nullptr, x, y, 0, 0, 0, colour, words});
}

void canvas::sprite(BITMAP* target, BITMAP* pic, int x, int y) {
    take({drawCall::sprite, target, pic, x, y, 0, 0, 0, 0});
}

void canvas::copy(BITMAP* target, BITMAP* pic, int x, int y) {
    take({drawCall::copy, target, pic, x, y, 0, 0, 0, 0});
}

void canvas::stretchedSprite(BITMAP* target, BITMAP* pic, int x, int y, int w, int h) {
    take({drawCall::stretchedSprite, target, pic, x, y, w, h, 0, 0});
}

void canvas::turnedSprite(BITMAP* target, BITMAP* pic, int x, int y, int pivotX, int pivotY,
                          fixed angle) {
    take({drawCall::turnedSprite, target, pic, x, y, pivotX, pivotY, angle, 0});
}

void canvas::record(BITMAP* target, std::vector<drawCall>* record, int offsetX, int offsetY) {
    recordedBitmaps.push_back({target, record, offsetX, offsetY});
}

void canvas::endRecord(const std::vector<drawCall>* record) {
    recordedBitmaps.erase(
        std::remove_if(recordedBitmaps.begin(), recordedBitmaps.end(),
                       [record](const recorded& r) { return r.record == record; }),
        recordedBitmaps.end());
}

void canvas::draw(const drawCall& call, const pixelRect& within) {
    BITMAP* t = call.target;
    const pixelRect all = {0, 0, t->w, t->h};
    const pixelRect clip =
        drawnWhole(call)
            ? all
            : intersect({within.x - call.offsetX, within.y - call.offsetY, within.w, within.h},
                        all);
    if (isEmpty(clip)) {
        return;
    }
    set_clip_rect(t, clip.x, clip.y, clip.x + clip.w - 1, clip.y + clip.h - 1);
    drawAtOnce(call);
    set_clip_rect(t, 0, 0, t->w - 1, t->h - 1);
}

bool canvas::drawnWhole(const drawCall& call) {
    return call.what == drawCall::turnedSprite ||
           (call.what == drawCall::stretchedSprite &&
            (call.a != call.pic->w || call.b != call.pic->h));
}

pixelRect canvas::turnedBounds(const BITMAP* pic, int x, int y, int pivotX, int pivotY,
                               fixed angle) {
    // pivot_sprite draws the pixels whose centres lie within the turned picture. The corners'
    // extremes bound those centres; a sixteenth of a pixel more covers Allegro's fixed-point
    // rounding of them.
    constexpr double slack = 1.0 / 16;
    const double turn = fixtof(angle) * AL_PI / 128, c = std::cos(turn), s = std::sin(turn);
    const double cornerX[4] = {0, double(pic->w), double(pic->w), 0};
    const double cornerY[4] = {0, 0, double(pic->h), double(pic->h)};
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (int i = 0; i < 4; i++) {
        const double dx = cornerX[i] - pivotX, dy = cornerY[i] - pivotY;
        const double cx = x + dx * c - dy * s, cy = y + dx * s + dy * c;
        minX = std::min(minX, cx);
        maxX = std::max(maxX, cx);
        minY = std::min(minY, cy);
        maxY = std::max(maxY, cy);
    }
    // Pixel px's centre is px + 0.5.
    const int left = static_cast<int>(std::ceil(minX - 0.5 - slack));
    const int top = static_cast<int>(std::ceil(minY - 0.5 - slack));
    const int right = static_cast<int>(std::floor(maxX - 0.5 + slack)) + 1;
    const int bottom = static_cast<int>(std::floor(maxY - 0.5 + slack)) + 1;
    return {left, top, right - left, bottom - top};
}
