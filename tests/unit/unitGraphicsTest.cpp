#include <gtest/gtest.h>

#include "testWorld.h"
#include "unitGraphics.h"

namespace {

class pictureSets : public ::testing::Test {
  protected:
    void SetUp() override {
        startHeadlessAllegro();
        small = create_bitmap(32, 20);
        large = create_bitmap(40, 40);
        other = create_bitmap(8, 8);
    }
    void TearDown() override {
        destroy_bitmap(small);
        destroy_bitmap(large);
        destroy_bitmap(other);
    }
    BITMAP* small = nullptr;
    BITMAP* large = nullptr;
    BITMAP* other = nullptr;
};

TEST_F(pictureSets, aFreshSetIsEmpty) {
    unitGraphics set;
    EXPECT_EQ(set.type, 0);
    EXPECT_EQ(set.getPicSize(), 0);
    for (int status = 0; status < 8; status++) {
        EXPECT_EQ(set.getSizeOfVector(status), 0);
        EXPECT_EQ(set.getPic(status, 0), nullptr);
    }
}

TEST_F(pictureSets, statusesOutsideZeroToSevenAreRefusedAndChangeNothing) {
    unitGraphics set;
    set.insertPic(other, 7);
    EXPECT_EQ(set.insertPic(small, 8), -1);
    EXPECT_EQ(set.insertPic(small, -1), -1);
    EXPECT_EQ(set.insertPic(small, -2147483647 - 1), -1);
    for (int status = 0; status < 7; status++) {
        EXPECT_EQ(set.getSizeOfVector(status), 0);
    }
    EXPECT_EQ(set.getSizeOfVector(7), 1);
    EXPECT_EQ(set.getPicSize(), 0);
    EXPECT_EQ(set.getSizeOfVector(8), -1);
    EXPECT_EQ(set.getSizeOfVector(-1), -1);
    EXPECT_EQ(set.getPic(-1, 0), nullptr);
    EXPECT_EQ(set.getPic(8, 0), nullptr);
    EXPECT_EQ(set.getPic(7, -1), nullptr);
}

TEST_F(pictureSets, sizeFollowsTheWidthOfTheLastStatusZeroPicture) {
    unitGraphics set;
    EXPECT_EQ(set.insertPic(small, 0), 0);
    EXPECT_EQ(set.getPicSize(), 32) << "width, not height";
    set.insertPic(large, 0);
    EXPECT_EQ(set.getPicSize(), 40);
    set.insertPic(other, 6);
    EXPECT_EQ(set.getPicSize(), 40) << "other statuses leave the size alone";
}

TEST_F(pictureSets, framesKeepTheirOrderAndEndAtTheLast) {
    unitGraphics set;
    set.insertPic(small, 2);
    set.insertPic(large, 2);
    EXPECT_EQ(set.getSizeOfVector(2), 2);
    EXPECT_EQ(set.getPic(2, 0), small);
    EXPECT_EQ(set.getPic(2, 1), large);
    EXPECT_EQ(set.getPic(2, 2), nullptr);
}

} // namespace
