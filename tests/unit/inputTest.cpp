// Allegro's keyboard and mouse state, set as its drivers would, turned into held and click flags
// and the wanted cursor position.

#include <gtest/gtest.h>

#include "cursor.h"
#include "inputObj.h"
#include "testBattle.h"

namespace {

class input : public ::testing::Test {
  protected:
    void SetUp() override { testBattle::releaseInput(0, 0); }
    void TearDown() override { testBattle::releaseInput(); }
    void poll(bool tickPending) { in.processInput(640, 480, tickPending); }
    inputObj in;
};

TEST_F(input, theKeyMapIsWSADSpaceF10EachHeldWhileDownAndClickedOnceWhenLetGo) {
    const int keys[] = {KEY_W, KEY_S, KEY_A, KEY_D, KEY_SPACE, KEY_F10};
    const std::vector<bool> none(6, false);
    for (int index = 0; index < 6; index++) {
        std::vector<bool> only = none;
        only[index] = true;
        key[keys[index]] = 1;
        poll(true);
        EXPECT_EQ(std::tie(*in.getKeyWasHit(), *in.getKeyWasClicked()), std::tie(only, none));
        key[keys[index]] = 0;
        poll(true);
        EXPECT_EQ(std::tie(*in.getKeyWasHit(), *in.getKeyWasClicked()), std::tie(none, only));
        poll(true);
        EXPECT_EQ(*in.getKeyWasClicked(), none) << index;
    }
    mouse_b = 2 | 4; // each mouse button has its own bit
    poll(true);
    mouse_b = 4;
    poll(true);
    EXPECT_EQ(*in.getMouseWasClicked(), (std::vector<bool>{false, true, false}));
}

TEST_F(input, everyReleaseReportedBetweenTwoPollsIsOneClickButAKeyHeldAtThePollNeverClicks) {
    // held at the poll, releases Allegro reported since the last one -> clicked
    const int rows[][3] = {{0, 1, 1}, {0, 0, 0}, {0, 3, 1}, {1, 0, 0},
                           {1, 1, 0}, {1, 0, 0}, {0, 1, 1}, {0, 0, 0}};
    for (auto [held, releases, clicked] : rows) {
        key[KEY_F10] = mouse_b = held;
        for (int r = 0; r < releases; r++) {
            keyboard_lowlevel_callback(KEY_F10 | 0x80);
            mouse_callback(MOUSE_FLAG_LEFT_UP);
        }
        poll(true);
        const bool restart = in.getKeyWasClicked()->at(inputObj::keyRestart);
        EXPECT_EQ(restart, clicked != 0) << held << releases;
        EXPECT_EQ(in.getMouseWasClicked()->at(inputObj::mouseLeft), restart);
    }
    EXPECT_FALSE(in.quitAsked());
    keyboard_lowlevel_callback(KEY_ESC | 0x80);
    EXPECT_TRUE(in.quitAsked()) << "a tap of ESC quits";
}

TEST_F(input, theWantedCursorIsTheMouseHeldOnTheScreen) {
    // mouse x, y -> wanted x, y
    const int rows[][4] = {{-30, -5, 0, 0}, {5000, 481, 640, 480}, {123, 45, 123, 45}};
    for (auto [mouseX, mouseY, wantedX, wantedY] : rows) {
        mouse_x = mouseX;
        mouse_y = mouseY;
        poll(false);
        int x = -1, y = -1;
        in.getCursor()->getCursorShouldBe(x, y);
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(wantedX, wantedY));
    }
}

} // namespace
