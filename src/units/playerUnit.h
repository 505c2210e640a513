#pragma once

#include "unit.h"

// The unit the user steers: W, A, S, D move it, it faces the cursor, a left click fires a shot.
class playerUnit : public unit {
  public:
    // 15.0 pixels per tick, 3 hit points, general type 1.
    playerUnit();

    // Faces the cursor, reads the movement keys and turns a left click into a pending attack.
    // Does nothing while dead or stunned, so the last movement carries on.
    void processInput(dataObj* data, unitList* list) override;
    // Queues a shot at the position before this tick's move, along the facing.
    void addAttacks(dataObj* data, unitList* list, int attack) override;
};
