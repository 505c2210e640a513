// Measures the real game as a user runs it, in a private X server: the time from starting it to
// its first frame on screen, then over a stretch of play (moving, aiming, firing) its processor
// use, the frames it shows, the HUD's fps figure and its resident memory. Each figure is printed
// next to the game's goal for it, as a table and as "figure NAME VALUE" lines for scripts (the
// median when there are several runs). The exit status says only whether the measuring worked,
// never whether a goal was met.
//
// Usage: measureGame [--game PATH] [--pic-data PATH] [--seconds S] [--runs R]

#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "gameSession.h"
#include "processStats.h"
#include "screenLayout.h"
#include "waitUntil.h"

using namespace std::chrono_literals;
using clockType = std::chrono::steady_clock;

namespace {
const char* const usage =
    "usage: measureGame [--game PATH] [--pic-data PATH] [--seconds S] [--runs R]";

// No frame in this long and the game is taken to be broken, not slow.
constexpr auto startLimit = 10s;
// Pause between two looks for the first frame. A look itself is one or two round trips to the
// server (well under a millisecond), so the first frame is seen about this late at most.
constexpr auto startPoll = 1ms;
// Play starts once this many enemies are in, so the battle is under way.
constexpr int enemiesBeforePlay = 5;
constexpr auto enemyLimit = 10s;
// How far from the player the clicks aim, in pixels; each aim turns on by about 137 degrees.
constexpr double aimDistance = 90;
constexpr double aimTurn = 2.4; // radians
constexpr auto buttonHeld = 100ms;
// One step of play: a key held, an aim, a click.
constexpr auto stepPace = 300ms;
constexpr auto memoryPace = 1s;

// The game's goals.
constexpr double startGoalMs = 200;
constexpr double cpuGoalPercent = 10;
constexpr double hudFpsGoal = 30; // the game's tick rate
constexpr double peakMemoryGoalMb = 20;
// Growth below this over the play counts as flat: allocator noise, not something that piles up.
constexpr double flatGrowthMb = 0.5;

enum figureIndex {
    startToFirstFrameMs,
    cpuPercent,
    mainThreadCpuPercent,
    framesShownPerSecond,
    hudFps,
    peakRssMb,
    rssStartMb,
    rssEndMb,
    rssGrowthMb,
    figureCount
};
enum class goalKind { none, under, exactly };
struct figureInfo {
    const char* name;
    const char* label;
    const char* unit;
    int decimals;
    goalKind kind;
    double goal;
};
const figureInfo figures[figureCount] = {
    {"startToFirstFrameMs", "start to first frame shown", "ms", 1, goalKind::under, startGoalMs},
    {"cpuPercent", "processor use", "% of a core", 1, goalKind::under, cpuGoalPercent},
    {"mainThreadCpuPercent", "  of which the main thread", "% of a core", 1, goalKind::none, 0},
    {"framesShownPerSecond", "frames shown", "per second", 1, goalKind::none, 0},
    {"hudFps", "HUD fps figure", "", 0, goalKind::exactly, hudFpsGoal},
    {"peakRssMb", "peak resident memory", "MB", 2, goalKind::under, peakMemoryGoalMb},
    {"rssStartMb", "resident at play start", "MB", 2, goalKind::none, 0},
    {"rssEndMb", "resident at play end", "MB", 2, goalKind::none, 0},
    {"rssGrowthMb", "growth over the play (flat)", "MB", 2, goalKind::under, flatGrowthMb},
};
using figureValues = std::array<double, figureCount>;

bool goalMet(const figureInfo& f, double value) {
    return f.kind == goalKind::under ? value < f.goal : value == f.goal;
}

// The player's hit points as the HUD shows them, if readable; the wreck of a player shows 0 or
// less.
std::optional<int> hitPointsShown(const rgbImage& frame) {
    return hudReader::readNumber(frame, 0, 0, hudGrey, "hp: ", 9, -9);
}

double millisecondsBetween(clockType::time_point from, clockType::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// printf onto the end of text.
template <typename... Values>
void appendf(std::string& text, const char* format, Values... values) {
    char line[256];
    std::snprintf(line, sizeof line, format, values...);
    text += line;
}

// Starts the game on the session's display and looks for its first drawn frame as often as the
// round trips allow; the time from start to that frame, or a negative value (with why).
double timeFirstFrame(gameSession& session, gameProcess::settings how, std::string& notes,
                      std::string& why) {
    how.display = session.display.name();
    // Stamped once the working folder is ready, so copying picData.dat there is not counted.
    clockType::time_point launched;
    how.prepare = [&](const std::string&) {
        launched = clockType::now();
        return true;
    };
    if (!session.game.start(how)) {
        why = session.game.why();
        return -1;
    }
    childProcess& game = session.game.process();
    // Only a drawn frame has the HUD bar's grey outline; the window is mapped black before it.
    bool found = false, drawn = false;
    int looks = 0;
    clockType::time_point seen = launched, mapped = launched;
    for (; !drawn; looks++) {
        if (!found && session.window.find(session.display.connection(), 0ms)) {
            found = true;
            mapped = clockType::now();
        }
        const rgbImage corner = found ? session.window.area(barLeft, 0, 1, 1) : rgbImage();
        seen = clockType::now();
        drawn = !corner.empty() && corner.at(0, 0) == hudGrey;
        if (!drawn && (!game.running() || seen - launched > startLimit)) {
            why = found ? "no frame was drawn" : "no 640 x 480 window appeared";
            why += game.running() ? " in time"
                                  : ", the game ended with status " +
                                        std::to_string(game.exitStatus().value_or(-1));
            const std::string said = session.game.errorText() + session.game.messages();
            if (!said.empty())
                why += "; it said: " + said.substr(0, said.find_last_not_of('\n') + 1);
            return -1;
        }
        if (!drawn)
            std::this_thread::sleep_for(startPoll);
    }
    const double ms = millisecondsBetween(launched, seen);
    appendf(notes, "  window seen after %.1f ms, first frame on look %d, looks %.2f ms apart\n",
            millisecondsBetween(launched, mapped), looks, ms / looks);
    return ms;
}

// Plays for seconds once a few enemies are in: a key held each step round a square, an aim
// around the player and a click. Fills in the figures of play; false (with why) on failure.
bool playAndMeasure(gameSession& session, double seconds, figureValues& value, std::string& notes,
                    std::string& why) {
    gameWindow& window = session.window;
    childProcess& game = session.game.process();
    // From here on the game's mouse is known to be where the last aim put it.
    int mouseX = restX, mouseY = restY;
    window.moveMouse(mouseX, mouseY);
    if (!waitUntil(enemyLimit, [&] {
            return homersShown(window.screenshot()).value_or(0) >= enemiesBeforePlay;
        })) {
        why = "the HUD never showed " + std::to_string(enemiesBeforePlay) + " enemies";
        return false;
    }

    const pid_t pid = game.pid();
    const auto cpuBefore = game.cpuTime();
    const auto threadsBefore = processStats::threadCpuTimes(pid);
    const long writesBefore = processStats::mainThreadWrites(pid);
    std::vector<double> resident{processStats::statusMegabytes(pid, "VmRSS")};
    const auto begin = clockType::now();
    const auto end = begin + std::chrono::duration<double>(seconds);
    auto nextSample = begin + memoryPace;
    const unsigned long keys[] = {XK_d, XK_s, XK_a, XK_w};
    // What the play looked like, to show that the player moved and fired.
    int restarts = 0, looks = 0, shotsSeen = 0;
    double lowX = arenaRight, highX = arenaLeft, lowY = arenaBottom, highY = arenaTop;
    for (int step = 0; clockType::now() < end && game.running(); step++) {
        const rgbImage frame = window.screenshot();
        if (hitPointsShown(frame).value_or(1) <= 0) {
            // With the player dead nothing would move or fire: start afresh, as a user would.
            window.holdKey(XK_F10, buttonHeld);
            restarts++;
            waitUntil(1s, [&] { return hitPointsShown(window.screenshot()).value_or(0) > 0; });
            continue;
        }
        const colourRegion player =
            frame.find(playerColour, arenaLeft, arenaTop, arenaRight, arenaBottom);
        const double x = player.count > 0 ? player.centreX : playerStartX;
        const double y = player.count > 0 ? player.centreY : playerStartY;
        looks++;
        shotsSeen += frame.find(shotColour).count > 0 ? 1 : 0;
        lowX = std::min(lowX, x), highX = std::max(highX, x);
        lowY = std::min(lowY, y), highY = std::max(highY, y);
        const int aimX = std::clamp(static_cast<int>(x + aimDistance * std::cos(step * aimTurn)),
                                    arenaLeft, arenaRight);
        const int aimY = std::clamp(static_cast<int>(y + aimDistance * std::sin(step * aimTurn)),
                                    arenaTop, arenaBottom);
        // The key stays down while the mouse moves and the button clicks, the whole step long.
        const auto stepEnd = clockType::now() + stepPace;
        window.pressKey(keys[step % 4]);
        window.moveMouseFrom(mouseX, mouseY, aimX, aimY);
        mouseX = aimX, mouseY = aimY;
        window.pressButton();
        std::this_thread::sleep_for(buttonHeld);
        window.releaseButton();
        std::this_thread::sleep_until(stepEnd);
        window.releaseKey(keys[step % 4]);
        if (clockType::now() >= nextSample) {
            resident.push_back(processStats::statusMegabytes(pid, "VmRSS"));
            nextSample += memoryPace;
        }
    }
    const double wall = millisecondsBetween(begin, clockType::now()) / 1000;
    const auto cpuAfter = game.cpuTime();
    const auto threadsAfter = processStats::threadCpuTimes(pid);
    const long writesAfter = processStats::mainThreadWrites(pid);
    resident.push_back(processStats::statusMegabytes(pid, "VmRSS"));
    const double peak = processStats::statusMegabytes(pid, "VmHWM");
    std::optional<int> fps;
    waitUntil(2s, [&] {
        fps = hudReader::readNumber(window.screenshot(), fpsTextX, textRowY, hudGrey, "fps: ", 999);
        return fps.has_value();
    });
    if (!game.running() || threadsAfter.count(pid) == 0 || writesBefore < 0 || writesAfter < 0 ||
        peak < 0 || resident.front() < 0 || resident.back() < 0) {
        why = "the game ended during play with status " +
              std::to_string(game.exitStatus().value_or(-1));
        return false;
    }
    if (!fps) {
        why = "the HUD's fps figure could not be read";
        return false;
    }

    auto percent = [&](std::chrono::milliseconds used) { return used.count() / 10.0 / wall; };
    value[cpuPercent] = percent(cpuAfter - cpuBefore);
    value[mainThreadCpuPercent] = percent(threadsAfter.at(pid) - threadsBefore.at(pid));
    value[framesShownPerSecond] = (writesAfter - writesBefore) / wall;
    value[hudFps] = *fps;
    value[peakRssMb] = peak;
    value[rssStartMb] = resident.front();
    value[rssEndMb] = resident.back();
    value[rssGrowthMb] = resident.back() - resident.front();

    // Thread ids rise in start order. Allegro starts its X event thread in allegro_init and its
    // timer thread in install_timer, as strace confirms: the second talks to the X server, the
    // third only sleeps between timer ticks.
    const char* const threadNames[] = {"main", "X events", "timer"};
    notes += "  processor use by thread (% of a core):";
    int order = 0;
    for (const auto& [tid, used] : threadsAfter) {
        const auto before = threadsBefore.find(tid);
        const std::string name = order < 3 ? threadNames[order] : std::to_string(tid);
        appendf(notes, "%s %s %.1f", order++ > 0 ? "," : "", name.c_str(),
                percent(used - (before != threadsBefore.end() ? before->second : 0ms)));
    }
    notes += "\n  resident memory each second (MB):";
    for (double mb : resident)
        appendf(notes, " %.2f", mb);
    appendf(notes,
            "\n  played %.1f s: shots in flight on %d of %d looks, player seen within x %.0f-%.0f "
            "y %.0f-%.0f, restarts after the player died %d\n",
            wall, shotsSeen, looks, lowX, highX, lowY, highY, restarts);
    return true;
}

// One run: a fresh X server and game, its start timed, then seconds of play measured. False
// (with why) when something could not be measured; notes gets what the table does not show.
bool measureRun(const gameProcess::settings& how, double seconds, figureValues& value,
                std::string& notes, std::string& why) {
    gameSession session;
    if (!session.display.start()) {
        why = session.display.why();
        return false;
    }
    value[startToFirstFrameMs] = timeFirstFrame(session, how, notes, why);
    if (value[startToFirstFrameMs] < 0) {
        return false;
    }
    if (!session.window.focus()) {
        why = "the game's window did not take the keyboard focus";
        return false;
    }
    return playAndMeasure(session, seconds, value, notes, why);
}

void printTable(const figureValues& value) {
    for (int i = 0; i < figureCount; i++) {
        const figureInfo& f = figures[i];
        std::string row;
        appendf(row, "  %-28s %9.*f %-12s", f.label, f.decimals, value[i], f.unit);
        if (f.kind != goalKind::none) {
            appendf(row, " goal %s%g%s%s: %s", f.kind == goalKind::under ? "under " : "", f.goal,
                    *f.unit != '\0' ? " " : "", f.unit, goalMet(f, value[i]) ? "met" : "NOT met");
        }
        std::printf("%s\n", row.substr(0, row.find_last_not_of(' ') + 1).c_str());
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The command line's options; false when one is unknown, lacks its value or is out of range.
bool readOptions(int argc, char** argv, gameProcess::settings& how, double& seconds, int& runs) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) {
            return false;
        }
        const std::string option = argv[i];
        const char* text = argv[i + 1];
        char* rest = nullptr;
        // The game starts in a working folder of its own, where a relative path means nothing.
        if (option == "--game") {
            how.gamePath = std::filesystem::absolute(text).string();
        } else if (option == "--pic-data") {
            how.picDataPath = std::filesystem::absolute(text).string();
        } else if (option == "--seconds") {
            seconds = std::strtod(text, &rest);
            if (!(seconds > 0) || *rest != '\0')
                return false;
        } else if (option == "--runs") {
            runs = static_cast<int>(std::strtol(text, &rest, 10));
            if (runs < 1 || *rest != '\0')
                return false;
        } else {
            return false;
        }
    }
    return true;
}

int fail(const std::string& why) {
    std::fprintf(stderr, "measureGame: %s\n", why.c_str());
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    gameProcess::settings how;
    double seconds = 20;
    int runs = 1;
    if (!readOptions(argc, argv, how, seconds, runs)) {
        return fail(usage);
    }

    std::vector<figureValues> results;
    for (int run = 1; run <= runs; run++) {
        figureValues value{};
        std::string notes, why;
        if (!measureRun(how, seconds, value, notes, why)) {
            return fail("run " + std::to_string(run) + ": " + why);
        }
        std::printf("run %d of %d (%g s of play)\n", run, runs, seconds);
        printTable(value);
        std::printf("%s", notes.c_str());
        std::fflush(stdout);
        results.push_back(value);
    }
    figureValues summary{};
    for (int i = 0; i < figureCount; i++) {
        std::vector<double> each;
        for (const figureValues& r : results)
            each.push_back(r[i]);
        summary[i] = median(each);
    }
    if (runs > 1) {
        std::printf("median of %d runs\n", runs);
        printTable(summary);
    }
    for (int i = 0; i < figureCount; i++) {
        std::printf("figure %s %.*f\n", figures[i].name, figures[i].decimals + 1, summary[i]);
    }
    return 0;
}
