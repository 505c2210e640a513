// Input no player means well by: the pointer far outside the window, every movement key at once,
// a click storm, F10 hammered, ESC during a restart. The real game runs in a private X server;
// throughout, it must keep running with a sane HUD and its player inside the arena.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gameSession.h"
#include "hudReader.h"
#include "screenLayout.h"
#include "waitUntil.h"

using namespace std::chrono_literals;

namespace {
// The crosshair's two colours, as assets/makePictures.cpp draws it; above the arena nothing
// else uses them.
constexpr rgbColour crosshairColour{245, 250, 255};
constexpr rgbColour crosshairShadow{10, 14, 20};

constexpr int textHeight = 8;
constexpr int largestHp = 3, largestFps = 31;

// The bar's fill for 1, 2 and 3 hit points: its colour and length; 0 hit points show none.
struct barFill {
    rgbColour colour;
    int length;
};
constexpr barFill barFills[] = {{{172, 0, 0}, 10}, {{188, 78, 0}, 140}, {{172, 172, 0}, 390}};

// A number of the HUD, read wider than its allowed range so that a wrong value is reported
// as such and not as unreadable text.
struct hudNumber {
    const char* prefix;
    int x, y;
    rgbColour colour;
    int smallest, largest; // what the reader tries
    int textWidth;         // of the widest text tried: 8 pixels a character
};
// Enemies that reach the player in the same tick add up their damage, so the last blow can take
// the hit points below 0; the HUD shows them as they are, with an empty bar.
constexpr int lowestHpShown = -9;
constexpr hudNumber hpText{"hp: ", 0, 0, hudGrey, -9, 9, 48};
constexpr hudNumber homersText{"Homers: ", 0, textRowY, homersTextColour, -9, 99, 80};
constexpr hudNumber fpsText{"fps: ", fpsTextX, textRowY, hudGrey, -9, 99, 56};

// True if the crosshair is drawn inside the text's box: the HUD is drawn over it, but its pixels
// between the letters make the text unreadable.
bool crosshairOver(const rgbImage& frame, const hudNumber& text) {
    const int x1 = text.x + text.textWidth - 1, y1 = text.y + textHeight - 1;
    return frame.find(crosshairColour, text.x, text.y, x1, y1).count > 0 ||
           frame.find(crosshairShadow, text.x, text.y, x1, y1).count > 0;
}

// The hit points the bar shows (0 to 3), or nothing if it is not one of its four pictures.
std::optional<int> barShows(const rgbImage& frame) {
    // The grey outline is drawn last, so it is whole whatever lies under it.
    for (int x = barLeft; x <= barRight; x++) {
        if (frame.at(x, 0) != hudGrey || frame.at(x, barBottom) != hudGrey)
            return std::nullopt;
    }
    for (int y = 0; y <= barBottom; y++) {
        if (frame.at(barLeft, y) != hudGrey || frame.at(barRight, y) != hudGrey)
            return std::nullopt;
    }
    std::optional<int> shown = 0;
    for (int hp = 1; hp <= largestHp; hp++) {
        const barFill& fill = barFills[hp - 1];
        const colourRegion r = frame.find(fill.colour, barLeft, 0, barRight, barBottom);
        if (r.count == 0) {
            continue;
        }
        // The fill covers x 60 to 60 + length and y 0 to 20; the outline covers its rim.
        const int right = std::min(barLeft + fill.length, barRight - 1);
        const bool exact = r.minX == barLeft + 1 && r.maxX == right && r.minY == 1 &&
                           r.maxY == barBottom - 1 &&
                           r.count == (right - barLeft) * (barBottom - 1);
        if (!exact || shown != 0) {
            return std::nullopt;
        }
        shown = hp;
    }
    return shown;
}

// What is wrong with a number of the HUD; empty when it reads as a value in [lowest, highest]
// or is hidden by the crosshair. value is what could be read, if anything.
std::string numberProblem(const rgbImage& frame, const hudNumber& text, int lowest, int highest,
                          std::optional<int>& value) {
    value = hudReader::readNumber(frame, text.x, text.y, text.colour, text.prefix, text.largest,
                                  text.smallest);
    if (!value) {
        return crosshairOver(frame, text) ? "" : std::string("no \"") + text.prefix + "n\" shown";
    }
    if (*value < lowest || *value > highest) {
        return std::string("\"") + text.prefix + std::to_string(*value) + "\" shown";
    }
    return "";
}

// Everything a player could object to in one frame; empty when it looks sane. With fpsSettled,
// the timer rate must be a real one. Counts the frames whose HUD could be read in full.
struct frameCheck {
    bool fpsSettled = false;
    int readable = 0;

    std::string problems(const rgbImage& frame) {
        if (frame.empty()) {
            return "the game's window is gone";
        }
        std::ostringstream found;
        std::optional<int> hp, homers, fps;
        for (const std::string& p :
             {numberProblem(frame, hpText, lowestHpShown, largestHp, hp),
              numberProblem(frame, homersText, 0, homerCount, homers),
              numberProblem(frame, fpsText, 0, fpsSettled ? largestFps : 99, fps)}) {
            if (!p.empty())
                found << p << "; ";
        }
        const std::optional<int> bar = barShows(frame);
        if (!bar) {
            found << "the health bar is none of its four pictures; ";
        } else if (hp && *bar != std::clamp(*hp, 0, largestHp)) {
            found << "the bar shows " << *bar << " hit points, the text " << *hp << "; ";
        }
        if (hp && homers && fps && bar) {
            readable++;
        }

        // The arena is drawn clipped to its rectangle, so a player pushed past a wall would
        // show a hull cut off at the edge, or its centre beyond it.
        const colourRegion body = frame.find(playerColour);
        if (body.count > 0 &&
            (body.minX <= arenaLeft || body.maxX >= arenaRight || body.minY <= arenaTop ||
             body.maxY >= arenaBottom || body.centreX < arenaLeft || body.centreX > arenaRight ||
             body.centreY < arenaTop || body.centreY > arenaBottom)) {
            found << "the player's hull spans x " << body.minX << ".." << body.maxX << ", y "
                  << body.minY << ".." << body.maxY << "; ";
        }
        return found.str();
    }
};

class hostileInput : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(session.open()) << session.why();
        opened = std::chrono::steady_clock::now();
        window.moveMouse(restX, restY);
        ASSERT_TRUE(waitUntil(5s, [&] { return window.screenshot().find(playerColour).count > 0; }))
            << "the player never appeared";
    }

    // Looks at the window now and reports what is wrong, naming the moment; a long run reports
    // only its first few faults.
    rgbImage look(const std::string& during) {
        check.fpsSettled = std::chrono::steady_clock::now() - opened > 1s;
        rgbImage frame = window.screenshot();
        const std::string problems = check.problems(frame);
        looks++;
        if (!problems.empty() && ++faults <= maxReported) {
            ADD_FAILURE() << during << ": " << problems;
        }
        return frame;
    }

    // The game still runs and shows a HUD that can be read in full once the cursor is back at
    // rest, and no frame looked at was faulty.
    void expectStillSane() {
        ASSERT_TRUE(session.game.process().running())
            << "the game ended with status " << session.game.process().exitStatus().value_or(-1);
        window.moveMouse(restX, restY);
        const int readableBefore = check.readable;
        look("with the cursor back at rest");
        EXPECT_GT(check.readable, readableBefore) << "the HUD could not be read at the end";
        EXPECT_EQ(faults, 0) << faults << " faulty frames of " << looks;
    }

    // ESC, held, ends the game with status 0 and takes its window away.
    void expectEscapeEndsTheGame() {
        window.pressKey(XK_Escape);
        const std::optional<int> status = session.game.waitForExit(2s);
        window.releaseKey(XK_Escape);
        ASSERT_TRUE(status.has_value()) << "the game still runs 2 s after ESC was pressed";
        EXPECT_EQ(*status, 0);
        EXPECT_FALSE(gameWindow::anyOpen(session.display.connection()));
    }

    static constexpr int maxReported = 5;
    gameSession session;
    gameWindow& window = session.window;
    std::chrono::steady_clock::time_point opened;
    frameCheck check;
    int looks = 0;
    int faults = 0;
};
} // namespace

TEST_F(hostileInput, thePointerFarOutsideTheWindowLeavesTheGameSaneAndTheMouseStillAims) {
    // Centred on the screen, the window has room around it on all four sides.
    const int left = (virtualDisplay::width - gameWindow::width) / 2;
    const int top = (virtualDisplay::height - gameWindow::height) / 2;
    ASSERT_TRUE(window.moveTo(left, top));
    const int right = left + gameWindow::width - 1, bottom = top + gameWindow::height - 1;
    const int screenRight = virtualDisplay::width - 1, screenBottom = virtualDisplay::height - 1;
    struct place {
        const char* name;
        int x, y;
    };
    // Out of the window and back in, each time from far away, so the game sees big jumps.
    const place places[] = {
        {"the screen's top-left corner", 0, 0},
        {"the window's bottom-right corner", right, bottom},
        {"the screen's top-right corner", screenRight, 0},
        {"the window's bottom-left corner", left, bottom},
        {"the screen's bottom-right corner", screenRight, screenBottom},
        {"the window's top-left corner", left, top},
        {"the screen's bottom-left corner", 0, screenBottom},
        {"the window's top-right corner", right, top},
        {"left of the window", left / 2, virtualDisplay::height / 2},
        {"right of the window", (right + screenRight) / 2, virtualDisplay::height / 2},
        {"above the window", virtualDisplay::width / 2, top / 2},
        {"below the window", virtualDisplay::width / 2, (bottom + screenBottom) / 2},
        {"the window's centre", virtualDisplay::width / 2, virtualDisplay::height / 2},
    };
    for (const place& p : places) {
        window.warpPointer(p.x, p.y);
        std::this_thread::sleep_for(150ms);
        look(std::string("pointer at ") + p.name);
    }

    // Steered back by ordinary motions, the game's cursor lands where it is sent.
    constexpr int aimX = 540, aimY = playerStartY;
    window.moveMouse(aimX, aimY);
    colourRegion crosshair;
    EXPECT_TRUE(waitUntil(1s,
                          [&] {
                              crosshair = window.screenshot().find(crosshairColour);
                              return crosshair.count > 0 &&
                                     std::abs(crosshair.centreX - aimX) <= 1.5 &&
                                     std::abs(crosshair.centreY - aimY) <= 1.5;
                          }))
        << "the crosshair is at (" << crosshair.centreX << ", " << crosshair.centreY
        << ") instead of (" << aimX << ", " << aimY << ")";
    expectStillSane();
    expectEscapeEndsTheGame();
}

TEST_F(hostileInput, allFourMovementKeysHeldKeepThePlayerInsideTheArena) {
    // Held together, then in the pairs that drive the player into opposite corners, while the
    // other keys stay down: every combination the player's hands could make.
    struct phase {
        const char* name;
        std::vector<unsigned long> press, release;
    };
    const phase phases[] = {
        {"W, A, S and D held", {XK_w, XK_a, XK_s, XK_d}, {}},
        {"S and D held", {}, {XK_w, XK_a}},
        {"W and A held", {XK_w, XK_a}, {XK_s, XK_d}},
        {"W, A, S and D held again", {XK_s, XK_d}, {}},
    };
    // The player is at most this far from a wall when it has run into it: its hull reaches
    // 10 pixels from its centre, which stops 16 pixels from the wall.
    constexpr int atWall = 12;
    bool reachedWall = false;
    for (const phase& p : phases) {
        for (unsigned long k : p.press)
            window.pressKey(k);
        for (unsigned long k : p.release)
            window.releaseKey(k);
        const auto until = std::chrono::steady_clock::now() + 700ms;
        while (std::chrono::steady_clock::now() < until) {
            const colourRegion body = look(p.name).find(playerColour);
            reachedWall = reachedWall ||
                          (body.count > 0 &&
                           (body.minX - arenaLeft <= atWall || arenaRight - body.maxX <= atWall ||
                            body.minY - arenaTop <= atWall || arenaBottom - body.maxY <= atWall));
            std::this_thread::sleep_for(50ms);
        }
    }
    for (unsigned long k : {XK_w, XK_a, XK_s, XK_d})
        window.releaseKey(k);
    EXPECT_TRUE(reachedWall) << "the player never reached a wall, so the walls were not tried";
    look("all keys released");
    expectStillSane();
    expectEscapeEndsTheGame();
}

TEST_F(hostileInput, twentyClicksASecondForTenSecondsLeaveTheGameSane) {
    constexpr auto period = 50ms, held = 25ms;
    constexpr int clicks = 200, clicksBetweenLooks = 10;
    bool shotSeen = false;
    auto next = std::chrono::steady_clock::now();
    for (int i = 0; i < clicks; i++) {
        window.pressButton();
        std::this_thread::sleep_until(next + held);
        window.releaseButton();
        if (i % clicksBetweenLooks == clicksBetweenLooks - 1) {
            rgbImage frame = look("click " + std::to_string(i + 1));
            shotSeen =
                shotSeen ||
                frame.find(shotColour, arenaLeft, arenaTop, arenaRight, arenaBottom).count > 0;
        }
        next += period;
        std::this_thread::sleep_until(next);
    }
    EXPECT_TRUE(shotSeen) << "no shot was seen in flight during 200 clicks";
    expectStillSane();
    expectEscapeEndsTheGame();
}

TEST_F(hostileInput, f10HammeredThirtyTimesLeavesOneFreshBattle) {
    constexpr auto held = 30ms;
    for (int i = 1; i <= 30; i++) {
        window.holdKey(XK_F10, held);
        std::this_thread::sleep_for(held);
        if (i % 5 == 0)
            look("after F10 number " + std::to_string(i));
    }
    // The last restart counts: the enemies come back one by one, never more than 30.
    std::vector<int> counts;
    ASSERT_TRUE(waitUntil(3s, [&] {
        const rgbImage frame = look("after the last F10");
        const std::optional<int> n = homersShown(frame);
        if (n && (counts.empty() || *n != counts.back()))
            counts.push_back(*n);
        return !counts.empty() && counts.back() >= 5;
    })) << "the enemies did not come back after the F10 presses";
    for (size_t i = 1; i < counts.size(); i++) {
        EXPECT_EQ(counts[i], counts[i - 1] + 1) << "the count jumped from " << counts[i - 1];
    }
    expectStillSane();
    expectEscapeEndsTheGame();
}

TEST_F(hostileInput, escapeHeldDuringARestartEndsTheGameWithStatusZero) {
    ASSERT_TRUE(waitUntil(5s, [&] { return homersShown(window.screenshot()).value_or(0) >= 3; }))
        << "fewer than 3 enemies after 5 s";
    window.holdKey(XK_F10, 60ms);
    // The first enemy of the new battle comes 10 ticks (a third of a second) after the restart.
    ASSERT_TRUE(waitUntil(
        1s, [&] { return homersShown(window.screenshot()) == 0; }, 1ms))
        << "the battle was not emptied by F10";
    expectEscapeEndsTheGame();
}
