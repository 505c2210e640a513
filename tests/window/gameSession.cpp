#include "gameSession.h"

bool gameSession::open(gameProcess::settings how, std::chrono::milliseconds limit) {
    if (!display.start()) {
        problem = display.why();
        return false;
    }
    how.display = display.name();
    if (!game.start(how)) {
        problem = game.why();
        return false;
    }
    if (!window.find(display.connection(), limit)) {
        auto status = game.process().exitStatus();
        problem = "the game showed no 640 x 480 window" +
                  (status ? ", it ended with status " + std::to_string(*status) : std::string()) +
                  "; its standard error: " + game.errorText();
        return false;
    }
    if (!window.focus()) {
        problem = "the game's window did not take the keyboard focus";
        return false;
    }
    return true;
}
