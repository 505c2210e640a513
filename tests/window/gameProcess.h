#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "childProcess.h"

// The game, started in a scratch folder of its own that the destructor removes again. The
// folder holds the game's working folder (with or without a copy of picData.dat) and a
// stand-in for xmessage, first in the game's PATH, that records each message it is asked to
// show instead of waiting for a click.
class gameProcess {
  public:
    struct settings {
        std::string gamePath = ARENA_GAME_PATH;
        std::string picDataPath = ARENA_PIC_DATA_PATH;
        std::string display;       // DISPLAY for the game; empty: no DISPLAY at all
        bool withPicData = true;   // copy picData.dat into the working folder
        bool holdMessages = false; // the stand-in waits for releaseMessages, like a dialog
        // A program and its options that run the game, such as {"/usr/bin/valgrind", "-q"}: the
        // game's path is appended as its last argument. Empty: the game runs by itself.
        std::vector<std::string> wrapper;
        // Called with the working folder once it exists and before the game starts, to put
        // files there (a spoilt picData.dat, say); returning false stops the start.
        std::function<bool(const std::string& workingFolder)> prepare;
    };

    gameProcess() = default;
    // Kills and reaps the game, then removes the scratch folder.
    ~gameProcess();
    gameProcess(const gameProcess&) = delete;
    gameProcess& operator=(const gameProcess&) = delete;

    // Prepares the scratch folder and starts the game; false (with why()) on failure.
    bool start(const settings& how);
    // The running game process (pid, exit status, processor time).
    childProcess& process() { return game; }
    // Waits up to limit for the game to end: its exit status, or nothing if still running.
    std::optional<int> waitForExit(std::chrono::milliseconds limit) {
        return game.waitForExit(limit);
    }

    // The game's working folder, an absolute path.
    const std::string& workingFolder() const { return work; }
    // All the game has written to standard error so far.
    std::string errorText() const;
    // Everything the stand-in was asked to show, each call's arguments joined by spaces and
    // ended by a newline; empty if it was never run.
    std::string messages() const;
    // Lets a held message go, so the game goes on as after a click on the dialog.
    void releaseMessages();
    // Why start failed.
    const std::string& why() const { return problem; }

  private:
    childProcess game;
    std::string scratch, work, tools;
    std::string problem;
};
