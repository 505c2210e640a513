#pragma once

#include <string>

struct DATAFILE;

// Checks that a picture datafile holds what the battle reads from it, so that a wrong file is
// reported instead of crashing the game.
class picDataCheck {
  public:
    // Objects the battle reads from the file, by index.
    static constexpr int objectCount = 14;

    // What is wrong with a loaded datafile, or an empty string when the battle can use it:
    // at least 14 objects, and every object it reads a bitmap of at least 1 x 1 pixels.
    static std::string checkLoaded(const DATAFILE* file);
};
