#pragma once

#include <string>
#include <vector>

struct DATAFILE;

// Checks that a picture datafile holds what the battle reads from it, so that a wrong file is
// reported instead of crashing the game. Each check returns a short lower-case reason that fits
// "picData.dat ... is unusable: <reason>.", or an empty string when there is nothing wrong.
class picDataCheck {
  public:
    // Largest picture accepted, in pixels, either side.
    static constexpr int maxPictureSide = 4096;
    // Deepest nesting of datafiles inside datafiles that is accepted.
    static constexpr int maxNesting = 8;

    // What is wrong with the structure of the file at fileName, or "" when it is safe to hand to
    // Allegro's load_datafile: it exists, is an Allegro datafile (compressed or not) whose every
    // object, nested ones too, is whole and holds exactly the bytes its header implies, with
    // pictures of 1 to 4096 pixels a side in a colour depth Allegro knows. Reads the file once,
    // in small pieces, and allocates nothing in proportion to the sizes it declares.
    static std::string checkFile(const char* fileName);

    // What is wrong with a loaded datafile, or an empty string when the battle can use it: every
    // object of picturesRead (increasing indexes) is there and is a bitmap of at least 1 x 1.
    static std::string checkLoaded(const DATAFILE* file, const std::vector<int>& picturesRead);
};
