// How the game starts and ends, seen from outside: exit statuses, error output, messages.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>

#include "gameSession.h"
#include "waitUntil.h"

using namespace std::chrono_literals;

namespace {
constexpr rgbColour backgroundColour{32, 32, 32};

// The number of lines in text, counting a last line without its newline.
int lineCount(const std::string& text) {
    int lines = 0;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\n' || i + 1 == text.size())
            lines++;
    }
    return lines;
}
} // namespace

TEST(startAndExit, escapeHeldEndsTheGameWithStatusZero) {
    gameSession session;
    ASSERT_TRUE(session.open()) << session.why();
    // ESC only counts once the loop runs; a drawn frame shows that it does.
    ASSERT_TRUE(waitUntil(5s, [&] {
        rgbImage frame = session.window.screenshot();
        return !frame.empty() && frame.at(5, gameWindow::height - 5) == backgroundColour;
    })) << "no frame was drawn";

    session.window.pressKey(XK_Escape);
    std::optional<int> status = session.game.waitForExit(2s);
    session.window.releaseKey(XK_Escape);
    ASSERT_TRUE(status.has_value()) << "the game still runs 2 s after ESC was pressed";
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(gameWindow::anyOpen(session.display.connection()));
}

TEST(startAndExit, withoutDisplayTheGameEndsWithStatusOneAndOneErrorLine) {
    gameProcess game;
    gameProcess::settings how;
    how.display = ""; // no DISPLAY at all, and no X server
    ASSERT_TRUE(game.start(how)) << game.why();

    std::optional<int> status = game.waitForExit(5s);
    ASSERT_TRUE(status.has_value()) << "the game still runs without a display";
    EXPECT_EQ(*status, 1);
    const std::string errors = game.errorText();
    EXPECT_EQ(lineCount(errors), 1) << "standard error was: " << errors;
    EXPECT_FALSE(errors.empty() || errors.back() != '\n') << "standard error was: " << errors;
    EXPECT_EQ(game.messages(), "") << "no dialog can be shown without a display";
}

TEST(startAndExit, withoutPicDataTheGameNamesTheFileAndFolderAndEndsWithStatusOne) {
    virtualDisplay display;
    ASSERT_TRUE(display.start()) << display.why();
    gameProcess game;
    gameProcess::settings how;
    how.display = display.name();
    how.withPicData = false;
    // The stand-in holds its dialog open, so the test can look at the screen meanwhile.
    how.holdMessages = true;
    ASSERT_TRUE(game.start(how)) << game.why();

    ASSERT_TRUE(waitUntil(2s, [&] { return !game.messages().empty(); }))
        << "no message within 2 s; standard error: " << game.errorText();
    const std::string message = game.messages();
    EXPECT_NE(message.find("picData.dat"), std::string::npos) << message;
    EXPECT_NE(message.find(game.workingFolder()), std::string::npos) << message;
    // The game's window must be gone while the message is up, or it would hide the dialog.
    EXPECT_TRUE(waitUntil(1s, [&] { return !gameWindow::anyOpen(display.connection()); }))
        << "the game's window is still open under the message";

    game.releaseMessages();
    std::optional<int> status = game.waitForExit(2s);
    ASSERT_TRUE(status.has_value()) << "the game still runs 2 s after its message was closed";
    EXPECT_EQ(*status, 1);
    EXPECT_FALSE(gameWindow::anyOpen(display.connection()));
}
