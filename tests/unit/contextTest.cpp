#include <gtest/gtest.h>

#include "arena.h"
#include "cursor.h"
#include "dataObj.h"
#include "inputObj.h"
#include "testWorld.h"
#include "videoSettings.h"

namespace {

TEST(gameContext, defaultsAreTheGamesConstants) {
    startHeadlessAllegro();
    dataObj data;
    ASSERT_NE(data.getVideoSettings(), nullptr);
    ASSERT_NE(data.getInputObj(), nullptr);
    ASSERT_NE(data.getArena(), nullptr);
    EXPECT_EQ(data.getDatafile(), nullptr);

    videoSettings* video = data.getVideoSettings();
    int a = 0, b = 0, c = 0;
    video->getResolution(a, b);
    EXPECT_EQ(a, 640);
    EXPECT_EQ(b, 480);
    video->getBackgroundColor(a, b, c);
    EXPECT_EQ(a, 32);
    EXPECT_EQ(b, 32);
    EXPECT_EQ(c, 32);
    video->getCamera(a, b);
    EXPECT_EQ(a, 160);
    EXPECT_EQ(b, 50);
    EXPECT_EQ(video->getGameOffsetX(), 0);
    EXPECT_EQ(video->getGameOffsetY(), 0);

    arena* field = data.getArena();
    EXPECT_EQ(field->getArenaSizeX(), 500);
    EXPECT_EQ(field->getArenaSizeY(), 400);
    EXPECT_EQ(field->getArenaPic(), nullptr);
    EXPECT_EQ(field->getKnockbackCap(), 1310720);
}

TEST(gameContext, knockbackCapIsHandedOutByReference) {
    arena field;
    fixed& cap = field.getKnockbackCap();
    fixed lower = itofix(7);
    field.setKnockbackCap(lower);
    EXPECT_EQ(cap, itofix(7)) << "the reference sees the arena's current value";
    cap = itofix(3);
    EXPECT_EQ(field.getKnockbackCap(), itofix(3));
}

TEST(gameContext, cursorKeepsDrawnAndWantedPositionsApart) {
    cursor pointer;
    int x = -1, y = -1;
    pointer.getCursor(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    pointer.setCursorShouldBe(100, 120);
    pointer.getCursor(x, y);
    EXPECT_EQ(x, 0) << "only drawing moves the drawn position";
    pointer.getCursorShouldBe(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 120);
    EXPECT_EQ(pointer.getCursorPic(), nullptr);
}

TEST(gameContext, missingDatafileIsReportedAsNull) {
    startHeadlessAllegro();
    dataObj data;
    EXPECT_EQ(data.setDatafile("/nonexistent/picData.dat"), nullptr);
    EXPECT_EQ(data.getDatafile(), nullptr);
}

} // namespace
