#include "hitbox.h"

#include <cstddef>

hitbox::hitbox() : damage(0), knockbackTime(0), stunTime(0), generalType(0) {}

int hitbox::checkCollide(int type, bool stunned) const {
    const std::vector<int>& types = stunned ? stunnedCollideTypes : collideTypes;
    const std::vector<int>& results = stunned ? stunnedCollideResults : collideResults;
    for (std::size_t i = 0; i < types.size(); i++) {
        if (types[i] == type) {
            return results.at(i);
        }
    }
    return collideFull;
}

void hitbox::addCollide(int type, int result, bool stunned) {
    if (stunned) {
        stunnedCollideTypes.push_back(type);
        stunnedCollideResults.push_back(result);
    } else {
        collideTypes.push_back(type);
        collideResults.push_back(result);
    }
}
