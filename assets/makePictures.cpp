// Draws the game's pictures as 24-bit BMP files, ready to be packed into picData.dat, the
// desktop icon as 64 x 64 and 128 x 128 PNG files, and the same icon as icon.xpm for the window.
// Usage: makePictures outputFolder

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <png.h>

#include <string>
#include <vector>

#include "pictureColours.h"

namespace {

// Shades drawn beside the key colours; the tests check that none of them equals one.
constexpr pictureColour outlineShade{10, 14, 20};
constexpr pictureColour plateShade{42, 46, 54};
constexpr pictureColour seamShade{26, 29, 35};
constexpr pictureColour rivetShadow{24, 27, 32};
constexpr pictureColour centreMark{56, 62, 72};
constexpr pictureColour rimStripe{58, 54, 36};
constexpr pictureColour rimShade{30, 31, 36};
constexpr pictureColour rimEdge{22, 24, 29};
constexpr pictureColour armourShadow{20, 90, 170};
constexpr pictureColour armourLight{150, 210, 255};
constexpr pictureColour turretShade{30, 120, 215};
constexpr pictureColour turretLight{110, 185, 255};
constexpr pictureColour turretDark{26, 70, 130};
constexpr pictureColour trackShade{40, 44, 50};
constexpr pictureColour treadShade{78, 84, 92};
constexpr pictureColour gunDark{44, 48, 56};
constexpr pictureColour gunMetal{88, 96, 108};
constexpr pictureColour gunLight{150, 160, 172};
constexpr pictureColour flashOuter{255, 230, 120};
constexpr pictureColour flashCore{255, 255, 235};
constexpr pictureColour deadArmour{70, 76, 84};
constexpr pictureColour deadArmourDark{46, 50, 56};
constexpr pictureColour wreckShade{58, 62, 68};
constexpr pictureColour scorchShade{24, 22, 22};
constexpr pictureColour carapaceShadow{36, 120, 34};
constexpr pictureColour carapaceLight{160, 235, 120};
constexpr pictureColour headShade{30, 96, 40};
constexpr pictureColour clawShade{24, 74, 30};
constexpr pictureColour clawTip{210, 230, 170};
constexpr pictureColour legShade{22, 54, 26};
constexpr pictureColour eyeShade{240, 40, 30};
constexpr pictureColour eyeGlint{255, 210, 200};
constexpr pictureColour dazedEye{240, 240, 230};
constexpr pictureColour bellyShade{176, 164, 118};
constexpr pictureColour bellyDark{120, 108, 76};
constexpr pictureColour deadLegShade{60, 70, 50};
constexpr pictureColour ichorDark{96, 120, 24};
constexpr pictureColour shotGlow{200, 80, 12};
constexpr pictureColour shotCore{255, 250, 210};
constexpr pictureColour cursorShade{245, 250, 255};

int colour(pictureColour c) {
    return makecol(c.r, c.g, c.b);
}

// The colour moved by `step` on every channel, for bevels and grain.
int brighter(pictureColour c, int step) {
    return makecol(c.r + step, c.g + step, c.b + step);
}

// A new picture of the given size, all transparent.
BITMAP* blankPicture(int width, int height) {
    BITMAP* picture = create_bitmap(width, height);
    if (!picture) {
        std::fprintf(stderr, "makePictures: out of memory\n");
        std::exit(EXIT_FAILURE);
    }
    clear_to_color(picture, bitmap_mask_color(picture));
    return picture;
}

// Rings the opaque parts with a one-pixel dark edge so units stand out on any floor.
void outline(BITMAP* picture) {
    const int mask = bitmap_mask_color(picture);
    BITMAP* before = create_bitmap(picture->w, picture->h);
    blit(picture, before, 0, 0, 0, 0, picture->w, picture->h);
    for (int y = 0; y < picture->h; y++) {
        for (int x = 0; x < picture->w; x++) {
            if (getpixel(before, x, y) != mask)
                continue;
            const bool touchesOpaque = (x > 0 && getpixel(before, x - 1, y) != mask) ||
                                       (x + 1 < picture->w && getpixel(before, x + 1, y) != mask) ||
                                       (y > 0 && getpixel(before, x, y - 1) != mask) ||
                                       (y + 1 < picture->h && getpixel(before, x, y + 1) != mask);
            if (touchesOpaque)
                putpixel(picture, x, y, colour(outlineShade));
        }
    }
    destroy_bitmap(before);
}

// A small twinkle, several of which circle a dazed unit.
void star(BITMAP* picture, int x, int y, pictureColour c) {
    hline(picture, x - 2, y, x + 2, colour(c));
    vline(picture, x, y - 2, y + 2, colour(c));
    putpixel(picture, x - 1, y - 1, colour(c));
    putpixel(picture, x + 1, y + 1, colour(c));
}

// A line two pixels thick, for legs, tracks and bent guns.
void thickLine(BITMAP* picture, int x1, int y1, int x2, int y2, pictureColour c) {
    line(picture, x1, y1, x2, y2, colour(c));
    line(picture, x1 + 1, y1, x2 + 1, y2, colour(c));
    line(picture, x1, y1 + 1, x2, y2 + 1, colour(c));
}

// Cheap deterministic noise so the floor looks worn the same way on every build.
int floorNoise(int x, int y) {
    unsigned int h =
        static_cast<unsigned int>(x) * 374761393u + static_cast<unsigned int>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<int>((h ^ (h >> 16)) & 0xff);
}

// Steel deck plates with rivets, kept dark and low in contrast so the units stay readable.
BITMAP* drawFloor() {
    constexpr int plate = 50;
    constexpr int border = 6;
    BITMAP* floor = blankPicture(floorPictureWidth, floorPictureHeight);

    for (int py = 0; py < floorPictureHeight; py += plate) {
        for (int px = 0; px < floorPictureWidth; px += plate) {
            const int tone = floorNoise(px, py) % 5;
            const pictureColour base{plateShade.r + tone, plateShade.g + tone, plateShade.b + tone};
            rectfill(floor, px, py, px + plate - 1, py + plate - 1, colour(base));
            // Grain: a few slightly lighter and darker pixels, never more than 3 steps away.
            for (int y = py; y < py + plate; y++) {
                for (int x = px; x < px + plate; x++) {
                    const int n = floorNoise(x, y);
                    if (n < 14)
                        putpixel(floor, x, y, brighter(base, -3));
                    else if (n > 244)
                        putpixel(floor, x, y, brighter(base, 3));
                }
            }
            // Bevel: light from the top left.
            hline(floor, px + 1, py + 1, px + plate - 2, brighter(base, 8));
            vline(floor, px + 1, py + 1, py + plate - 2, brighter(base, 6));
            hline(floor, px + 1, py + plate - 2, px + plate - 2, brighter(base, -8));
            vline(floor, px + plate - 2, py + 1, py + plate - 2, brighter(base, -6));
            // Seams between plates.
            hline(floor, px, py, px + plate - 1, colour(seamShade));
            vline(floor, px, py, py + plate - 1, colour(seamShade));
            // Rivets in the corners.
            const int inset = 5;
            for (int corner = 0; corner < 4; corner++) {
                const int rx = (corner & 1) ? px + plate - 1 - inset : px + inset;
                const int ry = (corner & 2) ? py + plate - 1 - inset : py + inset;
                putpixel(floor, rx, ry, brighter(base, 14));
                putpixel(floor, rx + 1, ry + 1, colour(rivetShadow));
                putpixel(floor, rx + 1, ry, brighter(base, -4));
                putpixel(floor, rx, ry + 1, brighter(base, -4));
            }
        }
    }

    // A faint ring and cross marking the middle of the arena.
    const int cx = floorPictureWidth / 2, cy = floorPictureHeight / 2;
    const int mark = colour(centreMark);
    circle(floor, cx, cy, 60, mark);
    circle(floor, cx, cy, 61, mark);
    hline(floor, cx - 12, cy, cx + 12, mark);
    vline(floor, cx, cy - 12, cy + 12, mark);

    // A darker rim with dim warning stripes frames the arena's walls.
    for (int y = 0; y < floorPictureHeight; y++) {
        for (int x = 0; x < floorPictureWidth; x++) {
            const bool rim = x < border || y < border || x >= floorPictureWidth - border ||
                             y >= floorPictureHeight - border;
            if (!rim)
                continue;
            const bool stripe = ((x + y) / 8) % 2 == 0;
            putpixel(floor, x, y, colour(stripe ? rimStripe : rimShade));
        }
    }
    rect(floor, border, border, floorPictureWidth - 1 - border, floorPictureHeight - 1 - border,
         colour(rimEdge));
    return floor;
}

enum class playerPose { idle, moving, attack1, attack2, stunned };

// One track of the tank; shift moves the treads so idle and moving frames differ.
void track(BITMAP* p, int left, int shift) {
    rectfill(p, left, 6, left + 5, 27, colour(trackShade));
    for (int y = 7 + shift; y < 27; y += 3)
        hline(p, left + 1, y, left + 4, colour(treadShade));
    vline(p, left + 5, 6, 27, colour(gunDark));
}

// The player's little tank seen from above, gun pointing up.
BITMAP* drawPlayer(playerPose pose) {
    BITMAP* p = blankPicture(playerPictureSize, playerPictureSize);

    const int treadShift = pose == playerPose::moving ? 1 : 0;
    track(p, 5, treadShift);
    track(p, 22, treadShift);

    // Hull, lit from the front left, with its corners cut.
    rectfill(p, 10, 8, 22, 26, colour(armourShadow));
    rectfill(p, 10, 8, 21, 25, colour(playerKeyColour));
    hline(p, 11, 8, 21, colour(armourLight));
    vline(p, 10, 9, 24, colour(armourLight));
    putpixel(p, 10, 8, colour(trackShade));
    putpixel(p, 22, 8, colour(trackShade));
    putpixel(p, 10, 26, colour(trackShade));
    putpixel(p, 22, 26, colour(trackShade));
    // Engine grille at the back.
    for (int x = 13; x <= 19; x += 2)
        vline(p, x, 23, 25, colour(armourShadow));

    // Turret with its hatch.
    circlefill(p, 16, 17, 5, colour(turretDark));
    circlefill(p, 16, 16, 4, colour(turretShade));
    circlefill(p, 15, 15, 1, colour(turretLight));
    circle(p, 17, 18, 1, colour(turretDark));

    // Gun, pushed back a pixel by the recoil of the second attack frame.
    const int recoil = pose == playerPose::attack2 ? 1 : 0;
    rectfill(p, 15, 6 + recoil, 17, 12, colour(gunMetal));
    vline(p, 16, 6 + recoil, 12, colour(gunLight));
    rectfill(p, 14, 4 + recoil, 18, 6 + recoil, colour(gunDark));
    hline(p, 15, 5 + recoil, 17, colour(gunMetal));

    if (pose == playerPose::attack1) {
        const int flash[] = {16, 0, 19, 3, 13, 3};
        polygon(p, 3, flash, colour(flashOuter));
        vline(p, 16, 2, 3, colour(flashCore));
    } else if (pose == playerPose::attack2) {
        circlefill(p, 16, 2, 2, colour(flashOuter));
        line(p, 12, 0, 14, 2, colour(flashOuter));
        line(p, 20, 0, 18, 2, colour(flashOuter));
        hline(p, 11, 4, 21, colour(flashOuter));
        vline(p, 16, 1, 4, colour(flashCore));
        hline(p, 15, 3, 17, colour(flashCore));
    } else if (pose == playerPose::stunned) {
        star(p, 10, 13, playerStunnedColour);
        star(p, 22, 13, playerStunnedColour);
        star(p, 16, 25, playerStunnedColour);
    }

    outline(p);
    return p;
}

// The tank burnt out: blackened hull, a loose track and flames still licking it.
BITMAP* drawPlayerDead() {
    BITMAP* p = blankPicture(playerPictureSize, playerPictureSize);

    // Scorch mark on the floor.
    ellipsefill(p, 16, 17, 13, 12, colour(scorchShade));

    track(p, 5, 2);
    rectfill(p, 22, 12, 27, 27, colour(trackShade));
    for (int y = 13; y < 27; y += 3)
        hline(p, 23, y, 26, colour(treadShade));
    thickLine(p, 23, 11, 27, 4, trackShade);

    rectfill(p, 10, 8, 22, 26, colour(deadArmourDark));
    rectfill(p, 10, 8, 21, 25, colour(deadArmour));
    // The turret, blown askew, its gun bent.
    circlefill(p, 17, 17, 5, colour(deadArmourDark));
    circlefill(p, 17, 16, 4, colour(wreckShade));
    thickLine(p, 18, 13, 24, 6, gunDark);
    line(p, 24, 6, 25, 2, colour(gunDark));

    // Flames: the wreck's mark colour round a yellow tongue with a white-hot heart.
    const int flames[][3] = {{12, 21, 3}, {20, 23, 2}, {13, 11, 2}};
    for (const auto& f : flames) {
        circlefill(p, f[0], f[1], f[2], colour(playerDeadColour));
        circlefill(p, f[0], f[1] - 1, f[2] - 1, colour(flashOuter));
        putpixel(p, f[0], f[1] - 1, colour(flashCore));
    }

    outline(p);
    return p;
}

enum class enemyPose { normal, stunned };

// The homing beetle seen from above, pincers and eyes to the front.
BITMAP* drawEnemy(enemyPose pose) {
    BITMAP* e = blankPicture(enemyPictureSize, enemyPictureSize);
    const int mirror = enemyPictureSize;

    // Pincers: a disc with a bite taken out of it, opening to the front.
    const int droop = pose == enemyPose::stunned ? 2 : 0;
    circlefill(e, 9, 6 + droop, 4, colour(clawShade));
    circlefill(e, mirror - 9, 6 + droop, 4, colour(clawShade));
    circlefill(e, 12, 3 + droop, 3, bitmap_mask_color(e));
    circlefill(e, mirror - 12, 3 + droop, 3, bitmap_mask_color(e));
    putpixel(e, 9, 2 + droop, colour(clawTip));
    putpixel(e, mirror - 9, 2 + droop, colour(clawTip));

    // Three legs a side, each with a knee.
    const int legs[3][6] = {{9, 13, 4, 11, 2, 7}, {8, 18, 3, 18, 2, 21}, {10, 23, 5, 25, 3, 28}};
    for (const auto& leg : legs) {
        thickLine(e, leg[0], leg[1], leg[2], leg[3], legShade);
        thickLine(e, leg[2], leg[3], leg[4], leg[5], legShade);
        thickLine(e, mirror - leg[0], leg[1], mirror - leg[2], leg[3], legShade);
        thickLine(e, mirror - leg[2], leg[3], mirror - leg[4], leg[5], legShade);
    }

    // Carapace: two wing covers split down the middle, with a sheen on the left.
    ellipsefill(e, 15, 19, 9, 9, colour(carapaceShadow));
    ellipsefill(e, 15, 18, 8, 8, colour(enemyKeyColour));
    vline(e, 15, 12, 26, colour(carapaceShadow));
    ellipsefill(e, 11, 16, 1, 3, colour(carapaceLight));
    ellipsefill(e, 19, 16, 1, 2, colour(carapaceLight));
    hline(e, 9, 22, 13, colour(carapaceShadow));
    hline(e, 17, 22, 21, colour(carapaceShadow));

    // Head.
    ellipsefill(e, 15, 9, 6, 4, colour(headShade));
    if (pose == enemyPose::stunned) {
        line(e, 11, 6, 13, 8, colour(dazedEye));
        line(e, 13, 6, 11, 8, colour(dazedEye));
        line(e, 17, 6, 19, 8, colour(dazedEye));
        line(e, 19, 6, 17, 8, colour(dazedEye));
    } else {
        circlefill(e, 12, 7, 1, colour(eyeShade));
        circlefill(e, 18, 7, 1, colour(eyeShade));
        putpixel(e, 11, 6, colour(eyeGlint));
        putpixel(e, 17, 6, colour(eyeGlint));
    }

    if (pose == enemyPose::stunned) {
        star(e, 6, 12, enemyStunnedColour);
        star(e, 24, 12, enemyStunnedColour);
        star(e, 15, 3, enemyStunnedColour);
    }

    outline(e);
    return e;
}

// The beetle flipped on its back in a splash of ichor, legs curled.
BITMAP* drawEnemyDead() {
    BITMAP* e = blankPicture(enemyPictureSize, enemyPictureSize);
    const int mirror = enemyPictureSize;

    ellipsefill(e, 15, 17, 10, 8, colour(enemyDeadColour));
    const int splashes[][3] = {{5, 8, 2}, {25, 24, 3}, {7, 25, 2}, {24, 8, 1}, {15, 27, 2}};
    for (const auto& s : splashes)
        circlefill(e, s[0], s[1], s[2], colour(enemyDeadColour));
    ellipsefill(e, 17, 20, 7, 5, colour(ichorDark));

    const int legs[3][4] = {{9, 12, 6, 9}, {8, 17, 5, 16}, {9, 22, 7, 25}};
    for (const auto& leg : legs) {
        line(e, leg[0], leg[1], leg[2], leg[3], colour(deadLegShade));
        line(e, leg[2], leg[3], leg[2] + 2, leg[3] - 1, colour(deadLegShade));
        line(e, mirror - leg[0], leg[1], mirror - leg[2], leg[3], colour(deadLegShade));
        line(e, mirror - leg[2], leg[3], mirror - 2 - leg[2], leg[3] - 1, colour(deadLegShade));
    }

    ellipsefill(e, 15, 17, 7, 8, colour(bellyDark));
    ellipsefill(e, 15, 16, 6, 7, colour(bellyShade));
    for (int y = 12; y <= 20; y += 4)
        hline(e, 11, y, 19, colour(bellyDark));
    ellipsefill(e, 15, 8, 4, 3, colour(headShade));

    outline(e);
    return e;
}

// A bright bolt: a hot core inside a ring of the shot's key colour inside a dim glow.
BITMAP* drawShot() {
    BITMAP* s = blankPicture(shotPictureSize, shotPictureSize);
    rectfill(s, 2, 0, 5, 7, colour(shotGlow));
    rectfill(s, 0, 2, 7, 5, colour(shotGlow));
    rectfill(s, 1, 1, 6, 6, colour(shotGlow));
    rectfill(s, 2, 1, 5, 6, colour(shotKeyColour));
    rectfill(s, 1, 2, 6, 5, colour(shotKeyColour));
    rectfill(s, 3, 3, 4, 4, colour(shotCore));
    return s;
}

// A thin ring with four ticks and a centre dot, over a dark shadow so it reads on any floor.
BITMAP* drawCursor() {
    constexpr int c = cursorPictureSize / 2;
    BITMAP* cursor = blankPicture(cursorPictureSize, cursorPictureSize);
    for (int shadow = 1; shadow >= 0; shadow--) {
        const int shade = colour(shadow ? outlineShade : cursorShade);
        const int o = shadow;
        circle(cursor, c + o, c + o, 5, shade);
        hline(cursor, c - 7 + o, c + o, c - 3 + o, shade);
        hline(cursor, c + 3 + o, c + o, c + 6 + o, shade);
        vline(cursor, c + o, c - 7 + o, c - 3 + o, shade);
        vline(cursor, c + o, c + 3 + o, c + 6 + o, shade);
        putpixel(cursor, c + o, c + o, shade);
    }
    return cursor;
}

struct pictureFile {
    const char* name;
    BITMAP* (*draw)();
};

// The files assets/CMakeLists.txt packs; their order there, not here, is the datafile's.
const pictureFile pictureFiles[] = {
    {"floor.bmp", drawFloor},
    {"enemyDead.bmp", drawEnemyDead},
    {"enemy.bmp", [] { return drawEnemy(enemyPose::normal); }},
    {"enemyStunned.bmp", [] { return drawEnemy(enemyPose::stunned); }},
    {"playerAttack1.bmp", [] { return drawPlayer(playerPose::attack1); }},
    {"playerAttack2.bmp", [] { return drawPlayer(playerPose::attack2); }},
    {"playerDead.bmp", drawPlayerDead},
    {"player.bmp", [] { return drawPlayer(playerPose::idle); }},
    {"playerMoving.bmp", [] { return drawPlayer(playerPose::moving); }},
    {"playerStunned.bmp", [] { return drawPlayer(playerPose::stunned); }},
    {"shot.bmp", drawShot},
    {"cursor.bmp", drawCursor},
};

// The icon: the idle tank scaled up `size` / 32 times, pixel for pixel, as RGBA rows whose
// transparent colour has become see-through.
std::vector<png_byte> iconPixels(int size) {
    BITMAP* tank = drawPlayer(playerPose::idle);
    std::vector<png_byte> pixels;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const int c = getpixel(tank, x * tank->w / size, y * tank->h / size);
            const bool clear = c == bitmap_mask_color(tank);
            pixels.insert(pixels.end(),
                          {static_cast<png_byte>(getr(c)), static_cast<png_byte>(getg(c)),
                           static_cast<png_byte>(getb(c)), clear ? png_byte{0} : png_byte{255}});
        }
    }
    destroy_bitmap(tank);
    return pixels;
}

// The desktop icon as an RGBA PNG file. False when it cannot be written.
bool writeIcon(const std::string& path, int size) {
    const std::vector<png_byte> pixels = iconPixels(size);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = size;
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

// The characters that name the window icon's colours.
constexpr char xpmSymbols[] = ".abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The window's icon as an XPM, which is C source: the game compiles it in as `gameIcon` and hands
// it to Allegro, whose X11 driver reads no file. One character a colour, see-through as ' '.
// False when it cannot be written or has more colours than characters.
bool writeIconXpm(const std::string& path, int size) {
    const std::vector<png_byte> pixels = iconPixels(size);
    std::vector<std::string> colours; // "#RRGGBB", in the order first met
    std::string rows;
    for (int y = 0; y < size; y++) {
        rows += "\"";
        for (int x = 0; x < size; x++) {
            const png_byte* p = &pixels[(y * size + x) * 4];
            if (p[3] == 0) {
                rows += ' ';
                continue;
            }
            char hex[8];
            std::snprintf(hex, sizeof hex, "#%02X%02X%02X", p[0], p[1], p[2]);
            size_t index = 0;
            while (index < colours.size() && colours[index] != hex)
                index++;
            if (index == colours.size())
                colours.push_back(hex);
            if (index + 1 >= sizeof xpmSymbols)
                return false;
            rows += xpmSymbols[index];
        }
        rows += y + 1 < size ? "\",\n" : "\"};\n";
    }
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file, "/* XPM */\nstatic const char* const gameIcon[] = {\n\"%d %d %zu 1\",\n",
                 size, size, colours.size() + 1);
    std::fprintf(file, "\"  c None\",\n");
    for (size_t i = 0; i < colours.size(); i++)
        std::fprintf(file, "\"%c c %s\",\n", xpmSymbols[i], colours[i].c_str());
    std::fputs(rows.c_str(), file);
    return std::fclose(file) == 0;
}

constexpr int iconSizes[] = {64, 128};
// The window manager scales the window's icon to its needs; Allegro's own is 48 x 48.
constexpr int windowIconSize = 64;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makePictures outputFolder\n");
        return EXIT_FAILURE;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "makePictures: cannot start Allegro\n");
        return EXIT_FAILURE;
    }
    set_color_depth(24);

    const std::string folder = argv[1];
    for (const pictureFile& file : pictureFiles) {
        BITMAP* picture = file.draw();
        const std::string path = folder + "/" + file.name;
        const int failed = save_bitmap(path.c_str(), picture, nullptr);
        destroy_bitmap(picture);
        if (failed) {
            std::fprintf(stderr, "makePictures: cannot write %s\n", path.c_str());
            return EXIT_FAILURE;
        }
    }
    for (int size : iconSizes) {
        const std::string path = folder + "/icon" + std::to_string(size) + ".png";
        if (!writeIcon(path, size)) {
            std::fprintf(stderr, "makePictures: cannot write %s\n", path.c_str());
            return EXIT_FAILURE;
        }
    }
    const std::string xpmPath = folder + "/icon.xpm";
    if (!writeIconXpm(xpmPath, windowIconSize)) {
        std::fprintf(stderr, "makePictures: cannot write %s\n", xpmPath.c_str());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
END_OF_MAIN()
