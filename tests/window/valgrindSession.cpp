// The real game under valgrind's memcheck: a scripted session in a real window (moving, aiming,
// firing, F10, then ESC), after which valgrind's log is read for memory errors and for leaks of
// the game's own code. ARENA_VALGRIND_PLAY_SECONDS sets the length of play and ARENA_VALGRIND_LOG
// a path to keep valgrind's whole log at; scripts/valgrind.sh runs the long session.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "gameSession.h"
#include "hudReader.h"
#include "screenLayout.h"
#include "waitUntil.h"

using namespace std::chrono_literals;

namespace {
constexpr int defaultPlaySeconds = 7;
// Under memcheck the game starts and runs several times slower, and the leak check at its end
// takes a while.
constexpr std::chrono::seconds startLimit(60);
constexpr std::chrono::seconds exitLimit(60);
// What valgrind exits with when it found an error; the game itself only uses 0 and 1.
constexpr int valgrindErrorStatus = 99;
const char* const logName = "valgrind.log";

int playSeconds() {
    const char* text = std::getenv("ARENA_VALGRIND_PLAY_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : defaultPlaySeconds;
}

// One error or loss record of valgrind's log: its first line, then its stack frames and notes.
struct record {
    std::string what;
    std::vector<std::string> lines;

    std::string text() const {
        std::string all = what + "\n";
        for (const std::string& line : lines)
            all += line + "\n";
        return all;
    }
};

// valgrind's log without its "==pid== " prefixes, split at its blank lines.
std::vector<record> readRecords(const std::string& path) {
    std::ifstream log(path);
    std::vector<record> records;
    record current;
    std::string line;
    auto flush = [&] {
        if (!current.what.empty())
            records.push_back(current);
        current = record();
    };
    while (std::getline(log, line)) {
        // Errors come as "==pid== text", notes such as used suppressions as "--pid-- text".
        const std::string mark = line.substr(0, 2);
        const size_t end = line.find(mark + " ", 2);
        const std::string body = (mark == "==" || mark == "--") && end != std::string::npos
                                     ? line.substr(end + 3)
                                     : line;
        if (body.find_first_not_of(' ') == std::string::npos) {
            flush();
        } else if (current.what.empty()) {
            current.what = body;
        } else {
            current.lines.push_back(body);
        }
    }
    flush();
    return records;
}

// The file names of the game's own sources, as valgrind prints them in a frame: "(unit.cpp:52)".
std::set<std::string> ownSourceNames() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(ARENA_SOURCE_FOLDER)) {
        if (entry.is_regular_file())
            names.insert(entry.path().filename().string());
    }
    return names;
}

bool inOwnCode(const record& r, const std::set<std::string>& own) {
    for (const std::string& line : r.lines) {
        const size_t open = line.rfind('(');
        const size_t colon = line.rfind(':');
        if (line.find(" 0x") != std::string::npos && open != std::string::npos &&
            colon != std::string::npos && colon > open &&
            own.count(line.substr(open + 1, colon - open - 1)) > 0) {
            return true;
        }
    }
    return false;
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

bool isMemoryError(const record& r) {
    return startsWith(r.what, "Invalid ") || startsWith(r.what, "Mismatched free") ||
           r.what.find("uninitialised") != std::string::npos ||
           startsWith(r.what, "Source and destination overlap");
}

// The value after "name:" in valgrind's summary, such as "0 bytes in 0 blocks"; empty if absent.
std::string summaryValue(const std::vector<record>& records, const std::string& name) {
    for (const record& r : records) {
        std::vector<std::string> lines = r.lines;
        lines.insert(lines.begin(), r.what);
        for (const std::string& line : lines) {
            const size_t at = line.find(name + ":");
            if (at != std::string::npos && line.find_first_not_of(' ') == at)
                return line.substr(at + name.size() + 2);
        }
    }
    return "";
}

// What the game showed of the session, so that a clean report is known to cover it.
struct seen {
    bool enemies = false; // some enemies came in
    bool shot = false;    // a shot was in flight
    bool restart = false; // F10 emptied the battle
    int fps = -1;         // the timer rate shown at the end of play
};

// Plays for the given time: walks about, aims at the corners of the arena and fires, restarts
// once half-way, then holds ESC until the game has ended.
seen play(gameSession& session, std::chrono::seconds length) {
    gameWindow& window = session.window;
    struct step {
        int aimX, aimY;
        unsigned long keys[2];
    };
    const step steps[] = {{540, 240, {XK_d, 0}}, {320, 60, {XK_w, XK_a}},
                          {100, 400, {XK_s, 0}}, {560, 420, {XK_s, XK_d}},
                          {120, 60, {XK_a, 0}},  {320, 420, {XK_w, XK_d}}};
    const auto started = std::chrono::steady_clock::now();
    seen shown;
    for (size_t i = 0; std::chrono::steady_clock::now() - started < length; i++) {
        const step& s = steps[i % std::size(steps)];
        window.moveMouse(s.aimX, s.aimY);
        for (unsigned long k : s.keys) {
            if (k != 0)
                window.pressKey(k);
        }
        // The game polls slowly under memcheck: a button held this long is seen.
        window.pressButton();
        std::this_thread::sleep_for(300ms);
        window.releaseButton();
        for (unsigned long k : s.keys) {
            if (k != 0)
                window.releaseKey(k);
        }
        const rgbImage frame = window.screenshot();
        shown.enemies = shown.enemies || homersShown(frame).value_or(0) > 0;
        // The slowed game may fire a tick or two after the release, and a shot is soon gone:
        // look for one over the next second until one has been seen.
        shown.shot = shown.shot ||
                     waitUntil(1s, [&] { return window.screenshot().find(shotColour).count > 0; });
        if (!shown.restart && std::chrono::steady_clock::now() - started > length / 2) {
            window.holdKey(XK_F10, 300ms);
            // The first enemy of the new battle comes 10 ticks after the restart.
            shown.restart = waitUntil(2s, [&] { return homersShown(window.screenshot()) == 0; });
        }
    }
    shown.fps = hudReader::readNumber(window.screenshot(), fpsTextX, textRowY, hudGrey, "fps: ", 99)
                    .value_or(-1);
    // Held until the game is gone: the slowed game must have seen it.
    window.pressKey(XK_Escape);
    session.game.waitForExit(exitLimit);
    window.releaseKey(XK_Escape);
    return shown;
}
} // namespace

TEST(valgrind, aPlayedSessionHasNoMemoryErrorsAndLosesNoMemoryOfItsOwn) {
    gameSession session;
    gameProcess::settings how;
    how.wrapper = {ARENA_VALGRIND_PATH, "--leak-check=full", "--errors-for-leak-kinds=definite",
                   "--error-exitcode=" + std::to_string(valgrindErrorStatus), "--track-origins=yes",
                   "--num-callers=40", "--show-error-list=yes",
                   // Ready-made entries for tests/valgrind/arenaBattle.supp, next to each error.
                   "--gen-suppressions=all", "--suppressions=" ARENA_VALGRIND_SUPPRESSIONS,
                   std::string("--log-file=") + logName};
    ASSERT_TRUE(session.open(how, startLimit)) << session.why();
    const std::chrono::seconds length(playSeconds());
    const seen shown = play(session, length);

    const std::optional<int> status = session.game.process().exitStatus();
    ASSERT_TRUE(status.has_value())
        << "the game still ran " << exitLimit.count() << " s after ESC was pressed";
    const std::string log = session.game.workingFolder() + "/" + logName;
    if (const char* keep = std::getenv("ARENA_VALGRIND_LOG")) {
        std::error_code ignored;
        std::filesystem::copy_file(log, keep, std::filesystem::copy_options::overwrite_existing,
                                   ignored);
    }
    const std::vector<record> records = readRecords(log);
    std::cout << "valgrind, " << length.count() << " s of play:\n";
    for (const char* name : {"ERROR SUMMARY", "in use at exit", "definitely lost",
                             "indirectly lost", "possibly lost", "still reachable", "suppressed"}) {
        std::cout << "  " << name << ": " << summaryValue(records, name) << "\n";
    }
    for (const record& r : records) {
        if (startsWith(r.what, "used_suppression:"))
            std::cout << "  " << r.what << "\n";
        for (const std::string& line : r.lines) {
            if (startsWith(line, "used_suppression:"))
                std::cout << "  " << line << "\n";
        }
    }

    std::cout << "  the timer rate shown at the end of play: " << shown.fps << " fps\n";
    EXPECT_TRUE(shown.enemies) << "no enemy came in: the battle did not run";
    EXPECT_TRUE(shown.shot) << "no shot was seen: the clicks did not fire";
    EXPECT_TRUE(shown.restart) << "F10 did not empty the battle";
    EXPECT_EQ(*status, 0) << (*status == valgrindErrorStatus ? "valgrind found errors"
                                                             : "the game failed");
    EXPECT_TRUE(startsWith(summaryValue(records, "ERROR SUMMARY"), "0 errors"))
        << summaryValue(records, "ERROR SUMMARY");
    ASSERT_FALSE(summaryValue(records, "definitely lost").empty() &&
                 summaryValue(records, "in use at exit").empty())
        << "valgrind's log has no heap summary: did the game end normally?";

    const std::set<std::string> own = ownSourceNames();
    for (const record& r : records) {
        // --show-error-list repeats every error at the end; each is judged once.
        if (startsWith(r.what, "used_suppression:") || startsWith(r.what, "ERROR SUMMARY"))
            continue;
        const bool ours = inOwnCode(r, own);
        if (isMemoryError(r)) {
            ADD_FAILURE() << (ours ? "in the game's code: " : "in a library: ") << r.text();
        } else if (r.what.find("definitely lost") != std::string::npos ||
                   r.what.find("indirectly lost") != std::string::npos) {
            ADD_FAILURE() << (ours ? "lost by the game's code: " : "lost by a library: ")
                          << r.text();
        }
    }
}
