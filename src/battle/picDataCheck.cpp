#include "picDataCheck.h"

#include <allegro.h>

namespace {
// Objects 4 and 8 are never read; every other one is taken as a picture.
bool isRead(int index) {
    return index != 4 && index != 8;
}
} // namespace

std::string picDataCheck::checkLoaded(const DATAFILE* file) {
    if (file == nullptr) {
        return "it cannot be loaded";
    }
    int count = 0;
    while (count < objectCount && file[count].type != DAT_END) {
        count++;
    }
    if (count < objectCount) {
        return "it holds " + std::to_string(count) + " objects, the game needs " +
               std::to_string(objectCount);
    }
    for (int i = 0; i < objectCount; i++) {
        if (!isRead(i)) {
            continue;
        }
        if (file[i].type != DAT_BITMAP || file[i].dat == nullptr) {
            return "object " + std::to_string(i) + " is not a bitmap";
        }
        const BITMAP* pic = static_cast<const BITMAP*>(file[i].dat);
        // An empty picture would give a unit of size 0 or nothing to stretch over the arena.
        if (pic->w <= 0 || pic->h <= 0) {
            return "object " + std::to_string(i) + " is an empty picture (" +
                   std::to_string(pic->w) + " x " + std::to_string(pic->h) + ")";
        }
    }
    return "";
}
