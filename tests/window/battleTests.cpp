// The battle as a player sees it: the game runs in a private X server, gets real key and mouse
// events, and every check reads the game's window.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "gameSession.h"
#include "hudReader.h"
#include "screenLayout.h"
#include "waitUntil.h"

using namespace std::chrono_literals;

namespace {

constexpr rgbColour fullHealthColour{172, 172, 0};

colourRegion inArena(const rgbImage& frame, rgbColour c) {
    return frame.find(c, arenaLeft, arenaTop, arenaRight, arenaBottom);
}

// Each test starts the game in its own X server, waits for the player to be drawn and parks
// the cursor above it.
class battle : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(session.open()) << session.why();
        session.window.moveMouse(restX, restY);
        ASSERT_TRUE(waitUntil(5s, [&] { return inArena(shot(), playerColour).count > 0; }))
            << "the player never appeared";
    }

    // A fresh screenshot; the test fails at once if the window is gone.
    rgbImage shot() {
        rgbImage frame = session.window.screenshot();
        if (frame.empty()) {
            ADD_FAILURE() << "the game's window is gone; status "
                          << session.game.process().exitStatus().value_or(-1);
        }
        return frame;
    }

    colourRegion player() { return inArena(shot(), playerColour); }

    // Fires one shot at the cursor placed at (x, y) and follows its flight. Not every click gets
    // through (see everyClickFiresOneShot); this is about the flight, so it clicks until one does.
    void expectShotFliesTowards(int x, int y) {
        const colourRegion body = player();
        window.moveMouse(x, y);
        colourRegion first;
        bool fired = false;
        for (int click = 0; click < 10 && !fired; click++) {
            // Uneven pauses, so the clicks do not all meet the game's loop at the same moment.
            std::this_thread::sleep_for(std::chrono::milliseconds(click * 17 % 67));
            window.pressButton();
            std::this_thread::sleep_for(100ms);
            window.releaseButton();
            fired = waitUntil(
                500ms,
                [&] {
                    first = inArena(shot(), shotColour);
                    return first.count > 0;
                },
                1ms);
        }
        ASSERT_TRUE(fired) << "ten clicks fired no shot";
        EXPECT_LT(std::hypot(first.centreX - body.centreX, first.centreY - body.centreY), 45.0)
            << "the shot did not start at the player";

        // Every later picture shows it further along the line from where it started to the cursor,
        // and never off to the side of it.
        const double lineX = x - first.centreX, lineY = y - first.centreY;
        const double length = std::hypot(lineX, lineY);
        colourRegion later;
        double along = 0, across = 0;
        ASSERT_TRUE(waitUntil(
            1s,
            [&] {
                later = inArena(shot(), shotColour);
                along = ((later.centreX - first.centreX) * lineX +
                         (later.centreY - first.centreY) * lineY) /
                        length;
                across = ((later.centreX - first.centreX) * lineY -
                          (later.centreY - first.centreY) * lineX) /
                         length;
                return later.count > 0 && along >= 40;
            },
            1ms))
            << "the shot did not fly towards the cursor";
        EXPECT_NEAR(across, 0.0, 3.0)
            << "the shot went from (" << first.centreX << ", " << first.centreY << ") to ("
            << later.centreX << ", " << later.centreY << ")";
    }

    gameSession session;
    gameWindow& window = session.window;
};
} // namespace

TEST_F(battle, hudShowsAFullHealthBarAndThreeHitPointsOnceThePlayerExists) {
    rgbImage frame;
    // The bar's inside, x 61 to 449 and y 1 to 19; the outline is drawn over the fill's rim.
    const int insideArea = (barRight - barLeft - 1) * (barBottom - 1);
    ASSERT_TRUE(waitUntil(2s, [&] {
        frame = shot();
        return frame.find(fullHealthColour, barLeft + 1, 1, barRight - 1, barBottom - 1).count ==
               insideArea;
    })) << "the bar's inside is not all (172, 172, 0)";
    EXPECT_EQ(frame.find(fullHealthColour).count, insideArea) << "fill outside the bar";
    EXPECT_EQ(frame.at(barLeft, 0), hudGrey);
    EXPECT_EQ(frame.at(barRight, barBottom), hudGrey);
    EXPECT_EQ(hudReader::readNumber(frame, 0, 0, hudGrey, "hp: ", 9), 3);
    EXPECT_TRUE(homersShown(frame).has_value()) << "no \"Homers: n\" at (0, 22)";
    EXPECT_TRUE(hudReader::shows(frame, 400, textRowY, hudGrey, "F10 = reset, ESC = exit"));
}

TEST_F(battle, hudShowsTheTimerRateOfThirtyTicksASecond) {
    std::optional<int> fps;
    ASSERT_TRUE(waitUntil(3s, [&] {
        fps = hudReader::readNumber(shot(), fpsTextX, textRowY, hudGrey, "fps: ", 99);
        return fps.has_value() && *fps > 0;
    })) << "no fps figure above 0 within 3 s";
    // The figure counts timer ticks, not drawn frames; a loaded machine may lose one or two.
    EXPECT_GE(*fps, 27);
    EXPECT_LE(*fps, 31);
}

TEST_F(battle, holdingDForHalfASecondMovesThePlayerToTheRight) {
    const colourRegion start = player();
    ASSERT_GT(start.count, 0);
    const auto pressed = std::chrono::steady_clock::now();
    window.pressKey(XK_d);
    // Looked at mid-way, before the player can reach the border where enemies come in and push.
    colourRegion midway;
    const bool moved = waitUntil(
        500ms,
        [&] {
            midway = player();
            return midway.count > 0 && midway.centreX >= start.centreX + 60;
        },
        1ms);
    std::this_thread::sleep_until(pressed + 500ms);
    window.releaseKey(XK_d);
    ASSERT_TRUE(moved) << "the player moved from x " << start.centreX << " only to x "
                       << midway.centreX;
    EXPECT_NEAR(midway.centreY, start.centreY, 3.0) << "D moved the player up or down too";

    // About 15 ticks at 15 pixels: most of the way to the right wall, and never beyond it.
    colourRegion after;
    ASSERT_TRUE(waitUntil(1s,
                          [&] {
                              after = player();
                              return after.count > 0 && after.centreX >= start.centreX + 150;
                          }))
        << "the player reached only x " << after.centreX;
    EXPECT_LE(after.maxX, arenaRight);
}

TEST_F(battle, thePlayerTurnsToFaceTheCursor) {
    // The hull is longer than wide and points its long side at the cursor: a cursor above or
    // below makes the armour tall, one to the side makes it wide, and the diagonals tilt it
    // one way or the other.
    struct aim {
        const char* where;
        int x, y;
        bool (*facing)(const colourRegion&);
    };
    const aim aims[] = {
        {"right", 540, playerStartY,
         [](const colourRegion& r) { return r.width() > r.height() + 3; }},
        {"above", playerStartX, 60,
         [](const colourRegion& r) { return r.height() > r.width() + 3; }},
        {"upper right", 520, 40, [](const colourRegion& r) { return r.spreadXY < -4; }},
        {"upper left", 120, 40, [](const colourRegion& r) { return r.spreadXY > 4; }},
        {"left", 100, playerStartY,
         [](const colourRegion& r) { return r.width() > r.height() + 3; }},
        {"below", playerStartX, 460,
         [](const colourRegion& r) { return r.height() > r.width() + 3; }},
    };
    for (const aim& a : aims) {
        window.moveMouse(a.x, a.y);
        colourRegion armour;
        EXPECT_TRUE(waitUntil(1s,
                              [&] {
                                  armour = player();
                                  return armour.count > 0 && a.facing(armour);
                              }))
            << "cursor " << a.where << ": armour " << armour.width() << " x " << armour.height()
            << ", tilt " << armour.spreadXY;
    }
}

TEST_F(battle, everyClickFiresOneShot) {
    window.moveMouse(560, playerStartY);
    const colourRegion body = player();
    // A fresh shot is drawn within 45 pixels of the player for its first two or three ticks.
    auto freshShot = [&](const rgbImage& frame) {
        return frame
            .find(shotColour, static_cast<int>(body.centreX) - 45,
                  static_cast<int>(body.centreY) - 45, static_cast<int>(body.centreX) + 45,
                  static_cast<int>(body.centreY) + 45)
            .count;
    };
    // Clicks land at different moments of the game's loop, as a person's would.
    const std::chrono::milliseconds pauses[] = {0ms, 13ms, 29ms, 41ms, 53ms};
    for (auto pause : pauses) {
        ASSERT_TRUE(waitUntil(1s, [&] { return freshShot(shot()) == 0; }));
        std::this_thread::sleep_for(pause);
        window.pressButton();
        std::this_thread::sleep_for(100ms);
        window.releaseButton();
        EXPECT_TRUE(waitUntil(
            500ms, [&] { return freshShot(shot()) > 0; }, 1ms))
            << "a click (button held 100 ms) after a pause of " << pause.count()
            << " ms fired no shot";
    }
}

// Each direction gets a fresh battle: later on, enemies reach the player and stun it, and a
// stunned player does not fire.
TEST_F(battle, aShotFliesFromThePlayerTowardsACursorOnTheRight) {
    expectShotFliesTowards(560, playerStartY);
}

TEST_F(battle, aShotFliesFromThePlayerTowardsACursorAbove) {
    expectShotFliesTowards(playerStartX, 50);
}

TEST_F(battle, aShotFliesFromThePlayerTowardsACursorToTheLowerLeft) {
    expectShotFliesTowards(120, 400);
}

TEST_F(battle, f10EmptiesTheBattleAndBringsTheEnemiesBackOneByOne) {
    // Move the player off the centre, so its return shows the new battle.
    window.holdKey(XK_a, 200ms);
    ASSERT_TRUE(waitUntil(2s, [&] { return player().centreX < playerStartX - 40; }));
    ASSERT_TRUE(waitUntil(5s, [&] { return homersShown(shot()).value_or(0) >= 3; }))
        << "fewer than 3 enemies after 5 s";

    window.holdKey(XK_F10, 100ms);
    ASSERT_TRUE(waitUntil(2s, [&] {
        rgbImage frame = shot();
        return inArena(frame, enemyColour).count == 0 && homersShown(frame) == 0;
    })) << "the enemies did not all vanish after F10";

    // From now on the count only climbs, by one at a time, as one enemy after another walks in.
    std::vector<int> counts{0};
    int mostEnemyPixels = 0;
    ASSERT_TRUE(waitUntil(
        4s,
        [&] {
            rgbImage frame = shot();
            std::optional<int> n = homersShown(frame);
            if (n && *n != counts.back()) {
                counts.push_back(*n);
            }
            mostEnemyPixels = std::max(mostEnemyPixels, inArena(frame, enemyColour).count);
            return counts.back() >= 4;
        },
        5ms))
        << "only " << counts.back() << " enemies 4 s after F10";
    for (size_t i = 1; i < counts.size(); i++) {
        EXPECT_EQ(counts[i], counts[i - 1] + 1) << "the count jumped from " << counts[i - 1];
    }
    EXPECT_GT(mostEnemyPixels, 0) << "the count climbed but no enemy was drawn";

    const colourRegion back = player();
    EXPECT_NEAR(back.centreX, playerStartX, 4.0) << "the new player is not at the centre";
    EXPECT_NEAR(back.centreY, playerStartY, 4.0) << "the new player is not at the centre";
    EXPECT_EQ(hudReader::readNumber(shot(), 0, 0, hudGrey, "hp: ", 9), 3);
}

TEST_F(battle, escapeEndsTheBattleWithStatusZero) {
    window.pressKey(XK_Escape);
    std::optional<int> status = session.game.waitForExit(2s);
    window.releaseKey(XK_Escape);
    ASSERT_TRUE(status.has_value()) << "the game still runs 2 s after ESC was pressed";
    EXPECT_EQ(*status, 0);
}
