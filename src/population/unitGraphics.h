#pragma once

#include <vector>

struct BITMAP;

// The picture set of one unit type: an animation (sequence of frames) per status 0 to 7, and the
// unit's size. The pictures belong to the datafile; a set only refers to them.
class unitGraphics {
  public:
    static constexpr int statusCount = 8;

    // Type 0, size 0, eight empty animations.
    unitGraphics();
    // Releases nothing: the pictures are the datafile's.
    ~unitGraphics();

    // Appends pic to the animation of `status`; a status-0 picture also sets the size to its
    // width. Returns 0, or -1 (and changes nothing) for a status outside 0 to 7.
    int insertPic(BITMAP* pic, int status);
    // Frame `frame` of the animation of `status`, or null when either is out of range.
    BITMAP* getPic(int status, int frame) const;
    // Number of frames of `status`, or -1 for a status outside 0 to 7.
    int getSizeOfVector(int status) const;
    // Width in pixels of the last status-0 picture: the unit's collision and boundary size.
    int getPicSize() const { return picSize; }

    int type; // the unit type this set is for; the key the unit list searches

  private:
    int picSize;
    std::vector<BITMAP*> picSets[statusCount];
};
