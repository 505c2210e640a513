#include "virtualDisplay.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

namespace {
const char* const xvfbPath = "/usr/bin/Xvfb";
constexpr int firstNumber = 100; // well above the numbers desktops and CI services pick
constexpr int numberRange = 400;
constexpr int tries = 8;
constexpr std::chrono::seconds startLimit(10);

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Without this, any X error (a window that vanished under a screenshot, say) would end the
// whole test program through Xlib's default handler.
int ignoreXError(Display*, XErrorEvent*) { return 0; }
} // namespace

virtualDisplay::~virtualDisplay() {
    if (display != nullptr) {
        XCloseDisplay(display);
    }
    server.stop();
}

bool virtualDisplay::start() {
    XSetErrorHandler(ignoreXError);
    // Start from a number of our own, so parallel test programs rarely race for the same one.
    std::mt19937 pick(static_cast<unsigned>(getpid()) ^
                      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    int number = firstNumber + static_cast<int>(pick() % numberRange);
    for (int attempt = 0; attempt < tries; attempt++, number++) {
        if (exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
            exists("/tmp/.X" + std::to_string(number) + "-lock")) {
            continue;
        }
        if (tryNumber(number)) {
            return true;
        }
    }
    if (problem.empty())
        problem = "no free display number found";
    return false;
}

bool virtualDisplay::tryNumber(int number) {
    const std::string candidate = ":" + std::to_string(number);
    childProcess::launch what;
    what.arguments = {xvfbPath, candidate, "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                      "-noreset"};
    what.environment = childProcess::environmentWithout({});
    if (!server.start(what)) {
        problem = "cannot start Xvfb: " + server.why();
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + startLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!server.running()) {
            // Most likely another server took the number first; try the next one.
            problem = "Xvfb on " + candidate + " ended with status " +
                      std::to_string(server.exitStatus().value_or(-1));
            return false;
        }
        display = XOpenDisplay(candidate.c_str());
        if (display != nullptr) {
            // Make sure the server that answered is ours and not one that raced us.
            std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
            long owner = 0;
            lock >> owner;
            if (owner == server.pid()) {
                displayName = candidate;
                return true;
            }
            XCloseDisplay(display);
            display = nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    problem = "Xvfb on " + candidate + " did not accept connections in time";
    server.stop();
    return false;
}
