#pragma once

#include "unit.h"

// The player's shot: flies straight on at full speed until it hits something or the boundary.
class dumbUnit : public unit {
  public:
    // 20.0 pixels per tick, general type 3, removed in the tick it is found dead, dies at the
    // boundary.
    dumbUnit();

    // Full speed along the angle it was created with, whatever its status.
    void processInput(dataObj* data, unitList* list) override;
};
