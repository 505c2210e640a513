#include <gtest/gtest.h>

#include <utility>

#include "cursor.h"
#include "inputObj.h"
#include "testWorld.h"

namespace {

// Drives Allegro's own input state, as the keyboard and mouse drivers would.
class inputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        startHeadlessAllegro();
        release();
    }
    void TearDown() override { release(); }

    static void release() {
        for (int k = 0; k < KEY_MAX; k++) {
            key[k] = 0;
        }
        mouse_b = 0;
        mouse_x = 0;
        mouse_y = 0;
    }
    void poll(bool tickPending) { input.processInput(640, 480, tickPending); }
    bool clicked(int index) const { return input.getKeyWasClicked()->at(index); }
    bool held(int index) const { return input.getKeyWasHit()->at(index); }
    bool mouseClicked(int button) const { return input.getMouseWasClicked()->at(button); }
    // Where the cursor is wanted after a poll with the mouse at (mouseX, mouseY).
    std::pair<int, int> cursorAfterPoll(int mouseX, int mouseY, bool tickPending) {
        mouse_x = mouseX;
        mouse_y = mouseY;
        poll(tickPending);
        int x = -1, y = -1;
        input.getCursor()->getCursorShouldBe(x, y);
        return {x, y};
    }

    inputObj input;
};

TEST_F(inputTest, keyMapIsWSADSpaceF10AndEveryFlagStartsClear) {
    const std::vector<int> expected = {KEY_W, KEY_S, KEY_A, KEY_D, KEY_SPACE, KEY_F10};
    EXPECT_EQ(*input.getKeyMap(), expected);
    int keys = 0;
    input.getNumberOfKeys(keys);
    EXPECT_EQ(keys, 6);
    EXPECT_EQ(*input.getKeyWasHit(), std::vector<bool>(6, false));
    EXPECT_EQ(*input.getKeyWasClicked(), std::vector<bool>(6, false));
    EXPECT_EQ(*input.getMouseWasHit(), std::vector<bool>(3, false));
    EXPECT_EQ(*input.getMouseWasClicked(), std::vector<bool>(3, false));
    int wait = -1;
    bool mouseLast = true;
    bool keyThisFrame = true;
    input.getInputWait(wait);
    input.getMouseUsedLast(mouseLast);
    input.getKeyWasHitThisFrame(keyThisFrame);
    EXPECT_EQ(wait, 0);
    EXPECT_FALSE(mouseLast);
    EXPECT_FALSE(keyThisFrame);
    ASSERT_NE(input.getCursor(), nullptr);
}

TEST_F(inputTest, heldKeyIsHitOnEveryPollAndClicksOnlyWhenReleased) {
    key[KEY_D] = 1;
    for (int i = 0; i < 3; i++) {
        poll(true);
        EXPECT_TRUE(held(inputObj::keyRight));
        EXPECT_FALSE(clicked(inputObj::keyRight));
    }
    key[KEY_D] = 0;
    poll(true);
    EXPECT_FALSE(held(inputObj::keyRight));
    EXPECT_TRUE(clicked(inputObj::keyRight));
    poll(true);
    EXPECT_FALSE(clicked(inputObj::keyRight)) << "one release gives one click";
}

TEST_F(inputTest, pressAndReleaseBetweenPollsIsNeverSeen) {
    poll(true);
    key[KEY_W] = 1;
    key[KEY_W] = 0;
    poll(true);
    EXPECT_FALSE(held(inputObj::keyUp));
    EXPECT_FALSE(clicked(inputObj::keyUp));
}

TEST_F(inputTest, aReleaseBetweenTicksStaysLatchedAndReachesTheNextTickOnce) {
    key[KEY_F10] = 1;
    poll(false);
    key[KEY_F10] = 0;
    poll(false);
    EXPECT_TRUE(clicked(inputObj::keyRestart));
    poll(false);
    poll(false);
    EXPECT_TRUE(clicked(inputObj::keyRestart)) << "latched across polls without a tick";
    poll(true);
    EXPECT_TRUE(clicked(inputObj::keyRestart)) << "handed to the next tick, not thrown away";
    poll(false);
    EXPECT_TRUE(clicked(inputObj::keyRestart));
    poll(true);
    EXPECT_FALSE(clicked(inputObj::keyRestart)) << "seen by one tick only";
}

TEST_F(inputTest, aReleaseBetweenTicksIsNotCountedTwiceByANewRelease) {
    mouse_b = 1;
    poll(false);
    mouse_b = 0;
    poll(false); // latched
    mouse_b = 1;
    poll(false);
    mouse_b = 0;
    poll(true); // a second release on the tick's own poll
    EXPECT_TRUE(mouseClicked(inputObj::mouseLeft));
    poll(true);
    EXPECT_FALSE(mouseClicked(inputObj::mouseLeft));
}

TEST_F(inputTest, releaseOnAPollWithATickPendingIsSeenByThatTickOnly) {
    mouse_b = 1;
    poll(true);
    mouse_b = 0;
    poll(true);
    EXPECT_TRUE(mouseClicked(inputObj::mouseLeft));
    poll(true);
    EXPECT_FALSE(mouseClicked(inputObj::mouseLeft));
}

TEST_F(inputTest, eachMouseButtonHasItsOwnBit) {
    mouse_b = 2 | 4;
    poll(true);
    EXPECT_EQ(*input.getMouseWasHit(), (std::vector<bool>{false, true, true}));
    mouse_b = 4;
    poll(true);
    EXPECT_EQ(*input.getMouseWasClicked(), (std::vector<bool>{false, true, false}));
    mouse_b = 0;
    poll(true);
    EXPECT_EQ(*input.getMouseWasClicked(), (std::vector<bool>{false, false, true}));
}

TEST_F(inputTest, cursorIsClampedToZeroAndToTheBoundsThemselves) {
    EXPECT_EQ(cursorAfterPoll(-30, -5, true), std::make_pair(0, 0));
    EXPECT_EQ(cursorAfterPoll(5000, 481, true), std::make_pair(640, 480));
    EXPECT_EQ(cursorAfterPoll(640, 480, false), std::make_pair(640, 480));
    EXPECT_EQ(cursorAfterPoll(123, 45, false), std::make_pair(123, 45));
}

TEST_F(inputTest, mouseButtonWinsOverAKeyForTheLastDeviceUsed) {
    bool mouseLast = false;
    key[KEY_W] = 1;
    poll(true);
    input.getMouseUsedLast(mouseLast);
    EXPECT_FALSE(mouseLast);

    mouse_b = 1;
    poll(true);
    input.getMouseUsedLast(mouseLast);
    EXPECT_TRUE(mouseLast) << "a button down in the same poll as a key";

    mouse_b = 0;
    poll(true);
    input.getMouseUsedLast(mouseLast);
    EXPECT_FALSE(mouseLast) << "only the key is down now";
}

TEST_F(inputTest, spaceChangesOnlyItsOwnFlags) {
    key[KEY_SPACE] = 1;
    poll(true);
    key[KEY_SPACE] = 0;
    poll(true);
    std::vector<bool> expected(6, false);
    expected[inputObj::keySpace] = true;
    EXPECT_EQ(*input.getKeyWasClicked(), expected);
    EXPECT_EQ(*input.getKeyWasHit(), std::vector<bool>(6, false));
}

} // namespace
