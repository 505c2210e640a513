// Allegro's keyboard and mouse state, set as its drivers would, turned into held and click flags
// and the wanted cursor position.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

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
    // Allegro's thread taps every game key and the left button again as soon as two polls have
    // passed since the last tap, so that its writes keep landing inside a poll: each tap is one
    // click.
    constexpr int taps = 20000;
    std::atomic<int> polls(0);
    std::atomic<bool> done(false);
    std::thread allegro([&] {
        for (int tap = 0; tap < taps; tap++) {
            for (const int wanted = polls + 2; polls < wanted;) {
                std::this_thread::yield();
            }
            for (volatile int wait = tap % 97; wait > 0; wait--) {
                // so that the tap lands now early in a poll, now late
            }
            for (bool down : {true, false}) {
                for (int code : *in.getKeyMap()) {
                    testBattle::setKey(code, down);
                }
                testBattle::setButtons(down);
            }
        }
        done = true;
    });
    int keyClicks = 0, buttonClicks = 0;
    for (int last = 2; last > 0; last -= done) {
        poll(true);
        keyClicks += std::count(in.getKeyWasClicked()->begin(), in.getKeyWasClicked()->end(), true);
        buttonClicks += in.getMouseWasClicked()->at(inputObj::mouseLeft);
        polls++;
    }
    allegro.join();
    EXPECT_EQ(std::make_pair(keyClicks, buttonClicks), std::make_pair(6 * taps, taps));
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
