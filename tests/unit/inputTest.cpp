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
    void TearDown() override {
        inputObj::betweenReads = nullptr;
        testBattle::releaseInput();
    }
    void poll(bool tickPending) { in.processInput(640, 480, tickPending); }
    inputObj in;
};

TEST_F(input, theKeyMapIsWSADSpaceF10EachHeldWhileDownAndClickedWhenLetGo) {
    const int keys[] = {KEY_W, KEY_S, KEY_A, KEY_D, KEY_SPACE, KEY_F10};
    const std::vector<bool> none(6, false);
    for (int index = 0; index < 6; index++) {
        std::vector<bool> only = none;
        only[index] = true;
        testBattle::setKey(keys[index], true);
        poll(true);
        EXPECT_EQ(std::tie(*in.getKeyWasHit(), *in.getKeyWasClicked()), std::tie(only, none));
        testBattle::setKey(keys[index], false);
        poll(true);
        EXPECT_EQ(std::tie(*in.getKeyWasHit(), *in.getKeyWasClicked()), std::tie(none, only));
    }
    testBattle::setButtons(2 | 4); // each mouse button has its own bit
    poll(true);
    testBattle::setButtons(4);
    poll(true);
    EXPECT_EQ(*in.getMouseWasClicked(), (std::vector<bool>{false, true, false}));
}

TEST_F(input, aPressAndReleaseBetweenTwoPollsIsOneClickButNotAReleaseAloneOrAKeyStillHeld) {
    // What F10 and the left button do before a poll -> a click. d press, u let go, r a release
    // whose press went elsewhere, f forget.
    const std::pair<const char*, bool> rows[] = {
        {"du", true},  {"", false}, {"dududu", true}, {"d", false},  {"", false},
        {"ud", false}, {"u", true}, {"r", false},     {"df", false}, {"u", false}};
    for (auto [events, clicked] : rows) {
        for (const char* e = events; *e != '\0'; e++) {
            if (*e == 'f') {
                in.forget();
            } else if (*e == 'r') {
                keyboard_lowlevel_callback(KEY_F10 | 0x80);
                mouse_callback(MOUSE_FLAG_LEFT_UP);
            } else {
                testBattle::setKey(KEY_F10, *e == 'd');
                testBattle::setButtons(*e == 'd');
            }
        }
        poll(true);
        EXPECT_EQ(in.getKeyWasClicked()->at(inputObj::keyRestart), clicked) << events;
        EXPECT_EQ(in.getMouseWasClicked()->at(inputObj::mouseLeft), clicked) << events;
    }
    keyboard_lowlevel_callback(KEY_ESC | 0x80);
    EXPECT_FALSE(in.quitAsked()) << "a release of ESC alone";
    testBattle::setKey(KEY_ESC, true);
    testBattle::setKey(KEY_ESC, false);
    EXPECT_TRUE(in.quitAsked()) << "a tap of ESC quits";
}

TEST_F(input, aTapLandingInTheMiddleOfAPollIsNotLost) {
    // Every game key and mouse button is held into a poll and let go inside it, between its two
    // reads, as Allegro's thread may: one click each, on that poll or the next.
    inputObj::betweenReads = [](int k, bool isButton) {
        isButton ? testBattle::setButtons(mouse_b & ~(1 << k)) : testBattle::setKey(k, false);
    };
    for (int code : *in.getKeyMap()) {
        testBattle::setKey(code, true);
    }
    testBattle::setButtons(1 | 2 | 4);
    std::vector<int> clicks(9, 0); // the game keys', then the buttons'
    for (int polls = 0; polls < 2; polls++) {
        poll(true);
        for (int i = 0; i < 9; i++) {
            clicks[i] += i < 6 ? in.getKeyWasClicked()->at(i) : in.getMouseWasClicked()->at(i - 6);
        }
    }
    EXPECT_EQ(clicks, std::vector<int>(9, 1));
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
