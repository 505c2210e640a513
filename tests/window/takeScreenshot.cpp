// Plays a few seconds of the game in a private X server and saves one frame as a PPM picture,
// for the README. Also prints what it measured of the running game.
//
// Usage: takeScreenshot [--game PATH] [--pic-data PATH] OUTPUT.ppm

#include <X11/keysym.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "gameSession.h"
#include "hudReader.h"
#include "processStats.h"
#include "screenLayout.h"
#include "waitUntil.h"

using namespace std::chrono_literals;

namespace {
const char* const usage = "usage: takeScreenshot [--game PATH] [--pic-data PATH] OUTPUT.ppm";

int fail(const std::string& why) {
    std::fprintf(stderr, "takeScreenshot: %s\n", why.c_str());
    return 1;
}

// Clicks until one more shot is on screen, at most tries clicks; not every click fires.
bool fire(gameWindow& window, int tries) {
    for (int i = 0; i < tries; i++) {
        // Uneven pauses, so the clicks meet the game's loop at different moments.
        std::this_thread::sleep_for(std::chrono::milliseconds(i * 17 % 67));
        const int before = window.screenshot().find(shotColour).count;
        window.pressButton();
        std::this_thread::sleep_for(100ms);
        window.releaseButton();
        if (waitUntil(300ms, [&] { return window.screenshot().find(shotColour).count > before; })) {
            return true;
        }
    }
    return false;
}

// The enemy pixel nearest to (x, y) but at least 100 pixels away, so a shot has room to fly; or
// (x, y) itself if there is none.
void nearestEnemy(const rgbImage& frame, double x, double y, int& enemyX, int& enemyY) {
    double nearest = 1e9;
    enemyX = static_cast<int>(x);
    enemyY = static_cast<int>(y);
    for (int py = arenaTop; py <= arenaBottom; py++) {
        for (int px = arenaLeft; px <= arenaRight; px++) {
            const double d = std::hypot(px - x, py - y);
            if (d >= 100 && d < nearest && frame.at(px, py) == enemyColour) {
                nearest = d;
                enemyX = px;
                enemyY = py;
            }
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    gameProcess::settings how;
    std::string output;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--game") == 0 && i + 1 < argc) {
            how.gamePath = argv[++i];
        } else if (std::strcmp(argv[i], "--pic-data") == 0 && i + 1 < argc) {
            how.picDataPath = argv[++i];
        } else if (argv[i][0] != '-' && output.empty()) {
            output = argv[i];
        } else {
            return fail(usage);
        }
    }
    if (output.empty()) {
        return fail(usage);
    }

    gameSession session;
    if (!session.open(how)) {
        return fail(session.why());
    }
    gameWindow& window = session.window;
    const int pid = session.game.process().pid();
    const auto started = std::chrono::steady_clock::now();
    const auto cpuAtStart = session.game.process().cpuTime();
    const long writesAtStart = processStats::mainThreadWrites(pid);

    // Let a handful of enemies walk in, then step the player up and to the right a little.
    window.moveMouse(320, 100);
    auto homers = [&] {
        return hudReader::readNumber(window.screenshot(), 0, 22, homersTextColour, "Homers: ", 30)
            .value_or(0);
    };
    if (!waitUntil(6s, [&] { return homers() >= 6; })) {
        return fail("the enemies did not come");
    }
    window.holdKey(XK_w, 70ms);
    window.holdKey(XK_d, 70ms);

    // Aim at an enemy near the player, fire, and once that shot is on its way, fire again.
    rgbImage frame = window.screenshot();
    const colourRegion body =
        frame.find(playerColour, arenaLeft, arenaTop, arenaRight, arenaBottom);
    int aimX = 0, aimY = 0;
    nearestEnemy(frame, body.centreX, body.centreY, aimX, aimY);
    window.moveMouse(aimX, aimY);
    const bool firstShot = fire(window, 8);
    const bool secondShot = fire(window, 8);

    // Keep the frame that shows the most of the action: shots in flight and enemies about.
    rgbImage best;
    int bestScore = -1;
    waitUntil(400ms, [&] {
        rgbImage now = window.screenshot();
        int score = now.countPatches(shotColour) * 1000 + now.find(enemyColour).count / 100;
        if (score > bestScore) {
            bestScore = score;
            best = now;
        }
        return false;
    });

    const auto elapsed = std::chrono::steady_clock::now() - started;
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const double cpu =
        std::chrono::duration<double>(session.game.process().cpuTime() - cpuAtStart).count();
    const long writes = processStats::mainThreadWrites(pid) - writesAtStart;
    const auto fps = hudReader::readNumber(window.screenshot(), 250, 22, hudGrey, "fps: ", 999);

    if (best.empty() || !best.savePpm(output)) {
        return fail("cannot save " + output);
    }
    std::printf("saved %s (%s)\n", output.c_str(),
                firstShot && secondShot ? "two shots fired" : "not every shot fired");
    std::printf("over %.1f s of play: HUD fps figure %s, frames shown %.1f per second, game "
                "processor time %.0f%% of one core\n",
                seconds, fps ? std::to_string(*fps).c_str() : "unreadable", writes / seconds,
                100 * cpu / seconds);
    return 0;
}
