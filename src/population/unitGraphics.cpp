#include "unitGraphics.h"

#include <allegro.h>

namespace {
// Unsigned comparison, so that negative values are out of range as well.
bool inRange(int index, size_t size) {
    return static_cast<unsigned>(index) < size;
}
} // namespace

unitGraphics::unitGraphics() : type(0), picSize(0) {}

unitGraphics::~unitGraphics() {}

int unitGraphics::insertPic(BITMAP* pic, int status) {
    if (!inRange(status, statusCount)) {
        return -1;
    }
    picSets[status].push_back(pic);
    if (status == 0) {
        picSize = pic->w;
    }
    return 0;
}

BITMAP* unitGraphics::getPic(int status, int frame) const {
    if (!inRange(status, statusCount) || !inRange(frame, picSets[status].size())) {
        return nullptr;
    }
    return picSets[status][frame];
}

int unitGraphics::getSizeOfVector(int status) const {
    if (!inRange(status, statusCount)) {
        return -1;
    }
    return static_cast<int>(picSets[status].size());
}
