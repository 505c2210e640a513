#pragma once

#include "unit.h"

// The enemy: every tick it turns straight at the player and walks towards it.
class homingUnit : public unit {
  public:
    // Heading 20 angle units, 2.0 pixels per tick, general type 2, 5 hit points.
    homingUnit();

    // Faces and walks at the earliest-added player; keeps its heading while dead or stunned or
    // when there is no player.
    void processInput(dataObj* data, unitList* list) override;

  protected:
    fixed homingAngle; // heading towards the target, kept from tick to tick
};
