#include "battleMain.h"

#include <allegro.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "arena.h"
#include "canvas.h"
#include "cursor.h"
#include "dataObj.h"
#include "frameTimer.h"
#include "hitbox.h"
#include "inputObj.h"
#include "picData.h"
#include "picDataCheck.h"
#include "unit.h"
#include "unitGraphics.h"
#include "unitList.h"
#include "videoSettings.h"

namespace {
const char* const picDataName = "picData.dat";

// Datafile objects read outside the picture sets. The numbers come from the list the build packs
// the datafile by: dat writes them into picData.h, named after the pictures' files.
constexpr int arenaPicObject = FLOOR_BMP;
constexpr int cursorPicObject = CURSOR_BMP;

// Which datafile picture shows which status, per unit type, in insertion order.
struct picEntry {
    int object;
    int status;
};
const std::vector<picEntry> playerPics = {{PLAYER_BMP, statusIdle},
                                          {PLAYERMOVING_BMP, statusMoving},
                                          {PLAYERATTACK1_BMP, statusAttacking},
                                          {PLAYERATTACK2_BMP, statusAttacking},
                                          {PLAYERDEAD_BMP, statusDead},
                                          {PLAYERSTUNNED_BMP, statusStunned}};
const std::vector<picEntry> homerPics = {{ENEMY_BMP, statusIdle},
                                         {ENEMY_BMP, statusMoving},
                                         {ENEMYDEAD_BMP, statusDead},
                                         {ENEMYSTUNNED_BMP, statusStunned}};
const std::vector<picEntry> shotPics = {
    {SHOT_BMP, statusIdle}, {SHOT_BMP, statusMoving}, {SHOT_BMP, statusDead}};

// What a unit of each type inflicts on contact, and how it meets the other types.
struct collideEntry {
    int type;
    int result;
    bool stunned;
};
struct hitboxEntry {
    int generalType;
    int damage;
    int knockbackTime;
    int stunTime;
    std::vector<collideEntry> collides;
};
const hitboxEntry playerHitbox = {
    generalTypePlayer,
    0,
    0,
    0,
    {{generalTypePlayer, collideNone, false}, {generalTypeShot, collideNone, false}}};
const hitboxEntry homerHitbox = {
    generalTypeHomer,
    1,
    2,
    0,
    {{generalTypeHomer, collideKnockbackOnly, false}, {generalTypePlayer, collideNone, true}}};
const hitboxEntry shotHitbox = {
    generalTypeShot,
    1,
    5,
    20,
    {{generalTypePlayer, collideNone, false}, {generalTypeShot, collideNone, false}}};

// The restart's population.
constexpr int homerCount = 30;
constexpr int homerFirstDelay = 10; // ticks
constexpr int homerDelayStep = 10;  // ticks between two homing enemies

// Colours and layout of the frame and the HUD (screen pixels).
constexpr int arenaGrey = 64;
constexpr int hudGrey = 128;
constexpr int homersTextGrey = 220;
constexpr int barLeft = 60;
constexpr int barRight = 450;
constexpr int barBottom = 20;
constexpr int secondRowY = 22;
constexpr int fpsTextX = 250;
constexpr int helpTextX = 400;
const char* const helpText = "F10 = reset, ESC = exit";
// The "paused" box, in the HUD's free corner right of the bar: over the arena it would hide the
// tank and the cursor, which the player looks for on return.
constexpr int pausedBoxCentreX = 545;
constexpr int pausedBoxCentreY = 10;
constexpr int pausedBoxHalfWidth = 50;
constexpr int pausedBoxHalfHeight = 10;
constexpr int pausedBoxGrey = 0;
constexpr int pausedTextGrey = 220;

// Whether any pixel is the picture's mask colour, which masked drawing leaves out.
bool hasTransparentPixel(BITMAP* pic) {
    const int mask = bitmap_mask_color(pic);
    for (int y = 0; y < pic->h; y++) {
        for (int x = 0; x < pic->w; x++) {
            if (getpixel(pic, x, y) == mask) {
                return true;
            }
        }
    }
    return false;
}

// The bar's fill for the player's hit points: lengths 10, 140, 390, not proportional.
struct barFill {
    int length;
    int red, green, blue;
};
barFill healthBarFill(int hp) {
    switch (hp) {
    case 1:
        return {10, 172, 0, 0};
    case 2:
        return {140, 188, 78, 0};
    case 3:
        return {390, 172, 172, 0};
    default:
        return {0, 0, 0, 0};
    }
}
} // namespace

battleMain::battleMain()
    : units(nullptr), buffer(nullptr), arenaBuffer(nullptr), arenaSizeX(0), arenaSizeY(0),
      data(nullptr), tempGraphics(nullptr), tempHitbox(nullptr), judgedFloor(nullptr),
      floorIsOpaque(false), paused(false), frameDrawn(false) {}

battleMain::~battleMain() {
    if (arenaBuffer != nullptr) {
        destroy_bitmap(arenaBuffer);
    }
    if (buffer != nullptr) {
        destroy_bitmap(buffer);
    }
    delete units;
}

int battleMain::init() {
    if (loadPictures(picDataName) != 0) {
        return -1;
    }
    set_palette(desktop_palette);
    createBuffer(SCREEN_W, SCREEN_H);
    if (buffer == nullptr) {
        return startFailed("there is no memory for the back buffer");
    }
    if (install_int_ex(incFrameTick, BPS_TO_TIMER(ticksPerSecond)) != 0 ||
        install_int_ex(fpsCalc, SECS_TO_TIMER(1)) != 0) {
        return startFailed("the frame timer cannot be started");
    }
    buildBattle();
    if (arenaBuffer == nullptr) {
        return startFailed("there is no memory for the arena buffer");
    }
    return 0;
}

int battleMain::loadPictures(const char* fileName) {
    // Allegro's loader believes every size a file declares, so a damaged file would crash it or
    // give garbage pictures: only a file whose structure is sound gets that far.
    std::string reason = picDataCheck::checkFile(fileName);
    DATAFILE* file = reason.empty() ? data->setDatafile(fileName) : nullptr;
    srand(time(nullptr));
    if (reason.empty()) {
        reason = picDataCheck::checkLoaded(file, picturesRead());
    }
    if (reason.empty()) {
        return 0;
    }
    std::error_code error;
    const std::filesystem::path where = std::filesystem::absolute(fileName, error);
    return startFailed("\"" + where.filename().string() + "\" in " + where.parent_path().string() +
                       " is unusable: " + reason);
}

int battleMain::startFailed(const std::string& problem) {
    startProblem = problem;
    return -1;
}

std::vector<int> battleMain::picturesRead() {
    std::vector<int> read = {arenaPicObject, cursorPicObject};
    for (const std::vector<picEntry>* set : {&playerPics, &homerPics, &shotPics}) {
        for (const picEntry& entry : *set) {
            read.push_back(entry.object);
        }
    }
    std::sort(read.begin(), read.end());
    read.erase(std::unique(read.begin(), read.end()), read.end());
    return read;
}

void battleMain::createBuffer(int width, int height) {
    buffer = create_bitmap(width, height);
}

void battleMain::buildBattle() {
    DATAFILE* file = data->getDatafile();
    auto picture = [file](int object) { return static_cast<BITMAP*>(file[object].dat); };

    units = new unitList();
    auto buildSet = [&](int type, const std::vector<picEntry>& pics) {
        tempGraphics = new unitGraphics();
        for (const picEntry& entry : pics) {
            tempGraphics->insertPic(picture(entry.object), entry.status);
        }
        tempGraphics->type = type;
        units->addGraphics(tempGraphics);
    };
    auto buildHitbox = [&](const hitboxEntry& box) {
        tempHitbox = new hitbox();
        tempHitbox->damage = box.damage;
        tempHitbox->knockbackTime = box.knockbackTime;
        tempHitbox->stunTime = box.stunTime;
        tempHitbox->generalType = box.generalType;
        for (const collideEntry& entry : box.collides) {
            tempHitbox->addCollide(entry.type, entry.result, entry.stunned);
        }
        units->addHitbox(tempHitbox);
    };
    buildSet(generalTypePlayer, playerPics);
    buildHitbox(playerHitbox);
    buildSet(generalTypeHomer, homerPics);
    buildHitbox(homerHitbox);
    buildSet(generalTypeShot, shotPics);
    buildHitbox(shotHitbox);

    arena* field = data->getArena();
    arenaSizeX = field->getArenaSizeX();
    arenaSizeY = field->getArenaSizeY();
    field->setArenaPic(picture(arenaPicObject));

    videoSettings* video = data->getVideoSettings();
    video->setGameOffset((video->getResolutionX() - arenaSizeX) / 2,
                         (video->getResolutionY() - arenaSizeY) / 2);

    restart();
    data->getInputObj()->getCursor()->setCursorPic(picture(cursorPicObject));
    // Units drawn straight into the back buffer need no copy of the arena, and a sub-bitmap
    // clips them at the arena's edge as a bitmap of its own would.
    arenaBuffer = create_sub_bitmap(buffer, video->getGameOffsetX(), video->getGameOffsetY(),
                                    arenaSizeX, arenaSizeY);
}

void battleMain::restart() {
    units->clearAll();
    changes.forget();

    arena* field = data->getArena();
    unitCreate* player = new unitCreate();
    player->type = generalTypePlayer;
    player->posX = itofix(field->getArenaSizeX() / 2);
    player->posY = itofix(field->getArenaSizeY() / 2);
    player->moveAngle = 0;
    player->delay = 0;
    units->addCreate(player);

    // Each homing enemy starts at a random point of the border, walked edge by edge clockwise
    // from the top-left corner, so each edge is as likely as its length.
    const int w = arenaSizeX;
    const int h = arenaSizeY;
    for (int i = 0; i < homerCount; i++) {
        unitCreate* homer = new unitCreate();
        homer->type = generalTypeHomer;
        int r = rand() % (2 * (w + h));
        int x, y;
        if (r < w) {
            x = r;
            y = 0;
        } else if (r < w + h) {
            x = w;
            y = r - w;
        } else if (r < 2 * w + h) {
            x = r - w - h;
            y = h;
        } else {
            x = 0;
            y = r - 2 * w - h;
        }
        homer->posX = itofix(x);
        homer->posY = itofix(y);
        homer->moveAngle = 0;
        homer->delay = homerDelayStep * i + homerFirstDelay;
        units->addCreate(homer);
    }
}

void battleMain::go() {
    int resX = 0;
    int resY = 0;
    data->getVideoSettings()->getResolution(resX, resY);

    inputObj* input = data->getInputObj();
    if (paused) {
        // Nothing done while the window was in the background acts, and no tick that came due
        // meanwhile runs: the battle goes on where it stopped.
        paused = false;
        input->forget();
        frameTick = 0;
    }

    // The frame is drawn by the same calls as ever; the record puts them on the back buffer only
    // where they differ from the last frame's.
    changes.record(buffer, {arenaBuffer});
    draw(buffer, arenaBuffer);
    changedRects = changes.finish();
    frameDrawn = true;
    // The timer is looked at once: the poll and the tick follow the same decision, and a tick that
    // arrives later in this iteration waits for the next one. Ticks beyond one are dropped: a slow
    // machine plays slower, never in bursts.
    bool tickPending = frameTick.exchange(0) > 0;
    input->processInput(resX, resY, tickPending);
    if (tickPending) {
        applyInput();
        ticksRun++;
    }
    units->cullUnits();
    if (input->getKeyWasClicked()->at(inputObj::keyRestart)) {
        restart();
    }
}

bool battleMain::pause() {
    if (paused) {
        return false;
    }
    paused = true;
    if (!frameDrawn) {
        draw(buffer, arenaBuffer); // the window lost the focus before the first frame
    }
    drawPaused(buffer);
    // Wherever the marker is, the screen gets the whole buffer, and the return draws it all anew.
    changes.forget();
    changedRects.assign(1, {0, 0, buffer->w, buffer->h});
    return true;
}

void battleMain::applyInput() {
    gameEnd();
    std::vector<unit*>& live = *units->getUnits();
    for (unit* u : live) {
        u->processInput(data, units);
    }
    for (unit* u : live) {
        u->makePendingActions(data, units);
    }
    for (unit* u : live) {
        u->processPendingActions(data, units);
    }
    units->createUnits();
}

int battleMain::gameEnd() {
    return 0;
}

void battleMain::draw(BITMAP* buffer, BITMAP* arenaBuffer) {
    drawBackground(buffer, arenaBuffer);
    drawUnits(arenaBuffer);
    // The battle's own arena buffer is part of its back buffer: the arena is already in place.
    if (buffer != this->buffer || arenaBuffer != this->arenaBuffer) {
        videoSettings* video = data->getVideoSettings();
        canvas::copy(buffer, arenaBuffer, video->getGameOffsetX(), video->getGameOffsetY());
    }
    drawCursor(buffer);
    drawDisplay(buffer);
}

void battleMain::drawBackground(BITMAP* buffer, BITMAP* arenaBuffer) {
    int red = 0;
    int green = 0;
    int blue = 0;
    videoSettings* video = data->getVideoSettings();
    video->getBackgroundColor(red, green, blue);
    const int background = makecol(red, green, blue);
    BITMAP* floor = data->getArena()->getArenaPic();
    if (floor != judgedFloor) {
        judgedFloor = floor;
        floorIsOpaque = floor != nullptr && floor->w == arenaSizeX && floor->h == arenaSizeY &&
                        !hasTransparentPixel(floor);
    }
    if (!floorIsOpaque) {
        canvas::clear(buffer, background);
        canvas::clear(arenaBuffer, makecol(arenaGrey, arenaGrey, arenaGrey));
        if (floor != nullptr) {
            canvas::stretchedSprite(arenaBuffer, floor, 0, 0, arenaSizeX, arenaSizeY);
        }
        return;
    }
    // The same pixels for a fraction of the work: the background around the arena, the floor
    // copied into it.
    const int left = video->getGameOffsetX(), top = video->getGameOffsetY();
    const int right = left + arenaSizeX, bottom = top + arenaSizeY;
    const int lastX = buffer->w - 1, lastY = buffer->h - 1;
    canvas::fill(buffer, 0, 0, lastX, top - 1, background);
    canvas::fill(buffer, 0, top, left - 1, bottom - 1, background);
    canvas::fill(buffer, right, top, lastX, bottom - 1, background);
    canvas::fill(buffer, 0, bottom, lastX, lastY, background);
    canvas::copy(arenaBuffer, floor, 0, 0);
}

void battleMain::drawUnits(BITMAP* arenaBuffer) {
    for (unit* u : *units->getUnits()) {
        u->draw(arenaBuffer);
    }
}

void battleMain::drawCursor(BITMAP* buffer) {
    cursor* pointer = data->getInputObj()->getCursor();
    int x = 0;
    int y = 0;
    pointer->getCursorShouldBe(x, y);
    pointer->setCursor(x, y);
    BITMAP* pic = pointer->getCursorPic();
    canvas::sprite(buffer, pic, x - pic->w / 2, y - pic->h / 2);
}

void battleMain::drawDisplay(BITMAP* buffer) {
    const std::vector<unit*> players = units->search(0, generalTypePlayer);
    const int hp = players.empty() ? 0 : players.front()->getHP();
    const int homers = static_cast<int>(units->search(0, generalTypeHomer).size());
    const int grey = makecol(hudGrey, hudGrey, hudGrey);
    canvas::text(buffer, "hp: " + std::to_string(hp), 0, 0, grey);
    const barFill fill = healthBarFill(hp);
    canvas::fill(buffer, barLeft, 0, barLeft + fill.length, barBottom,
                 makecol(fill.red, fill.green, fill.blue));
    canvas::outline(buffer, barLeft, 0, barRight, barBottom, grey);
    canvas::text(buffer, "fps: " + std::to_string(frameCountTotal.load()), fpsTextX, secondRowY,
                 grey);
    canvas::text(buffer, "Homers: " + std::to_string(homers), 0, secondRowY,
                 makecol(homersTextGrey, homersTextGrey, homersTextGrey));
    canvas::text(buffer, helpText, helpTextX, secondRowY, grey);
}

void battleMain::drawPaused(BITMAP* buffer) {
    const int x = pausedBoxCentreX;
    const int y = pausedBoxCentreY;
    const int text = makecol(pausedTextGrey, pausedTextGrey, pausedTextGrey);
    canvas::fill(buffer, x - pausedBoxHalfWidth, y - pausedBoxHalfHeight, x + pausedBoxHalfWidth,
                 y + pausedBoxHalfHeight, makecol(pausedBoxGrey, pausedBoxGrey, pausedBoxGrey));
    canvas::outline(buffer, x - pausedBoxHalfWidth, y - pausedBoxHalfHeight, x + pausedBoxHalfWidth,
                    y + pausedBoxHalfHeight, text);
    canvas::centredText(buffer, "paused", x, y - text_height(font) / 2, text);
}
