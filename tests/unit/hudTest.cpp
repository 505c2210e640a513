#include <gtest/gtest.h>

#include "arena.h"
#include "battleWorld.h"
#include "cursor.h"
#include "inputObj.h"
#include "pictureColours.h"
#include "testWorld.h"
#include "unit.h"
#include "unitList.h"

namespace {

struct rgb {
    int r, g, b;
    bool operator==(const rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const rgb& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

rgb pixel(BITMAP* bmp, int x, int y) {
    int c = getpixel(bmp, x, y);
    return {getr(c), getg(c), getb(c)};
}

class hud : public ::testing::Test {
  protected:
    void SetUp() override {
        screen = w.battle.getBuffer();
        clear_to_color(screen, makecol(1, 2, 3));
    }
    void TearDown() override { battleWorld::releaseInput(); }

    // Puts a unit of the type into the battle through the creation queue.
    unit* spawn(int type, int x, int y) {
        queueUnit(*w.battle.getUnitList(), type, x, y);
        w.battle.getUnitList()->createUnits();
        return w.battle.getUnitList()->getUnits()->back();
    }
    void emptyBattle() { w.battle.getUnitList()->clearAll(); }

    // The same text drawn by hand onto a copy of the background, compared pixel by pixel.
    bool showsText(int x, int y, const char* text, rgb colour) {
        BITMAP* expected = create_bitmap(text_length(font, text), text_height(font));
        blit(screen, expected, x, y, 0, 0, expected->w, expected->h);
        BITMAP* background = create_bitmap(expected->w, expected->h);
        clear_to_color(background, makecol(1, 2, 3));
        textprintf_ex(background, font, 0, 0, makecol(colour.r, colour.g, colour.b), -1, "%s",
                      text);
        bool same = true;
        for (int py = 0; py < expected->h && same; py++) {
            for (int px = 0; px < expected->w && same; px++) {
                same = pixel(expected, px, py) == pixel(background, px, py);
            }
        }
        destroy_bitmap(expected);
        destroy_bitmap(background);
        return same;
    }

    battleWorld w;
    BITMAP* screen = nullptr;
};

const rgb hudGrey{128, 128, 128};
const rgb untouched{1, 2, 3};

TEST_F(hud, healthBarFillFollowsTheHitPoints) {
    emptyBattle();
    unit* player = spawn(generalTypePlayer, 250, 200);
    struct expectation {
        int hp;
        int lastFilledX; // -1: no fill
        rgb colour;
    };
    const expectation table[] = {
        {3, 450, {172, 172, 0}},
        {2, 200, {188, 78, 0}},
        {1, 70, {172, 0, 0}},
        {0, -1, {}},
        {4, -1, {}},
        {-2, -1, {}},
    };
    for (const expectation& e : table) {
        clear_to_color(screen, makecol(1, 2, 3));
        player->setHP(e.hp);
        w.battle.drawDisplay(screen);
        if (e.lastFilledX > 0) {
            EXPECT_EQ(pixel(screen, 61, 10), e.colour) << e.hp;
            EXPECT_EQ(pixel(screen, e.lastFilledX - 1, 19), e.colour) << e.hp;
            if (e.lastFilledX < 450) {
                EXPECT_EQ(pixel(screen, e.lastFilledX + 1, 10), untouched) << e.hp;
            }
        } else {
            EXPECT_EQ(pixel(screen, 61, 10), untouched) << e.hp;
            EXPECT_EQ(pixel(screen, 300, 10), untouched) << e.hp;
        }
        // The grey outline frames the full bar, on top of the fill.
        EXPECT_EQ(pixel(screen, 60, 10), hudGrey) << e.hp;
        EXPECT_EQ(pixel(screen, 450, 10), hudGrey) << e.hp;
        EXPECT_EQ(pixel(screen, 300, 0), hudGrey) << e.hp;
        EXPECT_EQ(pixel(screen, 300, 20), hudGrey) << e.hp;
        EXPECT_EQ(pixel(screen, 451, 10), untouched) << e.hp;
        char text[32];
        snprintf(text, sizeof text, "hp: %d", e.hp);
        EXPECT_TRUE(showsText(0, 0, text, hudGrey)) << text;
    }
}

TEST_F(hud, anEmptyBattleShowsZeroHitPointsAndZeroHomers) {
    emptyBattle();
    w.battle.drawDisplay(screen);
    EXPECT_TRUE(showsText(0, 0, "hp: 0", hudGrey));
    EXPECT_TRUE(showsText(0, 22, "Homers: 0", {220, 220, 220}));
    EXPECT_TRUE(showsText(250, 22, "fps: 0", hudGrey));
    EXPECT_TRUE(showsText(400, 22, "F10 = reset, ESC = exit", hudGrey));
    EXPECT_EQ(pixel(screen, 100, 10), untouched);
}

TEST_F(hud, homersAreCountedWhileDying) {
    emptyBattle();
    spawn(generalTypeHomer, 100, 100);
    unit* dying = spawn(generalTypeHomer, 300, 100);
    spawn(generalTypeShot, 200, 300);
    dying->setHP(0);
    w.go(); // found dead, still listed for nine more ticks
    ASSERT_EQ(w.ofType(generalTypeHomer).size(), 2u);
    clear_to_color(screen, makecol(1, 2, 3));
    w.battle.drawDisplay(screen);
    EXPECT_TRUE(showsText(0, 22, "Homers: 2", {220, 220, 220}));
}

TEST_F(hud, theEarlierOfTwoPlayersIsShown) {
    emptyBattle();
    spawn(generalTypePlayer, 100, 100)->setHP(1);
    spawn(generalTypePlayer, 300, 100)->setHP(3);
    w.battle.drawDisplay(screen);
    EXPECT_TRUE(showsText(0, 0, "hp: 1", hudGrey));
    EXPECT_EQ(pixel(screen, 65, 10), (rgb{172, 0, 0}));
}

// Counts the player's key-coloured pixels in a screen column range.
int playerPixels(BITMAP* bmp, int fromX, int toX) {
    int count = 0;
    const rgb key{playerKeyColour.r, playerKeyColour.g, playerKeyColour.b};
    for (int y = 0; y < bmp->h; y++) {
        for (int x = fromX; x < toX; x++) {
            count += pixel(bmp, x, y) == key;
        }
    }
    return count;
}

TEST_F(hud, theArenaSitsAtTheGameOffsetAndClipsUnitsAtItsEdge) {
    emptyBattle();
    spawn(generalTypePlayer, 0, 200); // half of it past the arena's left edge
    w.battle.draw(screen, w.battle.getArenaBuffer());
    EXPECT_EQ(pixel(screen, 69, 240), (rgb{32, 32, 32})) << "background left of the arena";
    EXPECT_EQ(pixel(screen, 570, 300), (rgb{32, 32, 32})) << "background right of the arena";
    EXPECT_EQ(pixel(screen, 300, 440), (rgb{32, 32, 32})) << "background below the arena";
    EXPECT_EQ(playerPixels(screen, 0, 70), 0);
    EXPECT_GT(playerPixels(screen, 70, 90), 0);
    // The floor picture fills the arena rectangle exactly.
    BITMAP* floor = w.data.getArena()->getArenaPic();
    EXPECT_EQ(pixel(screen, 70 + 499, 40 + 399), pixel(floor, 499, 399));
    EXPECT_EQ(pixel(screen, 70 + 400, 40 + 10), pixel(floor, 400, 10));
}

TEST_F(hud, unitsAddedLaterAreDrawnOnTop) {
    emptyBattle();
    spawn(generalTypeHomer, 250, 200);
    spawn(generalTypePlayer, 250, 200);
    w.battle.draw(screen, w.battle.getArenaBuffer());
    EXPECT_EQ(pixel(screen, 70 + 250, 40 + 200 + 4), pixel(w.battle.getArenaBuffer(), 250, 204));
    EXPECT_GT(playerPixels(screen, 300, 340), 20) << "the player covers the homer";
}

TEST_F(hud, theCursorIsCentredOnItsWantedPosition) {
    cursor* pointer = w.data.getInputObj()->getCursor();
    pointer->setCursorShouldBe(100, 100);
    w.battle.drawCursor(screen);
    int x = 0, y = 0;
    pointer->getCursor(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);

    BITMAP* pic = pointer->getCursorPic();
    BITMAP* expected = create_bitmap(640, 480);
    clear_to_color(expected, makecol(1, 2, 3));
    draw_sprite(expected, pic, 100 - pic->w / 2, 100 - pic->h / 2);
    int differences = 0;
    for (int py = 80; py < 120; py++) {
        for (int px = 80; px < 120; px++) {
            differences += !(pixel(expected, px, py) == pixel(screen, px, py));
        }
    }
    destroy_bitmap(expected);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(pic->w, 16);
    EXPECT_EQ(pixel(screen, 100 - 9, 100), untouched) << "nothing left of the 16-pixel picture";
}

} // namespace
