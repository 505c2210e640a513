#pragma once

#include <string>
#include <vector>

#include "frameChanges.h"

class dataObj;
class unitList;
class unitGraphics;
class hitbox;

// The battle controller: sets the battle up, runs one loop iteration at a time (draw, poll,
// at most one logic tick, cull, restart on F10) and composes each frame with its HUD. The frame's
// drawing is recorded and put on the back buffer only where it changed since the frame before.
class battleMain {
  public:
    // Every field null or 0.
    battleMain();
    // Destroys the arena buffer, then the back buffer it is part of.
    ~battleMain();
    battleMain(const battleMain&) = delete;
    battleMain& operator=(const battleMain&) = delete;

    // Links the shared context (not owned); must come before init.
    void setDataObj(dataObj* d) { data = d; }
    // The game's set-up: loads "picData.dat", builds the screen-sized buffer, starts the frame
    // timer and builds the battle. Returns 0, or -1 when the datafile is missing or unusable or a
    // buffer or the timer cannot be made (getStartProblem says why).
    int init();

    // The steps of init that need no display or timer, so a battle can be built on memory
    // bitmaps. loadPictures: checks and loads the datafile and seeds rand; 0 or -1.
    int loadPictures(const char* fileName);
    // The back buffer, width x height pixels.
    void createBuffer(int width, int height);
    // Unit list, picture sets, hitboxes, arena placement, first population, cursor picture and
    // arena buffer (part of the back buffer, so createBuffer comes first).
    void buildBattle();
    // The datafile objects the battle reads as pictures, in increasing order.
    static std::vector<int> picturesRead();
    // What stopped the set-up, as a phrase naming the file or the part; empty when nothing did.
    const std::string& getStartProblem() const { return startProblem; }

    // Empties the battle and queues the player at the centre and 30 homing enemies on the border;
    // the next frame is drawn whole.
    void restart();
    // One iteration of the main loop: draw, poll input, one tick if pending, cull, F10. After a
    // pause it first forgets the input seen meanwhile and drops the ticks that came due. The
    // frame reaches the back buffer where it differs from the one before (whole the first time,
    // after a restart or a pause); getChangedRects tells where.
    void go();
    // The battle waits while its window is in the background: no tick runs until go is called
    // again. The first call of a pause marks the frame in the back buffer "paused" (drawing one
    // first if go has drawn none yet) and returns true (show it: getChangedRects is the whole
    // buffer); later calls draw nothing and return false. The next go draws the frame whole.
    bool pause();
    // The rectangles of the back buffer (screen pixels) that the last go, or the first call of a
    // pause, changed: copying them to the screen brings it up to date with the back buffer.
    const std::vector<pixelRect>& getChangedRects() const { return changedRects; }
    // One logic tick: the three passes over all units, then the creation requests.
    void applyInput();
    // The battle's end test; a battle never ends, so always 0.
    int gameEnd();

    // The drawing operations draw through the canvas, never Allegro's own calls, so that go's
    // record of the frame holds all they draw.
    // The whole picture of the battle as it stands: background, the arena with every unit (each
    // taking over its new status and advancing its animation) at the game offset, the cursor
    // moved to its wanted position, the HUD. arenaBuffer is arena-sized; unless it is
    // getArenaBuffer() with buffer getBuffer(), it is copied in.
    void draw(BITMAP* buffer, BITMAP* arenaBuffer);
    // Fills the screen with the background colour, and the arena with its picture drawn masked
    // over grey (plain grey without a picture).
    void drawBackground(BITMAP* buffer, BITMAP* arenaBuffer);
    // Every listed unit in list order, in arena pixels.
    void drawUnits(BITMAP* arenaBuffer);
    // Moves the cursor to its wanted position and draws its picture centred there (screen
    // pixels).
    void drawCursor(BITMAP* buffer);
    // Hit points as text and bar, fps, homing count and the help line.
    void drawDisplay(BITMAP* buffer);
    // The "paused" box in the HUD strip, right of the health bar (screen pixels).
    void drawPaused(BITMAP* buffer);

    // The screen-sized back buffer the main loop copies to the screen; owned. It holds the whole
    // frame at all times. go redraws only what changed: anything else drawn into it may stay
    // until the next whole frame.
    BITMAP* getBuffer() const { return buffer; }
    // The arena-sized buffer units are drawn into: the back buffer's arena rectangle, as a
    // sub-bitmap; owned.
    BITMAP* getArenaBuffer() const { return arenaBuffer; }
    // The unit list; owned.
    unitList* getUnitList() const { return units; }
    // Logic ticks go has run so far; an observer tells by it whether the last go ran one.
    int getTicksRun() const { return ticksRun; }

  private:
    unitList* units;
    BITMAP* buffer;
    BITMAP* arenaBuffer;
    int arenaSizeX, arenaSizeY;
    dataObj* data;
    unitGraphics* tempGraphics;
    hitbox* tempHitbox;
    std::string startProblem;
    // The arena picture last judged, and whether it may simply be copied: arena-sized and
    // without a transparent pixel.
    BITMAP* judgedFloor;
    bool floorIsOpaque;
    bool paused;
    bool frameDrawn; // by go, so that a pause has a frame to mark
    int ticksRun = 0;
    frameChanges changes; // the frame's drawing, put on the back buffer where it changed
    std::vector<pixelRect> changedRects;

    // Keeps the problem for getStartProblem; returns -1.
    int startFailed(const std::string& problem);
};
