#pragma once

#include <chrono>
#include <string>

#include "gameProcess.h"
#include "gameWindow.h"
#include "virtualDisplay.h"

// A private X server with the game running on it, its window found and focused. Members are
// ended in reverse order: first the game, then the server.
class gameSession {
  public:
    // Starts the server and the game as told (its display is filled in here) and waits up to
    // limit for the game's window to be shown and focused; false (with why()) if any step fails.
    bool open(gameProcess::settings how = {},
              std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
    // Why open failed.
    const std::string& why() const { return problem; }

    virtualDisplay display;
    gameProcess game;
    gameWindow window;

  private:
    std::string problem;
};
