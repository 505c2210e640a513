#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One exact 24-bit colour, as the game draws it.
struct rgbColour {
    int r, g, b;
    bool operator==(const rgbColour& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const rgbColour& o) const { return !(*this == o); }
};

// Where the pixels of one colour lie. Empty (count 0) when there are none; the other fields
// are then meaningless.
struct colourRegion {
    int count = 0;
    int minX = 0, minY = 0, maxX = 0, maxY = 0; // bounding box, inclusive, in pixels
    double centreX = 0, centreY = 0;            // centroid, in pixels
    double spreadXY = 0; // mean of (x - centreX) * (y - centreY): its sign tells / from \.

    int width() const { return count == 0 ? 0 : maxX - minX + 1; }
    int height() const { return count == 0 ? 0 : maxY - minY + 1; }
};

// A picture of width x height pixels, 8 bits per channel, rows top to bottom.
class rgbImage {
  public:
    rgbImage() = default;
    // A picture filled with one colour.
    rgbImage(int width, int height, rgbColour fill = {0, 0, 0});

    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return w == 0 || h == 0; }

    // The colour at (x, y); (x, y) must lie inside the picture.
    rgbColour at(int x, int y) const;
    void set(int x, int y, rgbColour c);

    // Counts, bounding box and centroid of the pixels that are exactly colour c, looking only
    // inside the rectangle from (x0, y0) to (x1, y1) inclusive (clipped to the picture).
    colourRegion find(rgbColour c, int x0, int y0, int x1, int y1) const;
    // The same over the whole picture.
    colourRegion find(rgbColour c) const { return find(c, 0, 0, w - 1, h - 1); }
    // Number of separate 8-connected patches of colour c; touching things count as one.
    int countPatches(rgbColour c) const;

    // Writes a binary PPM (P6); false when the file cannot be written.
    bool savePpm(const std::string& path) const;

  private:
    int w = 0, h = 0;
    std::vector<std::uint8_t> rgb; // 3 bytes per pixel
};
