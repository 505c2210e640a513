#include <gtest/gtest.h>

#include "hitbox.h"

namespace {

TEST(hitboxTables, aNewHitboxAnswersFullContactForEveryType) {
    hitbox box;
    for (int type = -1; type <= 4; type++) {
        EXPECT_EQ(box.checkCollide(type, false), collideFull);
        EXPECT_EQ(box.checkCollide(type, true), collideFull);
    }
    EXPECT_EQ(box.damage, 0);
    EXPECT_EQ(box.knockbackTime, 0);
    EXPECT_EQ(box.stunTime, 0);
    EXPECT_EQ(box.generalType, 0);
}

TEST(hitboxTables, theStunnedAndOrdinaryTablesAreNeverCombined) {
    hitbox box;
    box.addCollide(2, collideKnockbackOnly, false);
    box.addCollide(1, collideNone, true);
    EXPECT_EQ(box.checkCollide(2, false), collideKnockbackOnly);
    EXPECT_EQ(box.checkCollide(2, true), collideFull);
    EXPECT_EQ(box.checkCollide(1, true), collideNone);
    EXPECT_EQ(box.checkCollide(1, false), collideFull);
}

TEST(hitboxTables, theFirstMatchingEntryWins) {
    hitbox box;
    box.addCollide(3, collideDamageOnly, false);
    box.addCollide(1, collideNone, false);
    box.addCollide(1, collideDamageOnly, false);
    EXPECT_EQ(box.checkCollide(1, false), collideNone);
    EXPECT_EQ(box.checkCollide(3, false), collideDamageOnly);
}

TEST(hitboxTables, anUnknownResultComesBackUnchanged) {
    hitbox box;
    box.addCollide(2, 42, false);
    EXPECT_EQ(box.checkCollide(2, false), 42);
    EXPECT_EQ(box.collideTypes.size(), box.collideResults.size());
}

} // namespace
