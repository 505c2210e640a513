#pragma once

#include <optional>
#include <string>

#include "rgbImage.h"

// Reads a number out of a line of HUD text such as "Homers: 12" by comparing the screenshot
// with the same text drawn in Allegro's built-in font, as the game draws it.
class hudReader {
  public:
    // The n in the text prefix + n (smallest <= n <= largest) drawn in colour c with its
    // top-left corner at (x, y), or nothing if no such text is there exactly (absent, covered,
    // or a different text). Pixels of colour c right of the text up to the width of the longest
    // candidate must be absent, so "Homers: 1" is not read from "Homers: 12".
    static std::optional<int> readNumber(const rgbImage& screen, int x, int y, rgbColour c,
                                         const std::string& prefix, int largest, int smallest = 0);
    // True if exactly the text is drawn in colour c at (x, y).
    static bool shows(const rgbImage& screen, int x, int y, rgbColour c, const std::string& text);
};
