// The canvas's bounds: what Allegro's calls draw stays within the pixels the canvas says they
// touch.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "canvas.h"
#include "testBattle.h"

namespace {

// With solid pictures of the game's sizes turned about their middle to every 64th of an angle
// unit, every pixel pivot_sprite draws lies within the bounds, and the bounds are no wider than
// the pixels drawn at some angle: half a pixel less on any side would leave pixels out.
TEST(canvas, aTurnedSpriteDrawsWithinItsBoundsAtEveryAngle) {
    BITMAP* target = create_bitmap(100, 100);
    for (int size : {32, 30, 8, 7}) {
        BITMAP* pic = create_bitmap(size, size);
        clear_to_color(pic, makecol(255, 255, 255));
        int closest[4] = {9, 9, 9, 9}; // the least room left on each side, in pixels
        for (int step = 0; step < 256 * 64; step++) {
            const fixed angle = step << 10;
            const pixelRect b = canvas::turnedBounds(pic, 50, 50, size / 2, size / 2, angle);
            clear_to_color(target, 0);
            pivot_sprite(target, pic, 50, 50, size / 2, size / 2, angle);
            int drawn[4] = {100, 100, -1, -1}; // left, top, right, bottom pixels drawn
            for (int i = 0; i < 100 * 100; i++) {
                if (target->line[i / 100][3 * (i % 100)] != 0) {
                    drawn[0] = std::min(drawn[0], i % 100), drawn[1] = std::min(drawn[1], i / 100);
                    drawn[2] = std::max(drawn[2], i % 100), drawn[3] = std::max(drawn[3], i / 100);
                }
            }
            const int room[4] = {drawn[0] - b.x, drawn[1] - b.y, b.x + b.w - 1 - drawn[2],
                                 b.y + b.h - 1 - drawn[3]};
            for (int side = 0; side < 4; side++) {
                ASSERT_GE(room[side], 0) << "size " << size << ", angle " << fixtof(angle);
                closest[side] = std::min(closest[side], room[side]);
            }
        }
        EXPECT_EQ(std::vector<int>(closest, closest + 4), std::vector<int>(4, 0)) << size;
        destroy_bitmap(pic);
    }
    destroy_bitmap(target);
}

} // namespace
