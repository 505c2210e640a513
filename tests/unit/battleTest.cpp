// The battle as the game runs it: set-up and restart, the loop iteration with its one tick, the
// frame and its HUD on memory bitmaps, and a golden replay of a scripted battle.

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "arena.h"
#include "cursor.h"
#include "dumbUnit.h"
#include "frameTimer.h"
#include "homingUnit.h"
#include "inputObj.h"
#include "pictureColours.h"
#include "unitGraphics.h"
#include "playerUnit.h"
#include "testBattle.h"

namespace {

class battle : public ::testing::Test {
  protected:
    void TearDown() override { testBattle::releaseInput(); }
    testBattle w;
};

TEST(battleSetup, aRestartQueuesThePlayerAtTheCentreAndThirtyHomersAroundTheBorder) {
    std::set<int> edges;
    for (unsigned seed = 1; seed <= 5; seed++) {
        testBattle w(seed);
        const std::vector<unitCreate*>& queue = w.list().getCreates();
        ASSERT_EQ(queue.size(), 31u);
        EXPECT_EQ(std::tie(queue[0]->type, queue[0]->posX, queue[0]->posY, queue[0]->delay),
                  std::make_tuple(P, itofix(250), itofix(200), 0));
        for (int i = 1; i <= 30; i++) {
            const int x = queue[i]->posX, y = queue[i]->posY;
            EXPECT_EQ(std::tie(queue[i]->type, queue[i]->delay), std::make_tuple(H, 10 * i));
            const bool top = y == 0, right = x == itofix(500), bottom = y == itofix(400);
            EXPECT_TRUE((x == 0 || right || top || bottom) && x >= 0 && x <= itofix(500) &&
                        y >= 0 && y <= itofix(400) && x % 65536 == 0)
                << "on the border: " << fixtof(x) << "," << fixtof(y);
            edges.insert(top ? 0 : right ? 1 : bottom ? 2 : 3);
        }
    }
    EXPECT_EQ(edges.size(), 4u) << "every edge is used";
}

TEST_F(battle, threePendingTicksRunOneAndTheRestAreDropped) {
    w.go(3);
    EXPECT_EQ(frameTick, 0);
    EXPECT_EQ(w.list().getCreates().front()->delay, 9) << "one creation pass, not three";
    w.go(0);
    EXPECT_EQ(w.list().getCreates().front()->delay, 9) << "no tick, no pass";
}

TEST_F(battle, thePlayerHaltsWhenLetGoAndOnlyALeftClickFiresOneShotAtTheNextTick) {
    w.go();
    unit* player = w.ofType(P).at(0);
    testBattle::setKey(KEY_D, true);
    w.go(1);
    testBattle::setKey(KEY_D, false);
    w.go(1);
    const fixed x = player->getPosX();
    for (int i = 0; i < 20; i++) {
        mouse_x = 100 + 20 * i; // aiming, SPACE and the other buttons are not firing
        testBattle::setButtons(i & 6);
        testBattle::setKey(KEY_SPACE, i % 2);
        w.go(i % 3 != 0);
    }
    EXPECT_EQ(std::make_pair(player->getPosX(), player->getCurrentStatus()),
              std::make_pair(x, +statusIdle))
        << "moved on or shows moving";
    EXPECT_TRUE(w.ofType(S).empty());
    testBattle::setButtons(1);
    w.go(1);
    testBattle::setButtons(0);
    w.go(0); // let go between two ticks: the next tick fires
    EXPECT_TRUE(w.ofType(S).empty());
    w.go(1);
    EXPECT_EQ(w.ofType(S).size(), 1u);
    for (int tap = 0; tap < 3; tap++) {
        testBattle::setButtons(1); // taps too short for any poll to see pressed
        testBattle::setButtons(0);
    }
    w.go(1);
    w.go(1);
    EXPECT_EQ(w.ofType(S).size(), 2u) << "taps between two ticks make one click";
}

TEST_F(battle, inTheBackgroundNoTickRunsAndNothingDoneMeanwhileActsOnReturn) {
    auto due = [&] { return w.list().getCreates().front()->delay; };
    clear_to_color(w.battle.getBuffer(), 0);
    EXPECT_TRUE(w.battle.pause());
    EXPECT_EQ(getpixel(w.battle.getBuffer(), 450, 20), makecol(128, 128, 128))
        << "paused before the first frame, the battle is drawn under the marker";
    w.go();
    w.go();
    testBattle::setButtons(1); // held as the window loses the focus, let go after it is back
    w.go(0);
    EXPECT_TRUE(w.battle.pause());
    EXPECT_FALSE(w.battle.pause()) << "the paused frame is shown once";
    const int dueWhenPaused = due();
    testBattle::setKey(KEY_F10, true); // tapped in the background
    testBattle::setKey(KEY_F10, false);
    w.go(5);
    testBattle::setButtons(0);
    EXPECT_EQ(due(), dueWhenPaused) << "ticks that came due while away are dropped";
    w.go(1);
    w.go(1);
    EXPECT_EQ(due(), dueWhenPaused - 2) << "no restart";
    EXPECT_TRUE(w.ofType(S).empty()) << "no shot";
}

TEST_F(battle, f10RestartsOnItsReleaseUntilATickHasSeenIt) {
    // F10 down, ticks pending -> players after the iteration
    const int script[][3] = {{0, 1, 1}, {1, 0, 1}, {0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 1, 1}};
    for (auto [down, ticks, players] : script) {
        testBattle::setKey(KEY_F10, down);
        w.go(ticks);
        EXPECT_EQ(static_cast<int>(w.ofType(P).size()), players) << down << ticks;
    }
}

class frame : public battle {
  protected:
    void SetUp() override {
        w.empty();
        clear_to_color(buffer, untouched);
    }
    // The text as Allegro draws it over the background the HUD was drawn on, pixel for pixel.
    bool showsText(int x, int y, int colour, const std::string& text) {
        BITMAP* expected =
            create_bitmap(text_length(font, text.c_str()) + 1, text_height(font) + 1);
        clear_to_color(expected, getpixel(buffer, x + expected->w - 1, y + expected->h - 1));
        textout_ex(expected, font, text.c_str(), 0, 0, colour, -1);
        bool same = true;
        for (int i = 0; i < expected->w * expected->h; i++) {
            const int px = i % expected->w, py = i / expected->w;
            same = same && getpixel(expected, px, py) == getpixel(buffer, x + px, y + py);
        }
        destroy_bitmap(expected);
        return same;
    }
    BITMAP* buffer = w.battle.getBuffer();
    const int untouched = makecol(1, 2, 3), grey = makecol(128, 128, 128);
};

TEST_F(frame, theHealthBarFillsTenOneHundredFortyOrThreeHundredNinetyPixels) {
    auto* player = w.add<playerUnit>(250, 200);
    // hit points -> the first x past the fill, and its colour
    const int fills[][3] = {{3, 450, makecol(172, 172, 0)},
                            {2, 201, makecol(188, 78, 0)},
                            {1, 71, makecol(172, 0, 0)},
                            {0, 60, 0},
                            {4, 60, 0},
                            {-2, 60, 0}};
    for (auto [hp, filledUpTo, colour] : fills) {
        clear_to_color(buffer, untouched);
        player->hp = hp;
        w.battle.drawDisplay(buffer);
        for (int x = 61; x < 450; x++) {
            ASSERT_EQ(getpixel(buffer, x, 10), x < filledUpTo ? colour : untouched) << hp;
        }
        for (auto [x, y] : {std::make_pair(60, 10), {450, 19}, {300, 20}, {300, 0}}) {
            EXPECT_EQ(getpixel(buffer, x, y), grey) << "the outline frames the whole bar";
        }
        EXPECT_EQ(getpixel(buffer, 451, 10), untouched);
        EXPECT_TRUE(showsText(0, 0, grey, "hp: " + std::to_string(hp)));
    }
}

TEST_F(frame, theHudShowsTheFirstPlayerCountsDyingHomersAndShowsTheTimerRateAndTheHelpLine) {
    w.add<homingUnit>(100, 100);
    w.add<homingUnit>(300, 100)->hp = 0;
    w.add<dumbUnit>(200, 300);
    w.step(); // found dead, still listed
    frameCountTotal = 30;
    w.battle.drawDisplay(buffer);
    frameCountTotal = 0;
    EXPECT_TRUE(showsText(0, 22, makecol(220, 220, 220), "Homers: 2"));
    EXPECT_TRUE(showsText(250, 22, grey, "fps: 30"));
    EXPECT_TRUE(showsText(400, 22, grey, "F10 = reset, ESC = exit"));
    EXPECT_TRUE(showsText(0, 0, grey, "hp: 0")) << "no player";
    w.add<playerUnit>(100, 300)->hp = 1;
    w.add<playerUnit>(300, 300);
    clear_to_color(buffer, untouched);
    w.battle.drawDisplay(buffer);
    EXPECT_TRUE(showsText(0, 0, grey, "hp: 1")) << "the earlier of two players";
}

TEST_F(frame, eachKindShowsWhetherItLivesIsStunnedOrIsDead) {
    // kind, status -> a colour its picture shows, and one it must not show
    const std::tuple<int, int, pictureColour, pictureColour> rows[] = {
        {P, statusIdle, playerKeyColour, playerStunnedColour},
        {P, statusStunned, playerStunnedColour, playerDeadColour},
        {P, statusDead, playerDeadColour, playerKeyColour},
        {H, statusMoving, enemyKeyColour, enemyStunnedColour},
        {H, statusStunned, enemyStunnedColour, enemyDeadColour},
        {H, statusDead, enemyDeadColour, enemyKeyColour},
        {S, statusMoving, shotKeyColour, enemyKeyColour}};
    BITMAP* target = w.battle.getArenaBuffer();
    auto shows = [target](pictureColour c) {
        int count = 0;
        for (int i = 0; i < target->w * target->h; i++) {
            count += getpixel(target, i % target->w, i / target->w) == makecol(c.r, c.g, c.b);
        }
        return count > 0;
    };
    for (auto [kind, status, shown, hidden] : rows) {
        w.empty();
        w.add(250, 200, kind)->pendingStatus = status;
        clear_to_color(target, untouched);
        w.battle.drawUnits(target);
        EXPECT_TRUE(shows(shown) && !shows(hidden)) << "kind " << kind << ", status " << status;
    }
}

// Called alone, draw composes the battle as it stands: the background, the floor, every unit
// having taken over its new status, the cursor moved to where it is wanted, and the HUD.
TEST_F(frame, drawAloneComposesTheWholePictureAsTheBattleStands) {
    auto* homer = w.add<homingUnit>(100, 100);
    homer->pendingStatus = statusStunned;
    cursor* pointer = w.data.getInputObj()->getCursor();
    pointer->setCursorShouldBe(300, 250);
    w.battle.draw(buffer, w.battle.getArenaBuffer());
    int x = 0, y = 0;
    pointer->getCursor(x, y);
    EXPECT_EQ(std::make_tuple(x, y, homer->getCurrentStatus()),
              std::make_tuple(300, 250, +statusStunned));
    EXPECT_EQ(getpixel(buffer, 5, 475), makecol(32, 32, 32));
    EXPECT_EQ(getpixel(buffer, 470, 340), getpixel(w.data.getArena()->getArenaPic(), 400, 300));
    EXPECT_EQ(getpixel(buffer, 300, 250), getpixel(pointer->getCursorPic(), 8, 8));
    EXPECT_TRUE(showsText(0, 22, makecol(220, 220, 220), "Homers: 1"));
}

TEST_F(frame, theCursorPictureIsCentredOnTheWantedPosition) {
    cursor* pointer = w.data.getInputObj()->getCursor();
    pointer->setCursorShouldBe(100, 100);
    w.battle.drawCursor(buffer);
    int x = 0, y = 0;
    pointer->getCursor(x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(100, 100));
    BITMAP* pic = pointer->getCursorPic();
    for (int py = -1; py <= pic->h; py++) {
        for (int px = -1; px <= pic->w; px++) {
            const int c = getpixel(pic, px, py); // -1 outside the picture
            const bool opaque = c != -1 && c != bitmap_mask_color(pic);
            ASSERT_EQ(getpixel(buffer, 92 + px, 92 + py), opaque ? c : untouched)
                << px << "," << py;
        }
    }
}

// The game's loop iteration, with the frame drawn whole and at once: the reference the recorded
// frames answer to. A return from the background forgets the input and runs no tick, as go does.
void plainIteration(testBattle& t, bool tick, bool returning) {
    inputObj* input = t.data.getInputObj();
    if (returning) {
        input->forget();
    }
    clear_to_color(t.battle.getBuffer(), makecol(1, 2, 3)); // so that a hole in the frame shows
    t.battle.draw(t.battle.getBuffer(), t.battle.getArenaBuffer());
    input->processInput(640, 480, tick && !returning);
    if (tick && !returning) {
        t.battle.applyInput();
    }
    t.list().cullUnits();
    if (input->getKeyWasClicked()->at(inputObj::keyRestart)) {
        t.battle.restart();
    }
}

// The first pixel where two screens differ, or nothing.
std::string firstDifference(BITMAP* a, BITMAP* b) {
    const unsigned char *p = a->line[0], *q = b->line[0], *end = p + 640 * 480 * 3;
    if (memcmp(p, q, end - p) == 0) {
        return "";
    }
    const long at = (std::mismatch(p, end, q).first - p) / 3;
    return "pixel " + std::to_string(at % 640) + "," + std::to_string(at / 640);
}

// Random play, each frame a mix of keys held and tapped, the pointer moved along x, y or both,
// clicks, F10, now and then a pause and the return, the timer rate changing, a floor with
// transparent pixels for a while. After every frame the back buffer, and a copy of it brought up
// to date only through the rectangles the frame sent, are byte for byte the frame a twin battle
// drew whole and at once from its own units. ARENA_FRAME_SEED replays a printed seed.
TEST(frameChanges, randomPlaySendsEveryChangedPixelAndOnlyTheWholeDrawingsPixels) {
    const char* given = std::getenv("ARENA_FRAME_SEED");
    const unsigned seed = given ? std::strtoul(given, nullptr, 10) : std::random_device()();
    std::cout << "ARENA_FRAME_SEED=" << seed << std::endl;
    std::mt19937 random(seed);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    testBattle fast(seed), plain(seed);
    BITMAP *copy = create_bitmap(640, 480), *holed = create_bitmap(500, 400);
    BITMAP* floor = fast.data.getArena()->getArenaPic();
    stretch_blit(fast.picturesOf(H)->getPic(statusIdle, 0), holed, 0, 0, 30, 30, 0, 0, 500, 400);
    auto send = [&] {
        for (const pixelRect& r : fast.battle.getChangedRects()) {
            blit(fast.battle.getBuffer(), copy, r.x, r.y, r.x, r.y, r.w, r.h);
        }
    };
    bool returning = false;
    size_t removed = 0; // units gone from one frame to the next, restarts aside
    for (int frame = 0; frame < 10000; frame++) {
        const size_t listed = fast.list().getUnits()->size();
        for (int k : {KEY_W, KEY_A, KEY_S, KEY_D, KEY_F10}) {
            for (int flips = chance(k == KEY_F10 ? 1 : 8) + 2 * (k != KEY_F10 && chance(3));
                 flips > 0; flips--) {
                testBattle::setKey(k, !key[k]); // held, let go, or tapped between two polls
            }
        }
        const int move = random() % 4; // none, along x, along y, both
        mouse_x = move & 1 ? static_cast<int>(random() % 700) - 30 : mouse_x;
        mouse_y = move & 2 ? static_cast<int>(random() % 540) - 30 : mouse_y;
        testBattle::setButtons(chance(20) ? static_cast<int>(random() % 8) : mouse_b);
        frameCountTotal = chance(5) ? static_cast<int>(27 + random() % 5) : frameCountTotal.load();
        fast.data.getArena()->setArenaPic(frame / 500 % 3 == 2 ? holed : floor);
        plain.data.getArena()->setArenaPic(fast.data.getArena()->getArenaPic());
        if (frame > 0 && chance(1)) {
            ASSERT_TRUE(fast.battle.pause());
            send();
            returning = true;
        }
        const int ticks = random() % 3;
        const unsigned rounds = random(); // the same restart for both battles
        srand(rounds);
        fast.go(ticks);
        send();
        srand(rounds);
        plainIteration(plain, ticks > 0, returning);
        returning = false;
        const bool restarted =
            fast.data.getInputObj()->getKeyWasClicked()->at(inputObj::keyRestart);
        removed += restarted ? 0 : listed - std::min(listed, fast.list().getUnits()->size());
        ASSERT_EQ(firstDifference(fast.battle.getBuffer(), plain.battle.getBuffer()), "")
            << "the back buffer, frame " << frame;
        ASSERT_EQ(firstDifference(copy, plain.battle.getBuffer()), "")
            << "the copy kept through the rectangles sent, frame " << frame;
    }
    EXPECT_GT(removed, 0u) << "no unit died and was removed";
    frameCountTotal = 0;
    fast.data.getArena()->setArenaPic(floor);
    testBattle::releaseInput();
    destroy_bitmap(copy);
    destroy_bitmap(holed);
}

// A long battle on a fixed script: circle the arena, aim around, click every few ticks, restart
// now and then. The rules' invariants hold after every tick, and the first 600 ticks always end
// in the same state, so any change of the battle's behaviour shows. ARENA_SOAK_TICKS sets the
// length: 600 by default, 10,000 in CTest's soak, more in scripts/soak.sh.
TEST(battlePlay, aLongBattleKeepsItsInvariantsAndItsFirst600TicksAlwaysEndTheSame) {
    const char* length = std::getenv("ARENA_SOAK_TICKS");
    const int ticks = length != nullptr ? std::atoi(length) : 600;
    testBattle w(2024);
    uint64_t hash = 14695981039346656037ull; // FNV-1a of every listed unit's state
    int tick = 0;
    auto mix = [&](int32_t v) {
        for (int i = 0; i < 4 && tick < 600; i++) {
            hash = (hash ^ ((static_cast<uint32_t>(v) >> (8 * i)) & 0xFFu)) * 1099511628211ull;
        }
    };
    std::map<int, int> lastHP; // by unit ID, within one battle
    size_t memoryAfterWarmUp = 0;
    const int moves[4] = {KEY_D, KEY_S, KEY_A, KEY_W};
    for (; tick < ticks; tick++) {
        const bool f10WasDown = key[KEY_F10];
        testBattle::releaseInput(70 + (tick * 37) % 500, 40 + (tick * 53) % 400);
        testBattle::setKey(moves[(tick / 25) % 4], true);
        testBattle::setKey(moves[(tick / 25 + 1) % 4], tick % 40 < 20);
        testBattle::setButtons(tick % 6 < 3);
        testBattle::setKey(KEY_F10, tick % 1000 == 450);
        const bool ticked = tick % 7 != 3; // now and then a frame without a tick
        w.go(ticked ? 1 : 0);
        if (f10WasDown && !key[KEY_F10]) {
            lastHP.clear(); // a fresh battle numbers its units afresh
        }
        std::map<int, int> hpNow;
        mix(static_cast<int32_t>(w.list().getUnits()->size()));
        for (unit* u : *w.list().getUnits()) {
            hpNow[u->getUnitID()] = u->getHP();
            for (int32_t v : {u->getUnitID(), u->getGeneralType(), u->getPosX(), u->getPosY(),
                              u->getDrawAngle(), u->getMoveAngle(), u->getHP(),
                              u->getCurrentStatus(), u->getInvicTime(), u->getDeathTimeRemoval()}) {
                mix(v);
            }
            if (!ticked || lastHP.count(u->getUnitID()) == 0) {
                continue; // not moved by the rules since it was made
            }
            ASSERT_LE(u->getHP(), lastHP[u->getUnitID()]) << "hit points rose, tick " << tick;
            const fixed r = itofix(u->getUnitGraphics()->getPicSize() / 2);
            ASSERT_TRUE(u->getPosX() >= r && u->getPosX() <= itofix(500) - r && u->getPosY() >= r &&
                        u->getPosY() <= itofix(400) - r)
                << "outside the arena, tick " << tick;
        }
        ASSERT_EQ(hpNow.size(), w.list().getUnits()->size()) << "IDs not unique, tick " << tick;
        lastHP = ticked ? hpNow : lastHP;
        memoryAfterWarmUp = tick == ticks / 2 ? mallinfo2().uordblks : memoryAfterWarmUp;
    }
    testBattle::releaseInput();
    if (ticks >= 600) {
        EXPECT_EQ(hash, 17728130975741964784ull) << "the battle's behaviour changed";
    }
    // Shots and restarts come and go; what they use must come back. AddressSanitizer keeps the
    // heap to itself, and its own leak check stands in.
    EXPECT_LE(mallinfo2().uordblks, memoryAfterWarmUp + 64 * 1024);
}

} // namespace
