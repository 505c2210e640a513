#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "battleMain.h"
#include "picDataCheck.h"
#include "pictureColours.h"
#include "testWorld.h"

namespace {

// The datafile's objects by index, in the order the battle reads them.
enum : int {
    floorPic,
    enemyDeadPic,
    enemyPic,
    enemyStunnedPic,
    unusedObject4,
    playerAttack1Pic,
    playerAttack2Pic,
    playerDeadPic,
    unusedObject8,
    playerPic,
    playerMovingPic,
    playerStunnedPic,
    shotPic,
    cursorPic,
    objectCount
};

// Everything drawn as a sprite over the floor.
const std::vector<int> spritePics = {enemyDeadPic,     enemyPic,         enemyStunnedPic,
                                     playerAttack1Pic, playerAttack2Pic, playerDeadPic,
                                     playerPic,        playerMovingPic,  playerStunnedPic,
                                     shotPic,          cursorPic};

bool isPicture(int object) {
    return object != unusedObject4 && object != unusedObject8;
}

// The HUD is found on screen by these colours, so no picture may use them.
const pictureColour hudColours[] = {{128, 128, 128}, {220, 220, 220}, {172, 0, 0}, {188, 78, 0},
                                    {172, 172, 0},   {32, 32, 32},    {64, 64, 64}};

bool sameColour(BITMAP* pic, int pixel, pictureColour c) {
    const int depth = bitmap_color_depth(pic);
    return getr_depth(depth, pixel) == c.r && getg_depth(depth, pixel) == c.g &&
           getb_depth(depth, pixel) == c.b;
}

int countColour(BITMAP* pic, pictureColour c) {
    int count = 0;
    for (int y = 0; y < pic->h; y++) {
        for (int x = 0; x < pic->w; x++) {
            count += sameColour(pic, getpixel(pic, x, y), c) ? 1 : 0;
        }
    }
    return count;
}

// The first row from the top holding an opaque pixel, or the height when there is none.
int topOpaqueRow(BITMAP* pic) {
    for (int y = 0; y < pic->h; y++) {
        for (int x = 0; x < pic->w; x++) {
            if (getpixel(pic, x, y) != bitmap_mask_color(pic)) {
                return y;
            }
        }
    }
    return pic->h;
}

class pictureData : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        startHeadlessAllegro();
        file = load_datafile(PIC_DATA_PATH);
    }
    static void TearDownTestSuite() {
        if (file != nullptr) {
            unload_datafile(file);
            file = nullptr;
        }
    }
    // Without the objects the battle reads, the other checks would read past the file.
    void SetUp() override {
        ASSERT_NE(file, nullptr) << "cannot load " << PIC_DATA_PATH;
        ASSERT_EQ(picDataCheck::checkLoaded(file, battleMain::picturesRead()), "");
    }

    static BITMAP* picture(int object) { return static_cast<BITMAP*>(file[object].dat); }

    static DATAFILE* file;
};

DATAFILE* pictureData::file = nullptr;

TEST_F(pictureData, holdsFourteenObjectsInTheBattlesOrder) {
    // Named after the files they were packed from, so a slip in the packing order shows here.
    const char* const names[objectCount] = {
        "FLOOR_BMP",   "ENEMYDEAD_BMP",     "ENEMY_BMP",         "ENEMYSTUNNED_BMP",
        "UNUSED4_TXT", "PLAYERATTACK1_BMP", "PLAYERATTACK2_BMP", "PLAYERDEAD_BMP",
        "UNUSED8_TXT", "PLAYER_BMP",        "PLAYERMOVING_BMP",  "PLAYERSTUNNED_BMP",
        "SHOT_BMP",    "CURSOR_BMP"};
    for (int object = 0; object < objectCount; object++) {
        EXPECT_STREQ(get_datafile_property(&file[object], DAT_NAME), names[object]);
        if (isPicture(object)) {
            EXPECT_EQ(file[object].type, DAT_BITMAP) << "object " << object;
            // Key colours only survive unchanged at the game's own depth.
            EXPECT_EQ(bitmap_color_depth(picture(object)), 24) << "object " << object;
        } else {
            EXPECT_NE(file[object].type, DAT_BITMAP) << "object " << object;
        }
    }
    EXPECT_EQ(file[objectCount].type, DAT_END) << "grabber information left in the file?";
}

TEST_F(pictureData, unitPicturesAreSquareAndEveryFrameMatchesItsIdleSize) {
    // Every frame is pivoted about half the idle picture's width, so all frames of a kind
    // must share that size or they would wobble as the animation changes.
    struct sizedSet {
        std::vector<int> objects;
        int size;
    };
    const sizedSet sets[] = {
        {{enemyDeadPic, enemyPic, enemyStunnedPic}, enemyPictureSize},
        {{playerAttack1Pic, playerAttack2Pic, playerDeadPic, playerPic, playerMovingPic,
          playerStunnedPic},
         playerPictureSize},
        {{shotPic}, shotPictureSize},
        {{cursorPic}, cursorPictureSize},
    };
    for (const sizedSet& set : sets) {
        for (int object : set.objects) {
            EXPECT_EQ(picture(object)->w, set.size) << "object " << object;
            EXPECT_EQ(picture(object)->h, set.size) << "object " << object;
        }
    }
    EXPECT_GE(picture(enemyPic)->w, 28);
    EXPECT_LE(picture(enemyPic)->w, 32);
    EXPECT_GE(picture(playerPic)->w, 30);
    EXPECT_LE(picture(playerPic)->w, 34);
    EXPECT_GE(picture(shotPic)->w, 6);
    EXPECT_LE(picture(shotPic)->w, 10);
    // The floor is stretched over the 500 x 400 arena, so it must keep that shape.
    EXPECT_EQ(picture(floorPic)->w, floorPictureWidth);
    EXPECT_EQ(picture(floorPic)->h, floorPictureHeight);
    EXPECT_EQ(picture(floorPic)->w * 4, picture(floorPic)->h * 5);
}

TEST_F(pictureData, eachKeyColourMarksOnlyItsOwnPictures) {
    struct mark {
        const char* name;
        pictureColour colour;
        std::set<int> shownIn;
        int leastPixels;
    };
    const mark marks[] = {
        {"player key",
         playerKeyColour,
         {playerAttack1Pic, playerAttack2Pic, playerPic, playerMovingPic, playerStunnedPic},
         30},
        {"player stunned", playerStunnedColour, {playerStunnedPic}, 12},
        {"player dead", playerDeadColour, {playerDeadPic}, 12},
        {"enemy key", enemyKeyColour, {enemyPic, enemyStunnedPic}, 30},
        {"enemy stunned", enemyStunnedColour, {enemyStunnedPic}, 12},
        {"enemy dead", enemyDeadColour, {enemyDeadPic}, 30},
        {"shot key", shotKeyColour, {shotPic}, 12},
    };
    for (const mark& m : marks) {
        for (int object = 0; object < objectCount; object++) {
            if (!isPicture(object)) {
                continue;
            }
            const int count = countColour(picture(object), m.colour);
            if (m.shownIn.count(object) != 0) {
                EXPECT_GE(count, m.leastPixels) << m.name << " in object " << object;
            } else {
                EXPECT_EQ(count, 0) << m.name << " in object " << object;
            }
        }
    }
}

TEST_F(pictureData, noPictureUsesAHudColourOrAnAlmostMagentaOne) {
    for (int object = 0; object < objectCount; object++) {
        if (!isPicture(object)) {
            continue;
        }
        BITMAP* pic = picture(object);
        for (const pictureColour& hud : hudColours) {
            EXPECT_EQ(countColour(pic, hud), 0) << "object " << object << " uses HUD colour "
                                                << hud.r << "," << hud.g << "," << hud.b;
        }
        // A colour close to the mask reads as a hole in some tools and as a smudge in others.
        const int depth = bitmap_color_depth(pic);
        int nearMagenta = 0;
        for (int y = 0; y < pic->h; y++) {
            for (int x = 0; x < pic->w; x++) {
                const int pixel = getpixel(pic, x, y);
                const bool close = std::abs(getr_depth(depth, pixel) - 255) < 48 &&
                                   getg_depth(depth, pixel) < 48 &&
                                   std::abs(getb_depth(depth, pixel) - 255) < 48;
                if (pixel != bitmap_mask_color(pic) && close) {
                    nearMagenta++;
                }
            }
        }
        EXPECT_EQ(nearMagenta, 0) << "object " << object;
    }
}

TEST_F(pictureData, spriteCornersAreTransparentAndTheFloorIsNot) {
    for (int object : spritePics) {
        BITMAP* pic = picture(object);
        const int mask = bitmap_mask_color(pic);
        EXPECT_EQ(getpixel(pic, 0, 0), mask) << "object " << object;
        EXPECT_EQ(getpixel(pic, pic->w - 1, 0), mask) << "object " << object;
        EXPECT_EQ(getpixel(pic, 0, pic->h - 1), mask) << "object " << object;
        EXPECT_EQ(getpixel(pic, pic->w - 1, pic->h - 1), mask) << "object " << object;
    }
    // The floor is drawn as a sprite; a transparent pixel would let the grey behind show through.
    EXPECT_EQ(countColour(picture(floorPic), {255, 0, 255}), 0);
}

TEST_F(pictureData, thePlayerFacesUpAndFiresFromTheTop) {
    // Angle 0 is up: the gun is the topmost part, in the middle columns.
    BITMAP* idle = picture(playerPic);
    const int top = topOpaqueRow(idle);
    ASSERT_LT(top, idle->h / 4);
    for (int x = 0; x < idle->w; x++) {
        if (getpixel(idle, x, top) != bitmap_mask_color(idle)) {
            EXPECT_LE(std::abs(2 * x + 1 - idle->w), 8) << "column " << x << " of the top row";
        }
    }
    // The muzzle flash of both attack frames reaches beyond the idle gun.
    EXPECT_LT(topOpaqueRow(picture(playerAttack1Pic)), top);
    EXPECT_LT(topOpaqueRow(picture(playerAttack2Pic)), top);
}

} // namespace
