#pragma once

#include <vector>

// What a contact between two units does, as looked up in a hitbox's tables.
enum collideResult {
    collideFull = 0,       // knockback and damage with stun; also the answer when nothing matches
    collideDamageOnly = 1, // damage and stun, no knockback
    collideKnockbackOnly = 2, // knockback only
    collideNone = 3,          // the two units do not touch
};

// How the units of one general type behave on contact: what they inflict on a unit touching
// them, and per other general type which kind of contact applies (one table for while stunned).
class hitbox {
  public:
    // All numbers 0, tables empty.
    hitbox();

    // The result for contact with a unit of general type `type`, from the stunned table when
    // `stunned`, else from the ordinary one; the first matching entry wins, no match gives 0.
    int checkCollide(int type, bool stunned) const;
    // Appends (type, result) to the stunned table when `stunned`, else to the ordinary one.
    void addCollide(int type, int result, bool stunned);

    int damage;        // hit points taken from a unit that touches this type
    int knockbackTime; // ticks of knockback given to it
    int stunTime;      // ticks of stun given with the damage
    int generalType;   // the general type this hitbox is for
    std::vector<int> collideTypes;
    std::vector<int> collideResults;
    std::vector<int> stunnedCollideTypes;
    std::vector<int> stunnedCollideResults;
};
