#include "unitList.h"

#include <algorithm>
#include <cstddef>
#include <memory>

#include "dumbUnit.h"
#include "hitbox.h"
#include "homingUnit.h"
#include "playerUnit.h"
#include "unitGraphics.h"

namespace {
// A new unit of the request's kind, or null for a type the battle does not know.
unit* makeUnit(int type) {
    switch (type) {
    case generalTypePlayer:
        return new playerUnit();
    case generalTypeHomer:
        return new homingUnit();
    case generalTypeShot:
        return new dumbUnit();
    default:
        return nullptr;
    }
}

// Position of the last entry whose key matches, or 0 when none does.
template <typename T, typename KeyOf>
int lastMatch(const std::vector<T*>& table, int key, KeyOf keyOf) {
    int position = 0;
    for (std::size_t i = 0; i < table.size(); i++) {
        if (keyOf(table[i]) == key) {
            position = static_cast<int>(i);
        }
    }
    return position;
}

template <typename T> void deleteAll(std::vector<T*>& items) {
    for (T* item : items) {
        delete item;
    }
    items.clear();
}
} // namespace

unitCreate::unitCreate() : type(0), posX(0), posY(0), moveAngle(0), delay(0) {}

unitCreate::~unitCreate() {}

unitList::unitList() : nextUnitID(0) {}

unitList::~unitList() {
    deleteAll(units);
    deleteAll(creates);
    deleteAll(graphics);
    deleteAll(hitboxes);
}

void unitList::addUnit(unit* u) {
    units.push_back(u);
    u->setUnitID(nextUnitID);
    nextUnitID++;
}

void unitList::addGraphics(unitGraphics* g) {
    graphics.push_back(g);
}

void unitList::addHitbox(hitbox* h) {
    hitboxes.push_back(h);
}

void unitList::addCreate(unitCreate* c) {
    creates.push_back(c);
}

unit* unitList::getUnit(int index) const {
    // Through size_t, so a negative index is out of range as well.
    return units.at(static_cast<size_t>(index));
}

std::vector<unit*> unitList::search(int mode, int generalType) const {
    std::vector<unit*> found;
    if (mode != 0) {
        return found;
    }
    for (unit* u : units) {
        if (u->getGeneralType() == generalType) {
            found.push_back(u);
        }
    }
    return found;
}

int unitList::searchGraphics(int type) const {
    return lastMatch(graphics, type, [](const unitGraphics* g) { return g->type; });
}

int unitList::searchHitBox(int type) const {
    return lastMatch(hitboxes, type, [](const hitbox* h) { return h->generalType; });
}

void unitList::clearAll() {
    deleteAll(units);
    nextUnitID = 0;
    deleteAll(creates);
}

void unitList::createUnits() {
    size_t i = 0;
    while (i < creates.size()) {
        unitCreate* request = creates[i];
        if (request->delay > 0) {
            request->delay--;
            i++;
            continue;
        }
        std::unique_ptr<unit> made(makeUnit(request->type));
        if (!made) {
            // An unknown request holds up the queue behind it until the next restart.
            return;
        }
        made->setUnitGraphics(graphics.at(searchGraphics(request->type)));
        made->setMoveAngle(request->moveAngle);
        made->setPos(request->posX, request->posY);
        made->setHitbox(hitboxes.at(searchHitBox(request->type)));
        addUnit(made.release());
        creates.erase(creates.begin() + i);
        delete request;
    }
}

void unitList::cullUnits() {
    auto expired = [](unit* u) { return u->getDeathTimeRemoval() <= 0; };
    auto firstExpired =
        std::stable_partition(units.begin(), units.end(), [&](unit* u) { return !expired(u); });
    for (auto it = firstExpired; it != units.end(); ++it) {
        delete *it;
    }
    units.erase(firstExpired, units.end());
}
