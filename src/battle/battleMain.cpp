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
#include "cursor.h"
#include "dataObj.h"
#include "frameTimer.h"
#include "hitbox.h"
#include "inputObj.h"
#include "picDataCheck.h"
#include "unit.h"
#include "unitGraphics.h"
#include "unitList.h"
#include "videoSettings.h"

namespace {
const char* const picDataName = "picData.dat";

// Datafile objects read outside the picture sets.
constexpr int arenaPicObject = 0;
constexpr int cursorPicObject = 13;

// Which datafile picture shows which status, per unit type, in insertion order.
struct picEntry {
    int object;
    int status;
};
const std::vector<picEntry> playerPics = {{9, statusIdle},      {10, statusMoving},
                                          {5, statusAttacking}, {6, statusAttacking},
                                          {7, statusDead},      {11, statusStunned}};
const std::vector<picEntry> homerPics = {
    {2, statusIdle}, {2, statusMoving}, {1, statusDead}, {3, statusStunned}};
const std::vector<picEntry> shotPics = {{12, statusIdle}, {12, statusMoving}, {12, statusDead}};

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

// The parts of a frame drawn over the arena, in drawing order: the cursor, then the HUD's.
enum framePart { cursorPart, hpPart, fpsPart, homersPart, helpPart, partCount };

// Fills the pixels from (left, top) up to but not including (right, bottom), within the target's
// clipping rectangle, which it leaves as it was. On 24-bit bitmaps a clear within a clipping
// rectangle costs half as many instructions as rectfill.
void fillRect(BITMAP* target, int left, int top, int right, int bottom, int colour) {
    if (left >= right || top >= bottom) {
        return;
    }
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
    get_clip_rect(target, &clipLeft, &clipTop, &clipRight, &clipBottom);
    add_clip_rect(target, left, top, right - 1, bottom - 1);
    clear_to_color(target, colour);
    set_clip_rect(target, clipLeft, clipTop, clipRight, clipBottom);
}

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

// What the HUD shows: the first player's hit points (0 without one), the timer rate and the
// number of homing enemies listed.
struct hudFigures {
    int hp, fps, homers;
};

hudFigures readHud(const unitList& units) {
    std::vector<unit*> players = units.search(0, generalTypePlayer);
    return {players.empty() ? 0 : players.front()->getHP(), frameCountTotal.load(),
            static_cast<int>(units.search(0, generalTypeHomer).size())};
}

std::string hpText(int hp) {
    return "hp: " + std::to_string(hp);
}
std::string fpsText(int fps) {
    return "fps: " + std::to_string(fps);
}
std::string homersText(int homers) {
    return "Homers: " + std::to_string(homers);
}

// The pixels a text drawn at (x, y) may touch.
pixelRect textRect(int x, int y, const std::string& text) {
    return {x, y, text_length(font, text.c_str()), text_height(font)};
}

void drawHud(BITMAP* buffer, const hudFigures& hud) {
    int grey = makecol(hudGrey, hudGrey, hudGrey);
    textout_ex(buffer, font, hpText(hud.hp).c_str(), 0, 0, grey, -1);
    barFill fill = healthBarFill(hud.hp);
    rectfill(buffer, barLeft, 0, barLeft + fill.length, barBottom,
             makecol(fill.red, fill.green, fill.blue));
    rect(buffer, barLeft, 0, barRight, barBottom, grey);
    textout_ex(buffer, font, fpsText(hud.fps).c_str(), fpsTextX, secondRowY, grey, -1);
    textout_ex(buffer, font, homersText(hud.homers).c_str(), 0, secondRowY,
               makecol(homersTextGrey, homersTextGrey, homersTextGrey), -1);
    textout_ex(buffer, font, helpText, helpTextX, secondRowY, grey, -1);
}

// The cursor picture centred on (x, y).
void drawCursorAt(BITMAP* buffer, BITMAP* pic, int x, int y) {
    draw_sprite(buffer, pic, x - pic->w / 2, y - pic->h / 2);
}

// A unit's picture as unit::draw draws it.
void drawPicture(BITMAP* arenaBuffer, const frameContents::picture& p) {
    pivot_sprite(arenaBuffer, p.pic, p.x, p.y, p.half, p.half, p.angle);
}

// What a frame draws over the arena: the cursor, then the HUD.
void drawParts(BITMAP* buffer, const frameContents& frame) {
    const frameContents::part& pointer = frame.parts[cursorPart];
    drawCursorAt(buffer, pointer.pic, pointer.x, pointer.y);
    drawHud(buffer, {frame.parts[hpPart].x, frame.parts[fpsPart].x, frame.parts[homersPart].x});
}
} // namespace

battleMain::battleMain()
    : units(nullptr), buffer(nullptr), arenaBuffer(nullptr), arenaSizeX(0), arenaSizeY(0),
      data(nullptr), tempGraphics(nullptr), tempHitbox(nullptr), judgedFloor(nullptr),
      floorIsOpaque(false), floorCopy(nullptr), paused(false), frameDrawn(false) {}

battleMain::~battleMain() {
    if (floorCopy != nullptr) {
        destroy_bitmap(floorCopy);
    }
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
    judgeFloor();
}

void battleMain::judgeFloor() {
    BITMAP* pic = data->getArena()->getArenaPic();
    judgedFloor = pic;
    floorIsOpaque =
        pic != nullptr && pic->w == arenaSizeX && pic->h == arenaSizeY && !hasTransparentPixel(pic);
    if (floorCopy != nullptr) {
        destroy_bitmap(floorCopy);
        floorCopy = nullptr;
    }
    if (!floorIsOpaque) {
        floorCopy = create_bitmap(arenaSizeX, arenaSizeY);
        clear_to_color(floorCopy, makecol(arenaGrey, arenaGrey, arenaGrey));
        if (pic != nullptr) {
            stretch_sprite(floorCopy, pic, 0, 0, arenaSizeX, arenaSizeY);
        }
    }
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

    composeFrame();
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
        composeFrame(); // the window lost the focus before the first frame
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

frameContents battleMain::readFrame() {
    frameContents frame;
    videoSettings* video = data->getVideoSettings();
    const int left = video->getGameOffsetX(), top = video->getGameOffsetY();
    const pixelRect field = {left, top, arenaSizeX, arenaSizeY};
    int red = 0, green = 0, blue = 0;
    video->getBackgroundColor(red, green, blue);
    frame.screen = {0, 0, buffer->w, buffer->h};
    frame.floor = data->getArena()->getArenaPic();
    frame.background = makecol(red, green, blue);
    for (unit* u : *units->getUnits()) {
        u->prepareFrame();
        int l = 0, t = 0, r = 0, b = 0;
        if (u->getShownBounds(l, t, r, b)) {
            const pixelRect bounds = {left + l, top + t, r - l, b - t};
            frame.units.push_back({u->getUnitID(), u->getShownPic(), u->getDrawPosX(),
                                   u->getDrawPosY(), u->getUnitGraphics()->getPicSize() / 2,
                                   u->getShownAngle(), frameChanges::intersect(bounds, field)});
        }
    }
    cursor* pointer = data->getInputObj()->getCursor();
    int x = 0, y = 0;
    pointer->getCursorShouldBe(x, y);
    pointer->setCursor(x, y);
    BITMAP* pic = pointer->getCursorPic();
    const hudFigures hud = readHud(*units);
    const pixelRect bar = {barLeft, 0, barRight - barLeft + 1, barBottom + 1};
    const pixelRect hpRect = textRect(0, 0, hpText(hud.hp));
    frame.parts.resize(partCount);
    frame.parts[cursorPart] = {pic, x, y, {x - pic->w / 2, y - pic->h / 2, pic->w, pic->h}};
    frame.parts[hpPart] = {
        nullptr, hud.hp, 0, {0, 0, std::max(hpRect.w, bar.x + bar.w), std::max(hpRect.h, bar.h)}};
    frame.parts[fpsPart] = {nullptr, hud.fps, 0, textRect(fpsTextX, secondRowY, fpsText(hud.fps))};
    frame.parts[homersPart] = {nullptr, hud.homers, 0,
                               textRect(0, secondRowY, homersText(hud.homers))};
    frame.parts[helpPart] = {nullptr, 0, 0, textRect(helpTextX, secondRowY, helpText)};
    return frame;
}

void battleMain::composeFrame() {
    if (!changes.compare(readFrame(), changedRects, repaintRects, unitsToRedraw)) {
        draw(buffer, arenaBuffer);
        changedRects.assign(1, {0, 0, buffer->w, buffer->h});
        return;
    }
    // Everything is drawn again within the area to repaint: the background and floor, the units
    // that reach into it (each lies inside it whole), the cursor and HUD clipped to each part.
    const frameContents& frame = changes.shown();
    for (const pixelRect& r : repaintRects) {
        drawBackgroundIn(buffer, arenaBuffer, r);
    }
    for (size_t k = 0; k < frame.units.size(); k++) {
        if (unitsToRedraw[k]) {
            drawPicture(arenaBuffer, frame.units[k]);
        }
    }
    std::vector<pixelRect> over;
    for (const frameContents::part& part : frame.parts) {
        over.push_back(part.bounds);
    }
    for (const pixelRect& r : repaintRects) {
        if (frameChanges::touches(over, r)) {
            set_clip_rect(buffer, r.x, r.y, r.x + r.w - 1, r.y + r.h - 1);
            drawParts(buffer, frame);
        }
    }
    set_clip_rect(buffer, 0, 0, buffer->w - 1, buffer->h - 1);
}

void battleMain::draw(BITMAP* buffer, BITMAP* arenaBuffer) {
    const frameContents& frame = changes.shown();
    drawBackground(buffer, arenaBuffer);
    for (const frameContents::picture& p : frame.units) {
        drawPicture(arenaBuffer, p);
    }
    // The battle's own arena buffer is part of its back buffer: the arena is already in place.
    if (buffer != this->buffer || arenaBuffer != this->arenaBuffer) {
        videoSettings* video = data->getVideoSettings();
        blit(arenaBuffer, buffer, 0, 0, video->getGameOffsetX(), video->getGameOffsetY(),
             arenaSizeX, arenaSizeY);
    }
    if (frame.parts.size() == partCount) {
        drawParts(buffer, frame);
    }
}

void battleMain::drawBackground(BITMAP* buffer, BITMAP* arenaBuffer) {
    drawBackgroundIn(buffer, arenaBuffer, {0, 0, buffer->w, buffer->h});
}

void battleMain::drawBackgroundIn(BITMAP* buffer, BITMAP* arenaBuffer, const pixelRect& r) {
    int red = 0;
    int green = 0;
    int blue = 0;
    videoSettings* video = data->getVideoSettings();
    video->getBackgroundColor(red, green, blue);
    // The arena's rectangle is left alone: its picture or its copy covers all of it.
    const int colour = makecol(red, green, blue);
    const int left = video->getGameOffsetX(), top = video->getGameOffsetY();
    const int right = left + arenaSizeX, bottom = top + arenaSizeY;
    const int rRight = r.x + r.w, rBottom = r.y + r.h;
    const int middleTop = std::max(r.y, top), middleBottom = std::min(rBottom, bottom);
    fillRect(buffer, r.x, r.y, rRight, std::min(rBottom, top), colour);
    fillRect(buffer, r.x, middleTop, std::min(rRight, left), middleBottom, colour);
    fillRect(buffer, std::max(r.x, right), middleTop, rRight, middleBottom, colour);
    fillRect(buffer, r.x, std::max(r.y, bottom), rRight, rBottom, colour);

    // A picture set after the battle was built is judged on its first frame.
    if (data->getArena()->getArenaPic() != judgedFloor) {
        judgeFloor();
    }
    // The same pixels as grey under the picture's masked stretch, at a fraction of its work.
    BITMAP* floor = floorIsOpaque ? judgedFloor : floorCopy;
    const pixelRect inArena = frameChanges::intersect(r, {left, top, arenaSizeX, arenaSizeY});
    if (inArena.w > 0 && inArena.h > 0) {
        blit(floor, arenaBuffer, inArena.x - left, inArena.y - top, inArena.x - left,
             inArena.y - top, inArena.w, inArena.h);
    }
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
    drawCursorAt(buffer, pointer->getCursorPic(), x, y);
}

void battleMain::drawDisplay(BITMAP* buffer) {
    drawHud(buffer, readHud(*units));
}

void battleMain::drawPaused(BITMAP* buffer) {
    const int x = pausedBoxCentreX;
    const int y = pausedBoxCentreY;
    const int text = makecol(pausedTextGrey, pausedTextGrey, pausedTextGrey);
    rectfill(buffer, x - pausedBoxHalfWidth, y - pausedBoxHalfHeight, x + pausedBoxHalfWidth,
             y + pausedBoxHalfHeight, makecol(pausedBoxGrey, pausedBoxGrey, pausedBoxGrey));
    rect(buffer, x - pausedBoxHalfWidth, y - pausedBoxHalfHeight, x + pausedBoxHalfWidth,
         y + pausedBoxHalfHeight, text);
    textout_centre_ex(buffer, font, "paused", x, y - text_height(font) / 2, text, -1);
}
