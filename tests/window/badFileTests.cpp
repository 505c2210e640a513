// What the real game does with a picture file it cannot use: each spoilt picData.dat is put in
// the game's working folder, the game starts on a private X server, and everything is judged
// from outside: the message it shows, its window, its exit status.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "badPicData.h"
#include "gameProcess.h"
#include "gameWindow.h"
#include "testWorld.h"
#include "virtualDisplay.h"
#include "waitUntil.h"

using namespace std::chrono_literals;

namespace {
// Everything the game itself may take: from its start to its message, plus from the message's
// close to its end.
constexpr std::chrono::milliseconds endLimit = 2s;

struct badFile {
    const char* name;
    picDamage damage;
    // Words of the reason the message must give, each found as written.
    std::vector<std::string> reason;
};

int occurrences(const std::string& text, const std::string& part) {
    int found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        found++;
    }
    return found;
}

// How a failure names its file, instead of the struct's raw bytes.
void PrintTo(const badFile& file, std::ostream* out) {
    *out << file.name;
}

const badFile badFiles[] = {
    {"missing", picDamage::missing, {"does not exist"}},
    {"folder", picDamage::folder, {"is a folder"}},
    {"empty", picDamage::empty, {"is empty"}},
    {"randomBytes", picDamage::randomBytes, {"not an Allegro datafile"}},
    {"cutInHalf", picDamage::cutInHalf, {"object 0", "cut short"}},
    {"wrongMagic", picDamage::wrongMagic, {"not an Allegro datafile"}},
    {"thirteenObjects", picDamage::thirteenObjects, {"holds 13 objects", "needs 14"}},
    {"object5NotBitmap", picDamage::object5NotBitmap, {"object 5", "not a bitmap"}},
    {"object12Empty", picDamage::object12Empty, {"object 12", "empty picture", "0 x 0"}},
    {"object12Huge", picDamage::hugeBitmap, {"object 12", "65535 x 65535", "4096"}},
};

// One X server serves every file: each game has ended, its window gone, before the next starts.
class badPicDataFile : public ::testing::TestWithParam<badFile> {
  protected:
    static void SetUpTestSuite() {
        // badPicData writes through Allegro's packfile functions.
        startHeadlessAllegro();
        display = std::make_unique<virtualDisplay>();
        if (!display->start()) {
            displayProblem = display->why();
            display.reset();
        }
    }

    static void TearDownTestSuite() { display.reset(); }

    static std::unique_ptr<virtualDisplay> display;
    static std::string displayProblem;
};

std::unique_ptr<virtualDisplay> badPicDataFile::display;
std::string badPicDataFile::displayProblem;
} // namespace

TEST_P(badPicDataFile, theGameSaysWhatIsWrongClosesItsWindowAndEndsWithStatusOne) {
    ASSERT_TRUE(display) << displayProblem;
    const badFile& file = GetParam();
    const badPicData maker{ARENA_PIC_DATA_PATH};
    ASSERT_TRUE(maker.ready()) << "cannot split " << ARENA_PIC_DATA_PATH;

    gameProcess game;
    gameProcess::settings how;
    how.display = display->name();
    how.withPicData = false;
    how.prepare = [&](const std::string& folder) {
        return maker.write(file.damage, folder + "/picData.dat");
    };
    // The stand-in holds its dialog open, so the screen can be looked at meanwhile.
    how.holdMessages = true;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(game.start(how)) << game.why();

    // A crash before the message ends the wait early; its status says what happened.
    const bool shown =
        waitUntil(endLimit, [&] { return !game.messages().empty() || !game.process().running(); });
    const auto beforeMessage = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(shown && !game.messages().empty())
        << "no message within " << endLimit.count() << " ms; status "
        << game.process().exitStatus().value_or(-1) << ", standard error: " << game.errorText();
    const std::string message = game.messages();
    EXPECT_NE(message.find("\"picData.dat\""), std::string::npos) << message;
    EXPECT_NE(message.find(game.workingFolder()), std::string::npos) << message;
    EXPECT_NE(message.find("is unusable: "), std::string::npos) << message;
    for (const std::string& words : file.reason) {
        EXPECT_NE(message.find(words), std::string::npos)
            << "the message does not say \"" << words << "\": " << message;
    }
    // A window left open would hide the message from the player.
    EXPECT_TRUE(waitUntil(1s, [&] { return !gameWindow::anyOpen(display->connection()); }))
        << "the game's window is still open under the message";

    const auto released = std::chrono::steady_clock::now();
    game.releaseMessages();
    const std::optional<int> status = game.waitForExit(endLimit);
    const auto afterMessage = std::chrono::steady_clock::now() - released;
    ASSERT_TRUE(status.has_value()) << "the game still runs after its message was closed";
    EXPECT_EQ(*status, 1) << "(128 + n: killed by signal n); standard error: " << game.errorText();
    EXPECT_LE(beforeMessage + afterMessage, endLimit)
        << "the game took "
        << std::chrono::duration_cast<std::chrono::milliseconds>(beforeMessage).count()
        << " ms to its message and "
        << std::chrono::duration_cast<std::chrono::milliseconds>(afterMessage).count()
        << " ms from its close to the end";
    EXPECT_EQ(occurrences(message, "Cannot start"), 1) << "one message, shown once: " << message;
    EXPECT_FALSE(gameWindow::anyOpen(display->connection()));
}

INSTANTIATE_TEST_SUITE_P(spoilt, badPicDataFile, ::testing::ValuesIn(badFiles),
                         [](const ::testing::TestParamInfo<badFile>& info) {
                             return std::string(info.param.name);
                         });
